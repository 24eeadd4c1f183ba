#include "windowsetup/WindowSetup.h"

namespace {

constexpr float kCaptionAlphaStep = 0.001f;

constexpr int32_t kPreviewHands = 7;
constexpr int32_t kPreviewSizes = 14;
constexpr int32_t kPreviewLightLevel = 7;
constexpr RGB kPreviewHandRGB{1.0f, 1.0f, 1.0f};
constexpr RGB kPreviewDialRGB{0.85f, 0.85f, 0.85f};

void ApplyColors(SettingsState& settings) {
  ApplyHandColor(settings.HandRGB, settings.clock.Ar_Color);
  ApplyDialColor(settings.DialRGB, settings.clock.Alpha);
}

}  // namespace

void SaverSceneBeforeContext(const SettingsState& settings, SceneState& scene) {
  scene.LightLevel = settings.clock.Brightness;
}

void SaverSceneAfterContext(SettingsState& settings, SceneState& scene, RandomGenerator& random) {
  random.Seed();
  scene.Caption.CaptionAlphaStep = kCaptionAlphaStep;
  ApplyRandomMode(settings.clock, random, settings.policy);
  ApplyColors(settings);
  scene.DialMeshReady = false;
}

Viewport SaverViewport(int width, int height) {
  return {0, 0, width, height};
}

void SetupSaverScene(SettingsState& settings, SceneState& scene, RandomGenerator& random, int width,
                     int height, const CaptionFontHook& caption_font) {
  SaverSceneBeforeContext(settings, scene);
  // Nothing reports the font's failure here: a context without a font has empty lists.
  SetupSceneContext(SaverViewport(width, height), caption_font, scene.LightLevel);
  SaverSceneAfterContext(settings, scene, random);
}

void SettingsSceneBeforeContext(const SettingsState& settings, SceneState& scene) {
  scene.LightLevel = settings.clock.Brightness;
}

void SettingsSceneBeforeControls(SettingsState& settings, RandomGenerator& random) {
  random.Seed();
  ApplyRandomMode(settings.clock, random, settings.policy);
}

void SettingsSceneAfterControls(SettingsState& settings, SceneState& scene) {
  ApplyColors(settings);
  scene.DialMeshReady = false;
}

void PreviewSceneFixedValues(SettingsState& settings, SceneState& scene) {
  settings.clock.Arrows = kPreviewHands;
  settings.clock.Sizes = kPreviewSizes;
  settings.HandRGB = kPreviewHandRGB;
  settings.DialRGB = kPreviewDialRGB;
  scene.LightLevel = kPreviewLightLevel;
  scene.DialMeshReady = false;
}

void PreviewFrameSetup(int width, int height, const SceneState& scene, RandomGenerator& random) {
  // The preview draws no caption.
  SetupSceneContext({0, 0, width, height}, nullptr, scene.LightLevel);
  random.Seed();
}
