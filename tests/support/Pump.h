#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <functional>

// Bounds of the waits for a state that must come. A wait ends as soon as the state comes,
// so its bound costs nothing while the program works; only a broken one runs it out. Both
// are generous for a loaded 2-core machine, where a Wine process start alone can take
// seconds.
// A program, or a window of one, to appear.
constexpr DWORD kAppearBound_ms = 60000;
// Any other state: a frame drawn, a value stored, a window gone, a process ended.
constexpr DWORD kStateBound_ms = 30000;

// Serves the thread's message queue (through the application, as the product's waits do)
// until the condition holds or timeout_ms have passed; false on the time-out. A costly
// condition (a screenshot) is asked at most every check_ms.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeout_ms, DWORD check_ms = 0);

// Serves the queue for ms milliseconds: only before a check that something must NOT
// happen within them.
void PumpFor(DWORD ms);

// Serves the queue until every message posted to this thread before the call has been
// served: for checks that something posted must NOT have happened. False on a time-out.
bool PumpUntilPostedServed(DWORD timeout_ms = kStateBound_ms);
