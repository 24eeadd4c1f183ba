#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <vector>

#include "scene/Clocks.h"
#include "tests/native/SceneTrace.h"

namespace {

constexpr size_t kHandVertices = 2000;

class ClockHands : public SceneTest {
 protected:
  std::vector<DrawnBlock> DrawWith(int32_t style, TimeOfDay t = {10, 8, 30, 0}) {
    settings_.clock.Arrows = style;
    settings_.clock.Sizes = 10;
    settings_.HandRGB = {0.5f, 0.25f, 0.125f};
    time_ = t;
    return BlocksOf(Trace([&] { DrawHands(); }));
  }
};

// Grid vertex (row, column) of a hand block. Quad (r, c) is sent as (r, c), (r, c+1),
// (r+1, c+1), (r+1, c), so the last row and column are reached through their neighbours.
const DrawnVertex& GridVertex(const DrawnBlock& hand, int row, int column) {
  const int r = row < 50 ? row : 49;
  const int c = column < 10 ? column : 9;
  const size_t quad = static_cast<size_t>(r * 10 + c) * 4;
  const size_t corner = row < 50 ? (column < 10 ? 0 : 1) : (column < 10 ? 3 : 2);
  return hand.vertices.at(quad + corner);
}

const DrawnBlock& SecondHand(const std::vector<DrawnBlock>& blocks) {
  return blocks.at(2);
}

TEST_F(ClockHands, EveryStyleSpansFromTheCentreToTheSameLength) {
  for (int32_t style = 1; style <= 10; ++style) {
    const auto blocks = DrawWith(style);
    for (int column : {0, 5, 10}) {
      EXPECT_NEAR(GridVertex(SecondHand(blocks), 0, column).x, 0.0f, 1e-6) << style;
      EXPECT_NEAR(GridVertex(SecondHand(blocks), 25, column).x, 0.5661f, 1e-4) << style;
      EXPECT_NEAR(GridVertex(SecondHand(blocks), 50, column).x, 1.6235f, 1e-4) << style;
    }
    // The minute hand is 1/1.2 and the hour hand 1/1.5 as long.
    EXPECT_NEAR(GridVertex(blocks[1], 50, 5).x, 1.3529f, 1e-4) << style;
    EXPECT_NEAR(GridVertex(blocks[0], 50, 5).x, 1.0823f, 1e-4) << style;
  }
}

TEST_F(ClockHands, HalfWidthsAtRow25) {
  const struct {
    int32_t style;
    float half_width;
  } cases[] = {{1, 0.1713f}, {2, 0.1289f}, {3, 0.0912f}, {6, 0.0912f},
               {7, 0.0705f}, {8, 0.0485f}, {9, 0.0267f}, {10, 0.0352f}};
  for (const auto& c : cases) {
    const auto blocks = DrawWith(c.style);
    const DrawnBlock& second = SecondHand(blocks);
    EXPECT_NEAR(GridVertex(second, 25, 0).y, -c.half_width, 5e-5) << c.style;
    EXPECT_NEAR(GridVertex(second, 25, 10).y, c.half_width, 5e-5) << c.style;
    EXPECT_NEAR(GridVertex(second, 25, 5).y, 0.0f, 1e-6) << c.style;
    // Minute and hour hands are 1.4 and 1.9 times as wide.
    EXPECT_NEAR(GridVertex(blocks[1], 25, 10).y, c.half_width * 1.4f, 1e-4) << c.style;
    EXPECT_NEAR(GridVertex(blocks[0], 25, 10).y, c.half_width * 1.9f, 1e-4) << c.style;
  }
}

TEST_F(ClockHands, OneSidedBladesAtRow25) {
  const DrawnBlock style4 = SecondHand(DrawWith(4));
  EXPECT_NEAR(GridVertex(style4, 25, 0).y, 0.0509f, 1e-4);
  EXPECT_NEAR(GridVertex(style4, 25, 5).y, 0.1790f, 1e-4);
  EXPECT_NEAR(GridVertex(style4, 25, 10).y, 0.3035f, 1e-4);
  const DrawnBlock style5 = SecondHand(DrawWith(5));
  EXPECT_NEAR(GridVertex(style5, 25, 0).y, -0.3035f, 1e-4);
  EXPECT_NEAR(GridVertex(style5, 25, 10).y, -0.0509f, 1e-4);
}

TEST_F(ClockHands, OutlineMaximaAndTips) {
  const struct {
    int32_t style;
    int widest_row;
    float widest;
    float tip;
  } cases[] = {{1, 16, 0.2047f, 0.0150f}, {2, 16, 0.1564f, 0.0109f}, {3, 16, 0.1120f, 0.0074f},
               {7, 16, 0.0872f, 0.0057f}, {8, 16, 0.0604f, 0.0038f}, {10, 26, 0.0353f, 0.0032f},
               {4, 23, 0.3043f, 0.1660f}};
  for (const auto& c : cases) {
    const DrawnBlock hand = SecondHand(DrawWith(c.style));
    int widest_row = -1;
    float widest = 0.0f;
    for (int row = 0; row <= 50; ++row) {
      for (int column = 0; column <= 10; ++column) {
        const float y = std::fabs(GridVertex(hand, row, column).y);
        if (y > widest) {
          widest = y;
          widest_row = row;
        }
      }
    }
    EXPECT_EQ(widest_row, c.widest_row) << c.style;
    EXPECT_NEAR(widest, c.widest, 1e-4) << c.style;
    EXPECT_NEAR(std::fabs(GridVertex(hand, 50, 10).y), c.tip, 1e-4) << c.style;
  }
}

TEST_F(ClockHands, Style9HasTwoLobesAndAWidthAtTheCentre) {
  const DrawnBlock hand = SecondHand(DrawWith(9));
  EXPECT_NEAR(std::fabs(GridVertex(hand, 0, 10).y), 0.0146f, 1e-4);
  EXPECT_NEAR(std::fabs(GridVertex(hand, 11, 10).y), 0.0666f, 1e-4);
  EXPECT_NEAR(std::fabs(GridVertex(hand, 32, 10).y), 0.0510f, 1e-4);
  EXPECT_NEAR(std::fabs(GridVertex(hand, 50, 10).y), 0.0035f, 1e-4);
  // Zero width between rows 1 and 2: the sign of the outline flips there.
  EXPECT_LT(GridVertex(hand, 1, 10).y * GridVertex(hand, 2, 10).y, 0.0f);
}

TEST_F(ClockHands, ColumnAlphasOfBothProfilesAndTheLighterSpine) {
  const float narrow[] = {0, 0, 0, 0, 0.6693f, 1, 0.6693f, 0, 0, 0, 0};
  const float wide[] = {0, 0, 0.5878f, 0.8090f, 0.9511f, 1, 0.9511f, 0.8090f, 0.5878f, 0, 0};
  for (int32_t style : {1, 5, 6, 10}) {
    const auto blocks = DrawWith(style);
    const float* expected = style <= 5 ? narrow : wide;
    for (const DrawnBlock& hand : {blocks[0], blocks[1], blocks[2]}) {
      for (int row : {0, 17, 50}) {
        for (int column = 0; column <= 10; ++column) {
          const DrawnVertex& v = GridVertex(hand, row, column);
          EXPECT_NEAR(v.alpha, expected[column], 1e-4) << style << " col " << column;
          const float lift = column == 5 ? 0.3f : 0.0f;
          EXPECT_FLOAT_EQ(v.red, 0.5f + lift);
          EXPECT_FLOAT_EQ(v.green, 0.25f + lift);
          EXPECT_FLOAT_EQ(v.blue, 0.125f + lift);
        }
      }
    }
  }
}

// The rotations of the hour, minute and second hands, in drawing order.
std::vector<float> Rotations(const std::vector<DrawnBlock>& blocks) {
  std::vector<float> angles;
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(blocks[i].transforms.size(), 1u);
    const GlCall& r = blocks[i].transforms.at(0);
    EXPECT_EQ(r.name, "glRotatef");
    EXPECT_EQ(r.Float(1), 0.0f);
    EXPECT_EQ(r.Float(2), 0.0f);
    EXPECT_EQ(r.Float(3), 1.0f);
    angles.push_back(r.Float(0));
  }
  return angles;
}

