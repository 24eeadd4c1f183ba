#include "scene/win32/RenderContext.h"

#include <utility>

#include "scene/Caption.h"
#include "scene/ContextSetup.h"
#include "scene/GlHeaders.h"
#include "win32/SystemError.h"

namespace {

int ScreenBitsPerPixel() {
  const UniqueWindowDc screen(WindowDc{nullptr, GetDC(nullptr)});
  return GetDeviceCaps(screen.get().dc, BITSPIXEL);
}

SetupResult Failed(std::string text) {
  return SetupResult{std::move(text), false};
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

SetupResult SetupPixelFormat(HDC dc, const RenderContextCalls& calls) {
  // The system's pixel-format calls load opengl32 by name: our copy must be there first.
  if (SetupFailure failure = calls.LoadOpenGL()) {
    return Failed(std::move(*failure));
  }
  const PIXELFORMATDESCRIPTOR pfd = ScenePixelFormatRequest(ScreenBitsPerPixel());
  const int format = ChoosePixelFormat(dc, &pfd);
  // These two keep their fixed texts: users and scripts know them.
  if (format == 0) {
    return Failed("ChoosePixelFormat failed");
  }
  // NOTE: Windows sets a window's pixel format once and refuses a second call; Wine lets
  // it be set again. Every activation and preview frame comes back here with the same DC.
  if (GetPixelFormat(dc) == format) {
    return {};
  }
  if (!calls.SetPixelFormat(dc, format, &pfd)) {
    return Failed("SetPixelFormat failed");
  }
  return {};
}

SetupResult RenderContext::Setup(HWND window, const Viewport& viewport,
                                 const std::optional<CaptionFont>& font, int32_t light_level) {
  Release();
  dc_.reset(WindowDc{window, GetDC(window)});
  if (!dc_) {
    return Failed(FailedCallText("GetDC"));
  }
  if (SetupResult format = SetupPixelFormat(Dc(), calls_); !format.ok()) {
    return format;
  }
  if (SetupFailure failure = MakeContext()) {
    return Failed(std::move(*failure));
  }
  CaptionFontHook caption_font;
  if (font) {
    caption_font = [this, &font] { return BuildCaptionFont(*font); };
  }
  return SetupResult{SetupSceneContext(viewport, caption_font, light_level), true};
}

SetupFailure RenderContext::MakeContext() {
  UniqueGlContext made(calls_.CreateContext(Dc()));
  if (!made) {
    return FailedCallText("wglCreateContext");
  }
  if (!calls_.MakeCurrent(Dc(), made.get())) {
    return FailedCallText("wglMakeCurrent");
  }
  rc_ = std::move(made);
  return std::nullopt;
}

SetupFailure RenderContext::BuildCaptionFont(const CaptionFont& font) {
  const unsigned base = glGenLists(kFontCharCount);
  font_.reset(CreateFontA(font.height, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, ANSI_CHARSET,
                          OUT_TT_PRECIS, CLIP_DEFAULT_PRECIS, ANTIALIASED_QUALITY, 0,
                          "Courier New"));
  if (!font_) {
    SetupFailure failure = FailedCallText("CreateFont");
    glDeleteLists(base, kFontCharCount);
    return failure;
  }
  previous_font_ = SelectObject(Dc(), font_.get());
  if (!wglUseFontBitmapsA(Dc(), kFontFirstChar, kFontCharCount, base)) {
    SetupFailure failure = FailedCallText("wglUseFontBitmaps");
    glDeleteLists(base, kFontCharCount);
    return failure;
  }
  objects_.FontListBase = base;
  INT space_px = 0;
  if (GetCharWidth32A(Dc(), ' ', ' ', &space_px)) {
    GiveSpaceItsAdvance(base, static_cast<float>(space_px));
  }
  return std::nullopt;
}

bool RenderContext::MakeCurrent() {
  return rc_ && calls_.MakeCurrent(Dc(), Rc());
}

void RenderContext::Present() {
  SwapBuffers(Dc());
}

void* RenderContext::GlProcAddress(const char* name) {
  return reinterpret_cast<void*>(wglGetProcAddress(name));
}

void RenderContext::Release() {
  // The scene's objects are deleted in their own context; its owner then makes it not
  // current and deletes it, before the DC it was made on goes.
  if (rc_ && wglMakeCurrent(Dc(), Rc())) {
    objects_.Release();
  }
  rc_.reset();
  // Without the context its objects are gone already; none may be deleted in another.
  objects_.Forget();
  ReleaseCaptionFont();
  dc_.reset();
}

void RenderContext::ReleaseCaptionFont() {
  if (font_) {
    SelectObject(Dc(), previous_font_);
    previous_font_ = nullptr;
    font_.reset();
  }
}
