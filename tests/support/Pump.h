#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <functional>

// Serves the thread's message queue (through the application, as the product's waits do)
// until the condition holds or timeout_ms have passed; false on the time-out. A costly
// condition (a screenshot) is asked at most every check_ms.
bool PumpUntil(const std::function<bool()>& condition, DWORD timeout_ms, DWORD check_ms = 0);

// Serves the queue for ms milliseconds.
void PumpFor(DWORD ms);

// Serves the queue until every message posted to this thread before the call has been
// served: for checks that something posted must NOT have happened. False on a time-out.
bool PumpUntilPostedServed(DWORD timeout_ms = 10000);
