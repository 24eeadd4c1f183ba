#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "scene/win32/RenderContext.h"

// SetPixelFormat as Windows documents it and Wine does not enforce: a window's pixel
// format is set once, and a later call on it fails. Counts the calls made through the
// tables it hands out, which must not outlive it.
class PixelFormatSetOnce {
 public:
  RenderContextCalls Calls();
  int CallCount() const { return calls_; }

 private:
  int calls_ = 0;
};

// A context the system will not make (ERROR_INVALID_PIXEL_FORMAT), and one it will not
// make current (ERROR_NOT_ENOUGH_MEMORY); a format it will not set; no opengl32.dll.
HGLRC WINAPI RefuseContext(HDC dc);
BOOL WINAPI RefuseCurrent(HDC dc, HGLRC context);
BOOL WINAPI RefuseFormat(HDC dc, int format, const PIXELFORMATDESCRIPTOR* pfd);
SetupFailure MissingSystemOpenGl();
