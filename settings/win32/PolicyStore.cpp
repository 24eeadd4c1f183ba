#include "settings/win32/PolicyStore.h"

#include <algorithm>
#include <string>
#include <vector>

#include "clocksync/DaytimeServer.h"
#include "settings/SettingsTable.h"
#include "win32/WinHandles.h"

namespace {

// Longer than any useful list of servers; a longer text is not read.
constexpr DWORD kLongestText = 4096;

std::vector<const char*> PolicyNames() {
  std::vector<const char*> names;
  for (const SettingRow& row : kSettingsTable) {
    names.push_back(row.registry_name);
  }
  names.push_back(kClockSyncPolicy);
  names.push_back(kTimeServersPolicy);
  return names;
}

// Nothing when the value is not there at all.
std::optional<PolicyValue> ReadValue(HKEY key, const char* name) {
  DWORD type = 0;
  DWORD size = 0;
  if (RegQueryValueExA(key, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  PolicyValue v;
  if (type == REG_DWORD && size == sizeof(DWORD)) {
    DWORD data = 0;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&data), &size) ==
            ERROR_SUCCESS &&
        type == REG_DWORD) {
      v.kind = PolicyValue::Kind::Number;
      v.number = data;
    }
  } else if (type == REG_SZ && size <= kLongestText) {
    std::string text(size + 1, '\0');
    DWORD read = size;
    if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text.data()), &read) ==
            ERROR_SUCCESS &&
        type == REG_SZ) {
      // The stored text need not end in a NUL; it ends at the first one or at its size.
      text.resize(std::min<size_t>(read, text.find('\0')));
      v.kind = PolicyValue::Kind::Text;
      v.text = text;
    }
  }
  return v;
}

}  // namespace

PolicyKey ReadPolicyKey(HKEY root) {
  // NOTE: HKLM\SOFTWARE\Policies is shared by the 32- and 64-bit views from Windows 7 on
  // ("Registry Keys Affected by WOW64"), so both builds read the key Group Policy
  // writes; the 64-bit view is asked for all the same, should a system redirect it.
  const REGSAM view = root == HKEY_LOCAL_MACHINE ? KEY_WOW64_64KEY : 0;
  HKEY raw = nullptr;
  PolicyKey key;
  if (RegOpenKeyExA(root, kPolicyKeyPath, 0, KEY_QUERY_VALUE | view, &raw) != ERROR_SUCCESS) {
    return key;
  }
  const UniqueRegKey open(raw);
  for (const char* name : PolicyNames()) {
    if (std::optional<PolicyValue> v = ReadValue(open.get(), name)) {
      key.emplace(name, std::move(*v));
    }
  }
  return key;
}

Policies ReadPolicies() {
  return ResolvePolicies(
      ReadPolicyKey(HKEY_LOCAL_MACHINE), ReadPolicyKey(HKEY_CURRENT_USER),
      [](const std::string& list) { return !UsableDaytimeServers(list).empty(); });
}
