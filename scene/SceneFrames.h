#pragma once

#include <vector>

#include "scene/FrameInputs.h"
#include "scene/Lighting.h"
#include "scene/SceneState.h"

// One frame of each drawing window, up to but not including the buffer swap, which
// belongs to the window. Each draws from `in`, advances the window's state in `scene`
// and expects the window's context current and prepared.

// Full-screen saver in a window of `width` x `height` pixels: dial of style Color, hands,
// marks and numerals, the caption and its pulse step; then DialMeshReady is set.
void DrawSaverScene(const FrameInputs& in, WindowScene scene, int width, int height);

// Settings window: the lights follow the inputs' level; dial and hands shifted by
// -0.025 along x.
void DrawSettingsScene(const FrameInputs& in, WindowScene scene);

// Preview in the display-properties dialog: dial style 8 and the hands.
void DrawPreviewScene(const FrameInputs& in, WindowScene scene);

// Full-screen saver over several monitors: the same frame drawn into each viewport from
// the same inputs and state, then one step of the dial and the caption. The window
// outside the viewports stays black.
void DrawSaverSceneInEach(const FrameInputs& in, WindowScene scene,
                          const std::vector<Viewport>& viewports);
