#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "settings/DialStyle.h"
#include "settings/SettingsTable.h"

// What an administrator reads about one setting's policy. Everything the settings table
// already says (the value's name, the range, the default, the slider's label) comes from
// its row; this is the prose the table has no room for.
struct SettingProse {
  int32_t ClockSettings::*field;
  // The policy's name in the editor's list, and its control's label.
  std::string_view display_name;
  // The help's first paragraph; "{low}", "{high}" and "{label}" stand for the row's
  // range and its slider's label.
  std::string_view what;
  // The help's second paragraph, after "If you enable this policy setting, ".
  std::string_view when_enabled;
  // Names each value of a drop-down; a setting without it gets a number box, a switch a
  // check box.
  std::string (*item_name)(int32_t value) = nullptr;
  // A switch's check box.
  std::string_view check_box_text = {};
};

// As the README's gallery names them.
inline std::string DialItemName(int32_t style) {
  return ShowsDial(style) ? "Dial " + std::to_string(style) : "No dial";
}
inline std::string HandsItemName(int32_t style) {
  return "Hands " + std::to_string(style);
}

inline constexpr std::array<SettingProse, kSettingCount> kSettingProse = {{
    {&ClockSettings::Brightness, "Brightness",
     "Sets the brightness of the clock, from {low} (dark) to {high}, as the \"{label}\" slider "
     "of the screensaver's settings does.",
     "the clock is drawn at this brightness, and the slider in the settings window stands "
     "disabled at it."},
    {&ClockSettings::Sizes, "Digital size",
     "Sets the size of the dot numerals around the dial, from {low} to {high}, as the "
     "\"{label}\" slider does.",
     "the numerals are drawn at this size, and the slider stands disabled at it."},
    {&ClockSettings::Color, "Dial",
     "Chooses the dial, one of the ten shown in the README's gallery, or no dial, as the "
     "\"{label}\" slider does.",
     "this dial is drawn, also in random mode, and the slider stands disabled at it.",
     DialItemName},
    {&ClockSettings::Alpha, "Dial colour",
     "Chooses the dial's colour, {low} to {high}, as the \"{label}\" slider does.",
     "the dial has this colour, also in random mode, and the slider stands disabled at it."},
    {&ClockSettings::Arrows, "Hands",
     "Chooses the hands, one of the ten shown in the README's gallery, as the \"{label}\" "
     "slider does.",
     "these hands are drawn, also in random mode, and the slider stands disabled at them.",
     HandsItemName},
    {&ClockSettings::Ar_Color, "Hand colour",
     "Chooses the hands' colour, {low} to {high}, as the \"{label}\" slider does.",
     "the hands have this colour, also in random mode, and the slider stands disabled at it."},
    {&ClockSettings::Rands, "Random mode",
     "Turns the random mode on or off, as the \"{label}\" check box does: in random mode each "
     "start picks the hands, their colour, the dial and its colour at random, except those "
     "another policy sets.",
     "random mode is on when the box below is checked and off when it is not, and the check "
     "box in the settings window stands disabled.",
     nullptr, "Pick the look at random at each start"},
}};

// The prose of `row`'s setting; nothing for a row without any.
constexpr const SettingProse* FindProse(const SettingRow& row) {
  for (const SettingProse& prose : kSettingProse) {
    if (prose.field == row.field) {
      return &prose;
    }
  }
  return nullptr;
}

// A new row of the settings table does not build until its policy is described here,
// and a switch, shown as a check box, says what its box means.
constexpr bool EveryRowHasItsProse() {
  for (const SettingRow& row : kSettingsTable) {
    const SettingProse* prose = FindProse(row);
    if (prose == nullptr || (row.is_switch && prose->check_box_text.empty())) {
      return false;
    }
  }
  return true;
}
static_assert(EveryRowHasItsProse(), "a settings row without its policy's prose");

// The clock synchronisation's two policies, which are no rows of the settings table.
inline constexpr std::string_view kClockSyncDisplayName = "Allow clock synchronization";
inline constexpr std::string_view kClockSyncHelp =
    R"text(Allows or forbids the "Clock synchronization" button of the screensaver's settings, which sets the computer's clock from a Daytime server (TCP port 13).

If you disable this policy setting, the button stands disabled. Set for the computer, it also makes the elevated clock step (tessaryn-clock.exe) refuse to set the clock.

If you enable this policy setting, the button works, even where the user's policy forbids it.

If you do not configure this policy setting, the button works.

Computers that take their time from the domain need no other clock setting: disable this policy for them.)text";

inline constexpr std::string_view kTimeServersDisplayName = "Time servers";
inline constexpr std::string_view kTimeServersHelp =
    R"text(Names the Daytime servers that "Clock synchronization" asks, in place of the built-in public servers: dotted IPv4 addresses, each with an optional port (a.b.c.d or a.b.c.d:port; port 13 when none is given), separated by commas, for example 10.0.0.5, 10.0.0.6:1313. Host names are not accepted.

If you enable this policy setting, the servers are asked in this order, the next one after a server fails. An entry that is not an address is left out; a list without one address is ignored.

If you disable or do not configure this policy setting, the built-in public servers are asked.

A list set for the computer wins over one set for the user.)text";
inline constexpr std::string_view kTimeServersLabel =
    "Servers (a.b.c.d[:port], separated by commas):";
