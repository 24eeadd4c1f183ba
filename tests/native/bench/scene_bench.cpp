#include <benchmark/benchmark.h>

#include "scene/Background.h"
#include "base/ClockSource.h"
#include "scene/Clocks.h"
#include "scene/FrameInputs.h"
#include "scene/SceneState.h"
#include "settings/ClockSettings.h"
#include "tools/render/GlTrace.h"
#include "scene/osmesa/OffscreenContext.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/SceneRender.h"

namespace {

RenderOptions SaverAt(int32_t dial, int32_t hands) {
  RenderOptions o;
  o.time = TimeOfDay{10, 8, 30, 0};
  o.Setting(&ClockSettings::Color) = dial;
  o.Setting(&ClockSettings::Arrows) = hands;
  o.seed = 1;
  return o;
}

// The scene's own work for one frame: meshes, dots, sines and cosines, and the calls,
// which the null sink drops.
void BM_SceneWorkNullSink(benchmark::State& state) {
  const int32_t dial = static_cast<int32_t>(state.range(0));
  const RenderOptions o = SaverAt(dial, 1);
  OffscreenContext context;
  if (const SetupFailure failure = context.Setup(64, 64)) {
    state.SkipWithError(failure->c_str());
    return;
  }
  RenderedWindow window;
  PrepareWindow(o, context, window);
  const FrameInputs in = ReadFrameInputs(window.settings, window.scene.LightLevel, *o.time);
  QuadBatch& batch = context.Objects().Batch;
  SetGlMode(GlMode::Null);
  for (auto _ : state) {
    DrawDialFace(dial, in.DialRGB, window.scene, window.random, batch);
    DrawClockHands(in, window.scene, batch);
    window.scene.DialMeshReady = true;
  }
  SetGlMode(GlMode::Plain);
}
BENCHMARK(BM_SceneWorkNullSink)->Arg(1)->Arg(5)->Arg(7)->Unit(benchmark::kMicrosecond);

// One whole saver frame on Mesa's llvmpipe, finished: dial, then width and height.
void BM_FullFrameLlvmpipe(benchmark::State& state) {
  const int32_t dial = static_cast<int32_t>(state.range(0));
  const int width = static_cast<int>(state.range(1));
  const int height = static_cast<int>(state.range(2));
  const RenderOptions o = SaverAt(dial, 1);
  OffscreenContext context;
  if (const SetupFailure failure = context.Setup(width, height)) {
    state.SkipWithError(failure->c_str());
    return;
  }
  RenderedWindow window;
  PrepareWindow(o, context, window);
  for (auto _ : state) {
    DrawWindowFrame(o, context, window);
    glFinish();
  }
}
BENCHMARK(BM_FullFrameLlvmpipe)
    ->ArgsProduct({{0, 1, 7}, {1024}, {768}})
    ->ArgsProduct({{0, 1, 7}, {1920}, {1080}})
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime();

}  // namespace

BENCHMARK_MAIN();
