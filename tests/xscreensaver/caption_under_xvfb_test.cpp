#include <gtest/gtest.h>

#include <ft2build.h>
#include FT_FREETYPE_H
#include <fontconfig/fontconfig.h>
#include <sys/wait.h>

#include <algorithm>
#include <climits>
#include <cmath>
#include <numbers>
#include <csignal>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "scene/Caption.h"
#include "tests/xscreensaver/XTestBed.h"
#include "tools/render/SceneRender.h"
#include "xscreensaver/CaptionFace.h"

namespace {

constexpr int kStart_ms = 60000;  // generous: 100 frames at 25 a second, on a loaded machine
constexpr int kStop_ms = 10000;
constexpr int kFrames = 100;  // the caption's pulse has reached a tenth of its strength
constexpr char kFramesDone[] = "_TESSARYN_FRAMES_DONE";

// A glyph as FreeType draws it one bit deep: its ink box from the pen and its ink.
struct GlyphInk {
  int left = 0;
  int width = 0;
  int top = 0;
  int rows = 0;
  int advance = 0;
  int pixels = 0;
  std::vector<int> row_pixels;  // from the top row down
};

struct FtFace {
  FT_Library library = nullptr;
  FT_Face face = nullptr;
  FtFace(const std::string& file, int index, int ppem) {
    FT_Init_FreeType(&library);
    if (FT_New_Face(library, file.c_str(), index, &face) == 0) {
      FT_Set_Pixel_Sizes(face, 0, static_cast<FT_UInt>(ppem));
    }
  }
  ~FtFace() {
    if (face != nullptr) FT_Done_Face(face);
    FT_Done_FreeType(library);
  }
  GlyphInk Glyph(char c) const {
    GlyphInk g;
    if (face == nullptr || FT_Load_Char(face, static_cast<unsigned char>(c),
                                        FT_LOAD_RENDER | FT_LOAD_TARGET_MONO) != 0) {
      return g;
    }
    const FT_Bitmap& b = face->glyph->bitmap;
    g = {face->glyph->bitmap_left,
         static_cast<int>(b.width),
         face->glyph->bitmap_top,
         static_cast<int>(b.rows),
         static_cast<int>((face->glyph->advance.x + 32) >> 6),
         0,
         std::vector<int>(b.rows, 0)};
    for (unsigned y = 0; y < b.rows; ++y) {
      for (unsigned x = 0; x < b.width; ++x) {
        g.row_pixels[y] +=
            (b.buffer[y * static_cast<unsigned>(b.pitch) + x / 8] >> (7 - x % 8)) & 1;
      }
      g.pixels += g.row_pixels[y];
    }
    return g;
  }
};

// The regular face of a family, to tell bold from it.
std::string RegularFile(const std::string& family) {
  FcPattern* wanted = FcNameParse(reinterpret_cast<const FcChar8*>((family + ":regular").c_str()));
  FcConfigSubstitute(nullptr, wanted, FcMatchPattern);
  FcDefaultSubstitute(wanted);
  FcResult result = FcResultNoMatch;
  FcPattern* found = FcFontMatch(nullptr, wanted, &result);
  FcChar8* file = nullptr;
  std::string path;
  if (found != nullptr && FcPatternGetString(found, FC_FILE, 0, &file) == FcResultMatch) {
    path = reinterpret_cast<const char*>(file);
  }
  if (found != nullptr) FcPatternDestroy(found);
  FcPatternDestroy(wanted);
  return path;
}

struct LineInk {
  int left = INT_MAX, right = INT_MIN, top = INT_MAX, bottom = INT_MIN, pixels = 0;
};

// The line as FreeType lays it out from a pen at (pen_x, baseline_y), y downwards, in
// the rows above `clip_y`.
LineInk LaidOut(const FtFace& face, const char* text, int pen_x, int baseline_y,
                int clip_y = INT_MAX) {
  LineInk ink;
  for (const char* c = text; *c != '\0'; ++c) {
    const GlyphInk g = face.Glyph(*c);
    const int top = baseline_y - g.top;
    for (int row = 0; row < g.rows && top + row < clip_y; ++row) {
      if (g.row_pixels[static_cast<size_t>(row)] == 0) continue;
      ink.left = std::min(ink.left, pen_x + g.left);
      ink.right = std::max(ink.right, pen_x + g.left + g.width);
      ink.top = std::min(ink.top, top + row);
      ink.bottom = std::max(ink.bottom, top + row + 1);
      ink.pixels += g.row_pixels[static_cast<size_t>(row)];
    }
    pen_x += g.advance;
  }
  return ink;
}

// The first line's ink from row `top` down: the pixels `is_ink` says the caption drew,
// down to the first row without any below the baseline, where the second line begins.
template <typename IsInk>
LineInk FirstLine(const Image& drawn, int top, int baseline, int bottom, IsInk is_ink) {
  LineInk ink;
  for (int y = std::max(top, 0); y < std::min(bottom, drawn.height); ++y) {
    int in_row = 0;
    for (int x = 0; x < drawn.width; ++x) {
      if (is_ink(x, y)) {
        ink.left = std::min(ink.left, x);
        ink.right = std::max(ink.right, x + 1);
        ink.top = std::min(ink.top, y);
        ink.bottom = y + 1;
        ++in_row;
      }
    }
    if (in_row == 0 && y > baseline) break;
    ink.pixels += in_row;
  }
  return ink;
}

// What differs from tessaryn-render's frame, which has no caption font.
LineInk DrawnOverReference(const Image& drawn, const Image& expected, int top, int baseline,
                           int bottom) {
  return FirstLine(drawn, top, baseline, bottom, [&](int x, int y) {
    return std::memcmp(drawn.At(x, y), expected.At(x, y), 3) != 0;
  });
}

// The caption's own colour (0.9, 0.7, 0) at a tenth of its strength over the black of
// dial 0, between columns `left` and `right`, where nothing else of the clock is that dim.
LineInk DrawnByColour(const Image& drawn, int left, int right, int top, int baseline, int bottom) {
  return FirstLine(drawn, top, baseline, bottom, [&](int x, int y) {
    const uint8_t* p = drawn.At(x, y);
    return x >= left && x < right && p[0] >= 10 && p[0] <= 60 && p[2] < 8 &&
           p[1] * 10 >= p[0] * 6 && p[1] * 10 <= p[0] * 9;
  });
}

// Where a point of the clock's plane at z = 0 lands: the eye at z = 5 with a 45° field
// of view over the whole window, `aspect` wider than high (1 as the saver starts).
double PixelX(double x, int width, double aspect = 1.0) {
  return (1.0 + x / (5.0 * std::tan(std::numbers::pi / 8.0) * aspect)) / 2.0 * width;
}
double PixelY(double y, int height) {
  return (1.0 - y / (5.0 * std::tan(std::numbers::pi / 8.0))) / 2.0 * height;
}

struct CaptionRow {
  int start_width, start_height;  // the window as the hack finds it
  int width, height;              // as it draws the frame measured
  // CreateFont(-(width / 30)) asks for this character height, the em in pixels.
  int em_px;
};

// The caption in the daemon's window, at a pinned time once its pulse shows: the first
// line is bold "Courier New" (or Liberation Mono, which has its metrics) with an em of
// the character height asked for, so it spans 24 of that face's own advances at that
// size, from the same raster position, and it follows a change of the window's width.
TEST(HackCaption, FirstLineInTheWindowsFaceAtTheWindowsSize) {
  struct FontconfigDone {
    ~FontconfigDone() { FcFini(); }
  } fontconfig_done;
  const auto face = FindCaptionFace();
  ASSERT_TRUE(face) << "neither bold Courier New nor bold Liberation Mono is installed";
  ASSERT_TRUE(face->family == "Courier New" || face->family == "Liberation Mono") << face->family;

  VirtualScreen screen("1920x1080x24");
  Display* x = screen.Connection();
  const CaptionRow rows[] = {
      {1024, 768, 1024, 768, 34},
      {1920, 1080, 1920, 1080, 64},
      // Shrunk after the hack has taken the window: the font is made anew for the new
      // width, and the picture takes the window's true aspect from then on.
      {1920, 1080, 1024, 768, 34},
  };
  for (const CaptionRow& r : rows) {
    SCOPED_TRACE(std::to_string(r.width) + " wide");
    ASSERT_EQ(CaptionFontCharHeight(r.width), r.em_px);
    const Window window = MapTestWindow(x, r.start_width, r.start_height);
    // Only the hack's own selection of StructureNotify is then seen in the window's masks.
    XSelectInput(x, window, PropertyChangeMask);
    HackProcess hack({"-dial", "0", "-window-id", std::to_string(window)},
                     {"DISPLAY=" + screen.Name(), "TESSARYN_PINNED_TIME=10:08:37",
                      "TESSARYN_SEED=5", "TESSARYN_FRAMES=" + std::to_string(kFrames)});
    if (r.width != r.start_width) {
      XWindowAttributes a{};
      for (int i = 0; i < kStart_ms / 10 && hack.Running(); ++i) {
        XGetWindowAttributes(x, window, &a);
        if (a.all_event_masks & StructureNotifyMask) break;
        usleep(10000);
      }
      ASSERT_TRUE(a.all_event_masks & StructureNotifyMask) << hack.Stderr();
      XResizeWindow(x, window, static_cast<unsigned>(r.width), static_cast<unsigned>(r.height));
      XSync(x, False);
    }
    ASSERT_TRUE(WaitForProperty(x, window, kFramesDone, hack, kStart_ms)) << hack.Stderr();
    const Image drawn = ReadWindow(x, window);
    hack.Signal(SIGTERM);
    hack.WaitForExit(kStop_ms);
    XDestroyWindow(x, window);
    ASSERT_EQ(drawn.width, r.width);

    // The face's own metrics at that em: one advance for every character of the line.
    const FtFace bold(face->file, face->index, r.em_px);
    const int advance_px = bold.Glyph('W').advance;
    ASSERT_GT(advance_px, r.em_px / 2);
    const int baseline = static_cast<int>(std::lround(PixelY(1.2, r.height)));
    const int next_baseline = static_cast<int>(std::lround(PixelY(1.0, r.height)));
    // At an em of a thirtieth of the width the second line's tall glyphs reach up
    // between the first's descenders: the first is measured in the rows above them.
    const auto second_line_top = [&](int pen_x) {
      return std::min(next_baseline, LaidOut(bold, kCaptionLine2, pen_x, next_baseline).top);
    };
    if (r.width != r.start_width) {
      const double aspect = static_cast<double>(r.width) / r.height;
      const int pen_x = static_cast<int>(std::floor(PixelX(-1.0, r.width, aspect)));
      const int clip = second_line_top(pen_x);
      const LineInk want = LaidOut(bold, kCaptionLine1, pen_x, baseline, clip);
      // From a row above the tallest glyph: the minute marks higher up are as dim at their
      // edges.
      const LineInk got = DrawnByColour(drawn, pen_x - 2, pen_x + 24 * advance_px + 2, want.top - 1,
                                        baseline, clip);
      EXPECT_NEAR(got.right - got.left, want.right - want.left, 2);
      EXPECT_NEAR(got.bottom - got.top, want.bottom - want.top, 2);
      EXPECT_NEAR(got.pixels, want.pixels, want.pixels / 50);
      continue;
    }

    RenderOptions o;
    o.width = r.width;
    o.height = r.height;
    o.time = TimeOfDay{10, 8, 37, 0};
    o.seed = 5;
    o.frames = kFrames;
    o.Setting(&ClockSettings::Color) = 0;
    const Image expected = RenderScene(o, false).image;

    // The raster position (-1, 1.2), and the second line's at (-1, 1.0) bounds the first.
    const int pen_x = static_cast<int>(std::floor(PixelX(-1.0, r.width)));
    const int clip = second_line_top(pen_x);
    const LineInk want = LaidOut(bold, kCaptionLine1, pen_x, baseline, clip);
    const LineInk got = DrawnOverReference(drawn, expected, baseline - r.em_px, baseline, clip);

    // 24 characters of one advance each, from the raster position.
    EXPECT_EQ(std::strlen(kCaptionLine1), 24u);
    EXPECT_NEAR(got.left, want.left, 2);
    EXPECT_NEAR(got.right, want.right, 2);
    EXPECT_GE(got.left, pen_x - 2);
    EXPECT_LE(got.right, pen_x + 24 * advance_px + 2);
    EXPECT_GT(got.right, pen_x + 23 * advance_px);
    // The pixel height: the ink from the tallest glyph's top to the lowest descender.
    EXPECT_NEAR(got.top, want.top, 2);
    EXPECT_NEAR(got.bottom, want.bottom, 2);
    // One-bit bold glyphs: every pixel of the bold face's bitmaps and no other, where the
    // regular face has far fewer.
    const FtFace regular(RegularFile(face->family), 0, r.em_px);
    const int regular_pixels = LaidOut(regular, kCaptionLine1, pen_x, baseline, clip).pixels;
    EXPECT_NEAR(got.pixels, want.pixels, want.pixels / 50);
    EXPECT_LT(regular_pixels, want.pixels * 9 / 10) << "the regular face would pass for bold";
  }
}

}  // namespace
