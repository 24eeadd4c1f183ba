#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdlib>

#include "clockstep/ClockStep.h"
#include "settings/win32/PolicyStore.h"
#include "win32/SystemClock.h"
#include "win32/SystemLibrary.h"

// tessaryn-clock.exe TIME TICK: started elevated by the settings window, it sets the
// clock and ends. No window, no network; of the settings it reads only the computer's
// policy (it may run under another account than the user's, so the user's policy is no
// guide). It never asks for elevation itself and waits for nothing.
int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
  // An elevated process must not load a library planted beside it or in the working folder.
  RestrictLibrarySearch();
  const bool forbidden = ComputerForbidsClockSync(ReadPolicyKey(HKEY_LOCAL_MACHINE));
  return static_cast<int>(
      RunClockStep(__argc - 1, __argv + 1, GetTickCount64(), SetSystemClock, forbidden));
}
