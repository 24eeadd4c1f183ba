#pragma once

#include "scene/QuadBatch.h"

struct FrameInputs;
struct SceneState;

// Draws everything that follows the time of day into the current context: the hour,
// minute and second hands in the style Arrows and colour HandRGB, then the 60 minute
// marks and the 12 dot numerals scaled by DigitScale. Leaves the matrix stack as found.
void DrawClockHands(const FrameInputs& in, SceneState& state, QuadBatch& batch);

// Sets what drawing the hands sets in the window's state (DigitScale and the hand
// angles) without drawing, for a frame that puts the hands back from a kept copy.
void NoteClockHands(const FrameInputs& in, SceneState& state);
