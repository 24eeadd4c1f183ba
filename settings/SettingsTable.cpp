#include "settings/SettingsTable.h"

const SettingRow* FindSettingByOption(std::string_view name) {
  if (name.starts_with("--")) {
    name.remove_prefix(1);
  }
  for (const SettingRow& row : kSettingsTable) {
    if (name == row.option) {
      return &row;
    }
  }
  return nullptr;
}

void ApplySettingChoices(ClockSettings& s, const SettingChoices& choices) {
  for (size_t i = 0; i < kSettingsTable.size(); ++i) {
    if (choices[i]) {
      s.*kSettingsTable[i].field = *choices[i];
    }
  }
}
