#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tools/render/GlTrace.h"
#include "tools/render/RenderOptions.h"
#include "tools/render/SceneRender.h"

namespace {

size_t CountIf(const std::vector<std::string>& lines, const std::string& name) {
  return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
    return l.rfind(name + " ", 0) == 0 || l == name;
  }));
}

std::optional<RenderOptions> Parse(std::vector<const char*> args, std::string& error) {
  return ParseRenderOptions(static_cast<int>(args.size()), args.data(), error);
}

TEST(RenderOptions, DefaultsAreTheSaverAt1024x768ForOneFrame) {
  std::string error;
  const auto o = Parse({}, error);
  ASSERT_TRUE(o);
  EXPECT_EQ(o->window, SceneWindow::Saver);
  EXPECT_EQ(o->width, 1024);
  EXPECT_EQ(o->height, 768);
  EXPECT_EQ(o->frames, 1);
  EXPECT_FALSE(o->time || o->seed || o->Setting(&ClockSettings::Color) ||
               o->Setting(&ClockSettings::Arrows));
}

TEST(RenderOptions, EveryOptionIsTaken) {
  std::string error;
  const auto o =
      Parse({"--time",       "15:30:45", "--dial",       "3",        "--dial-color", "4",
             "--hands",      "-1",       "--hand-color", "6",        "--sizes",      "15",
             "--brightness", "0",        "--window",     "settings", "--width",      "320",
             "--height",     "240",      "--frames",     "25",       "--seed",       "4294967295",
             "--png",        "a.png",    "--trace",      "a.txt",    "--random",     "1"},
            error);
  ASSERT_TRUE(o) << error;
  EXPECT_EQ(o->time->hour, 15);
  EXPECT_EQ(o->time->minute, 30);
  EXPECT_EQ(o->time->second, 45);
  EXPECT_EQ(*o->Setting(&ClockSettings::Color), 3);
  EXPECT_EQ(*o->Setting(&ClockSettings::Alpha), 4);
  EXPECT_EQ(*o->Setting(&ClockSettings::Arrows),
            -1);  // kept as a hand-edited registry value would be
  EXPECT_EQ(*o->Setting(&ClockSettings::Ar_Color), 6);
  EXPECT_EQ(*o->Setting(&ClockSettings::Sizes), 15);
  EXPECT_EQ(*o->Setting(&ClockSettings::Brightness), 0);
  EXPECT_EQ(o->window, SceneWindow::Settings);
  EXPECT_EQ(o->width, 320);
  EXPECT_EQ(o->height, 240);
  EXPECT_EQ(o->frames, 25);
  EXPECT_EQ(*o->seed, 4294967295u);
  EXPECT_EQ(o->png_path, "a.png");
  EXPECT_EQ(o->trace_path, "a.txt");
  EXPECT_EQ(*o->Setting(&ClockSettings::Rands), 1);
}

TEST(RenderOptions, BadValuesAreRefused) {
  const std::vector<std::vector<const char*>> bad = {
      {"--time", "24:00:00"}, {"--time", "1:2:3"}, {"--time", "12:60:00"}, {"--width", "0"},
      {"--height", "99999"},  {"--frames", "0"},   {"--window", "full"},   {"--dial", "3x"},
      {"--seed", "-1"},       {"--hands"},         {"--colour", "1"},      {"--png", ""}};
  for (const auto& args : bad) {
    std::string error;
    EXPECT_FALSE(Parse(args, error)) << args[0];
    EXPECT_FALSE(error.empty());
  }
}

TEST(GlTraceFormat, NamesThenArgumentsWithFloatsToNineDigits) {
  EXPECT_EQ(FormatGlCall({"glVertex3f", {{0.566116571f, true}, {0.171286345f, true}, {0, true}}}),
            "glVertex3f 0.566116571 0.171286345 0");
  EXPECT_EQ(FormatGlCall({"glBegin", {{7, false}}}), "glBegin 7");
  EXPECT_EQ(FormatGlCall({"glViewport", {{0, false}, {-100, false}}}), "glViewport 0 -100");
  EXPECT_EQ(FormatGlCall({"glColor4f", {{0.1f, true}, {-2.5e-12f, true}}}),
            "glColor4f 0.100000001 -2.49999999e-12");
  EXPECT_EQ(FormatGlCall({"glEnd", {}}), "glEnd");
}

TEST(RenderScene, TracesTheLastFrameOfTheChosenWindow) {
  RenderOptions o;
  o.time = TimeOfDay{15, 30, 45, 0};
  o.seed = 1;
  o.width = 64;
  o.height = 48;
  o.frames = 3;
  const RenderResult saver = RenderScene(o, true);
  std::vector<std::string> lines;
  for (const GlCall& c : saver.trace)
    lines.push_back(FormatGlCall(c));
  EXPECT_EQ(lines.front(), "glClear 16384");
  // Style 1's second hand, row 25, column 10, in the hand's own frame.
  EXPECT_NE(std::find(lines.begin(), lines.end(), "glVertex3f 0.566116571 0.171286345 0"),
            lines.end());
  // Three frames in, the caption has faded in to 0.002.
  EXPECT_NE(
      std::find(lines.begin(), lines.end(), "glColor4f 0.899999976 0.699999988 0 0.00200000009"),
      lines.end());
  EXPECT_EQ(saver.image.width, 64);
  EXPECT_EQ(saver.image.height, 48);

  o.window = SceneWindow::Preview;
  o.Setting(&ClockSettings::Color) = 2;
  o.Setting(&ClockSettings::Arrows) = 1;
  const RenderResult preview = RenderScene(o, true);
  lines.clear();
  for (const GlCall& c : preview.trace)
    lines.push_back(FormatGlCall(c));
  // A fresh set-up at every paint, the fixed light level 7, and no caption.
  EXPECT_EQ(lines.front(), "glClearColor 0 0 0 0");
  EXPECT_NE(std::find(lines.begin(), lines.end(),
                      "glLightfv 16384 4609 0.349999994 0.349999994 0.349999994 1"),
            lines.end());
  EXPECT_EQ(CountIf(lines, "glRasterPos2f"), 0u);
  EXPECT_EQ(CountIf(lines, "glVertex2f"), 0u);  // dial 8, not 2
}

}  // namespace
