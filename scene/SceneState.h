#pragma once

#include <cstdint>

// Process-wide state of the clock scene, kept together so a test resets it in one line:
//   Scene() = {};
struct SceneState {
  // The level the two lights were last set from (a copy of Brightness).
  int32_t LightLevel = 0;
  // While clear, the next dial call initialises its style.
  bool DialMeshReady = false;
  // Scale of the dot numerals: Sizes / 20 + 1.
  float DigitScale = 0.0f;
};

SceneState& Scene();
