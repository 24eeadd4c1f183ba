#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <functional>
#include <string>

// The system services the clock synchronisation uses, each replaceable by a test so that
// no test ever moves the machine's clock or asks for elevation.

// Sets the computer's clock to a UTC time: 0 when it was set, else the system's reason.
using SetClockCall = std::function<DWORD(const SYSTEMTIME& utc)>;
// SetSystemClock unless replaced.
SetClockCall& ClockSetter();

// Whether this process may set the clock itself. HoldsTimePrivilege unless replaced.
using PrivilegeTestCall = std::function<bool()>;
PrivilegeTestCall& TimePrivilegeTest();

// The system's tick count in milliseconds: steady, and shared by every process.
// GetTickCount64 unless replaced.
using TickCall = std::function<ULONGLONG()>;
TickCall& TickSource();

// Runs a program elevated, after the system's consent prompt, and waits for it: its exit
// code, or the reason it could not run (ERROR_CANCELLED for a declined prompt). Called on
// a worker thread, since the prompt blocks the call. RunElevated unless replaced.
using ElevatedRunCall =
    std::function<DWORD(HWND owner, const std::wstring& program, const std::wstring& parameters)>;
ElevatedRunCall& ElevatedRunner();
