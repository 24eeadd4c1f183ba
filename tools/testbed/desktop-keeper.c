// Keeps the session's desktop in use for as long as the session lasts, as a Windows
// desktop always is (its shell, winlogon). Wine otherwise closes a desktop that no
// process has used for a while, and the next program gets a fresh one whose cursor
// stays at 0,0 whatever SetCursorPos is told, until some later input resets it.
// One hidden window, never shown; it ends when the session's wineserver ends it.
#include <windows.h>

int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPSTR command_line, int show) {
  (void)previous;
  (void)command_line;
  (void)show;
  if (CreateWindowExA(0, "STATIC", "desktop keeper", WS_POPUP, 0, 0, 1, 1, NULL, NULL, instance,
                      NULL) == NULL) {
    return 1;
  }
  MSG msg;
  while (GetMessageA(&msg, NULL, 0, 0) > 0) {
    DispatchMessageA(&msg);
  }
  return 0;
}