TEST_F(ClockHands, RotationsFollowTheTimeOfDay) {
  // Afternoon hours are not reduced: -360 for the hour hand is the same turn as 0.
  EXPECT_EQ(Rotations(DrawWith(1, {0, 0, 0, 0})), (std::vector<float>{90, 90, 90}));
  EXPECT_EQ(Rotations(DrawWith(1, {12, 0, 0, 0})), (std::vector<float>{-270, 90, 90}));
  EXPECT_EQ(Rotations(DrawWith(1, {15, 30, 45, 0})), (std::vector<float>{-375, -90, -180}));
  EXPECT_EQ(Rotations(DrawWith(1, {3, 30, 45, 0})), (std::vector<float>{-15, -90, -180}));
  EXPECT_EQ(Rotations(DrawWith(1, {0, 59, 59, 0})), (std::vector<float>{60.5f, -264, -264}));
}

TEST_F(ClockHands, MorningAndAfternoonDrawTheSameVertices) {
  const auto morning = DrawWith(3, {3, 30, 45, 0});
  const auto afternoon = DrawWith(3, {15, 30, 45, 0});
  ASSERT_EQ(morning.size(), afternoon.size());
  for (size_t b = 0; b < morning.size(); ++b) {
    ASSERT_EQ(morning[b].vertices.size(), afternoon[b].vertices.size());
    for (size_t i = 0; i < morning[b].vertices.size(); ++i) {
      ASSERT_EQ(morning[b].vertices[i].x, afternoon[b].vertices[i].x);
      ASSERT_EQ(morning[b].vertices[i].y, afternoon[b].vertices[i].y);
    }
  }
}

