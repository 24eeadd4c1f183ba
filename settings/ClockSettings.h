#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

class RandomGenerator;

// The seven stored settings, named as their registry values.
struct ClockSettings {
  int32_t Brightness = 0;
  int32_t Sizes = 0;
  int32_t Color = 0;
  int32_t Alpha = 0;
  int32_t Arrows = 0;
  int32_t Ar_Color = 0;
  int32_t Rands = 0;

  bool operator==(const ClockSettings&) const = default;
};

struct RGB {
  float red = 0.0f;
  float green = 0.0f;
  float blue = 0.0f;

  bool operator==(const RGB&) const = default;
};

inline constexpr size_t kSettingCount = 7;

// A value chosen for some of the settings, by their place in the settings table.
using SettingChoices = std::array<std::optional<int32_t>, kSettingCount>;

// A window's settings: the stored seven and the colours taken from them. Each window
// owns one, so a test builds the one it wants.
struct SettingsState {
  ClockSettings clock;
  RGB HandRGB;
  RGB DialRGB;
  // What an administrator's policy fixed: put over the stored values at the load, kept
  // through the random mode, never saved as the user's.
  SettingChoices policy;
};

// Which window loads the settings: the two seed different defaults.
enum class SettingsLoader { FullScreen, SettingsWindow };

// What a first run of this window kind stores; also the value taken by a setting that
// could not be read.
ClockSettings SeededSettings(SettingsLoader loader);

// Seeds the defaults when Arrows, Brightness, Sizes, Alpha and Color are all 0
// (Ar_Color and Rands are not looked at). Returns whether it seeded.
bool ApplyAllZeroRule(ClockSettings& s, SettingsLoader loader);

// With Rands exactly 1, draws Ar_Color, Arrows, Color and Alpha, in that order; a value
// in `fixed` stays as it is (it is drawn all the same, so the others' draws do not move).
void ApplyRandomMode(ClockSettings& s, RandomGenerator& random, const SettingChoices& fixed = {});

// Sets HandRGB / DialRGB from row `index` of its table; an index outside 1 to 10
// leaves the colour as it was.
void ApplyHandColor(RGB& HandRGB, int32_t index);
void ApplyDialColor(RGB& DialRGB, int32_t index);
