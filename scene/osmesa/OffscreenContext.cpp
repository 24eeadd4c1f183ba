#include "scene/osmesa/OffscreenContext.h"

#include <GL/gl.h>

SetupFailure OffscreenContext::Setup(int width, int height) {
  Release();
  if (width <= 0 || height <= 0) {
    return "offscreen context: the size must be positive";
  }
  width_ = width;
  height_ = height;
  rgba_.assign(static_cast<size_t>(width) * static_cast<size_t>(height) * 4, 0);
  context_ = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
  if (context_ == nullptr) {
    return "offscreen context: OSMesaCreateContextExt failed";
  }
  if (!MakeCurrent()) {
    OSMesaDestroyContext(context_);
    context_ = nullptr;
    return "offscreen context: OSMesaMakeCurrent failed";
  }
  return std::nullopt;
}

bool OffscreenContext::MakeCurrent() {
  return context_ != nullptr &&
         OSMesaMakeCurrent(context_, rgba_.data(), GL_UNSIGNED_BYTE, width_, height_);
}

void OffscreenContext::Present() {
  glFinish();
}

void OffscreenContext::Release() {
  if (context_ == nullptr) {
    return;
  }
  // NOTE: Mesa may still be drawing into the buffer; finish before letting it go.
  glFinish();
  objects_.Release();
  OSMesaDestroyContext(context_);
  context_ = nullptr;
}

void* OffscreenContext::GlProcAddress(const char* name) {
  return reinterpret_cast<void*>(OSMesaGetProcAddress(name));
}

Image OffscreenContext::Read() const {
  glFinish();
  Image image;
  image.width = width_;
  image.height = height_;
  image.rgb.resize(static_cast<size_t>(width_) * static_cast<size_t>(height_) * 3);
  // NOTE: OSMesa keeps the bottom row first, as OpenGL counts rows.
  for (int y = 0; y < height_; ++y) {
    const uint8_t* src = &rgba_[static_cast<size_t>(height_ - 1 - y) * width_ * 4];
    uint8_t* dst = &image.rgb[static_cast<size_t>(y) * width_ * 3];
    for (int x = 0; x < width_; ++x) {
      dst[x * 3 + 0] = src[x * 4 + 0];
      dst[x * 3 + 1] = src[x * 4 + 1];
      dst[x * 3 + 2] = src[x * 4 + 2];
    }
  }
  return image;
}
