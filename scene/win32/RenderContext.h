#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>
#include <functional>
#include <optional>

#include "scene/Lighting.h"
#include "scene/SceneGl.h"
#include "scene/SetupFailure.h"
#include "scene/win32/SystemOpenGL.h"
#include "win32/WinHandles.h"

// How a window's set-up went. The window shows the failure in its error box.
struct SetupResult {
  // "ChoosePixelFormat failed", "SetPixelFormat failed", "<call> failed: <reason>", or
  // the system OpenGL's load failure (SystemOpenGL.h); nothing when everything worked.
  SetupFailure failure;
  // The context is made and current: at most the caption font failed.
  bool context_ready = false;

  bool ok() const { return !failure; }
};

// The system calls a rendering context makes, as one table handed in where the context
// is made: the system's own by default, a test's where it puts failures in.
struct RenderContextCalls {
  std::function<HGLRC(HDC dc)> CreateContext = &wglCreateContext;
  std::function<BOOL(HDC dc, HGLRC rc)> MakeCurrent = &wglMakeCurrent;
  std::function<BOOL(HDC dc, int format, const PIXELFORMATDESCRIPTOR* pfd)> SetPixelFormat =
      &::SetPixelFormat;
  // Nothing when the system's OpenGL is ready; otherwise why not.
  std::function<SetupFailure()> LoadOpenGL = &LoadSystemOpenGL;
};

// Loads the system's OpenGL (once per process), asks for the scene's pixel format on
// `dc` and sets it, unless the window has it already.
SetupResult SetupPixelFormat(HDC dc, const RenderContextCalls& calls = {});

// The request SetupPixelFormat makes, for a screen of `screen_bits` bits per pixel.
PIXELFORMATDESCRIPTOR ScenePixelFormatRequest(int screen_bits);

// The caption font's cell height in pixels (negative: the character height), as
// CreateFont takes it.
struct CaptionFont {
  int height = 0;
};

// A window's device context and OpenGL rendering context, made current by Setup and
// released together. A second Setup releases the earlier pair first. The same verbs as
// the GLX and the offscreen contexts: Setup, MakeCurrent, Present, Release, GlProcAddress.
class RenderContext {
 public:
  explicit RenderContext(RenderContextCalls calls = {}) : calls_(calls) {}
  RenderContext(const RenderContext&) = delete;
  RenderContext& operator=(const RenderContext&) = delete;
  ~RenderContext() { Release(); }

  // The whole preparation: pixel format, context, camera, caption font (when
  // given), capabilities and lights at `light_level`. A failed font leaves a context
  // without caption.
  [[nodiscard]] SetupResult Setup(HWND window, const Viewport& viewport,
                                  const std::optional<CaptionFont>& font, int32_t light_level);
  // Makes the context current again in this thread; false when the system refuses.
  bool MakeCurrent();
  // Shows the frame drawn.
  void Present();
  void Release();
  // The current context's entry point `name` (wglGetProcAddress); null where it has none.
  static void* GlProcAddress(const char* name);

  HDC Dc() const { return dc_.get().dc; }
  HGLRC Rc() const { return rc_.get(); }
  // The first of the 96 display lists holding characters 32 to 127; 0 without a font.
  unsigned FontListBase() const { return objects_.FontListBase; }
  // The scene's objects in this context, deleted with it.
  SceneGl& Objects() { return objects_; }
  const SceneGl& Objects() const { return objects_; }

 private:
  SetupFailure MakeContext();
  SetupFailure BuildCaptionFont(const CaptionFont& font);
  void ReleaseCaptionFont();

  RenderContextCalls calls_;
  UniqueWindowDc dc_;
  UniqueGlContext rc_;
  UniqueFont font_;
  // What the DC held before the caption font: put back before the font is deleted.
  HGDIOBJ previous_font_ = nullptr;
  SceneGl objects_{&GlProcAddress};
};
