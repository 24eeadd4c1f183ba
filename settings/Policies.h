#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <optional>
#include <string>

#include "settings/SettingsTable.h"

// What an administrator sets through Group Policy: the same seven settings, whether the
// clock may be synchronised, and which servers it asks. Nothing here is ever written.

// The policy key's path under HKEY_LOCAL_MACHINE (the computer's) and HKEY_CURRENT_USER
// (the user's).
inline constexpr char kPolicyKeyPath[] = "SOFTWARE\\Policies\\Tessaryn";
// REG_DWORD: 0 forbids the clock synchronisation, 1 allows it.
inline constexpr char kClockSyncPolicy[] = "ClockSync";
// REG_SZ: "a.b.c.d[:port]", several separated by commas; replaces the built-in servers.
inline constexpr char kTimeServersPolicy[] = "TimeServers";

// One value as a policy key holds it.
struct PolicyValue {
  enum class Kind { Number, Text, Other };
  Kind kind = Kind::Other;
  uint32_t number = 0;  // a REG_DWORD of four bytes
  std::string text;     // a REG_SZ

  bool operator==(const PolicyValue&) const = default;
};

// One hive's key, by value name; a name that is not there is not set.
using PolicyKey = std::map<std::string, PolicyValue, std::less<>>;

// What the two hives' keys come to.
struct Policies {
  // A setting's value where a policy sets it within the table's range.
  SettingChoices settings;
  std::optional<bool> clock_sync_allowed;
  std::optional<std::string> time_servers;

  bool operator==(const Policies&) const = default;
};

// Whether a TimeServers text names at least one usable server.
using ServerListCheck = std::function<bool(const std::string&)>;

// Per value, the computer's wins where it is usable, else the user's where that is; a
// value out of range, of another type, or a server list without one usable server is
// as good as not there.
Policies ResolvePolicies(const PolicyKey& computer, const PolicyKey& user,
                         const ServerListCheck& usable_servers);

// Whether the computer's own key forbids setting the clock (the elevated clock step
// looks at nothing else: it may run under another user's account).
bool ComputerForbidsClockSync(const PolicyKey& computer);
