#pragma once

#include <string>

// The system's own text for an error code (FormatMessage), without the trailing line
// break; "error N" when the system has none.
std::string SystemErrorText(unsigned long code);

// "<call> failed: <the system's reason>" for the calling thread's last error.
std::string FailedCallText(const char* call);
