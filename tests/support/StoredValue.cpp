#include "tests/support/StoredValue.h"

#include <gtest/gtest.h>
#include <sddl.h>

#include "settings/win32/RegistryStore.h"
#include "win32/WinHandles.h"

std::optional<DWORD> StoredDword(HKEY root, const char* key_path, const char* name) {
  HKEY raw = nullptr;
  if (RegOpenKeyExA(root, key_path, 0, KEY_READ, &raw) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  const UniqueRegKey key(raw);
  DWORD type = 0;
  DWORD value = 0;
  DWORD size = sizeof(value);
  if (RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) !=
          ERROR_SUCCESS ||
      type != REG_DWORD || size != sizeof(value)) {
    return std::nullopt;
  }
  return value;
}

int32_t StoredSetting(const char* name) {
  const std::optional<DWORD> value = StoredDword(HKEY_CURRENT_USER, kSettingsKeyPath, name);
  return value ? static_cast<int32_t>(*value) : kNoStoredSetting;
}

void SetDacl(HKEY key, const char* sddl) {
  PSECURITY_DESCRIPTOR sd = nullptr;
  ASSERT_TRUE(
      ConvertStringSecurityDescriptorToSecurityDescriptorA(sddl, SDDL_REVISION_1, &sd, nullptr));
  EXPECT_EQ(RegSetKeySecurity(key, DACL_SECURITY_INFORMATION, sd), ERROR_SUCCESS);
  LocalFree(sd);
}
