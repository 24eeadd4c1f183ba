#include "tests/support/Pump.h"

#include <algorithm>

#include "ui/Application.h"

namespace {
// How late a change made by another thread (a server, a child process) may be seen.
constexpr DWORD kPollInterval_ms = 10;
}  // namespace

bool PumpUntil(const std::function<bool()>& condition, DWORD timeout_ms) {
  const DWORD start = GetTickCount();
  while (!condition()) {
    const DWORD waited = GetTickCount() - start;
    if (waited >= timeout_ms) {
      return false;
    }
    Application().ProcessMessages();
    MsgWaitForMultipleObjectsEx(0, nullptr, std::min(timeout_ms - waited, kPollInterval_ms),
                                QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  return true;
}

void PumpFor(DWORD ms) {
  PumpUntil([] { return false; }, ms);
}
