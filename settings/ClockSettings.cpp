#include "settings/ClockSettings.h"

#include <cstddef>

#include "base/RandomGenerator.h"
#include "settings/ColorTables.h"
#include "settings/SettingsTable.h"

namespace {

// The settings window starts with another dial than the full-screen saver.
constexpr int32_t kSettingsWindowFirstDial = 5;

bool InTable(int32_t index) {
  return index >= 1 && index <= 10;
}

// A draw of 1 to 9: value 10 is never drawn.
int32_t DrawOneToNine(RandomGenerator& random) {
  return static_cast<int32_t>(random.Next(9)) + 1;
}

}  // namespace

ClockSettings SeededSettings(SettingsLoader loader) {
  ClockSettings s;
  for (const SettingRow& row : kSettingsTable) {
    s.*row.field = row.default_value;
  }
  if (loader == SettingsLoader::SettingsWindow) {
    s.Color = kSettingsWindowFirstDial;
  }
  return s;
}

bool ApplyAllZeroRule(ClockSettings& s, SettingsLoader loader) {
  if (s.Arrows != 0 || s.Brightness != 0 || s.Sizes != 0 || s.Alpha != 0 || s.Color != 0) {
    return false;
  }
  const int32_t rands = s.Rands;
  s = SeededSettings(loader);
  // Only the settings window starts over with random mode off.
  if (loader == SettingsLoader::FullScreen) {
    s.Rands = rands;
  }
  return true;
}

void ApplyRandomMode(ClockSettings& s, RandomGenerator& random, const SettingChoices& fixed) {
  if (s.Rands != 1) {
    return;
  }
  s.Ar_Color = DrawOneToNine(random);
  s.Arrows = DrawOneToNine(random);
  s.Color = static_cast<int32_t>(random.Next(10));
  s.Alpha = DrawOneToNine(random);
  ApplySettingChoices(s, fixed);
}

void ApplyHandColor(RGB& HandRGB, int32_t index) {
  if (InTable(index)) {
    HandRGB = HandColorTable[static_cast<size_t>(index - 1)];
  }
}

void ApplyDialColor(RGB& DialRGB, int32_t index) {
  if (InTable(index)) {
    DialRGB = DialColorTable[static_cast<size_t>(index - 1)];
  }
}
