#pragma once

#include <cstdint>

#include "scene/QuadBatch.h"
#include "scene/SceneState.h"
#include "settings/ClockSettings.h"

// Draws dial face `style` (1 to 10) in DialRGB into the current context; any other
// style draws nothing and changes nothing. While DialMeshReady is clear, the style is
// initialised first, drawing its phases from `random`; style 1 moves on each call.
void DrawDialFace(int32_t style, const RGB& DialRGB, SceneState& state, RandomGenerator& random,
                  QuadBatch& batch);

// The two halves of the above, for a frame that draws one dial into several viewports:
// the initialisation and the movement, once, then the drawing as often as needed.
void StepDialFace(int32_t style, SceneState& state, RandomGenerator& random);
void DrawSteppedDialFace(int32_t style, const RGB& DialRGB, const DialFaceState& d,
                         QuadBatch& batch);
