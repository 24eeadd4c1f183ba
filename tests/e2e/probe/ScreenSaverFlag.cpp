// Exits with the system's screensaver-running flag (1 or 0): a fresh process reads the
// flag as it is now.
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

int main() {
  BOOL running = FALSE;
  if (!SystemParametersInfoA(SPI_GETSCREENSAVERRUNNING, 0, &running, 0)) {
    return 2;
  }
  return running ? 1 : 0;
}
