#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <cstdint>
#include <vector>

#include "scene/Clocks.h"
#include "tests/native/SceneTrace.h"

namespace {

constexpr double kDeg = std::numbers::pi / 180.0;
constexpr size_t kMarkVertices = 200;
constexpr size_t kNumeralDots = 141;

class NumeralRing : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    settings_.clock.Arrows = 1;
    settings_.clock.Sizes = 10;
    settings_.HandRGB = {0.5f, 0.25f, 0.125f};
  }

  // The 60 mark blocks and the 141 numeral dot blocks, after the three hands.
  std::vector<DrawnBlock> Marks(uint16_t second) {
    time_ = TimeOfDay{10, 8, second, 0};
    auto blocks = BlocksOf(Trace([&] { DrawHands(); }));
    return {blocks.begin() + 3, blocks.begin() + 63};
  }
  std::vector<DrawnBlock> NumeralDots(int32_t sizes) {
    settings_.clock.Sizes = sizes;
    auto blocks = BlocksOf(Trace([&] { DrawHands(); }));
    return {blocks.begin() + 63, blocks.end()};
  }
};

// A dot's first vertex is ring 0, its centre.
const DrawnVertex& Centre(const DrawnBlock& dot) {
  return dot.vertices.at(0);
}

// The vertex at ring `ring` (1 to 5), spoke `spoke`, of a dot with `spokes` spokes:
// quad (ring - 1, spoke) is sent as (r, s), (r, s+1), (r+1, s+1), (r+1, s).
const DrawnVertex& RingVertex(const DrawnBlock& dot, size_t spokes, size_t ring, size_t spoke) {
  return dot.vertices.at(((ring - 1) * (spokes - 1) + spoke) * 4 + 3);
}

float Distance(const DrawnVertex& a, const DrawnVertex& b) {
  return std::hypot(a.x - b.x, a.y - b.y);
}

TEST_F(NumeralRing, MarksRunClockwiseFromTwelveWithTheHourMarksFurtherIn) {
  const auto marks = Marks(30);
  for (size_t i = 0; i < 60; ++i) {
    const double radius = i % 5 == 0 ? 1.7 : 1.9;
    const DrawnVertex& c = Centre(marks[i]);
    EXPECT_NEAR(c.x, radius * std::sin(i * 6 * kDeg), 1e-5) << i;
    EXPECT_NEAR(c.y, radius * std::cos(i * 6 * kDeg), 1e-5) << i;
    EXPECT_EQ(marks[i].vertices.size(), kMarkVertices);
    for (const DrawnVertex& v : marks[i].vertices)
      ASSERT_FLOAT_EQ(v.z, -0.1f);
  }
}

TEST_F(NumeralRing, MarkDotsFadeOutwardsWithALighterRayAt180Degrees) {
  const DrawnBlock mark = Marks(30).at(7);
  const float ring_alpha[] = {1, 0.9331f, 0.7503f, 0.5004f, 0.2505f, 0.0674f};
  EXPECT_NEAR(Centre(mark).alpha, ring_alpha[0], 1e-4);
  for (size_t ring = 1; ring <= 5; ++ring) {
    for (size_t spoke = 0; spoke <= 10; ++spoke) {
      const DrawnVertex& v = RingVertex(mark, 11, ring, spoke == 10 ? 9 : spoke);
      EXPECT_NEAR(v.alpha, ring_alpha[ring], 1e-4);
    }
  }
  const DrawnVertex& ray = RingVertex(mark, 11, 5, 5);
  EXPECT_NEAR(ray.x - Centre(mark).x, -0.0449f, 1e-4);
  EXPECT_NEAR(ray.y - Centre(mark).y, 0.0f, 1e-6);
  EXPECT_FLOAT_EQ(ray.red, 0.8f);
  EXPECT_FLOAT_EQ(RingVertex(mark, 11, 5, 4).red, 0.5f);
}

