#include "tests/support/WglStandIns.h"

#include "win32/SystemError.h"

RenderContextCalls PixelFormatSetOnce::Calls() {
  RenderContextCalls calls;
  calls.SetPixelFormat = [this](HDC dc, int format, const PIXELFORMATDESCRIPTOR* pfd) -> BOOL {
    ++calls_;
    if (GetPixelFormat(dc) != 0) {
      SetLastError(ERROR_INVALID_PIXEL_FORMAT);
      return FALSE;
    }
    return SetPixelFormat(dc, format, pfd);
  };
  return calls;
}

HGLRC WINAPI RefuseContext(HDC) {
  SetLastError(ERROR_INVALID_PIXEL_FORMAT);
  return nullptr;
}

BOOL WINAPI RefuseCurrent(HDC, HGLRC) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return FALSE;
}

BOOL WINAPI RefuseFormat(HDC, int, const PIXELFORMATDESCRIPTOR*) {
  SetLastError(ERROR_INVALID_PIXEL_FORMAT);
  return FALSE;
}

SetupFailure MissingSystemOpenGl() {
  return "Loading opengl32.dll from the system folder failed: " +
         SystemErrorText(ERROR_MOD_NOT_FOUND);
}
