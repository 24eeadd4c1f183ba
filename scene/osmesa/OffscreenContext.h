#pragma once

#include <GL/osmesa.h>

#include <cstddef>
#include <cstdint>
#include <vector>

#include "scene/SceneGl.h"
#include "scene/SetupFailure.h"

// An RGB picture, top row first, three bytes per pixel.
struct Image {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> rgb;

  const uint8_t* At(int x, int y) const {
    return &rgb[(static_cast<size_t>(y) * static_cast<size_t>(width) + static_cast<size_t>(x)) * 3];
  }
};

// A Mesa offscreen rendering context drawing into memory, current from Setup until
// Release, with the scene's objects in it. The same verbs as the WGL and GLX contexts:
// Setup, MakeCurrent, Present, Release, GlProcAddress.
class OffscreenContext {
 public:
  OffscreenContext() = default;
  ~OffscreenContext() { Release(); }
  OffscreenContext(const OffscreenContext&) = delete;
  OffscreenContext& operator=(const OffscreenContext&) = delete;

  // Makes a `width` x `height` context and makes it current; a second Setup releases
  // the earlier one first.
  [[nodiscard]] SetupFailure Setup(int width, int height);
  bool MakeCurrent();
  // Finishes the frame: the picture is then whole in memory.
  void Present();
  // Deletes the scene's objects, then the context.
  void Release();
  // The current context's entry point `name` (OSMesaGetProcAddress); null where it has none.
  static void* GlProcAddress(const char* name);

  int Width() const { return width_; }
  int Height() const { return height_; }

  // Finishes the drawing and returns the picture as a window would show it.
  Image Read() const;

  OSMesaContext Handle() const { return context_; }
  // The scene's objects in this context, deleted before it.
  SceneGl& Objects() { return objects_; }

 private:
  int width_ = 0;
  int height_ = 0;
  std::vector<uint8_t> rgba_;
  OSMesaContext context_ = nullptr;
  SceneGl objects_{&GlProcAddress};
};
