#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// The width in pixels a push button needs for its text in its own font with the shield
// beside it, at `dpi`: the larger of the system's ideal size and the text's extent plus
// the small icon and the button's margins (Wine's ideal size leaves the shield out).
int ShieldButtonNeededWidth(HWND button, int dpi);

// Widens the button to what it needs, keeping its right edge, never left of
// `left_limit` (client pixels of its parent). A button that fits is left as it is.
void FitShieldButton(HWND button, int dpi, int left_limit);
