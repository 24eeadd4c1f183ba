#pragma once

#include <optional>
#include <string>

// The font file the caption is drawn from, as fontconfig resolves it: bold "Courier New"
// as on Windows where it is installed, else bold Liberation Mono, which has Courier
// New's metrics.
struct CaptionFace {
  std::string file;
  int index = 0;
  std::string family;
};

std::optional<CaptionFace> FindCaptionFace();

// The pixels per em at which GDI draws a TrueType face for a positive CreateFont
// height: the height is the cell's (the face's Windows ascent plus descent), rounded to
// the nearest whole em as MulDiv does.
int PixelsPerEmForCellHeight(int cell_height_px, int units_per_em, int win_ascent, int win_descent);
