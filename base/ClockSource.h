#pragma once

#include <cstdint>
#include <functional>

struct TimeOfDay {
  uint16_t hour = 0;
  uint16_t minute = 0;
  uint16_t second = 0;
  uint16_t millisecond = 0;

  bool operator==(const TimeOfDay&) const = default;
};

// Where a window reads the time of day. Each window is handed one: the system's in the
// product, a pinned one in tessaryn-render, the hack's test seam and the tests.
struct ClockSource {
  std::function<TimeOfDay()> LocalNow;
  std::function<TimeOfDay()> UtcNow;
};

// The system's clock, local and UTC.
ClockSource SystemClockSource();
// Both readings give `t`, always.
ClockSource PinnedClockSource(const TimeOfDay& t);
