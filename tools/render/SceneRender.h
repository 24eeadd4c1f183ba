#pragma once

#include <vector>

#include "base/RandomGenerator.h"
#include "scene/SceneState.h"
#include "settings/ClockSettings.h"
#include "tools/render/GlTrace.h"
#include "scene/osmesa/OffscreenContext.h"
#include "tools/render/RenderOptions.h"

// What the chosen window keeps while it runs: its settings, its clock's state, the clock
// it reads and the generator its dial draws from.
struct RenderedWindow {
  SettingsState settings;
  SceneState scene;
  ClockSource clock = SystemClockSource();
  RandomGenerator random;
};

// The state and the context set-up of the chosen window, as the window's creation
// makes them, with the options' settings in place of the registry. `window` starts
// fresh; `context` is current.
void PrepareWindow(const RenderOptions& options, OffscreenContext& context, RenderedWindow& window);

// One frame of the chosen window without the buffer swap, at its clock's time now.
void DrawWindowFrame(const RenderOptions& options, OffscreenContext& context,
                     RenderedWindow& window);

struct RenderResult {
  Image image;
  std::vector<GlCall> trace;  // the last frame's calls, when asked for
};

// Draws options.frames frames offscreen and keeps the last, at options.time when one is
// given.
RenderResult RenderScene(const RenderOptions& options, bool record_trace);
