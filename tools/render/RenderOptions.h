#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/ClockSource.h"
#include "settings/SettingsTable.h"

enum class SceneWindow { Saver, Settings, Preview };

struct RenderOptions {
  std::optional<TimeOfDay> time;  // the current time when absent
  // The settings chosen, each taken as stored (--random as Rands: exactly 1 lets the
  // window's random mode pick the styles).
  SettingChoices settings;
  SceneWindow window = SceneWindow::Saver;
  int width = 1024;
  int height = 768;
  int frames = 1;
  std::optional<uint32_t> seed;
  std::string png_path;
  std::string trace_path;
  bool help = false;

  std::optional<int32_t>& Setting(int32_t ClockSettings::*field) {
    return settings.at(SettingIndex(field));
  }
  const std::optional<int32_t>& Setting(int32_t ClockSettings::*field) const {
    return settings.at(SettingIndex(field));
  }
};

// The text --help prints; the settings' options come from their table.
std::string RenderUsage();

// Parses the command line (without the program name). On a bad option returns nothing
// and says why in `error`.
std::optional<RenderOptions> ParseRenderOptions(int argc, const char* const* argv,
                                                std::string& error);
