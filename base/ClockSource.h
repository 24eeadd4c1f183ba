#pragma once

#include <cstdint>
#include <optional>

struct TimeOfDay {
  uint16_t hour = 0;
  uint16_t minute = 0;
  uint16_t second = 0;
  uint16_t millisecond = 0;

  bool operator==(const TimeOfDay&) const = default;
};

// The one place the scene reads the time of day. The product reads the system
// clock; tests and tessaryn-render may pin it to a fixed time.
class ClockSource {
 public:
  TimeOfDay LocalNow() const;
  TimeOfDay UtcNow() const;

  // While pinned, both readings return this time.
  void Pin(const TimeOfDay& t) { pinned_ = t; }
  void Unpin() { pinned_.reset(); }

 private:
  std::optional<TimeOfDay> pinned_;
};

ClockSource& Clock();
