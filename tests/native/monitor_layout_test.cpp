#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/SceneFrames.h"
#include "windowsetup/MonitorLayout.h"
#include "tests/native/SceneTrace.h"

namespace {

struct LayoutCase {
  const char* name;
  ScreenRect window;
  std::vector<ScreenRect> monitors;
  std::vector<Viewport> expected;
};

bool operator==(const Viewport& a, const Viewport& b) {
  return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
}

TEST(MonitorViewports, OneViewportPerMonitorCountedFromTheWindowsBottomLeft) {
  const std::vector<LayoutCase> cases = {
      {"one screen", {0, 0, 1024, 768}, {{0, 0, 1024, 768}}, {{0, 0, 1024, 768}}},
      {"smaller second screen to the right, top-aligned",
       {0, 0, 1824, 768},
       {{0, 0, 1024, 768}, {1024, 0, 1824, 600}},
       {{0, 0, 1024, 768}, {1024, 168, 800, 600}}},
      {"second screen to the left of the primary",
       {-1280, 0, 1920, 1080},
       {{0, 0, 1920, 1080}, {-1280, 0, 0, 1024}},
       {{1280, 0, 1920, 1080}, {0, 56, 1280, 1024}}},
      {"second screen above the primary",
       {0, -768, 1024, 768},
       {{0, 0, 1024, 768}, {0, -768, 1024, 0}},
       {{0, 0, 1024, 768}, {0, 768, 1024, 768}}},
      {"monitor reaching past the window is clipped, one outside is left out",
       {0, 0, 1024, 768},
       {{-100, 0, 1024, 768}, {2000, 0, 2800, 600}},
       {{0, 0, 1024, 768}}},
  };
  for (const LayoutCase& c : cases) {
    const std::vector<Viewport> got = MonitorViewports(c.window, c.monitors);
    ASSERT_EQ(got.size(), c.expected.size()) << c.name;
    for (size_t i = 0; i < got.size(); ++i) {
      EXPECT_TRUE(got[i] == c.expected[i])
          << c.name << ", monitor " << i << ": " << got[i].x << "," << got[i].y << " "
          << got[i].width << "x" << got[i].height;
    }
  }
}

// Style 1 moves its phases and draws random numbers at every drawing: the hardest case
// for showing one frame on two monitors.
using SaverOnTwoMonitors = SaverFrameTest<1>;

TEST_F(SaverOnTwoMonitors, EachMonitorShowsTheFrameOneScreenWouldShow) {
  // Both frames start from one window state and one generator, with the same inputs.
  const FrameInputs in = Inputs();
  const SceneState start = state_;
  const RandomGenerator start_random = random_;
  std::vector<std::string> one;
  for (const GlCall& c : Trace([&] { DrawSaverScene(in, Window(), 64, 64); }))
    one.push_back(FormatGlCall(c));
  const SceneState one_state = state_;
  const uint32_t one_random = random_.State();

  SceneState state = start;
  RandomGenerator random = start_random;
  // One clear, then per monitor its viewport and the calls one screen's frame makes.
  std::vector<std::string> expected = {one.front(), "glViewport 0 0 1024 768"};
  expected.insert(expected.end(), one.begin() + 1, one.end());
  expected.push_back("glViewport 1024 168 800 600");
  expected.insert(expected.end(), one.begin() + 1, one.end());
  std::vector<std::string> two;
  for (const GlCall& c : Trace([&] {
         DrawSaverSceneInEach(in, {state, Objects(), random},
                              {{0, 0, 1024, 768}, {1024, 168, 800, 600}});
       }))
    two.push_back(FormatGlCall(c));
  EXPECT_TRUE(two == expected) << "the two monitors' frames differ from one screen's";

  // The animation, the random generator and the caption advance once per frame.
  EXPECT_EQ(state.Dial.phase_a, one_state.Dial.phase_a);
  EXPECT_EQ(state.Dial.speed_b, one_state.Dial.speed_b);
  EXPECT_EQ(random.State(), one_random);
  EXPECT_FLOAT_EQ(state.Caption.CaptionAlpha, 0.001f);
  EXPECT_EQ(state.Caption.CaptionAlphaStep, one_state.Caption.CaptionAlphaStep);
  EXPECT_TRUE(state.DialMeshReady);
}

}  // namespace
