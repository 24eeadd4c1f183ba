#pragma once

#include <cstdint>
#include <optional>

struct TimeOfDay {
  uint16_t hour = 0;
  uint16_t minute = 0;
  uint16_t second = 0;
  uint16_t millisecond = 0;
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
  bool Pinned() const { return pinned_.has_value(); }

 private:
  std::optional<TimeOfDay> pinned_;
};

ClockSource& Clock();

// Holds Clock() at one reading while it lives, so that every part of a frame shows the
// same time even when a second turns, or the system clock steps, in between; then gives
// the clock back as it was, on every path, so that the next frame reads it anew.
class OneClockReading {
 public:
  OneClockReading() : before_(Clock()) { Clock().Pin(Clock().LocalNow()); }
  ~OneClockReading() { Clock() = before_; }
  OneClockReading(const OneClockReading&) = delete;
  OneClockReading& operator=(const OneClockReading&) = delete;

 private:
  ClockSource before_;
};
