#include "tests/support/WglStandIns.h"

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
