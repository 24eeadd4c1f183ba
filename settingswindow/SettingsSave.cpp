#include "settingswindow/SettingsSave.h"

#include <array>
#include <vector>

#include "settings/SettingsTable.h"
#include "settings/win32/RegistryStore.h"

namespace {

// The order of "Save", as rows of the settings table; the load's write-back keeps the
// table's own.
constexpr std::array<size_t, kSettingCount> kSaveOrder = {
    SettingIndex(&ClockSettings::Arrows),     SettingIndex(&ClockSettings::Ar_Color),
    SettingIndex(&ClockSettings::Brightness), SettingIndex(&ClockSettings::Sizes),
    SettingIndex(&ClockSettings::Color),      SettingIndex(&ClockSettings::Alpha),
    SettingIndex(&ClockSettings::Rands),
};

}  // namespace

void WriteSavedSettings(HKEY key, const ClockSettings& s, const SettingChoices& policy,
                        const RegistryCalls& calls) {
  std::vector<size_t> users_own;
  for (const size_t row : kSaveOrder) {
    if (!policy[row]) {
      users_own.push_back(row);
    }
  }
  WriteValuesInOrder(key, s, users_own, calls);
}
void SaveSettings(const ClockSettings& s, const SettingChoices& policy,
                  const RegistryCalls& calls) {
  LONG error = ERROR_SUCCESS;
  const UniqueRegKey key = CreateSettingsKey(&error);
  if (!key.valid()) {
    // A save that stores nothing is said, as a value that cannot be written is: the user
    // asked for it and would otherwise take it as done. No value was tried, so the
    // message names the key.
    throw OpenKeyFailure(error);
  }
  WriteSavedSettings(key.get(), s, policy, calls);
}
