#pragma once

#include "scene/SceneState.h"

struct FrameInputs;

// Draws a frame's still part.
using StillPartDrawing = void (*)(const FrameInputs& in, WindowScene scene);

// Draws the still part of a frame with `draw`: the dial, the hands, the minute marks and
// the numerals, everything before the caption. Unless the dial moves (style 1), that
// part changes only with the frame's inputs; the first frame of each such picture draws
// it and keeps a copy, later ones put the copy back, which gives the same pixels.
void DrawStillPart(const FrameInputs& in, WindowScene scene, StillPartDrawing draw);

// Clears the frame's colour, then draws the still part as above. Where the copy put back
// covers the whole window of `width` x `height` pixels, nothing is cleared: the copy
// overwrites every colour the clear would have set.
void ClearAndDrawStillPart(const FrameInputs& in, WindowScene scene, StillPartDrawing draw,
                           int width, int height);
