#pragma once

#include <cstdint>

struct SceneState;

// The portable part of preparing a window's OpenGL context: camera, capabilities,
// blending, the two lights and the material. Acts on the current context.

struct Viewport {
  int x = 0;
  int y = 0;
  int width = 0;
  int height = 0;
};

// The diffuse and specular intensity of both lights for a level: level * 0.5 / 10.
float LightIntensity(int32_t level);

// Black clear colour, the viewport, and the camera on the projection matrix
// (45 degrees, the given aspect, near 0.1, far 100, eye at z = 5). The projection
// matrix stays the current one.
void SetupCamera(const Viewport& viewport, float aspect);

// Alpha test, colour material and blending, then both lights from `light_level` and
// the back-face shininess.
void SetupLights(int32_t light_level);

// Sets LightLevel and the diffuse and specular colours of both lights again;
// positions and material stay as they are.
void UpdateLightLevel(SceneState& state, int32_t level);

// The full-screen window's resize rule: the viewport and the true aspect of the window.
void ResizeFullScreen(int width, int height);

// The settings window's viewport: a strip that leaves room for the controls.
Viewport SettingsViewport(int width, int height);
