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

// A context the system will not make (ERROR_INVALID_PIXEL_FORMAT), and one it will not
// make current (ERROR_NOT_ENOUGH_MEMORY).
HGLRC WINAPI RefuseContext(HDC dc);
BOOL WINAPI RefuseCurrent(HDC dc, HGLRC context);
