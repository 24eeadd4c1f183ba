#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/ClockSource.h"

enum class SceneWindow { Saver, Settings, Preview };

struct RenderOptions {
  std::optional<TimeOfDay> time;  // the current time when absent
  std::optional<int32_t> dial;
  std::optional<int32_t> dial_color;
  std::optional<int32_t> hands;
  std::optional<int32_t> hand_color;
  std::optional<int32_t> sizes;
  std::optional<int32_t> brightness;
  // Rands as stored: exactly 1 lets the window's random mode pick the styles.
  std::optional<int32_t> random;
  SceneWindow window = SceneWindow::Saver;
  int width = 1024;
  int height = 768;
  int frames = 1;
  std::optional<uint32_t> seed;
  std::string png_path;
  std::string trace_path;
  bool help = false;
};

extern const char kRenderUsage[];

// Parses the command line (without the program name). On a bad option returns nothing
// and says why in `error`.
std::optional<RenderOptions> ParseRenderOptions(int argc, const char* const* argv,
                                                std::string& error);
