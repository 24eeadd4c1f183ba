#include "settings/win32/RegistryStore.h"

#include <array>
#include <cstdio>

#include "ui/Application.h"
#include "win32/WinHandles.h"

const char kSettingsKeyPath[] = "Software\\Tessaryn";

namespace {

struct NamedValue {
  const char* name;
  int32_t ClockSettings::*field;
};

constexpr std::array<NamedValue, 7> kValues = {{
    {"Brightness", &ClockSettings::Brightness},
    {"Sizes", &ClockSettings::Sizes},
    {"Color", &ClockSettings::Color},
    {"Alpha", &ClockSettings::Alpha},
    {"Arrows", &ClockSettings::Arrows},
    {"Ar_Color", &ClockSettings::Ar_Color},
    {"Rands", &ClockSettings::Rands},
}};

ERegistryException RegistryError(const char* format, const char* name) {
  char text[128];
  std::snprintf(text, sizeof(text), format, name);
  return ERegistryException(text);
}

int32_t ReadDword(HKEY key, const char* name) {
  DWORD type = 0;
  DWORD data = 0;
  DWORD size = sizeof(data);
  const LONG rc =
      RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size);
  // A value of another type fails with ERROR_MORE_DATA when it does not fit the buffer.
  const bool found = rc == ERROR_SUCCESS || rc == ERROR_MORE_DATA;
  if (found && type != REG_DWORD) {
    throw RegistryError("Invalid data type for '%s'", name);
  }
  if (rc != ERROR_SUCCESS) {
    throw RegistryError("Failed to get data for '%s'", name);
  }
  return static_cast<int32_t>(data);
}

void WriteDword(HKEY key, const char* name, int32_t value) {
  const DWORD data = static_cast<DWORD>(value);
  if (RegSetValueExA(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data)) !=
      ERROR_SUCCESS) {
    throw RegistryError("Failed to set data for '%s'", name);
  }
}

}  // namespace

bool ReadStoredSettings(ClockSettings& s) {
  HKEY raw = nullptr;
  if (RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_ALL_ACCESS, &raw) !=
      ERROR_SUCCESS) {
    return false;
  }
  const UniqueRegKey key(raw);
  for (const NamedValue& v : kValues) {
    s.*v.field = ReadDword(key.get(), v.name);
  }
  return true;
}

bool WriteStoredSettings(const ClockSettings& s) {
  HKEY raw = nullptr;
  if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr, REG_OPTION_NON_VOLATILE,
                      KEY_ALL_ACCESS, nullptr, &raw, nullptr) != ERROR_SUCCESS) {
    return false;
  }
  const UniqueRegKey key(raw);
  for (const NamedValue& v : kValues) {
    WriteDword(key.get(), v.name, s.*v.field);
  }
  return true;
}

void LoadSettings(SettingsLoader loader) {
  ClockSettings& s = AppSettings().clock;
  try {
    ReadStoredSettings(s);
  } catch (const ERegistryException& e) {
    Application().ShowException(e);
  }
  if (ApplyAllZeroRule(s, loader)) {
    WriteStoredSettings(s);
  }
}