TEST_F(ClockHands, AFrameSendsItsVerticesAsQuadsWithAColourEach) {
  settings_.clock.Arrows = 2;
  const auto calls = Trace([&] { DrawHands(); });
  const auto blocks = BlocksOf(calls);
  ASSERT_EQ(blocks.size(), 3u + 60u + 141u);
  size_t hand = 0, mark = 0, numeral = 0;
  for (size_t i = 0; i < blocks.size(); ++i) {
    (i < 3 ? hand : i < 63 ? mark : numeral) += blocks[i].vertices.size();
  }
  EXPECT_EQ(hand, 6000u);
  EXPECT_EQ(mark, 12000u);
  EXPECT_EQ(numeral, 16920u);
  EXPECT_EQ(CountCalls(calls, "glColor4f"), CountCalls(calls, "glVertex3f"));
  EXPECT_EQ(CountCalls(calls, "glVertex2f"), 0u);
  EXPECT_EQ(CountCalls(calls, "glPushMatrix"), 3u);
  EXPECT_EQ(CountCalls(calls, "glPopMatrix"), 3u);
  for (const GlCall& c : calls) {
    if (c.name == "glBegin") {
      EXPECT_EQ(c.Int(0), GL_QUADS);
    }
  }
  for (size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(blocks[i].vertices.size(), kHandVertices);
  }
}

TEST_F(ClockHands, AStyleOutsideOneToTenDrawsNoHandsButTheRing) {
  for (int32_t style : {0, 11, -1}) {
    const auto blocks = DrawWith(style);
    ASSERT_EQ(blocks.size(), 60u + 141u) << style;
    for (const DrawnBlock& b : blocks) {
      EXPECT_TRUE(b.transforms.empty());
    }
  }
}

TEST_F(ClockHands, SizesLeavesTheHandsAlone) {
  settings_.clock.Sizes = 5;
  settings_.clock.Arrows = 1;
  const auto small = BlocksOf(Trace([&] { DrawHands(); }));
  settings_.clock.Sizes = 15;
  const auto large = BlocksOf(Trace([&] { DrawHands(); }));
  for (size_t b = 0; b < 3; ++b) {
    for (size_t i = 0; i < kHandVertices; ++i) {
      ASSERT_EQ(small[b].vertices[i].x, large[b].vertices[i].x);
      ASSERT_EQ(small[b].vertices[i].y, large[b].vertices[i].y);
    }
  }
}

}  // namespace
