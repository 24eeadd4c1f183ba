#include <gtest/gtest.h>

#include <cstdint>

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

TEST(RandomGenerator, SeedIsTheUtcTimeOfDayInMilliseconds) {
  RandomGenerator g;
  Clock().Pin({13, 45, 30, 250});
  g.Seed();
  Clock().Unpin();
  EXPECT_EQ(g.State(), ((13u * 60u + 45u) * 60u + 30u) * 1000u + 250u);
}

TEST(RandomGenerator, LastMillisecondOfTheDaySeedsBelowOneDay) {
  RandomGenerator g;
  Clock().Pin({23, 59, 59, 999});
  g.Seed();
  Clock().Unpin();
  EXPECT_EQ(g.State(), 86399999u);
}

}  // namespace
