#include <benchmark/benchmark.h>

#include "scene/Background.h"
#include "base/ClockSource.h"
#include "scene/Clocks.h"
#include "scene/SceneState.h"
#include "settings/ClockSettings.h"
#include "tools/render/GlTrace.h"
#include "tools/render/OffscreenContext.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/SceneRender.h"

namespace {

RenderOptions SaverAt(int32_t dial, int32_t hands) {
  RenderOptions o;
  o.time = TimeOfDay{10, 8, 30, 0};
  o.dial = dial;
  o.hands = hands;
  o.seed = 1;
  return o;
}

// The scene's own work for one frame: meshes, dots, sines and cosines, and the calls,
// which the null sink drops.
void BM_SceneWorkNullSink(benchmark::State& state) {
  const int32_t dial = static_cast<int32_t>(state.range(0));
  const RenderOptions o = SaverAt(dial, 1);
  Clock().Pin(*o.time);
  {
    OffscreenContext context(64, 64);
    PrepareWindow(o, 64, 64);
  }
  SetGlMode(GlMode::Null);
  for (auto _ : state) {
    DrawDialFace(dial);
    DrawClockHands();
    Scene().DialMeshReady = true;
  }
  SetGlMode(GlMode::Plain);
  Clock().Unpin();
}
BENCHMARK(BM_SceneWorkNullSink)->Arg(1)->Arg(5)->Arg(7)->Unit(benchmark::kMicrosecond);

// One whole saver frame on Mesa's llvmpipe at 1024 x 768, finished.
void BM_FullFrameLlvmpipe(benchmark::State& state) {
  const int32_t dial = static_cast<int32_t>(state.range(0));
  const RenderOptions o = SaverAt(dial, 1);
  Clock().Pin(*o.time);
  OffscreenContext context(1024, 768);
  PrepareWindow(o, 1024, 768);
  for (auto _ : state) {
    DrawWindowFrame(o, 1024, 768);
    glFinish();
  }
  Clock().Unpin();
}
BENCHMARK(BM_FullFrameLlvmpipe)->Arg(1)->Arg(5)->Arg(7)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
