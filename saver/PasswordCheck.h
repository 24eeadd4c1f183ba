#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// The leave check: true when the saver may close. When the user has turned on the
// screensaver password, the system's own dialog (owned by `saver_window`) must accept it.
bool CheckPasswordOnExit(HWND saver_window);
