#include "tools/render/SceneRender.h"

#include <GL/gl.h>

#include "scene/Caption.h"
#include "base/ClockSource.h"
#include "base/RandomGenerator.h"
#include "scene/SceneFrames.h"
#include "scene/SceneState.h"
#include "settings/ClockSettings.h"
#include "settings/setup/WindowSetup.h"

namespace {

constexpr int kFontListCount = 96;

// The settings as a first start stores them, with the options' choices over them.
ClockSettings ChosenSettings(const RenderOptions& o) {
  ClockSettings s;
  ApplyAllZeroRule(s, o.window == SceneWindow::Settings ? SettingsLoader::SettingsWindow
                                                        : SettingsLoader::FullScreen);
  s.Color = o.dial.value_or(s.Color);
  s.Alpha = o.dial_color.value_or(s.Alpha);
  s.Arrows = o.hands.value_or(s.Arrows);
  s.Ar_Color = o.hand_color.value_or(s.Ar_Color);
  s.Sizes = o.sizes.value_or(s.Sizes);
  s.Brightness = o.brightness.value_or(s.Brightness);
  return s;
}

void PrepareSaver(const RenderOptions& o, int width, int height) {
  AppSettings().clock = ChosenSettings(o);
  SaverSceneBeforeContext();
  SetupCamera(SaverViewport(width, height), 1.0f);
  // Natively the lists stay empty; the calls that use them still run.
  Caption().FontListBase = glGenLists(kFontListCount);
  SetupLights();
  SaverSceneAfterContext();
}

void PrepareSettings(const RenderOptions& o, int width, int height) {
  AppSettings().clock = ChosenSettings(o);
  SettingsSceneBeforeContext();
  SetupCamera(SettingsViewport(width, height), 1.0f);
  SetupLights();
  SettingsSceneBeforeControls();
  SettingsSceneAfterControls();
}

}  // namespace

void PrepareWindow(const RenderOptions& options, int width, int height) {
  Scene() = {};
  AppSettings() = {};
  Caption() = {};
  Random().PinSeed(options.seed);
  switch (options.window) {
    case SceneWindow::Saver:
      PrepareSaver(options, width, height);
      break;
    case SceneWindow::Settings:
      PrepareSettings(options, width, height);
      break;
    case SceneWindow::Preview:
      PreviewSceneFixedValues();
      break;
  }
}

void DrawWindowFrame(const RenderOptions& options, int width, int height) {
  switch (options.window) {
    case SceneWindow::Saver:
      DrawSaverScene(width, height);
      break;
    case SceneWindow::Settings:
      DrawSettingsScene();
      break;
    case SceneWindow::Preview:
      // The preview sets up a fresh context and reseeds at every paint.
      PreviewFrameSetup(width, height);
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
  Random().PinSeed(std::nullopt);
  if (options.time) {
    Clock().Unpin();
  }
  return result;
}
