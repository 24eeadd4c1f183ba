#include "clocksync/DaytimeServer.h"

#include <charconv>
#include <utility>

namespace {

// A decimal number of 1 to max_digits digits, no sign, within [low, high].
std::optional<int> Number(std::string_view text, size_t max_digits, int low, int high) {
  if (text.empty() || text.size() > max_digits) {
    return std::nullopt;
  }
  int value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size() || text[0] == '-' || value < low ||
      value > high) {
    return std::nullopt;
  }
  return value;
}

bool IsDottedAddress(std::string_view text) {
  for (int part = 0; part < 4; ++part) {
    const size_t dot = text.find('.');
    if ((part < 3) == (dot == std::string_view::npos)) {
      return false;
    }
    if (!Number(text.substr(0, dot), 3, 0, 255)) {
      return false;
    }
    text = part < 3 ? text.substr(dot + 1) : std::string_view();
  }
  return true;
}

std::optional<DaytimeServer> ParseServer(std::string_view text) {
  const size_t colon = text.find(':');
  const std::string_view host = text.substr(0, colon);
  if (!IsDottedAddress(host)) {
    return std::nullopt;
  }
  if (colon == std::string_view::npos) {
    return DaytimeServer{std::string(host), kDaytimePort};
  }
  const std::optional<int> port = Number(text.substr(colon + 1), 5, 1, 65535);
  if (!port) {
    return std::nullopt;
  }
  return DaytimeServer{std::string(host), *port};
}

}  // namespace

std::optional<std::vector<DaytimeServer>> ChooseDaytimeServers(const char* override_value) {
  std::vector<DaytimeServer> servers;
  if (override_value == nullptr || *override_value == '\0') {
    for (const char* host : kPublicDaytimeServers) {
      servers.push_back({host, kDaytimePort});
    }
    return servers;
  }
  std::string_view text(override_value);
  for (;;) {
    const size_t comma = text.find(',');
    const std::optional<DaytimeServer> server = ParseServer(text.substr(0, comma));
    if (!server) {
      return std::nullopt;
    }
    servers.push_back(*server);
    if (comma == std::string_view::npos) {
      return servers;
    }
    text.remove_prefix(comma + 1);
  }
}

std::vector<DaytimeServer> UsableDaytimeServers(std::string_view list) {
  std::vector<DaytimeServer> servers;
  for (;;) {
    const size_t comma = list.find(',');
    std::string_view entry = list.substr(0, comma);
    const size_t first = entry.find_first_not_of(" \t");
    entry = first == std::string_view::npos
                ? std::string_view()
                : entry.substr(first, entry.find_last_not_of(" \t") - first + 1);
    if (const std::optional<DaytimeServer> server = ParseServer(entry)) {
      servers.push_back(*server);
    }
    if (comma == std::string_view::npos) {
      return servers;
    }
    list.remove_prefix(comma + 1);
  }
}

DaytimeServerRotation::DaytimeServerRotation(std::vector<DaytimeServer> servers)
    : servers_(std::move(servers)), last_asked_ms_(servers_.size()) {}

bool DaytimeServerRotation::MayAsk(uint64_t now_ms) const {
  const std::optional<uint64_t>& last = last_asked_ms_[current_];
  return !last || now_ms - *last >= kMinimumInterval_ms;
}

void DaytimeServerRotation::Asked(uint64_t now_ms) {
  last_asked_ms_[current_] = now_ms;
}

void DaytimeServerRotation::Failed() {
  current_ = (current_ + 1) % servers_.size();
}
