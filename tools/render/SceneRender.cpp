#include "tools/render/SceneRender.h"

#include <GL/gl.h>

#include "scene/Caption.h"
#include "scene/ClockSource.h"
#include "scene/Lighting.h"
#include "scene/RandomGenerator.h"
#include "scene/SceneFrames.h"
#include "scene/SceneState.h"
#include "settings/ClockSettings.h"

namespace {

constexpr int kFontListCount = 96;
constexpr int32_t kPreviewHands = 7;
constexpr int32_t kPreviewSizes = 14;
constexpr int32_t kPreviewLightLevel = 7;

ClockSettings ChosenSettings(const RenderOptions& o) {
  ClockSettings s;
  ApplyAllZeroRule(s, SettingsLoader::FullScreen);
  s.Color = o.dial.value_or(s.Color);
  s.Alpha = o.dial_color.value_or(s.Alpha);
  s.Arrows = o.hands.value_or(s.Arrows);
  s.Ar_Color = o.hand_color.value_or(s.Ar_Color);
  s.Sizes = o.sizes.value_or(s.Sizes);
  s.Brightness = o.brightness.value_or(s.Brightness);
  return s;
}

void SeedRandom(const RenderOptions& o) {
  if (o.seed) {
    Random().SetState(*o.seed);
  } else {
    Random().Seed();
  }
}

Viewport WholeWindow(int width, int height) {
  return {0, 0, width, height};
}

// The saver and the settings window load the settings, set up their context, seed,
// apply the random mode and the colours, and leave the dial to initialise.
void PrepareLoadingWindow(const RenderOptions& o, int width, int height) {
  AppSettings().clock = ChosenSettings(o);
  Scene().LightLevel = AppSettings().clock.Brightness;
  if (o.window == SceneWindow::Saver) {
    SetupCamera(WholeWindow(width, height), 1.0f);
    // Natively the lists stay empty; the calls that use them still run.
    Caption().FontListBase = glGenLists(kFontListCount);
    SetupLights();
  } else {
    SetupCamera(SettingsViewport(width, height), 1.0f);
    SetupLights();
  }
  SeedRandom(o);
  if (o.window == SceneWindow::Saver) {
    Caption().CaptionAlphaStep = 0.001f;
  }
  ApplyRandomMode(AppSettings().clock);
  ApplyHandColor(AppSettings().clock.Ar_Color);
  ApplyDialColor(AppSettings().clock.Alpha);
  Scene().DialMeshReady = false;
}

// The preview reads no settings: its values are fixed.
void PreparePreview() {
  AppSettings().clock.Arrows = kPreviewHands;
  AppSettings().clock.Sizes = kPreviewSizes;
  AppSettings().HandRGB = {1.0f, 1.0f, 1.0f};
  AppSettings().DialRGB = {0.85f, 0.85f, 0.85f};
  Scene().LightLevel = kPreviewLightLevel;
  Scene().DialMeshReady = false;
}

}  // namespace

void PrepareWindow(const RenderOptions& options, int width, int height) {
  Scene() = {};
  AppSettings() = {};
  Caption() = {};
  if (options.window == SceneWindow::Preview) {
    PreparePreview();
  } else {
    PrepareLoadingWindow(options, width, height);
  }
}

void DrawWindowFrame(const RenderOptions& options, int width, int height) {
  switch (options.window) {
    case SceneWindow::Saver:
      DrawSaverScene();
      break;
    case SceneWindow::Settings:
      DrawSettingsScene();
      break;
    case SceneWindow::Preview:
      // The preview sets up a fresh context and reseeds at every paint.
      SetupCamera(WholeWindow(width, height), 1.0f);
      SetupLights();
      SeedRandom(options);
      DrawPreviewScene();
      break;
  }
}

RenderResult RenderScene(const RenderOptions& options, bool record_trace) {
  if (options.time) {
    Clock().Pin(*options.time);
  }
  RenderResult result;
  {
    OffscreenContext context(options.width, options.height);
    PrepareWindow(options, options.width, options.height);
    for (int frame = 1; frame <= options.frames; ++frame) {
      const bool last = frame == options.frames;
      if (last && record_trace) {
        ScopedGlTrace tracing;
        DrawWindowFrame(options, options.width, options.height);
        result.trace = GlTraceCalls();
        ClearGlTrace();
      } else {
        DrawWindowFrame(options, options.width, options.height);
      }
    }
    result.image = context.Read();
  }
  if (options.time) {
    Clock().Unpin();
  }
  return result;
}
