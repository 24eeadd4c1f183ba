#pragma once

#include <array>

#include "scene/FramebufferBlit.h"

// A copy of a viewport's pixels, kept in a texture of the current context and put back
// unchanged: with a framebuffer copy where the context has one, else with one textured
// quad that samples each texel at its pixel's centre.
class KeptCopy {
 public:
  // Copies the viewport's pixels; false where no texture that large is offered.
  // `lookup` finds the context's framebuffer entry points.
  bool Keep(const std::array<int, 4>& viewport, GlProcLookup lookup);
  // Puts the kept pixels back where they were taken from.
  void PutBack() const;

  bool CopiesWithoutDrawing() const { return blit_.Attached(); }
  // The texture, 0 before the first copy.
  unsigned Texture() const { return texture_; }
  unsigned Framebuffer() const { return blit_.Name(); }
  // Deletes the texture and framebuffer; their context must be current.
  void Release();

 private:
  void Allocate(int width, int height, GlProcLookup lookup);
  bool CopiedFromWindow(const std::array<int, 4>& viewport) const;
  void DrawQuad() const;

  std::array<int, 4> viewport_{};
  unsigned texture_ = 0;
  int texture_width_ = 0;
  int texture_height_ = 0;
  FramebufferBlit blit_;
};

// A kept copy and what its picture was drawn from.
template <typename Key>
struct KeptPicture {
  bool valid = false;
  Key key{};
  KeptCopy copy;

  // Whether the copy shows what drawing from `now` would.
  bool Shows(const Key& now) const { return valid && key == now; }
  // Copies what was just drawn from `now` into the viewport.
  void Keep(const Key& now, const std::array<int, 4>& viewport, GlProcLookup lookup) {
    valid = copy.Keep(viewport, lookup);
    key = now;
  }
};
