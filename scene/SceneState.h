#pragma once

#include <cstdint>

#include "scene/Caption.h"

class RandomGenerator;
class SceneGl;

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

// What a window's clock carries from one frame to the next. Each drawing window owns
// one and hands it to the drawing; a test builds the one it wants.
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
  CaptionState Caption;
};

// Everything a frame draws with besides its inputs: the window's state, which the
// frame advances, the objects of the window's context, and the generator the dial
// draws from (the process's own, passed in by the window).
struct WindowScene {
  SceneState& state;
  SceneGl& gl;
  RandomGenerator& random;
};
