#pragma once

#include "scene/SceneGl.h"
#include "scene/SceneState.h"

// Draws the dial face of style Color as the first thing of a frame, right after the
// clear. Styles 2 to 10 draw the same picture while their key (style, DialRGB, the
// light level, the viewport and the projection) stays the same: the first such frame
// draws the dial and keeps a copy of it, later ones put the copy back (a framebuffer
// copy where the context has one, else one textured quad), which gives the same pixels.
// Style 1 moves every frame and is always drawn.
void DrawDialAfterClear(const FrameInputs& in, WindowScene scene);

// The part of a frame's inputs the dial of style Color is drawn from.
KeptDialKey DialKeyOf(const FrameInputs& in);
