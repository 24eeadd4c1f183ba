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
