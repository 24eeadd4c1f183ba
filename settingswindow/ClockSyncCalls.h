#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <functional>
#include <string>

// Sets the computer's clock to a UTC time: 0 when it was set, else the system's reason.
using SetClockCall = std::function<DWORD(const SYSTEMTIME& utc)>;
// Whether this process may set the clock itself.
using PrivilegeTestCall = std::function<bool()>;
// The system's tick count in milliseconds: steady, and shared by every process.
using TickCall = std::function<ULONGLONG()>;
// Runs a program elevated, after the system's consent prompt, and waits for it: its exit
// code, or the reason it could not run (ERROR_CANCELLED for a declined prompt). Called on
// a worker thread, since the prompt blocks the call.
using ElevatedRunCall =
    std::function<DWORD(HWND owner, const std::wstring& program, const std::wstring& parameters)>;

// The system services the clock synchronisation uses, handed to it whole when it is
// made, so that a test hands in its own and never moves the machine's clock or asks
// for elevation.
struct ClockSyncCalls {
  SetClockCall SetClock;
  PrivilegeTestCall PrivilegeTest;
  TickCall Tick;
  ElevatedRunCall RunElevated;
  // Whether the clock step was installed beside the program (an administrator may leave
  // it out); a test's calls have it unless they say otherwise.
  std::function<bool()> ClockStepInstalled = [] { return true; };
};

// The system's own: SetSystemClock, HoldsTimePrivilege, GetTickCount64, RunElevated, and
// the clock step's file beside the program.
ClockSyncCalls SystemClockSyncCalls();
