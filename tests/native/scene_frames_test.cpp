#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "scene/SceneFrames.h"
#include "tests/native/SceneTrace.h"

namespace {

class SceneFrames : public SaverFrameTest<7> {
 protected:
  std::vector<GlCall> SaverFrame() {
    return Trace([&] { DrawSaverScene(Inputs(), Window(), 64, 64); });
  }
  // The settings window's frame: its lights follow Brightness.
  std::vector<GlCall> SettingsFrame() {
    FrameInputs in = Inputs();
    in.LightLevel = settings_.clock.Brightness;
    return Trace([&] { DrawSettingsScene(in, Window()); });
  }
};

std::vector<std::string> Lines(const std::vector<GlCall>& calls) {
  std::vector<std::string> lines;
  for (const GlCall& c : calls)
    lines.push_back(FormatGlCall(c));
  return lines;
}

// The calls that are not part of a glBegin/glEnd block.
std::vector<std::string> Outline(const std::vector<GlCall>& calls) {
  std::vector<std::string> lines;
  bool inside = false;
  for (const GlCall& c : calls) {
    if (c.name == "glBegin") inside = true;
    if (!inside && c.name != "glRotatef") lines.push_back(FormatGlCall(c));
    if (c.name == "glEnd") inside = false;
  }
  return lines;
}

TEST_F(SceneFrames, SaverFrameIsDialHandsThenTheCaption) {
  const auto calls = SaverFrame();
  ASSERT_FALSE(calls.empty());
  EXPECT_EQ(FormatGlCall(calls.front()), "glClear 16384");  // the colour only
  const auto blocks = BlocksOf(calls);
  EXPECT_EQ(blocks.size(), 12u + 3u + 60u + 141u);  // dial 7, hands, marks, numerals
  const std::vector<std::string> lines = Lines({calls.end() - 11, calls.end()});
  EXPECT_EQ(lines[0], "glColor4f 0.899999976 0.699999988 0 0");
  EXPECT_EQ(lines[1], "glRasterPos2f -1 1.20000005");
  EXPECT_EQ(lines[2], "glPushAttrib 131072");  // GL_LIST_BIT
  EXPECT_EQ(lines[3], "glListBase 68");
  EXPECT_EQ(lines[4].rfind("glCallLists 24 5121 83 99 114", 0), 0u) << lines[4];
  EXPECT_EQ(lines[5], "glPopAttrib");
  EXPECT_EQ(lines[6], "glRasterPos2f -1 1");
  EXPECT_TRUE(state_.DialMeshReady);
  // The caption fades in by 0.001 a frame.
  const auto next = Lines(SaverFrame());
  EXPECT_EQ(next[next.size() - 11], "glColor4f 0.899999976 0.699999988 0 0.00100000005");
}

TEST_F(SceneFrames, SaverWithoutADialStyleDrawsNoDial) {
  for (int32_t color : {0, 11}) {
    settings_.clock.Color = color;
    EXPECT_EQ(BlocksOf(SaverFrame()).size(), 3u + 60u + 141u);
  }
}

TEST_F(SceneFrames, SettingsFrameShiftsTheClockAndFollowsBrightness) {
  settings_.clock.Color = 2;
  settings_.clock.Brightness = 3;
  const auto outline = Outline(SettingsFrame());
  const std::vector<std::string> head(outline.begin(), outline.begin() + 7);
  EXPECT_EQ(head, (std::vector<std::string>{
                      "glClear 16384",
                      "glLightfv 16384 4609 0.150000006 0.150000006 0.150000006 1",
                      "glLightfv 16384 4610 0.150000006 0.150000006 0.150000006 1",
                      "glLightfv 16385 4609 0.150000006 0.150000006 0.150000006 1",
                      "glLightfv 16385 4610 0.150000006 0.150000006 0.150000006 1",
                      "glPushMatrix",
                      "glTranslatef -0.0250000004 0 0",
                  }));
  EXPECT_EQ(outline.back(), "glPopMatrix");
  EXPECT_EQ(state_.LightLevel, 3);
  // Unchanged brightness: the lights are left alone.
  EXPECT_EQ(CountCalls(SettingsFrame(), "glLightfv"), 0u);
  EXPECT_EQ(CountCalls(SettingsFrame(), "glRasterPos2f"), 0u);
}

TEST_F(SceneFrames, PreviewAlwaysDrawsDialStyle8) {
  settings_.clock.Color = 3;
  const auto blocks = BlocksOf(Trace([&] { DrawPreviewScene(Inputs(), Window()); }));
  ASSERT_EQ(blocks.size(), 12u + 3u + 60u + 141u);
  // Style 8's far pole, at row 0: z = -1 and alpha cos^2(6 phi) = 0 on the sector edge.
  EXPECT_FLOAT_EQ(blocks[0].vertices[0].z, -1.0f);
  EXPECT_EQ(blocks[0].vertices.size(), 600u);
  EXPECT_TRUE(state_.DialMeshReady);
}

}  // namespace
