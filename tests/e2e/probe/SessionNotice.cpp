// Tells the running full-screen saver that its session lost or regained its display,
// as Windows does: WM_WTSSESSION_CHANGE with the event given (2: the console was
// disconnected, 1: connected again). Exits 0 once posted, 1 when no saver runs.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdlib>

int main(int argc, char** argv) {
  constexpr UINT kWmWtsSessionChange = 0x02B1;
  const HWND saver = FindWindowA("TessarynBlackForm", "Full");
  if (argc < 2 || saver == nullptr) {
    return 1;
  }
  const WPARAM event = static_cast<WPARAM>(std::strtoul(argv[1], nullptr, 10));
  return PostMessageA(saver, kWmWtsSessionChange, event, 0) ? 0 : 1;
}
