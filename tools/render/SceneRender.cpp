#include "tools/render/SceneRender.h"

#include <GL/gl.h>

#include <stdexcept>

#include "base/ClockSource.h"
#include "scene/Caption.h"
#include "scene/FrameInputs.h"
#include "scene/SceneFrames.h"
#include "windowsetup/WindowSetup.h"

namespace {

// The settings as a first start stores them, with the options' choices over them.
ClockSettings ChosenSettings(const RenderOptions& o) {
  ClockSettings s;
  ApplyAllZeroRule(s, o.window == SceneWindow::Settings ? SettingsLoader::SettingsWindow
                                                        : SettingsLoader::FullScreen);
  ApplySettingChoices(s, o.settings);
  return s;
}

void PrepareSaver(const RenderOptions& o, OffscreenContext& context, RenderedWindow& w) {
  w.settings.clock = ChosenSettings(o);
  SetupSaverScene(w.settings, w.scene, w.random, context.Width(), context.Height(), [&] {
    // Natively the lists stay empty; the calls that use them still run.
    context.Objects().FontListBase = glGenLists(kFontCharCount);
    return SetupFailure();
  });
}

void PrepareSettings(const RenderOptions& o, OffscreenContext& context, RenderedWindow& w) {
  w.settings.clock = ChosenSettings(o);
  SettingsSceneBeforeContext(w.settings, w.scene);
  // The settings window draws no caption.
  SetupSceneContext(SettingsViewport(context.Width(), context.Height()), nullptr,
                    w.scene.LightLevel);
  SettingsSceneBeforeControls(w.settings, w.random);
  SettingsSceneAfterControls(w.settings, w.scene);
}

}  // namespace

void PrepareWindow(const RenderOptions& options, OffscreenContext& context,
                   RenderedWindow& window) {
  window.clock = options.time ? PinnedClockSource(*options.time) : SystemClockSource();
  window.random = RandomGenerator(window.clock, options.seed);
  switch (options.window) {
    case SceneWindow::Saver:
      PrepareSaver(options, context, window);
      break;
    case SceneWindow::Settings:
      PrepareSettings(options, context, window);
      break;
    case SceneWindow::Preview:
      PreviewSceneFixedValues(window.settings, window.scene);
      break;
  }
}

void DrawWindowFrame(const RenderOptions& options, OffscreenContext& context,
                     RenderedWindow& window) {
  const WindowScene scene{window.scene, context.Objects(), window.random};
  const TimeOfDay now = window.clock.LocalNow();
  switch (options.window) {
    case SceneWindow::Saver:
      DrawSaverScene(ReadFrameInputs(window.settings, window.scene.LightLevel, now), scene,
                     context.Width(), context.Height());
      break;
    case SceneWindow::Settings:
      DrawSettingsScene(ReadFrameInputs(window.settings, window.settings.clock.Brightness, now),
                        scene);
      break;
    case SceneWindow::Preview:
      // The preview sets up a fresh context and reseeds at every paint.
      PreviewFrameSetup(context.Width(), context.Height(), window.scene, window.random);
      DrawPreviewScene(ReadFrameInputs(window.settings, window.scene.LightLevel, now), scene);
      break;
  }
}

RenderResult RenderScene(const RenderOptions& options, bool record_trace) {
  RenderResult result;
  {
    OffscreenContext context;
    if (const SetupFailure failure = context.Setup(options.width, options.height)) {
      throw std::runtime_error(*failure);
    }
    RenderedWindow window;
    PrepareWindow(options, context, window);
    for (int frame = 1; frame <= options.frames; ++frame) {
      const bool last = frame == options.frames;
      if (last && record_trace) {
        ScopedGlTrace tracing;
        // A kept copy is put back without its calls; the trace needs them all.
        context.Objects().KeepCopies = false;
        DrawWindowFrame(options, context, window);
        context.Objects().KeepCopies = true;
        result.trace = GlTraceCalls();
        ClearGlTrace();
      } else {
        DrawWindowFrame(options, context, window);
      }
    }
    result.image = context.Read();
  }
  return result;
}
