#pragma once

#include <vector>

#include "scene/Lighting.h"

// A rectangle in screen pixels: left and top inclusive, right and bottom exclusive, as
// the platform gives monitors and the virtual screen.
struct ScreenRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;
};

// The full-screen saver's viewports when its window covers `window` (the virtual
// screen): one per monitor, in the window's OpenGL coordinates (y from the bottom
// edge). Monitors are clipped to the window; one entirely outside it is left out.
std::vector<Viewport> MonitorViewports(const ScreenRect& window,
                                       const std::vector<ScreenRect>& monitors);
