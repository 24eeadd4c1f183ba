#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Where the clock synchronisation asks for the time.
struct DaytimeServer {
  std::string host;  // a dotted IPv4 address
  int port = 13;

  bool operator==(const DaytimeServer&) const = default;
};

// The national time service's servers that answer Daytime requests on TCP port 13 in
// the fixed-position format, at two sites: time-a-g.nist.gov (Gaithersburg) and
// time-a-b.nist.gov (Boulder), as the service lists them.
inline constexpr const char* kPublicDaytimeServers[] = {"129.6.15.28", "132.163.96.1"};
inline constexpr int kDaytimePort = 13;

// The servers to ask: the override's alone when one is given ("a.b.c.d" or
// "a.b.c.d:port", several separated by commas), else the public servers on port 13. A
// malformed override gives nothing, so that a mistyped test set-up never reaches a
// public server instead.
std::optional<std::vector<DaytimeServer>> ChooseDaytimeServers(const char* override_value);

// The usable entries of an administrator's list (the same "a.b.c.d[:port]" entries,
// separated by commas, blanks around each allowed); a malformed entry is left out, so
// one typing error does not cost the others. Empty when none is usable.
std::vector<DaytimeServer> UsableDaytimeServers(std::string_view list);

// Which server the next press asks, and when each was last asked. The time services
// refuse a client that asks one server more often than once in 4 s; a server that could
// not be reached, or that says it is unhealthy, hands the next press to the next one.
class DaytimeServerRotation {
 public:
  static constexpr uint64_t kMinimumInterval_ms = 4000;

  // At least one server.
  explicit DaytimeServerRotation(std::vector<DaytimeServer> servers);

  const DaytimeServer& Current() const { return servers_[current_]; }
  // Whether the current server may be asked at now_ms (a steady count of milliseconds).
  bool MayAsk(uint64_t now_ms) const;
  void Asked(uint64_t now_ms);
  // The current server could not be reached or is unhealthy: the next press tries the
  // next one.
  void Failed();

 private:
  std::vector<DaytimeServer> servers_;
  std::vector<std::optional<uint64_t>> last_asked_ms_;
  size_t current_ = 0;
};
