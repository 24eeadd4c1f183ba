#include "settings/ClockSettings.h"

#include <cstddef>

#include "base/RandomGenerator.h"
#include "settings/ColorTables.h"

namespace {

bool InTable(int32_t index) {
  return index >= 1 && index <= 10;
}

// A draw of 1 to 9: value 10 is never drawn.
int32_t DrawOneToNine(RandomGenerator& random) {
  return static_cast<int32_t>(random.Next(9)) + 1;
}

}  // namespace

ClockSettings SeededSettings(SettingsLoader loader) {
  const int32_t color = loader == SettingsLoader::FullScreen ? 7 : 5;
  return {9, 10, color, 1, 1, 5, 0};
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

void ApplyRandomMode(ClockSettings& s, RandomGenerator& random) {
  if (s.Rands != 1) {
    return;
  }
  s.Ar_Color = DrawOneToNine(random);
  s.Arrows = DrawOneToNine(random);
  s.Color = static_cast<int32_t>(random.Next(10));
  s.Alpha = DrawOneToNine(random);
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
