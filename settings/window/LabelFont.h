#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "win32/WinHandles.h"

// The synchronisation windows' text: bold "Arial" of height -16, Cyrillic character set.
UniqueFont MakeLabelFont();

// A static text child of a form's window at the given place, in that font.
HWND MakeLabel(HWND parent, const RECT& place, const char* text, HFONT font);
