#pragma once

#include <vector>

#include "scene/Lighting.h"

// One frame of each drawing window, up to but not including the buffer swap, which
// belongs to the window. Each expects the window's context current and prepared.

// Full-screen saver in a window of `width` x `height` pixels: dial of style Color, hands,
// marks and numerals, the caption and its pulse step; then DialMeshReady is set.
void DrawSaverScene(int width, int height);

// Settings window: the lights follow Brightness; dial and hands shifted by -0.025 along x.
void DrawSettingsScene();

// Preview in the display-properties dialog: dial style 8 and the hands.
void DrawPreviewScene();

// Full-screen saver over several monitors: the same frame drawn into each viewport
// from the same time, scene state and random state, then one caption step. The
// window outside the viewports stays black.
void DrawSaverSceneInEach(const std::vector<Viewport>& viewports);
