#include "tests/support/PolicyKeys.h"

#include "settings/Policies.h"
#include "win32/WinHandles.h"

namespace {

// The computer's key in the view Group Policy writes.
REGSAM View(HKEY root) {
  return root == HKEY_LOCAL_MACHINE ? KEY_WOW64_64KEY : 0;
}

}  // namespace

void ClearPolicies() {
  for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    RegDeleteKeyExA(root, kPolicyKeyPath, View(root), 0);
  }
}

void WritePolicies(const std::vector<PolicyEntry>& entries) {
  ClearPolicies();
  for (const PolicyEntry& e : entries) {
    HKEY raw = nullptr;
    if (RegCreateKeyExA(e.root, kPolicyKeyPath, 0, nullptr, 0, KEY_SET_VALUE | View(e.root),
                        nullptr, &raw, nullptr) != ERROR_SUCCESS) {
      continue;
    }
    const UniqueRegKey key(raw);
    if (e.type == REG_SZ) {
      RegSetValueExA(key.get(), e.name, 0, REG_SZ, reinterpret_cast<const BYTE*>(e.text.c_str()),
                     static_cast<DWORD>(e.text.size() + 1));
    } else {
      RegSetValueExA(key.get(), e.name, 0, e.type, reinterpret_cast<const BYTE*>(&e.number),
                     sizeof(e.number));
    }
  }
}

std::vector<std::string> PolicyValueNames() {
  std::vector<std::string> names;
  for (const HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
    HKEY raw = nullptr;
    if (RegOpenKeyExA(root, kPolicyKeyPath, 0, KEY_READ | View(root), &raw) != ERROR_SUCCESS) {
      continue;
    }
    const UniqueRegKey key(raw);
    char name[256];
    for (DWORD i = 0;; ++i) {
      DWORD size = sizeof(name);
      if (RegEnumValueA(key.get(), i, name, &size, nullptr, nullptr, nullptr, nullptr) !=
          ERROR_SUCCESS) {
        break;
      }
      names.push_back(std::string(root == HKEY_LOCAL_MACHINE ? "HKLM\\" : "HKCU\\") + name);
    }
  }
  return names;
}
