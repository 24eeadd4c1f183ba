#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

// SetPixelFormat as Windows documents it and Wine does not enforce: a window's pixel
// format is set once, and a later call on it fails. Counts its calls.
BOOL WINAPI SetPixelFormatOnce(HDC dc, int format, const PIXELFORMATDESCRIPTOR* pfd);
int SetPixelFormatOnceCalls();
void ResetSetPixelFormatOnceCalls();
