#include "settingswindow/SystemClock.h"

#include "settingswindow/ElevatedStep.h"
#include "win32/SystemClock.h"

namespace {

SetClockCall g_clock_setter = SetSystemClock;
PrivilegeTestCall g_privilege_test = HoldsTimePrivilege;
TickCall g_tick_source = [] { return GetTickCount64(); };
ElevatedRunCall g_elevated_runner = RunElevated;

}  // namespace

SetClockCall& ClockSetter() {
  return g_clock_setter;
}

PrivilegeTestCall& TimePrivilegeTest() {
  return g_privilege_test;
}

TickCall& TickSource() {
  return g_tick_source;
}

ElevatedRunCall& ElevatedRunner() {
  return g_elevated_runner;
}
