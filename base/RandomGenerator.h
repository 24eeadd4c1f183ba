#pragma once

#include <cstdint>
#include <optional>

// The process-wide pseudo-random generator: a 32-bit linear congruential state
// whose draws are the high half of state * n, so a draw never exceeds n - 1.
class RandomGenerator {
 public:
  // Seeds from the current UTC time of day, in milliseconds since midnight, or with
  // the pinned seed while one is pinned (tests and tessaryn-render).
  void Seed();
  void PinSeed(std::optional<uint32_t> seed) { pinned_seed_ = seed; }
  void SetState(uint32_t state) { state_ = state; }
  uint32_t State() const { return state_; }

  // A uniform integer from 0 to n - 1; 0 when n is 0.
  uint32_t Next(uint32_t n);

 private:
  uint32_t state_ = 0;
  std::optional<uint32_t> pinned_seed_;
};

RandomGenerator& Random();
