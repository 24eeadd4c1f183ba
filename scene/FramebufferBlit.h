#pragma once

#include <array>
#include <string_view>

// Copies between the window and a texture with EXT_framebuffer_blit where the context
// offers it. A software OpenGL does such a copy with memcpy, where a textured quad is
// shaded pixel by pixel.

// Finds an OpenGL entry point of the current context; null where it has none.
using GlProcLookup = void* (*)(const char* name);

// Whether the space-separated `list` holds `name` as a whole word.
bool NamesExtension(std::string_view list, std::string_view name);

// Whether the current context names `name` among its extensions.
bool HasGlExtension(std::string_view name);

// One framebuffer object with a texture as its colour buffer. Entry points belong to
// a context: attach in the context that uses it.
class FramebufferBlit {
 public:
  // False where `lookup` is null, the context lacks the extensions or the texture
  // cannot be drawn into; the texture is then to be used the old way.
  bool Attach(unsigned texture, GlProcLookup lookup);
  bool Attached() const { return framebuffer_ != 0; }
  unsigned Name() const { return framebuffer_; }
  // Deletes the framebuffer; its context must be current.
  void Release();

  // Both copies turn the rows over, so the texture holds the window's rows top first,
  // as the window's memory does; each copy is then a plain one, not a drawing.
  void CopyFromWindow(const std::array<int, 4>& viewport) const;
  void CopyToWindow(const std::array<int, 4>& viewport) const;

 private:
  // The extension's entry points as found, typed where they are called.
  std::array<void*, 6> entry_points_{};
  unsigned framebuffer_ = 0;
};
