#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "clocksync/CalendarTime.h"

// What the settings window hands the elevated clock step, as two arguments: the checked
// UTC time ("YYYY-MM-DDTHH:MM:SS.mmmZ") and the moment it was read, in milliseconds of
// the system's tick count since start-up, which every process shares. The step adds the
// time that passed since, which the consent prompt may have made long.
struct ClockRequest {
  UtcDateTime utc;
  int milliseconds = 0;
  uint64_t read_tick_ms = 0;

  bool operator==(const ClockRequest&) const = default;
};

// A request older than this is refused: whoever asked has long stopped waiting.
inline constexpr uint64_t kClockRequestLifetime_ms = 120000;

std::string ClockRequestTimeArgument(const ClockRequest& request);
std::string ClockRequestTickArgument(const ClockRequest& request);

// The request, or nothing unless both arguments have exactly the format above, with
// every field in range (year 1601 to 9999, a real day of that month).
std::optional<ClockRequest> ParseClockRequest(std::string_view time, std::string_view tick);

enum class ClockRequestVerdict { Accepted, Malformed, Stale, FromTheFuture };

struct ClockStepDecision {
  ClockRequestVerdict verdict = ClockRequestVerdict::Malformed;
  // When accepted: the time to set now, the request's time plus the ticks since.
  UtcDateTime utc;
  int milliseconds = 0;
};

ClockStepDecision DecideClockStep(std::string_view time, std::string_view tick,
                                  uint64_t now_tick_ms);
