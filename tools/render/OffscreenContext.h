#pragma once

#include <GL/osmesa.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scene/SceneGl.h"

// An RGB picture, top row first, three bytes per pixel.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;

  const uint8_t* At(int x, int y) const {
    return &rgb[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3];
  }
};

// A Mesa offscreen rendering context drawing into memory, current from construction
// until destruction, with the scene's objects in it. Throws std::runtime_error when
// Mesa cannot make one.
class OffscreenContext {
 public:
  OffscreenContext(int width, int height);
  ~OffscreenContext();
  OffscreenContext(const OffscreenContext&) = delete;
  OffscreenContext& operator=(const OffscreenContext&) = delete;

  int Width() const { return width_; }
  int Height() const { return height_; }

  // Finishes the drawing and returns the picture as a window would show it.
  Image Read() const;

  OSMesaContext Handle() const { return context_; }
  // The scene's objects in this context, deleted before it.
  SceneGl& Objects() { return objects_; }

 private:
  int width_;
  int height_;
  std::vector<uint8_t> rgba_;
  OSMesaContext context_ = nullptr;
  SceneGl objects_{
      [](const char* name) { return reinterpret_cast<void*>(OSMesaGetProcAddress(name)); }};
};
