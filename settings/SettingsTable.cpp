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

std::vector<std::string> SettingOptionUsages(bool gnu) {
  std::vector<std::string> usages;
  for (const SettingRow& row : kSettingsTable) {
    const std::string name = gnu ? std::string("-") + row.option : row.option;
    if (gnu) {
      usages.push_back("[" + name + " N]");
    } else if (row.is_switch) {
      usages.push_back("[" + name + " | -no" + name + "]");
    } else {
      usages.push_back("[" + name + " " + std::to_string(row.low) + "-" + std::to_string(row.high) +
                       "]");
    }
  }
  return usages;
}

std::string UsageLines(std::string_view head, const std::vector<std::string>& items) {
  constexpr size_t kWidth = 88;
  std::string text = "usage: " + std::string(head);
  const std::string indent(text.size() + 1, ' ');
  size_t line_start = 0;
  for (const std::string& item : items) {
    if (text.size() - line_start + 1 + item.size() > kWidth) {
      text += "\n";
      line_start = text.size();
      text += indent;
    } else {
      text += ' ';
    }
    text += item;
  }
  return text + "\n";
}
