#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// Asks the system's own dialog to change the screensaver password, owned by `owner`.
// Without the platform's library or entry nothing happens, silently: that is how the
// system itself treats a platform that has no screensaver password.
void ChangeSaverPassword(HWND owner);
