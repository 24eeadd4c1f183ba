#include "settings/win32/RegistryStore.h"

#include <array>
#include <cstdio>

#include "settings/SettingsTable.h"
#include "win32/SystemError.h"
#include "win32/WinHandles.h"

const char kSettingsKeyPath[] = "Software\\Tessaryn";

namespace {

// The stored values, their names and their fixed order.
constexpr const auto& kValues = kSettingsTable;

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
  // A REG_DWORD shorter than four bytes would otherwise read as a silent 0.
  if (found && (type != REG_DWORD || size < sizeof(data))) {
    throw RegistryError("Invalid data type for '%s'", name);
  }
  if (rc != ERROR_SUCCESS) {
    throw RegistryError("Failed to get data for '%s'", name);
  }
  return static_cast<int32_t>(data);
}

void WriteDword(HKEY key, const char* name, int32_t value, const RegistryCalls& calls) {
  const DWORD data = static_cast<DWORD>(value);
  if (calls.SetValue(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&data), sizeof(data)) !=
      ERROR_SUCCESS) {
    throw SetDataFailure(name);
  }
}

// Full access first, as the store is meant to be used; read access when a policy
// refuses it, so the user's settings are still shown.
UniqueRegKey OpenSettingsKey(bool& read_only) {
  HKEY raw = nullptr;
  LONG rc = RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_ALL_ACCESS, &raw);
  read_only = rc == ERROR_ACCESS_DENIED;
  if (read_only) {
    rc = RegOpenKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, KEY_READ, &raw);
  }
  return UniqueRegKey(rc == ERROR_SUCCESS ? raw : nullptr);
}

// Returns false when the key can be neither opened nor created.
bool WriteStoredValues(const ClockSettings& s, StoredValueSet which, const RegistryCalls& calls) {
  const UniqueRegKey key = CreateSettingsKey();
  if (!key.valid()) {
    return false;
  }
  for (size_t i = 0; i < kValues.size(); ++i) {
    if (which.test(i)) {
      WriteDword(key.get(), kValues[i].registry_name, s.*kValues[i].field, calls);
    }
  }
  return true;
}

// Every unreadable value takes `replacement`'s.
void ReplaceUnreadable(ClockSettings& s, StoredValueSet unreadable,
                       const ClockSettings& replacement) {
  for (size_t i = 0; i < kValues.size(); ++i) {
    if (unreadable.test(i)) {
      s.*kValues[i].field = replacement.*kValues[i].field;
    }
  }
}

// The all-zero rule looks at what was read, an unreadable value as 0: a seeded default
// in its place would hide a key that holds nothing usable. When the rule does not seed,
// the unreadable values take what a first run would store, so one bad value does not
// cost the others. Returns the values to write back.
StoredValueSet SeedWhatIsUnusable(ClockSettings& s, StoredValueSet unreadable,
                                  SettingsLoader loader) {
  ReplaceUnreadable(s, unreadable, ClockSettings{});
  if (ApplyAllZeroRule(s, loader)) {
    return StoredValueSet().set();
  }
  ReplaceUnreadable(s, unreadable, SeededSettings(loader));
  return unreadable;
}

}  // namespace

RegistryCalls SystemRegistryCalls() {
  return {&RegSetValueExA};
}

ERegistryException SetDataFailure(const char* name) {
  return RegistryError("Failed to set data for '%s'", name);
}

UniqueRegKey CreateSettingsKey(LONG* error) {
  HKEY raw = nullptr;
  const LONG rc = RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKeyPath, 0, nullptr,
                                  REG_OPTION_NON_VOLATILE, KEY_ALL_ACCESS, nullptr, &raw, nullptr);
  if (error != nullptr) {
    *error = rc;
  }
  return UniqueRegKey(rc == ERROR_SUCCESS ? raw : nullptr);
}

ERegistryException OpenKeyFailure(LONG error) {
  const std::string key = std::string("HKEY_CURRENT_USER\\") + kSettingsKeyPath;
  return ERegistryException("Failed to open key '" + key +
                            "': " + SystemErrorText(static_cast<unsigned long>(error)));
}

void WriteValuesInOrder(HKEY key, const ClockSettings& s, std::span<const size_t> rows,
                        const RegistryCalls& calls) {
  for (const size_t row : rows) {
    WriteDword(key, kValues[row].registry_name, s.*kValues[row].field, calls);
  }
}

StoredSettingsRead ReadStoredSettings(ClockSettings& s) {
  StoredSettingsRead read;
  const UniqueRegKey key = OpenSettingsKey(read.read_only);
  read.key_found = key.valid();
  if (!read.key_found) {
    read.unreadable.set();
    return read;
  }
  for (size_t i = 0; i < kValues.size(); ++i) {
    try {
      s.*kValues[i].field = ReadDword(key.get(), kValues[i].registry_name);
    } catch (const ERegistryException& e) {
      read.unreadable.set(i);
      if (read.failure.empty()) {
        read.failure = e.what();
      }
    }
  }
  return read;
}

bool WriteStoredSettings(const ClockSettings& s, const RegistryCalls& calls) {
  return WriteStoredValues(s, StoredValueSet().set(), calls);
}

LoadedSettings LoadSettings(SettingsLoader loader, const RegistryCalls& calls) {
  LoadedSettings loaded;
  ClockSettings& s = loaded.settings;
  const StoredSettingsRead read = ReadStoredSettings(s);
  if (!read.failure.empty()) {
    loaded.failures.push_back(read.failure);
  }
  const StoredValueSet to_write = SeedWhatIsUnusable(s, read.unreadable, loader);
  if (read.read_only || to_write.none()) {
    return loaded;
  }
  try {
    WriteStoredValues(s, to_write, calls);
  } catch (const ERegistryException& e) {
    loaded.failures.push_back(e.what());
  }
  return loaded;
}
