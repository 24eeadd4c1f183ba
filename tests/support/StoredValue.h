#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>
#include <optional>

// A REG_DWORD value as the registry holds it; nothing when the key or the value is
// missing or the value has another type.
std::optional<DWORD> StoredDword(HKEY root, const char* key_path, const char* name);

// What StoredSetting gives for a setting that is missing or not a REG_DWORD.
constexpr int32_t kNoStoredSetting = -999;

// One of the saver's own stored settings, as a signed value.
int32_t StoredSetting(const char* name);

// Gives the key the access list written in SDDL, as an administrator's policy would.
void SetDacl(HKEY key, const char* sddl);
