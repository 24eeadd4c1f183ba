#include "settingswindow/SettingsSave.h"

#include <array>
#include <vector>

#include "settings/SettingsTable.h"
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

void WriteSavedSettings(HKEY key, const ClockSettings& s, const SettingChoices& policy) {
  std::vector<NamedValue> users_own;
  for (const NamedValue& v : kSaveOrder) {
    if (!policy[SettingIndex(v.field)]) {
      users_own.push_back(v);
    }
  }
  WriteValuesInOrder(key, s, users_own);
}

void SaveSettings(const ClockSettings& s, const SettingChoices& policy) {
  LONG error = ERROR_SUCCESS;
  const UniqueRegKey key = CreateSettingsKey(&error);
  if (!key.valid()) {
    // A save that stores nothing is said, as a value that cannot be written is: the user
    // asked for it and would otherwise take it as done. No value was tried, so the
    // message names the key.
    throw OpenKeyFailure(error);
  }
  WriteSavedSettings(key.get(), s, policy);
}
