#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <vector>

// A value as Group Policy would write it into the computer's (HKEY_LOCAL_MACHINE) or the
// user's (HKEY_CURRENT_USER) policy key.
struct PolicyEntry {
  HKEY root;
  const char* name;
  DWORD type;          // REG_DWORD, REG_SZ, or another type to be ignored
  DWORD number = 0;    // for REG_DWORD (and REG_BINARY: its four bytes)
  std::string text{};  // for REG_SZ
};

// Writes the entries into fresh policy keys (both cleared first).
void WritePolicies(const std::vector<PolicyEntry>& entries);
// Removes both policy keys.
void ClearPolicies();
// Every value the two policy keys hold, "HKLM\name" or "HKCU\name": what a test compares
// before and after to see that nothing was written there.
std::vector<std::string> PolicyValueNames();
