#pragma once

#include <GL/glx.h>

#include <optional>

#include "xscreensaver/XHandles.h"

// A GLX frame-buffer configuration and the X visual it draws into.
struct GlxVisual {
  GLXFBConfig config = nullptr;
  XFreed<XVisualInfo> visual;
  bool double_buffered = false;
};

// A configuration with 8 bits per colour that draws into windows of `visual_id`, or of
// any visual when it is 0; double-buffered and single-sampled ones first.
std::optional<GlxVisual> ChooseGlxVisual(Display* display, int screen, VisualID visual_id);
