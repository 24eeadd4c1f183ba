#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <bitset>
#include <cstddef>
#include <functional>
#include <span>
#include <stdexcept>
#include <string>
#include <vector>

#include "settings/ClockSettings.h"
#include "win32/WinHandles.h"

// A registry read or write that failed; the text names the value.
class ERegistryException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The registry calls a window's writes go through, handed in whole: the system's own, or
// a test's that refuses or records.
struct RegistryCalls {
  std::function<LONG(HKEY key, LPCSTR name, DWORD reserved, DWORD type, const BYTE* data,
                     DWORD size)>
      SetValue;
};

// RegSetValueExA.
RegistryCalls SystemRegistryCalls();

// The key under HKEY_CURRENT_USER that holds the seven values.
extern const char kSettingsKeyPath[];

// The seven values by their place in the fixed order Brightness, Sizes, Color, Alpha,
// Arrows, Ar_Color, Rands.
using StoredValueSet = std::bitset<kSettingCount>;

// What a read of the stored key found.
struct StoredSettingsRead {
  bool key_found = false;
  // Full access was refused (an administrator's policy): the key may be read only.
  bool read_only = false;
  // Missing, of another type than REG_DWORD, or shorter than four bytes.
  StoredValueSet unreadable;
  // The first failing value's message; empty when every value was read.
  std::string failure;
};

// Reads every value it can into `s`, in the fixed order; a value that cannot be read
// leaves its setting as it was and goes on with the next. Without the key nothing is
// read and every value counts as unreadable.
StoredSettingsRead ReadStoredSettings(ClockSettings& s);

// "Failed to set data for '<name>'".
ERegistryException SetDataFailure(const char* name);

// The settings key opened for writing, created if needed; empty when it can be neither
// opened nor created, with the system's error code in `error` where one is given.
UniqueRegKey CreateSettingsKey(LONG* error = nullptr);

// "Failed to open key 'HKEY_CURRENT_USER\<path>': <the system's reason for `error`>".
ERegistryException OpenKeyFailure(LONG error);

// Writes the values of `s` into the open key in the order given, as rows of the settings
// table, each as a REG_DWORD. Throws SetDataFailure of the first value that cannot be
// written.
void WriteValuesInOrder(HKEY key, const ClockSettings& s, std::span<const size_t> rows,
                        const RegistryCalls& calls);

// Writes all seven values in their fixed order, creating the key if needed.
// Returns false when the key can be neither opened nor created; throws when a
// value cannot be written.
bool WriteStoredSettings(const ClockSettings& s,
                         const RegistryCalls& calls = SystemRegistryCalls());

// What a window's load found: the settings it goes on with, and what went wrong on the
// way for the window to show, in order (the first value that could not be read, then a
// write back that failed); empty when nothing did.
struct LoadedSettings {
  ClockSettings settings;
  std::vector<std::string> failures;
};

// The load of a window's creation up to the caller's own steps: reads what is stored,
// seeds everything when the five tested values are all 0 (an unreadable one counts as
// 0), else gives each unreadable value its seeded default, and writes back only what
// was seeded. The load never throws: the window goes on with what it returns.
LoadedSettings LoadSettings(SettingsLoader loader, const RegistryCalls& calls);
