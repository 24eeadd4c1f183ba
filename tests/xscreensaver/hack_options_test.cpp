#include <gtest/gtest.h>

#include <regex>
#include <sstream>
#include <string>
#include <vector>

#include "xscreensaver/CaptionFace.h"
#include "xscreensaver/FramePacer.h"
#include "xscreensaver/HackOptions.h"
#include "xscreensaver/TestSeams.h"

namespace {

std::optional<HackOptions> Parse(std::vector<const char*> args, const char* env = nullptr,
                                 std::string* error = nullptr) {
  std::string ignored;
  return ParseHackOptions(static_cast<int>(args.size()), args.data(), env,
                          error != nullptr ? *error : ignored);
}

TEST(HackOptions, DefaultsAreTheFullScreenSaversFirstStart) {
  const auto o = Parse({});
  ASSERT_TRUE(o);
  EXPECT_EQ(o->settings, (ClockSettings{9, 10, 7, 1, 1, 5, 0}));
  EXPECT_EQ(o->target, HackTarget::OwnWindow);
  EXPECT_FALSE(o->fps);
}

TEST(HackOptions, EachSettingTakesBothEndsOfItsRange) {
  struct Row {
    const char* option;
    const char* value;
    int32_t ClockSettings::*field;
    int32_t expected;
  };
  const Row rows[] = {
      {"-hands", "1", &ClockSettings::Arrows, 1},
      {"-hands", "10", &ClockSettings::Arrows, 10},
      {"--hand-color", "1", &ClockSettings::Ar_Color, 1},
      {"-hand-color", "10", &ClockSettings::Ar_Color, 10},
      {"-sizes", "5", &ClockSettings::Sizes, 5},
      {"-sizes", "15", &ClockSettings::Sizes, 15},
      {"-dial", "0", &ClockSettings::Color, 0},
      {"--dial", "10", &ClockSettings::Color, 10},
      {"-dial-color", "1", &ClockSettings::Alpha, 1},
      {"-dial-color", "10", &ClockSettings::Alpha, 10},
      {"-brightness", "0", &ClockSettings::Brightness, 0},
      {"-brightness", "10", &ClockSettings::Brightness, 10},
  };
  for (const Row& r : rows) {
    const auto o = Parse({r.option, r.value});
    ASSERT_TRUE(o) << r.option << " " << r.value;
    EXPECT_EQ(o->settings.*r.field, r.expected) << r.option << " " << r.value;
  }
  EXPECT_EQ(Parse({"-random"})->settings.Rands, 1);
  EXPECT_EQ(Parse({"-random", "-no-random"})->settings.Rands, 0);
}

TEST(HackOptions, BadOptionsAreRefusedNamingTheOption) {
  struct Row {
    std::vector<const char*> args;
    const char* message;
  };
  const Row rows[] = {
      {{"-hands", "11"}, "-hands must be 1 to 10, got 11"},
      {{"-hands", "0"}, "-hands must be 1 to 10, got 0"},
      {{"-hand-color", "11"}, "-hand-color must be 1 to 10, got 11"},
      {{"-sizes", "4"}, "-sizes must be 5 to 15, got 4"},
      {{"-sizes", "16"}, "-sizes must be 5 to 15, got 16"},
      {{"-dial", "-1"}, "-dial must be 0 to 10, got -1"},
      {{"-dial-color", "0"}, "-dial-color must be 1 to 10, got 0"},
      {{"-brightness", "11"}, "-brightness must be 0 to 10, got 11"},
      {{"-hands", "3x"}, "-hands must be 1 to 10, got 3x"},
      {{"-hands", ""}, "-hands must be 1 to 10, got "},
      {{"-sizes"}, "-sizes needs a value"},
      {{"-window-id"}, "-window-id needs a value"},
      {{"-window-id", "0"}, "-window-id must be a window id (decimal or 0x hex), got 0"},
      {{"-window-id", "0xZZ"}, "-window-id must be a window id (decimal or 0x hex), got 0xZZ"},
      {{"-display"}, "-display needs a value"},
      {{"-visual", "truecolor"}, "-visual must be default, best or a visual id, got truecolor"},
      {{"-geometry", "huge"}, "-geometry must be WIDTHxHEIGHT[+X+Y], got huge"},
      {{"-bogus"}, "unknown option -bogus"},
      {{"--bogus"}, "unknown option --bogus"},
      {{"-"}, "unknown option -"},
      {{"---dial", "3"}, "unknown option ---dial"},
      {{"-random", "1", "-dial"}, "unknown option 1"},
      {{"-no-dial", "3"}, "unknown option -no-dial"},
  };
  for (const Row& r : rows) {
    std::string error;
    EXPECT_FALSE(Parse(r.args, nullptr, &error)) << r.message;
    EXPECT_EQ(error, r.message);
  }
}

// The usage's "[-name LOW-HIGH]" items are what the parser takes, every setting has one,
// and its lines fit a terminal.
TEST(HackOptions, UsageNamesEverySettingWithTheRangeTheParserTakes) {
  const std::string usage = HackUsage();
  const std::regex ranged(R"(\[(-[a-z-]+) (\d+)-(\d+)\])");
  int ranged_items = 0;
  for (auto it = std::sregex_iterator(usage.begin(), usage.end(), ranged);
       it != std::sregex_iterator(); ++it, ++ranged_items) {
    const std::string name = (*it)[1];
    const std::string low = (*it)[2];
    const std::string high = (*it)[3];
    const std::string above = std::to_string(std::stoi(high) + 1);
    SCOPED_TRACE(name);
    EXPECT_TRUE(Parse({name.c_str(), low.c_str()}));
    EXPECT_TRUE(Parse({name.c_str(), high.c_str()}));
    EXPECT_FALSE(Parse({name.c_str(), above.c_str()}));
  }
  EXPECT_EQ(ranged_items, 6);
  EXPECT_NE(usage.find("[-random | -no-random]"), std::string::npos);
  std::istringstream lines(usage);
  for (std::string line; std::getline(lines, line);) {
    EXPECT_LE(line.size(), 88u) << line;
  }
}

TEST(HackOptions, TargetIsWindowIdThenWindowThenEnvironmentForTheRoot) {
  struct Row {
    std::vector<const char*> args;
    const char* env;
    HackTarget target;
    unsigned long id;
  };
  const Row rows[] = {
      {{}, nullptr, HackTarget::OwnWindow, 0},
      {{"-window"}, nullptr, HackTarget::OwnWindow, 0},
      {{}, "", HackTarget::OwnWindow, 0},
      {{}, "0x1a00007", HackTarget::WindowId, 0x1a00007},
      {{}, "4194311", HackTarget::WindowId, 4194311},
      {{"-window"}, "0x400007", HackTarget::OwnWindow, 0},
      {{"-root", "-window"}, "0x400007", HackTarget::OwnWindow, 0},
      {{"-window", "-root"}, "0x400007", HackTarget::WindowId, 0x400007},
      {{"-window", "-root"}, nullptr, HackTarget::Root, 0},
      {{"-root"}, "0x400007", HackTarget::WindowId, 0x400007},
      {{"-root"}, nullptr, HackTarget::Root, 0},
      {{"-root", "-window-id", "77"}, "0x400007", HackTarget::WindowId, 77},
      {{"-window-id", "0X2A"}, nullptr, HackTarget::WindowId, 42},
      {{"--window-id", "0x1FFFFFFF"}, nullptr, HackTarget::WindowId, 0x1FFFFFFF},
  };
  for (const Row& r : rows) {
    const auto o = Parse(r.args, r.env);
    ASSERT_TRUE(o) << (r.env ? r.env : "(no env)");
    EXPECT_EQ(o->target, r.target) << (r.env ? r.env : "(no env)");
    EXPECT_EQ(o->window_id, r.id);
  }
  std::string error;
  EXPECT_FALSE(Parse({}, "junk", &error));
  EXPECT_EQ(error, "XSCREENSAVER_WINDOW must be a window id, got junk");
  EXPECT_FALSE(ParseWindowId("0x20000000"));  // wider than an X id
}

// The options every XScreenSaver hack takes, as its users type them.
TEST(HackOptions, StandardOptionsOfEveryHack) {
  const auto o = Parse({"-display", ":7", "-fps", "-no-fps", "-visual", "default", "-geometry",
                        "640x480+10+20", "-window"});
  ASSERT_TRUE(o);
  EXPECT_EQ(o->display, ":7");
  EXPECT_FALSE(o->fps);
  EXPECT_EQ(o->visual, VisualPick::Default);
  EXPECT_EQ(o->target, HackTarget::OwnWindow);
  EXPECT_EQ(o->geometry.width, 640u);
  EXPECT_EQ(o->geometry.height, 480u);
  EXPECT_EQ(o->geometry.x, 10);
  EXPECT_EQ(o->geometry.y, 20);
  EXPECT_TRUE(Parse({"--no-fps", "-fps"})->fps);

  struct VisualRow {
    const char* value;
    VisualPick pick;
    unsigned long id;
  };
  const VisualRow visuals[] = {{"best", VisualPick::Best, 0},
                               {"GL", VisualPick::Best, 0},
                               {"default", VisualPick::Default, 0},
                               {"0x21", VisualPick::Id, 0x21}};
  for (const VisualRow& r : visuals) {
    const auto v = Parse({"-visual", r.value});
    ASSERT_TRUE(v) << r.value;
    EXPECT_EQ(v->visual, r.pick) << r.value;
    EXPECT_EQ(v->visual_id, r.id) << r.value;
  }

  struct GeometryRow {
    const char* text;
    bool valid;
    unsigned width;  // 0: not given
    int x;
    bool from_right;
  };
  const GeometryRow geometries[] = {
      {"800x600", true, 800, 0, false}, {"=320x200+5+6", true, 320, 5, false},
      {"+40+50", true, 0, 40, false},   {"300x200-0-0", true, 300, 0, true},
      {"0x600", false, 0, 0, false},    {"800x600junk", false, 0, 0, false},
      {"big", false, 0, 0, false},      {"", false, 0, 0, false},
  };
  for (const GeometryRow& r : geometries) {
    const auto g = ParseGeometry(r.text);
    ASSERT_EQ(g.has_value(), r.valid) << r.text;
    if (g) {
      EXPECT_EQ(g->width.value_or(0), r.width) << r.text;
      EXPECT_EQ(g->x.value_or(0), r.x) << r.text;
      EXPECT_EQ(g->x_from_right, r.from_right) << r.text;
    }
  }
}

// Good values are the pixel tests' own pins; a bad one is refused, naming its variable.
TEST(TestSeams, MalformedValuesNameTheirVariable) {
  struct Row {
    const char* time;
    const char* seed;
    const char* frames;
    const char* named;
  };
  const Row rows[] = {{"24:00:00", nullptr, nullptr, "TESSARYN_PINNED_TIME"},
                      {"10:08", nullptr, nullptr, "TESSARYN_PINNED_TIME"},
                      {nullptr, "-1", nullptr, "TESSARYN_SEED"},
                      {nullptr, nullptr, "0", "TESSARYN_FRAMES"}};
  for (const Row& r : rows) {
    std::string error;
    EXPECT_FALSE(ParseTestSeams(r.time, r.seed, r.frames, error)) << r.named;
    EXPECT_NE(error.find(r.named), std::string::npos) << error;
  }
}

TEST(FramePacing, FramesKeepToTheGridAndALateOneSkipsAhead) {
  constexpr int64_t ms = 1000000;
  FramePacer pacer(0, 40 * ms);
  struct Step {
    int64_t now_ms;
    bool due;
    int64_t next_ms;
    int wait_ms;
  };
  const Step steps[] = {
      {0, true, 40, 40},     // the first frame at once
      {39, false, 40, 1},    // not before its deadline
      {41, true, 80, 39},    // a little late: the grid, not now + 40
      {205, true, 240, 35},  // three deadlines missed: one frame, no burst
      {206, false, 240, 34},
  };
  for (const Step& s : steps) {
    EXPECT_EQ(pacer.TakeFrame(s.now_ms * ms), s.due) << s.now_ms;
    EXPECT_EQ(pacer.Next_ns(), s.next_ms * ms) << s.now_ms;
    EXPECT_EQ(pacer.Wait_ms(s.now_ms * ms), s.wait_ms) << s.now_ms;
  }
}

TEST(FramePacing, FpsFigureIsRenewedOncePerSecond) {
  constexpr int64_t ms = 1000000;
  FpsCounter fps(0);
  for (int64_t t = 40; t < 1000; t += 40) {
    fps.CountFrame(t * ms);
  }
  EXPECT_EQ(fps.Text(), "FPS: 0.0");
  fps.CountFrame(1000 * ms);
  EXPECT_EQ(fps.Text(), "FPS: 25.0");
  fps.CountFrame(1500 * ms);
  EXPECT_EQ(fps.Text(), "FPS: 25.0");
}

}  // namespace
