#pragma once

#include <optional>
#include <string>
#include <string_view>

// Where the clock synchronisation asks for the time.
struct DaytimeServer {
  std::string host;  // a dotted IPv4 address
  int port = 13;

  bool operator==(const DaytimeServer&) const = default;
};

// time-a-g.nist.gov, one of the national time service's servers that still answers
// Daytime requests on TCP port 13 in the fixed-position format.
inline constexpr char kPublicDaytimeServer[] = "129.6.15.28";
inline constexpr int kDaytimePort = 13;

// The server to ask: the override ("a.b.c.d" or "a.b.c.d:port") when one is given, else
// the public server on port 13. A malformed override gives nothing, so that a mistyped
// test set-up never reaches the public server instead.
std::optional<DaytimeServer> ChooseDaytimeServer(const char* override_value);
