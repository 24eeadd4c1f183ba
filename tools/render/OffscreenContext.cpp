#include "tools/render/OffscreenContext.h"

#include <GL/gl.h>

#include <stdexcept>

OffscreenContext::OffscreenContext(int width, int height)
    : width_(width),
      height_(height),
      rgba_(static_cast<size_t>(width) * static_cast<size_t>(height) * 4) {
  if (width <= 0 || height <= 0) {
    throw std::runtime_error("offscreen context: the size must be positive");
  }
  context_ = OSMesaCreateContextExt(OSMESA_RGBA, 24, 0, 0, nullptr);
  if (context_ == nullptr) {
    throw std::runtime_error("offscreen context: OSMesaCreateContextExt failed");
  }
  if (!OSMesaMakeCurrent(context_, rgba_.data(), GL_UNSIGNED_BYTE, width, height)) {
    OSMesaDestroyContext(context_);
    throw std::runtime_error("offscreen context: OSMesaMakeCurrent failed");
  }
}

OffscreenContext::~OffscreenContext() {
  // NOTE: Mesa may still be drawing into the buffer; finish before letting it go.
  glFinish();
  objects_.Release();
  OSMesaDestroyContext(context_);
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
