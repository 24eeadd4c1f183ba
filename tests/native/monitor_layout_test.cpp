#include <gtest/gtest.h>

#include <vector>

#include "scene/SceneFrames.h"
#include "settings/setup/MonitorLayout.h"
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
class SaverOnTwoMonitors : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    AppSettings().clock = {9, 10, 1, 1, 1, 5, 0};
    Scene().LightLevel = 9;
    Caption().FontListBase = 100;
    Caption().CaptionAlphaStep = 0.001f;
    start_scene_ = Scene();
    start_random_ = Random().State();
  }
  void Restart() {
    Scene() = start_scene_;
    Caption().CaptionAlpha = 0.0f;
    Random().SetState(start_random_);
  }

  SceneState start_scene_;
  uint32_t start_random_ = 0;
};

TEST_F(SaverOnTwoMonitors, EachMonitorShowsTheFrameOneScreenWouldShow) {
  const auto one = Trace(DrawSaverScene);
  const std::vector<DrawnBlock> one_blocks = BlocksOf(one);
  const float one_phase = Scene().Dial.phase_a;
  const uint32_t one_random = Random().State();

  Restart();
  const std::vector<Viewport> monitors = {{0, 0, 1024, 768}, {1024, 168, 800, 600}};
  const auto two = Trace([&] { DrawSaverSceneInEach(monitors); });

  EXPECT_EQ(CountCalls(two, "glClear"), 1u);
  std::vector<std::string> viewports;
  for (const GlCall& c : two)
    if (c.name == "glViewport") viewports.push_back(FormatGlCall(c));
  EXPECT_EQ(viewports,
            (std::vector<std::string>{"glViewport 0 0 1024 768", "glViewport 1024 168 800 600"}));

  const std::vector<DrawnBlock> two_blocks = BlocksOf(two);
  ASSERT_EQ(two_blocks.size(), 2 * one_blocks.size());
  for (size_t half = 0; half < 2; ++half) {
    for (size_t b = 0; b < one_blocks.size(); ++b) {
      const auto& expected = one_blocks[b].vertices;
      const auto& got = two_blocks[half * one_blocks.size() + b].vertices;
      ASSERT_EQ(got.size(), expected.size()) << "monitor " << half << ", block " << b;
      for (size_t v = 0; v < got.size(); ++v) {
        ASSERT_EQ(got[v].x, expected[v].x) << "monitor " << half << ", block " << b;
        ASSERT_EQ(got[v].y, expected[v].y);
        ASSERT_EQ(got[v].red, expected[v].red);
        ASSERT_EQ(got[v].alpha, expected[v].alpha);
      }
    }
  }
  // The animation, the random generator and the caption advance once per frame.
  EXPECT_EQ(Scene().Dial.phase_a, one_phase);
  EXPECT_EQ(Random().State(), one_random);
  EXPECT_FLOAT_EQ(Caption().CaptionAlpha, 0.001f);
  EXPECT_EQ(CountCalls(two, "glRasterPos2f"), 4u);
  EXPECT_TRUE(Scene().DialMeshReady);
}

}  // namespace
