#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>
#include <functional>

// The elevated clock step: sets the clock from the settings window's request (the
// checked UTC time and the tick count when it was read) and reports through its
// result. 0 when the clock was set; ERROR_BAD_ARGUMENTS for anything but the two
// arguments in their exact format, ERROR_TIMEOUT for a request older than two minutes,
// ERROR_INVALID_TIME for one read at a tick still to come; ERROR_ACCESS_DISABLED_BY_POLICY,
// before anything else, when the computer's policy forbids the synchronisation; else the
// system's reason the clock was not set.
DWORD RunClockStep(int argc, const char* const* argv, uint64_t now_tick_ms,
                   const std::function<DWORD(const SYSTEMTIME& utc)>& set_clock,
                   bool forbidden_by_policy = false);
