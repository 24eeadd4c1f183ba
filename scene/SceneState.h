#pragma once

#include <cstdint>

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
};

SceneState& Scene();
