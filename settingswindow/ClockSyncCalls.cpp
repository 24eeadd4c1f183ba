#include "settingswindow/ClockSyncCalls.h"

#include "settingswindow/ElevatedStep.h"
#include "win32/SystemClock.h"

ClockSyncCalls SystemClockSyncCalls() {
  return {SetSystemClock, HoldsTimePrivilege, [] { return GetTickCount64(); }, RunElevated,
          [] {
            const std::wstring step = ClockStepPath();
            return !step.empty() && GetFileAttributesW(step.c_str()) != INVALID_FILE_ATTRIBUTES;
          }};
}
