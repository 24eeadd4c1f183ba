#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "settings/ClockSettings.h"

// One stored setting, as every place that names it spells it.
struct SettingRow {
  // The value's name in the registry key, as earlier versions stored it: users' keys
  // hold these names, so they stay even where they mislead (see the table).
  const char* registry_name;
  // The hack's option with one dash, as XScreenSaver's hacks spell theirs; the hack
  // takes the GNU spelling with two dashes too, and tessaryn-render takes only that one.
  const char* option;
  // What the XScreenSaver settings call it.
  const char* label;
  // The range the settings window's slider and the hack's option allow.
  int32_t low;
  int32_t high;
  // The full-screen saver's first start (the settings window's differs for the dial).
  int32_t default_value;
  int32_t ClockSettings::*field;
  // On (1) or off (0) only: the hack takes OPTION and -no-OPTION, without a value.
  bool is_switch = false;
};

// The seven settings in the registry's fixed order (Brightness, Sizes, Color, Alpha,
// Arrows, Ar_Color, Rands), which the store's reads and write-backs keep.
//   Brightness  the light level, 0 (dark) to 10
//   Sizes       the numerals' size
//   Color       the dial's style (0: no dial); not a colour, despite the name
//   Alpha       the dial's colour, a row of the dial colour table; not a transparency
//   Arrows      the hands' style
//   Ar_Color    the hands' colour, a row of the hand colour table
//   Rands       1: the random mode picks hands, their colour, dial and its colour
inline constexpr std::array<SettingRow, kSettingCount> kSettingsTable = {{
    {"Brightness", "-brightness", "Brightness", 0, 10, 9, &ClockSettings::Brightness},
    {"Sizes", "-sizes", "Digital Size", 5, 15, 10, &ClockSettings::Sizes},
    {"Color", "-dial", "Dial", 0, 10, 7, &ClockSettings::Color},
    {"Alpha", "-dial-color", "Dial Color", 1, 10, 1, &ClockSettings::Alpha},
    {"Arrows", "-hands", "Arrows", 1, 10, 1, &ClockSettings::Arrows},
    {"Ar_Color", "-hand-color", "Arrows Color", 1, 10, 5, &ClockSettings::Ar_Color},
    {"Rands", "-random", "Random", 0, 1, 0, &ClockSettings::Rands, true},
}};

// The row whose option is `name`, spelled with one dash or two; nothing for another name.
const SettingRow* FindSettingByOption(std::string_view name);

// The place of `field`'s row in the table; kSettingCount for a field without one.
constexpr size_t SettingIndex(int32_t ClockSettings::*field) {
  for (size_t i = 0; i < kSettingsTable.size(); ++i) {
    if (kSettingsTable[i].field == field) {
      return i;
    }
  }
  return kSettingsTable.size();
}

// The row of `field`, for a place that names one setting (a slider, its label).
constexpr const SettingRow& SettingRowOf(int32_t ClockSettings::*field) {
  return kSettingsTable[SettingIndex(field)];
}

// `s` with every chosen value put over it.
void ApplySettingChoices(ClockSettings& s, const SettingChoices& choices);

// Each setting's option for a usage text, in the table's order: "[-dial 0-10]", a switch
// "[-random | -no-random]"; `gnu` gives the two-dash spelling with a value for every
// option, as tessaryn-render takes them: "[--dial N]".
std::vector<std::string> SettingOptionUsages(bool gnu);

// "usage: " `head`, then `items` wrapped before 88 columns, each further line starting
// under the first item.
std::string UsageLines(std::string_view head, const std::vector<std::string>& items);
