#include "settingswindow/ClockSyncCalls.h"

#include "settingswindow/ElevatedStep.h"
#include "win32/SystemClock.h"

ClockSyncCalls SystemClockSyncCalls() {
  return {SetSystemClock, HoldsTimePrivilege, [] { return GetTickCount64(); }, RunElevated};
}
