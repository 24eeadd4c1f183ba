#include "clocksync/ClockRequest.h"

#include <charconv>
#include <cstdio>

#include "base/TimeOfDayText.h"

namespace {

// Exactly `digits` decimal digits within [low, high].
std::optional<int> Field(std::string_view text, size_t at, size_t digits, int low, int high) {
  if (at + digits > text.size()) {
    return std::nullopt;
  }
  int value = 0;
  for (size_t i = at; i < at + digits; ++i) {
    if (text[i] < '0' || text[i] > '9') {
      return std::nullopt;
    }
    value = value * 10 + (text[i] - '0');
  }
  return value >= low && value <= high ? std::optional<int>(value) : std::nullopt;
}

bool SeparatorsAt(std::string_view text) {
  constexpr std::string_view kPattern = "dddd-dd-ddTdd:dd:dd.dddZ";
  if (text.size() != kPattern.size()) {
    return false;
  }
  for (size_t i = 0; i < kPattern.size(); ++i) {
    if (kPattern[i] != 'd' && text[i] != kPattern[i]) {
      return false;
    }
  }
  return true;
}

std::optional<ClockRequest> ParseTime(std::string_view text) {
  if (!SeparatorsAt(text)) {
    return std::nullopt;
  }
  const auto year = Field(text, 0, 4, 1601, 9999);
  const auto month = Field(text, 5, 2, 1, 12);
  const auto day = Field(text, 8, 2, 1, 31);
  const auto time = ParseTimeOfDay(text.substr(11, 8));
  const auto milliseconds = Field(text, 20, 3, 0, 999);
  if (!year || !month || !day || !time || !milliseconds || *day > DaysInMonth(*year, *month)) {
    return std::nullopt;
  }
  ClockRequest request;
  request.utc = {*year, *month, *day, time->hour, time->minute, time->second};
  request.milliseconds = *milliseconds;
  return request;
}

std::optional<uint64_t> ParseTick(std::string_view text) {
  if (text.empty() || text.size() > 20 || text[0] < '0' || text[0] > '9') {
    return std::nullopt;
  }
  uint64_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc() || end != text.data() + text.size()) {
    return std::nullopt;
  }
  return value;
}

}  // namespace

std::string ClockRequestTimeArgument(const ClockRequest& request) {
  char text[32];
  std::snprintf(text, sizeof(text), "%04d-%02d-%02dT%02d:%02d:%02d.%03dZ", request.utc.year,
                request.utc.month, request.utc.day, request.utc.hour, request.utc.minute,
                request.utc.second, request.milliseconds);
  return text;
}

std::string ClockRequestTickArgument(const ClockRequest& request) {
  return std::to_string(request.read_tick_ms);
}

std::optional<ClockRequest> ParseClockRequest(std::string_view time, std::string_view tick) {
  std::optional<ClockRequest> request = ParseTime(time);
  const std::optional<uint64_t> read_tick_ms = ParseTick(tick);
  if (!request || !read_tick_ms) {
    return std::nullopt;
  }
  request->read_tick_ms = *read_tick_ms;
  return request;
}

namespace {

ClockStepDecision Refused(ClockRequestVerdict verdict) {
  ClockStepDecision decision;
  decision.verdict = verdict;
  return decision;
}

}  // namespace

ClockStepDecision DecideClockStep(std::string_view time, std::string_view tick,
                                  uint64_t now_tick_ms) {
  const std::optional<ClockRequest> request = ParseClockRequest(time, tick);
  if (!request) {
    return Refused(ClockRequestVerdict::Malformed);
  }
  if (request->read_tick_ms > now_tick_ms) {
    return Refused(ClockRequestVerdict::FromTheFuture);
  }
  const uint64_t elapsed_ms = now_tick_ms - request->read_tick_ms;
  if (elapsed_ms > kClockRequestLifetime_ms) {
    return Refused(ClockRequestVerdict::Stale);
  }
  const uint64_t total_ms = static_cast<uint64_t>(request->milliseconds) + elapsed_ms;
  return {ClockRequestVerdict::Accepted,
          AddSeconds(request->utc, static_cast<int64_t>(total_ms / 1000)),
          static_cast<int>(total_ms % 1000)};
}
