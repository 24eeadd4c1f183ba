#pragma once

#include <array>
#include <cstdint>

#include "scene/FrameInputs.h"
#include "scene/FramebufferBlit.h"
#include "scene/KeptCopy.h"
#include "scene/QuadBatch.h"

// What a kept dial was drawn from: the part of a frame's inputs the dial of styles 2 to
// 10 depends on. The same key draws the same picture, so a frame puts back the copy.
struct KeptDialKey {
  int32_t style = 0;
  RGB DialRGB;
  int32_t LightLevel = 0;
  std::array<int, 4> viewport{};
  std::array<float, 16> projection{};

  bool operator==(const KeptDialKey&) const = default;
};

// The copy of the last static dial drawn.
using KeptDialState = KeptPicture<KeptDialKey>;

// The copy of the last still part of a frame drawn (everything before the caption),
// labelled with the whole of the inputs it was drawn from.
using KeptStillState = KeptPicture<FrameInputs>;

// The scene's objects in one OpenGL context: the kept copies' textures and
// framebuffers, the caption font's display lists and the room the blocks are built
// in. The object that owns the context owns this too and calls Release while the
// context is still current, before the context goes.
class SceneGl {
 public:
  // `lookup` is the owning context's own.
  explicit SceneGl(GlProcLookup lookup) : lookup(lookup) {}
  SceneGl(const SceneGl&) = delete;
  SceneGl& operator=(const SceneGl&) = delete;

  // Deletes every object this holds in the current context and forgets them.
  void Release();
  // Forgets the objects of a context that is gone, which took them with it.
  void Forget();
  // The window's pixels changed under the kept copies (the display changed): the next
  // frames draw and keep them again, in the same textures.
  void RetakeKeptCopies();

  // Finds the context's entry points; null leaves every copy to a textured quad.
  GlProcLookup lookup;
  // Off while every call must be drawn (the GL call trace records what is drawn).
  bool KeepCopies = true;
  KeptDialState KeptDial;
  KeptStillState KeptStill;
  // The first of the kFontCharCount display lists of the caption font; 0 without one.
  unsigned FontListBase = 0;
  // Room for the vertices of the block being drawn, reused by every block.
  QuadBatch Batch;
};
