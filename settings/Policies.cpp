#include "settings/Policies.h"

#include <initializer_list>

namespace {

const PolicyValue* Find(const PolicyKey& key, std::string_view name) {
  const auto it = key.find(name);
  return it == key.end() ? nullptr : &it->second;
}

std::optional<int32_t> NumberIn(const PolicyKey& key, std::string_view name, int32_t low,
                                int32_t high) {
  const PolicyValue* v = Find(key, name);
  if (v == nullptr || v->kind != PolicyValue::Kind::Number) {
    return std::nullopt;
  }
  // A DWORD above INT32_MAX is out of every range, not a negative number that might fit.
  if (v->number > static_cast<uint32_t>(high) || static_cast<int64_t>(v->number) < low) {
    return std::nullopt;
  }
  return static_cast<int32_t>(v->number);
}

std::optional<int32_t> FirstNumber(const PolicyKey& computer, const PolicyKey& user,
                                   std::string_view name, int32_t low, int32_t high) {
  for (const PolicyKey* key : {&computer, &user}) {
    if (const std::optional<int32_t> n = NumberIn(*key, name, low, high)) {
      return n;
    }
  }
  return std::nullopt;
}

}  // namespace

Policies ResolvePolicies(const PolicyKey& computer, const PolicyKey& user,
                         const ServerListCheck& usable_servers) {
  Policies p;
  for (size_t i = 0; i < kSettingsTable.size(); ++i) {
    const SettingRow& row = kSettingsTable[i];
    p.settings[i] = FirstNumber(computer, user, row.registry_name, row.low, row.high);
  }
  if (const std::optional<int32_t> sync = FirstNumber(computer, user, kClockSyncPolicy, 0, 1)) {
    p.clock_sync_allowed = *sync == 1;
  }
  for (const PolicyKey* key : {&computer, &user}) {
    const PolicyValue* v = Find(*key, kTimeServersPolicy);
    if (v != nullptr && v->kind == PolicyValue::Kind::Text && usable_servers(v->text)) {
      p.time_servers = v->text;
      break;
    }
  }
  return p;
}

bool ComputerForbidsClockSync(const PolicyKey& computer) {
  return NumberIn(computer, kClockSyncPolicy, 0, 1) == 0;
}
