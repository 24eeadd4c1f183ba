#pragma once

#include <stdexcept>
#include <string>

#include "settings/ClockSettings.h"

// A registry read or write that failed; the text names the value.
class ERegistryException : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The key under HKEY_CURRENT_USER that holds the seven values.
extern const char kSettingsKeyPath[];

// Reads the seven values in their fixed order into `s`. Throws at the first value
// that is missing or not a REG_DWORD; the values before it keep what was read.
// Returns false, reading nothing, when the key does not exist.
bool ReadStoredSettings(ClockSettings& s);

// Writes all seven values in their fixed order, creating the key if needed.
// Returns false when the key can be neither opened nor created; throws when a
// value cannot be written.
bool WriteStoredSettings(const ClockSettings& s);

// The load of a window's creation up to the caller's own steps: read, and seed and
// write back the defaults when nothing usable is stored. A failed read is shown
// through the application's error handler and the load goes on with what was read.
void LoadSettings(SettingsLoader loader);
