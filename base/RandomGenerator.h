#pragma once

#include <cstdint>
#include <optional>
#include <utility>

#include "base/ClockSource.h"

// A window's pseudo-random generator: a 32-bit linear congruential state whose draws are
// the high half of state * n, so a draw never exceeds n - 1. Each mode runs in a process
// of its own with one window, so one generator per window draws what one per process
// would.
class RandomGenerator {
 public:
  // Seeds from `clock`'s UTC time of day, or with `pinned_seed` every time when one is
  // given (tessaryn-render, the hack's test seam).
  explicit RandomGenerator(ClockSource clock = SystemClockSource(),
                           std::optional<uint32_t> pinned_seed = std::nullopt)
      : clock_(std::move(clock)), pinned_seed_(pinned_seed) {}

  // The UTC time of day in milliseconds since midnight, or the pinned seed.
  void Seed();
  void SetState(uint32_t state) { state_ = state; }
  uint32_t State() const { return state_; }

  // A uniform integer from 0 to n - 1; 0 when n is 0.
  uint32_t Next(uint32_t n);

 private:
  ClockSource clock_;
  std::optional<uint32_t> pinned_seed_;
  uint32_t state_ = 0;
};
