#include <gtest/gtest.h>

#include <cstdlib>
#include <ostream>
#include <string>

#include "tools/render/Png.h"
#include "tools/render/SceneRender.h"

namespace {

// Mesa may round a few edge pixels differently between builds; a drawing fault moves
// hundreds of pixels.
constexpr int kChannelTolerance = 24;
constexpr double kMaxDifferingShare = 0.0005;

struct GoldenCase {
  const char* file;
  RenderOptions options;
};

RenderOptions Options(SceneWindow window, TimeOfDay time, int32_t dial, int32_t hands, int frames) {
  RenderOptions o;
  o.window = window;
  o.time = time;
  o.Setting(&ClockSettings::Color) = dial;
  o.Setting(&ClockSettings::Arrows) = hands;
  o.frames = frames;
  o.seed = 12345;
  o.width = 256;
  o.height = 192;
  return o;
}

GoldenCase SaverCase() {
  GoldenCase c{"saver-dial3-hands4.png", Options(SceneWindow::Saver, {10, 8, 30, 0}, 3, 4, 1)};
  c.options.Setting(&ClockSettings::Ar_Color) = 2;
  c.options.Setting(&ClockSettings::Alpha) = 4;
  return c;
}

GoldenCase SettingsCase() {
  GoldenCase c{"settings-dial1-hands9.png",
               Options(SceneWindow::Settings, {22, 41, 7, 0}, 1, 9, 5)};
  c.options.Setting(&ClockSettings::Sizes) = 15;
  c.options.Setting(&ClockSettings::Brightness) = 4;
  // The settings window's own size: the clock fills the strip above the controls.
  c.options.width = 400;
  c.options.height = 430;
  return c;
}

GoldenCase PreviewCase() {
  return {"preview.png", Options(SceneWindow::Preview, {3, 30, 45, 0}, 0, 0, 1)};
}

std::string GoldenPath(const char* file) {
  std::string path = TESSARYN_GOLDEN_DIR "/";
  path += file;
  return path;
}

// The share of pixels with a channel further than the tolerance from the golden one.
double DifferingShare(const Image& a, const Image& b) {
  if (a.width != b.width || a.height != b.height) return 1.0;
  size_t differing = 0;
  for (size_t i = 0; i < a.rgb.size(); i += 3) {
    for (size_t ch = 0; ch < 3; ++ch) {
      if (std::abs(a.rgb[i + ch] - b.rgb[i + ch]) > kChannelTolerance) {
        ++differing;
        break;
      }
    }
  }
  return static_cast<double>(differing) / static_cast<double>(a.rgb.size() / 3);
}

Image Golden(const GoldenCase& c) {
  std::string error;
  Image golden;
  // TESSARYN_UPDATE_GOLDEN=1 redraws the golden pictures after an intended change.
  if (std::getenv("TESSARYN_UPDATE_GOLDEN") != nullptr) {
    EXPECT_TRUE(WritePng(GoldenPath(c.file), RenderScene(c.options, false).image, error)) << error;
  }
  EXPECT_TRUE(ReadPng(GoldenPath(c.file), golden, error)) << error;
  return golden;
}

class GoldenImages : public ::testing::TestWithParam<GoldenCase> {};

TEST_P(GoldenImages, MatchWithinTolerance) {
  const GoldenCase& c = GetParam();
  const Image golden = Golden(c);
  const Image drawn = RenderScene(c.options, false).image;
  EXPECT_LE(DifferingShare(drawn, golden), kMaxDifferingShare) << c.file;
}

void PrintTo(const GoldenCase& c, std::ostream* os) {
  *os << c.file;
}

INSTANTIATE_TEST_SUITE_P(Windows, GoldenImages,
                         ::testing::Values(SaverCase(), SettingsCase(), PreviewCase()),
                         [](const ::testing::TestParamInfo<GoldenCase>& info) {
                           std::string name = info.param.file;
                           name = name.substr(0, name.find('.'));
                           for (char& ch : name) {
                             if (ch == '-') ch = '_';
                           }
                           return name;
                         });

TEST(GoldenComparison, CatchesASecondHandOneSecondOff) {
  const GoldenCase c = PreviewCase();
  RenderOptions late = c.options;
  late.time->second += 1;
  EXPECT_GT(DifferingShare(RenderScene(late, false).image, Golden(c)), kMaxDifferingShare);
}

TEST(GoldenComparison, CatchesAnotherHandStyle) {
  GoldenCase c = SaverCase();
  c.options.Setting(&ClockSettings::Arrows) = 3;
  std::string error;
  Image golden;
  ASSERT_TRUE(ReadPng(GoldenPath(SaverCase().file), golden, error)) << error;
  EXPECT_GT(DifferingShare(RenderScene(c.options, false).image, golden), kMaxDifferingShare);
}

}  // namespace
