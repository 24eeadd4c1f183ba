#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <functional>

// Sets the computer's clock to a UTC time: 0 when it was set, else the system's reason.
using SetClockCall = std::function<DWORD(const SYSTEMTIME& utc)>;

// Through the system's own clock, with the right to set the time asked for while it is
// set; a user who lacks that right gets ERROR_PRIVILEGE_NOT_HELD.
DWORD SetSystemClock(const SYSTEMTIME& utc);

// The call the clock synchronisation uses: SetSystemClock, unless a test has put its own
// in place so that no test ever moves the machine's clock.
SetClockCall& ClockSetter();
