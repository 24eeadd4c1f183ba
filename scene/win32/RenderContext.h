#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <optional>

#include "scene/Lighting.h"

// Asks for the scene's pixel format on `dc` and sets it. On failure shows the error
// box ("ChoosePixelFormat failed" or "SetPixelFormat failed") and returns false.
bool SetupPixelFormat(HDC dc);

// The request SetupPixelFormat makes, for a screen of `screen_bits` bits per pixel.
PIXELFORMATDESCRIPTOR ScenePixelFormatRequest(int screen_bits);

// The caption font's cell height in pixels (negative: the character height), as
// CreateFont takes it.
struct CaptionFont {
  int height = 0;
};

// A window's device context and OpenGL rendering context, made current by Setup and
// released together. A second Setup releases the earlier pair first.
class RenderContext {
 public:
  RenderContext() = default;
  RenderContext(const RenderContext&) = delete;
  RenderContext& operator=(const RenderContext&) = delete;
  ~RenderContext() { Release(); }

  // The whole preparation: pixel format, context, camera, caption font (when
  // given), capabilities and lights. Returns false when the pixel format failed.
  bool Setup(HWND window, const Viewport& viewport, const std::optional<CaptionFont>& font);
  void Release();

  HDC Dc() const { return dc_; }
  HGLRC Rc() const { return rc_; }
  // The first of the 96 display lists holding characters 32 to 127; 0 without a font.
  unsigned FontListBase() const { return font_list_base_; }

 private:
  void BuildCaptionFont(const CaptionFont& font);

  HWND window_ = nullptr;
  HDC dc_ = nullptr;
  HGLRC rc_ = nullptr;
  HFONT font_ = nullptr;
  HGDIOBJ previous_font_ = nullptr;
  unsigned font_list_base_ = 0;
};
