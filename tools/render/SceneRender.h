#pragma once

#include <vector>

#include "tools/render/GlTrace.h"
#include "tools/render/OffscreenContext.h"
#include "tools/render/RenderOptions.h"

// The process-wide state and the context set-up of the chosen window, as the window's
// creation makes them, with the options' settings in place of the registry. Resets
// the scene, settings and caption state first. Needs a current context.
void PrepareWindow(const RenderOptions& options, int width, int height);

// One frame of the chosen window without the buffer swap.
void DrawWindowFrame(const RenderOptions& options, int width, int height);

struct RenderResult {
  Image image;
  std::vector<GlCall> trace;  // the last frame's calls, when asked for
};

// Draws options.frames frames offscreen and keeps the last. Pins the clock to
// options.time for the duration when one is given.
RenderResult RenderScene(const RenderOptions& options, bool record_trace);
