#include <gtest/gtest.h>

#include <cstdint>
#include <optional>

#include "base/ClockSource.h"
#include "base/RandomGenerator.h"

namespace {

// The definition, written out independently: state = state * 134775813 + 1 (mod 2^32),
// the draw is the high 32 bits of state * n.
uint32_t ReferenceDraw(uint32_t& state, uint32_t n) {
  state = static_cast<uint32_t>(static_cast<uint64_t>(state) * 134775813ull + 1ull);
  return static_cast<uint32_t>((static_cast<uint64_t>(state) * n) / 4294967296ull);
}

TEST(RandomGenerator, FollowsItsDefinitionForManyDraws) {
  RandomGenerator g;
  uint32_t reference = 123456789u;
  g.SetState(reference);
  const uint32_t bounds[] = {1, 2, 9, 10, 100, 360, 65536, 4294967295u};
  for (int i = 0; i < 1000; ++i) {
    const uint32_t n = bounds[i % 8];
    ASSERT_EQ(g.Next(n), ReferenceDraw(reference, n)) << "draw " << i;
    ASSERT_EQ(g.State(), reference);
  }
}

TEST(RandomGenerator, KnownValuesFromStateZero) {
  RandomGenerator g;
  g.SetState(0);
  // 0 * m + 1 = 1; high half of 1 * 10 is 0.
  EXPECT_EQ(g.Next(10), 0u);
  EXPECT_EQ(g.State(), 1u);
  // 1 * 134775813 + 1 = 134775814; 134775814 * 100 / 2^32 = 3.1...
  EXPECT_EQ(g.Next(100), 3u);
  EXPECT_EQ(g.State(), 134775814u);
}

TEST(RandomGenerator, DrawsStayBelowTheBound) {
  RandomGenerator g;
  g.SetState(0xDEADBEEFu);
  for (int i = 0; i < 10000; ++i) {
    ASSERT_LT(g.Next(7), 7u);
  }
  EXPECT_EQ(g.Next(0), 0u);
}

// The seed is the UTC time of day in milliseconds, never the local one; a pinned seed
// wins over any clock.
TEST(RandomGenerator, SeedIsTheUtcTimeOfDayInMillisecondsUnlessOneIsPinned) {
  const struct {
    TimeOfDay utc;
    std::optional<uint32_t> pinned;
    uint32_t state;
  } cases[] = {
      {{13, 45, 30, 250}, std::nullopt, ((13u * 60u + 45u) * 60u + 30u) * 1000u + 250u},
      {{23, 59, 59, 999}, std::nullopt, 86399999u},
      {{0, 0, 0, 0}, std::nullopt, 0u},
      {{13, 45, 30, 250}, 20240607u, 20240607u},
  };
  for (const auto& c : cases) {
    const ClockSource clock{[] { return TimeOfDay{7, 0, 0, 0}; }, [&c] { return c.utc; }};
    RandomGenerator g(clock, c.pinned);
    g.SetState(12345u);
    g.Seed();
    EXPECT_EQ(g.State(), c.state) << c.utc.hour << ':' << c.utc.minute;
  }
}

}  // namespace
