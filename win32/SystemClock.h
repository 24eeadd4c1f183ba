#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// Sets the computer's clock to a UTC time, with the right to set the time enabled while
// it is set: 0 when it was set, else the system's reason (ERROR_PRIVILEGE_NOT_HELD for a
// process whose token lacks that right).
DWORD SetSystemClock(const SYSTEMTIME& utc);

// Whether this process's token holds the right to set the time, enabled or not: without
// it, only an elevated process can set the clock.
bool HoldsTimePrivilege();
