#include "tests/support/WglStandIns.h"

namespace {

int g_calls = 0;

}  // namespace

BOOL WINAPI SetPixelFormatOnce(HDC dc, int format, const PIXELFORMATDESCRIPTOR* pfd) {
  ++g_calls;
  if (GetPixelFormat(dc) != 0) {
    SetLastError(ERROR_INVALID_PIXEL_FORMAT);
    return FALSE;
  }
  return SetPixelFormat(dc, format, pfd);
}

int SetPixelFormatOnceCalls() {
  return g_calls;
}

void ResetSetPixelFormatOnceCalls() {
  g_calls = 0;
}

HGLRC WINAPI RefuseContext(HDC) {
  SetLastError(ERROR_INVALID_PIXEL_FORMAT);
  return nullptr;
}

BOOL WINAPI RefuseCurrent(HDC, HGLRC) {
  SetLastError(ERROR_NOT_ENOUGH_MEMORY);
  return FALSE;
}
