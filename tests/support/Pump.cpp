#include "tests/support/Pump.h"

#include <algorithm>

#include "ui/Application.h"

namespace {
// How late a change made by another thread (a server, a child process) may be seen.
constexpr DWORD kPollInterval_ms = 10;
}  // namespace

bool PumpUntil(const std::function<bool()>& condition, DWORD timeout_ms, DWORD check_ms) {
  const DWORD start = GetTickCount();
  DWORD last_check = start;
  while (!condition()) {
    do {
      const DWORD waited = GetTickCount() - start;
      if (waited >= timeout_ms) {
        return false;
      }
      Application().ProcessMessages();
      MsgWaitForMultipleObjectsEx(0, nullptr, std::min(timeout_ms - waited, kPollInterval_ms),
                                  QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    } while (GetTickCount() - last_check < check_ms);
    last_check = GetTickCount();
  }
  return true;
}

void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}

namespace {

constexpr UINT kServedMarker = WM_APP + 0x3A1;
constexpr char kMarkerClass[] = "TessarynPostedServedMarker";

LRESULT CALLBACK MarkerProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == kServedMarker) {
    *reinterpret_cast<bool*>(lparam) = true;
    return 0;
  }
  return DefWindowProcA(hwnd, msg, wparam, lparam);
}

}  // namespace

bool PumpUntilPostedServed(DWORD timeout_ms) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = &MarkerProc;
  wc.hInstance = GetModuleHandleA(nullptr);
  wc.lpszClassName = kMarkerClass;
  RegisterClassA(&wc);  // fails harmlessly once the class exists
  const HWND marker = CreateWindowExA(0, kMarkerClass, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                      wc.hInstance, nullptr);
  if (marker == nullptr) {
    return false;
  }
  // Posted messages are served in the order they were posted: the marker comes last.
  bool served = false;
  PostMessageA(marker, kServedMarker, 0, reinterpret_cast<LPARAM>(&served));
  const bool ok = PumpUntil([&served] { return served; }, timeout_ms);
  DestroyWindow(marker);
  return ok;
}
