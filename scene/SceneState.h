#pragma once

#include <array>
#include <cstdint>

#include "scene/KeptCopy.h"
#include "scene/QuadBatch.h"

// The grid size of the dial face last initialised and the drifting phases of style 1.
struct DialFaceState {
  int32_t columns = 0;
  int32_t rows = 0;
  // Phases a and b in radians and their speeds in radians per call. The speeds start
  // at 0 and survive a re-initialisation; the phases are drawn anew by it.
  float phase_a = 0.0f;
  float phase_b = 0.0f;
  float speed_a = 0.0f;
  float speed_b = 0.0f;
};

// The rotations of the three hands, in degrees counter-clockwise as for glRotatef,
// before the quarter turn that brings a hand's +x axis to 12 o'clock.
struct HandAngles {
  float second_deg = 0.0f;
  float minute_deg = 0.0f;
  float hour_deg = 0.0f;
};

// What a kept dial was drawn from. The dial of styles 2 to 10 is the same picture for
// the same style, DialRGB, light level, viewport and projection, so a frame puts back
// the copy instead of drawing it again.
struct KeptDialKey {
  int32_t style = 0;
  std::array<float, 3> dial_rgb{};
  int32_t light_level = 0;
  std::array<int, 4> viewport{};
  std::array<float, 16> projection{};

  bool operator==(const KeptDialKey&) const = default;
};

// The copy of the last static dial drawn, in a texture of the current context.
using KeptDialState = KeptPicture<KeptDialKey>;

// What a kept still part of a frame was drawn from: the dial with its key, and the
// hands, marks and numerals, which follow the settings, HandRGB and the whole second.
struct KeptStillKey {
  KeptDialKey dial;
  std::array<int32_t, 7> settings{};
  std::array<float, 3> hand_rgb{};
  std::array<int, 3> time{};

  bool operator==(const KeptStillKey&) const = default;
};

// The copy of the last still part of a frame drawn: everything before the caption.
using KeptStillState = KeptPicture<KeptStillKey>;

// Process-wide state of the clock scene, kept together so a test resets it in one line:
//   Scene() = {};
struct SceneState {
  // The level the two lights were last set from (a copy of Brightness).
  int32_t LightLevel = 0;
  // While clear, the next dial call initialises its style.
  bool DialMeshReady = false;
  // Scale of the dot numerals: Sizes / 20 + 1.
  float DigitScale = 0.0f;
  // Factor on the next minute mark's colour: 1.2 for the current second's mark only.
  float MarkBrightness = 1.0f;
  HandAngles Angles;
  DialFaceState Dial;
  // Off while every call must be drawn (the GL call trace records what is drawn).
  bool KeepCopies = true;
  KeptDialState KeptDial;
  KeptStillState KeptStill;
  // Room for the vertices of the block being drawn, reused by every block.
  QuadBatch Batch;
};

SceneState& Scene();
