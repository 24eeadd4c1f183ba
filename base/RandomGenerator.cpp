#include "base/RandomGenerator.h"

namespace {
constexpr uint32_t kMultiplier = 134775813u;
}  // namespace

void RandomGenerator::Seed() {
  if (pinned_seed_) {
    state_ = *pinned_seed_;
    return;
  }
  const TimeOfDay t = clock_.UtcNow();
  state_ =
      ((static_cast<uint32_t>(t.hour) * 60u + t.minute) * 60u + t.second) * 1000u + t.millisecond;
}

uint32_t RandomGenerator::Next(uint32_t n) {
  state_ = state_ * kMultiplier + 1u;
  return static_cast<uint32_t>((static_cast<uint64_t>(state_) * n) >> 32);
}
