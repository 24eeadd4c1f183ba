#include "settings/setup/WindowSetup.h"

#include "base/RandomGenerator.h"
#include "scene/Caption.h"
#include "scene/SceneState.h"
#include "settings/ClockSettings.h"

namespace {

constexpr float kCaptionAlphaStep = 0.001f;

constexpr int32_t kPreviewHands = 7;
constexpr int32_t kPreviewSizes = 14;
constexpr int32_t kPreviewLightLevel = 7;
constexpr RGB kPreviewHandRGB{1.0f, 1.0f, 1.0f};
constexpr RGB kPreviewDialRGB{0.85f, 0.85f, 0.85f};

void ApplyColors() {
  ApplyHandColor(AppSettings().clock.Ar_Color);
  ApplyDialColor(AppSettings().clock.Alpha);
}

}  // namespace

void SaverSceneBeforeContext() {
  Scene().LightLevel = AppSettings().clock.Brightness;
}

void SaverSceneAfterContext() {
  Random().Seed();
  Caption().CaptionAlphaStep = kCaptionAlphaStep;
  ApplyRandomMode(AppSettings().clock);
  ApplyColors();
  Scene().DialMeshReady = false;
}

Viewport SaverViewport(int width, int height) {
  return {0, 0, width, height};
}

void SettingsSceneBeforeContext() {
  Scene().LightLevel = AppSettings().clock.Brightness;
}

void SettingsSceneBeforeControls() {
  Random().Seed();
  ApplyRandomMode(AppSettings().clock);
}

void SettingsSceneAfterControls() {
  ApplyColors();
  Scene().DialMeshReady = false;
}

void PreviewSceneFixedValues() {
  ClockSettings& s = AppSettings().clock;
  s.Arrows = kPreviewHands;
  s.Sizes = kPreviewSizes;
  AppSettings().HandRGB = kPreviewHandRGB;
  AppSettings().DialRGB = kPreviewDialRGB;
  Scene().LightLevel = kPreviewLightLevel;
  Scene().DialMeshReady = false;
}

void PreviewFrameSetup(int width, int height) {
  SetupCamera({0, 0, width, height}, 1.0f);
  SetupLights();
  Random().Seed();
}
