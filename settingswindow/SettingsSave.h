#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "settings/ClockSettings.h"
#include "settings/win32/RegistryStore.h"

// What "Save" writes, in its own order (Arrows, Ar_Color, Brightness, Sizes, Color, Alpha,
// Rands), which is not the order the load writes its defaults back in. Throws
// ERegistryException naming the first value that cannot be written.
void WriteSavedSettings(HKEY key, const ClockSettings& s, const SettingChoices& policy = {},
                        const RegistryCalls& calls = SystemRegistryCalls());

// Opens the settings key, creating it if needed, and writes the seven values but those an
// administrator's policy sets, whose stored values stay as they are. A key that can be
// neither opened nor created (a read-only policy) throws OpenKeyFailure.
void SaveSettings(const ClockSettings& s, const SettingChoices& policy = {},
                  const RegistryCalls& calls = SystemRegistryCalls());
