#include "settings/window/SettingsSave.h"

#include <array>
#include <cstdio>

#include "settings/win32/RegistryStore.h"
#include "win32/WinHandles.h"

namespace {

struct SavedValue {
  const char* name;
  int32_t ClockSettings::*field;
};

// The order of "Save"; the load's write-back keeps its own.
constexpr std::array<SavedValue, 7> kSaveOrder = {{
    {"Arrows", &ClockSettings::Arrows},
    {"Ar_Color", &ClockSettings::Ar_Color},
    {"Brightness", &ClockSettings::Brightness},
    {"Sizes", &ClockSettings::Sizes},
    {"Color", &ClockSettings::Color},
    {"Alpha", &ClockSettings::Alpha},
    {"Rands", &ClockSettings::Rands},
}};

ERegistryException FailedToSet(const char* name) {
  char text[64];
  std::snprintf(text, sizeof(text), "Failed to set data for '%s'", name);
  return ERegistryException(text);
}

}  // namespace

void WriteSavedSettings(HKEY key, const ClockSettings& s) {
  for (const SavedValue& v : kSaveOrder) {
    const DWORD data = static_cast<DWORD>(s.*v.field);
    if (RegSetValueExA(key, v.name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data),
                       sizeof(data)) != ERROR_SUCCESS) {
      throw FailedToSet(v.name);
    }
  }
}

void SaveSettings(const ClockSettings& s) {
  HKEY raw = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &raw, nullptr) != ERROR_SUCCESS) {
    // A save that stores nothing is said, as a value that cannot be written is: the user
    // asked for it and would otherwise take it as done.
    throw FailedToSet(kSaveOrder.front().name);
  }
  const UniqueRegKey key(raw);
  WriteSavedSettings(key.get(), s);
}
