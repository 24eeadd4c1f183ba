#include "settingswindow/SettingsSave.h"

#include <array>

#include "settings/win32/RegistryStore.h"

namespace {

// The order of "Save"; the load's write-back keeps its own.
constexpr std::array<NamedValue, 7> kSaveOrder = {{
    {"Arrows", &ClockSettings::Arrows},
    {"Ar_Color", &ClockSettings::Ar_Color},
    {"Brightness", &ClockSettings::Brightness},
    {"Sizes", &ClockSettings::Sizes},
    {"Color", &ClockSettings::Color},
    {"Alpha", &ClockSettings::Alpha},
    {"Rands", &ClockSettings::Rands},
}};

}  // namespace

void WriteSavedSettings(HKEY key, const ClockSettings& s) {
  WriteValuesInOrder(key, s, kSaveOrder);
}

void SaveSettings(const ClockSettings& s) {
  LONG error = ERROR_SUCCESS;
  const UniqueRegKey key = CreateSettingsKey(&error);
  if (!key.valid()) {
    // A save that stores nothing is said, as a value that cannot be written is: the user
    // asked for it and would otherwise take it as done. No value was tried, so the
    // message names the key.
    throw OpenKeyFailure(error);
  }
  WriteSavedSettings(key.get(), s);
}
