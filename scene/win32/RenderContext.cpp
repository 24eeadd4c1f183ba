#include "scene/win32/RenderContext.h"

#include "scene/GlHeaders.h"

namespace {

constexpr int kFontFirstChar = 32;
constexpr int kFontCharCount = 96;

int ScreenBitsPerPixel() {
  const HDC screen = GetDC(nullptr);
  const int bits = GetDeviceCaps(screen, BITSPIXEL);
  ReleaseDC(nullptr, screen);
  return bits;
}

void ShowSetupError(const char* text) {
  MessageBoxA(nullptr, text, "Error", MB_OK);
}

}  // namespace

PIXELFORMATDESCRIPTOR ScenePixelFormatRequest(int screen_bits) {
  PIXELFORMATDESCRIPTOR pfd{};
  pfd.nSize = sizeof(PIXELFORMATDESCRIPTOR);
  pfd.nVersion = 1;
  pfd.dwFlags = PFD_DRAW_TO_WINDOW | PFD_SUPPORT_OPENGL | PFD_DOUBLEBUFFER;
  pfd.iPixelType = PFD_TYPE_RGBA;
  pfd.cColorBits = static_cast<BYTE>(screen_bits & 0xFF);
  pfd.cDepthBits = 32;
  pfd.iLayerType = PFD_MAIN_PLANE;
  return pfd;
}

bool SetupPixelFormat(HDC dc) {
  const PIXELFORMATDESCRIPTOR pfd = ScenePixelFormatRequest(ScreenBitsPerPixel());
  const int format = ChoosePixelFormat(dc, &pfd);
  if (format == 0) {
    ShowSetupError("ChoosePixelFormat failed");
    return false;
  }
  if (!SetPixelFormat(dc, format, &pfd)) {
    ShowSetupError("SetPixelFormat failed");
    return false;
  }
  return true;
}

bool RenderContext::Setup(HWND window, const Viewport& viewport,
                          const std::optional<CaptionFont>& font) {
  Release();
  window_ = window;
  dc_ = GetDC(window);
  if (dc_ == nullptr || !SetupPixelFormat(dc_)) {
    return false;
  }
  rc_ = wglCreateContext(dc_);
  wglMakeCurrent(dc_, rc_);
  SetupCamera(viewport, 1.0f);
  if (font) {
    BuildCaptionFont(*font);
  }
  SetupLights();
  return true;
}

void RenderContext::BuildCaptionFont(const CaptionFont& font) {
  font_list_base_ = glGenLists(kFontCharCount);
  font_ = CreateFontA(font.height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                      OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, 0, "Courier New");
  previous_font_ = SelectObject(dc_, font_);
  wglUseFontBitmapsA(dc_, kFontFirstChar, kFontCharCount, font_list_base_);
}

void RenderContext::Release() {
  if (rc_ != nullptr) {
    // The display lists of the caption font go with the context.
    wglMakeCurrent(dc_, nullptr);
    wglDeleteContext(rc_);
    rc_ = nullptr;
  }
  font_list_base_ = 0;
  if (font_ != nullptr) {
    SelectObject(dc_, previous_font_);
    DeleteObject(font_);
    font_ = nullptr;
    previous_font_ = nullptr;
  }
  if (dc_ != nullptr) {
    ReleaseDC(window_, dc_);
    dc_ = nullptr;
  }
  window_ = nullptr;
}