TEST_F(NumeralRing, OnlyTheCurrentSecondsMarkIsLit) {
  const struct {
    uint16_t second;
    float x, y;
  } cases[] = {{0, 0.0f, 1.7f},
               {59, static_cast<float>(1.9 * std::sin(354 * kDeg)),
                static_cast<float>(1.9 * std::cos(354 * kDeg))}};
  for (const auto& c : cases) {
    const auto marks = Marks(c.second);
    for (size_t i = 0; i < 60; ++i) {
      const bool lit = i == c.second;
      const float factor = lit ? 1.2f : 1.0f;
      const DrawnBlock& m = marks[i];
      EXPECT_FLOAT_EQ(Centre(m).red, 0.5f * factor) << i;
      EXPECT_FLOAT_EQ(Centre(m).blue, 0.125f * factor) << i;
      EXPECT_NEAR(RingVertex(m, 11, 3, 5).green, lit ? 1.2f * 0.25f + 0.36f : 0.55f, 1e-6) << i;
      if (lit) {
        EXPECT_NEAR(Centre(m).x, c.x, 1e-5);
        EXPECT_NEAR(Centre(m).y, c.y, 1e-5);
      }
    }
  }
}

TEST_F(NumeralRing, DigitScaleSetsTheDotSizeAndSpacingButNotTheOrigins) {
  const struct {
    int32_t sizes;
    float digit_scale, radius, step;
  } cases[] = {
      {5, 1.25f, 0.0234f, 0.0375f}, {10, 1.5f, 0.0280f, 0.045f}, {15, 1.75f, 0.0327f, 0.0525f}};
  for (const auto& c : cases) {
    const auto dots = NumeralDots(c.sizes);
    ASSERT_EQ(dots.size(), kNumeralDots);
    EXPECT_FLOAT_EQ(state_.DigitScale, c.digit_scale);
    EXPECT_NEAR(Distance(RingVertex(dots[0], 7, 5, 2), Centre(dots[0])), c.radius, 1e-4);
    // The "1" of "12": dots (4,-2), (4,-5), (4,-8) are straight steps apart.
    EXPECT_NEAR(Distance(Centre(dots[3]), Centre(dots[4])), c.step, 1e-5);
    EXPECT_NEAR(Distance(Centre(dots[4]), Centre(dots[5])), c.step, 1e-5);
    // The "1" of "12" starts at its origin (-0.12, 1.97) plus (0, -3) units.
    EXPECT_NEAR(Centre(dots[0]).x, -0.12f, 1e-5);
    EXPECT_NEAR(Centre(dots[0]).y, 1.97f - 0.03f * c.digit_scale, 1e-5);
  }
}

TEST_F(NumeralRing, NumeralsHaveTheirDotCountsAndStartWhereTheirGlyphsBegin) {
  const auto dots = NumeralDots(10);
  // Dots of the numerals 12, 1, 2, ..., 11, in drawing order.
  const size_t counts[] = {17, 7, 10, 9, 10, 11, 12, 8, 12, 12, 19, 14};
  // First dot of the numerals 3, 6 and 9 from their ring point, origin and pen start.
  const struct {
    size_t numeral;
    float x, y;
  } starts[] = {{3, 1.87f, 0.07f}, {6, 0.05f, -1.79f}, {9, -1.9f, 0.0f}};
  size_t first[12];
  size_t total = 0;
  for (size_t n = 0; n < 12; ++n) {
    first[n] = total;
    total += counts[n];
  }
  ASSERT_EQ(total, dots.size());
  for (const auto& s : starts) {
    EXPECT_NEAR(Centre(dots[first[s.numeral]]).x, s.x, 1e-5) << s.numeral;
    EXPECT_NEAR(Centre(dots[first[s.numeral]]).y, s.y, 1e-5) << s.numeral;
  }
  // In the 4 the point (4, -6) is drawn twice.
  EXPECT_NEAR(Distance(Centre(dots[first[4] + 4]), Centre(dots[first[4] + 7])), 0.0f, 1e-6);
  for (const DrawnBlock& d : dots) {
    EXPECT_EQ(d.vertices.size(), 120u);
    EXPECT_TRUE(d.transforms.empty());  // upright: nothing turns the numerals
    for (const DrawnVertex& v : d.vertices)
      ASSERT_EQ(v.z, 0.0f);
  }
}

TEST_F(NumeralRing, NumeralDotsHaveTheirRayTowards300Degrees) {
  const DrawnBlock dot = NumeralDots(10).at(20);
  const DrawnVertex& ray = RingVertex(dot, 7, 5, 5);
  const float angle = std::atan2(ray.y - Centre(dot).y, ray.x - Centre(dot).x);
  EXPECT_NEAR(angle, -60 * kDeg, 1e-4);
  EXPECT_FLOAT_EQ(ray.blue, 0.425f);
  EXPECT_FLOAT_EQ(RingVertex(dot, 7, 5, 4).blue, 0.125f);
  EXPECT_NEAR(ray.alpha, 0.0674f, 1e-4);
}

}  // namespace
