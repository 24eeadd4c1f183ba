#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

// Registers a window class. A class of that name already registered by this module
// counts as registered. Returns an empty text on success, else
// "RegisterClassEx failed: <the system's reason>".
std::string RegisterWindowClass(const WNDCLASSEXA& window_class);

// The same, throwing std::runtime_error with that text: for windows whose constructor
// has no other way to fail.
void RequireWindowClass(const WNDCLASSEXA& window_class);
