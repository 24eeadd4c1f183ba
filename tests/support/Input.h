#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

// Input as a user gives it, through the system's input queue (SendInput), so that it
// reaches whichever window has the focus or lies under the cursor.

// Presses and releases the key, inside a press of the modifier when one is given.
void PressKey(WORD vk, WORD modifier = 0);

// Puts the cursor at (x, y) and waits until the system reports it there; false when it
// does not arrive.
bool PlaceCursor(int x, int y);

// Presses and releases the left mouse button where the cursor is.
void ClickLeft();

// Brings the window to the foreground and waits until the system reports it there.
bool BringToFront(HWND window);

// A window's text (caption, or a control's label).
std::string WindowText(HWND window);
