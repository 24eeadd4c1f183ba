#pragma once

#include "base/RandomGenerator.h"
#include "scene/ContextSetup.h"
#include "scene/Lighting.h"
#include "scene/SceneState.h"
#include "settings/ClockSettings.h"

// What each drawing window fixes or prepares in its settings and scene state, in the
// order of its creation. The Win32 windows and tessaryn-render run these same steps, so
// the pictures and traces that the tests check come from the product's own path.

// Full-screen saver, after its load: the lights will follow Brightness.
void SaverSceneBeforeContext(const SettingsState& settings, SceneState& scene);
// Full-screen saver, once its context is set up: seed, caption pulse, random mode and
// colours, and the dial left to initialise.
void SaverSceneAfterContext(SettingsState& settings, SceneState& scene, RandomGenerator& random);
// The full-screen saver's viewport: the whole window.
Viewport SaverViewport(int width, int height);
// Full-screen saver, on a context just made current over a `width` x `height` window:
// the steps before it, the scene's set-up with the caption font, and the steps after.
void SetupSaverScene(SettingsState& settings, SceneState& scene, RandomGenerator& random, int width,
                     int height, const CaptionFontHook& caption_font);

// Settings window, after its load: the lights will follow Brightness.
void SettingsSceneBeforeContext(const SettingsState& settings, SceneState& scene);
// Settings window, once its context is set up: seed and random mode. The window then
// fills its controls, which may clamp settings.
void SettingsSceneBeforeControls(SettingsState& settings, RandomGenerator& random);
// Settings window, after its controls: colours, and the dial left to initialise.
void SettingsSceneAfterControls(SettingsState& settings, SceneState& scene);

// Preview: the fixed values, whatever is stored. Set before the first frame.
void PreviewSceneFixedValues(SettingsState& settings, SceneState& scene);
// Preview, at every frame on its fresh context: the scene's set-up over the whole area,
// without a caption font, and a new seed.
void PreviewFrameSetup(int width, int height, const SceneState& scene, RandomGenerator& random);
