// button_state TITLE BUTTON: waits up to a minute for a top-level window titled TITLE
// with a push button BUTTON, then closes that window. Exits 0 when the button was
// disabled, 1 when it was enabled, 2 when no such window or button came. For the
// installer tier's look at an installed settings window.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

int main(int argc, char** argv) {
  if (argc != 3) {
    return 2;
  }
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < 60000) {
    const HWND window = FindWindowA(nullptr, argv[1]);
    const HWND button = window ? FindWindowExA(window, nullptr, "Button", argv[2]) : nullptr;
    // The window shows once its creation, which sets the button, is over.
    if (button != nullptr && IsWindowVisible(window)) {
      const bool enabled = IsWindowEnabled(button) != FALSE;
      PostMessageA(window, WM_CLOSE, 0, 0);
      return enabled ? 1 : 0;
    }
    Sleep(100);
  }
  return 2;
}
