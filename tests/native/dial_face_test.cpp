#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <cstdint>
#include <vector>

#include "scene/Background.h"
#include "tests/native/SceneTrace.h"

namespace {

class DialFace : public SceneTest {
 protected:
  void SetUp() override {
    SceneTest::SetUp();
    settings_.DialRGB = {0.7f, 0.5f, 0.25f};
  }

  // The first call after a start initialises the style.
  std::vector<DrawnBlock> FirstCall(int32_t style) {
    state_.DialMeshReady = false;
    return BlocksOf(Trace([&] { DrawDial(style); }));
  }
};

// Sector styles send quad (i, j) as [i][j], [i+1][j], [i+1][j+1], [i][j+1].
const DrawnVertex& SectorVertex(const DrawnBlock& copy, int columns, int row, int column) {
  return copy.vertices.at(static_cast<size_t>(row * columns + column) * 4);
}

// Style 1 sends quad (i, j) as [i][j], [i][j+1], [i+1][j+1], [i+1][j].
const DrawnVertex& EllipsoidVertex(const DrawnBlock& b, int row, int column) {
  const int r = row < 15 ? row : 14;
  const int c = column < 36 ? column : 35;
  const size_t corner = row < 15 ? (column < 36 ? 0 : 1) : (column < 36 ? 3 : 2);
  return b.vertices.at(static_cast<size_t>(r * 36 + c) * 4 + corner);
}

TEST_F(DialFace, QuadCountsAndCopiesPerStyle) {
  const struct {
    int32_t style;
    size_t copies, quads_per_copy;
  } cases[] = {{1, 1, 540},  {2, 12, 90},  {3, 12, 150}, {4, 12, 150}, {5, 12, 300},
               {6, 12, 150}, {7, 12, 150}, {8, 12, 150}, {9, 12, 150}, {10, 12, 150}};
  for (const auto& c : cases) {
    const auto blocks = FirstCall(c.style);
    ASSERT_EQ(blocks.size(), c.copies) << c.style;
    for (size_t k = 0; k < blocks.size(); ++k) {
      EXPECT_EQ(blocks[k].vertices.size(), 4 * c.quads_per_copy) << c.style;
      for (const DrawnVertex& v : blocks[k].vertices) {
        ASSERT_EQ(v.call, c.style == 2 ? "glVertex2f" : "glVertex3f") << c.style;
      }
      if (c.style == 1) {
        EXPECT_TRUE(blocks[k].transforms.empty());
        continue;
      }
      // Each copy turns 30 degrees further; style 5 is moved back before it turns.
      const auto& t = blocks[k].transforms;
      ASSERT_EQ(t.size(), c.style == 5 ? 2u : 1u) << c.style;
      if (c.style == 5) {
        EXPECT_EQ(FormatGlCall(t[0]), "glTranslatef 0 0 -1");
      }
      EXPECT_EQ(FormatGlCall(t.back()), "glRotatef " + std::to_string(30 * k) + " 0 0 1");
      EXPECT_FLOAT_EQ(blocks[k].vertices[0].red, 0.7f);
      EXPECT_FLOAT_EQ(blocks[k].vertices[0].blue, 0.25f);
    }
  }
}

TEST_F(DialFace, EveryStyleLeavesTheMatrixStackAsFound) {
  for (int32_t style = 1; style <= 10; ++style) {
    state_.DialMeshReady = false;
    const auto calls = Trace([&] { DrawDial(style); });
    EXPECT_EQ(CountCalls(calls, "glPushMatrix"), CountCalls(calls, "glPopMatrix")) << style;
    EXPECT_EQ(CountCalls(calls, "glColor4f"),
              CountCalls(calls, "glVertex3f") + CountCalls(calls, "glVertex2f"));
  }
}

TEST_F(DialFace, Style2IsFlatWithItsCheckpointAtRow5Column3) {
  const auto blocks = FirstCall(2);
  const DrawnVertex& v = SectorVertex(blocks[0], 6, 5, 3);
  EXPECT_NEAR(v.x, 1.732f, 1e-3);
  EXPECT_NEAR(v.y, 0.0f, 1e-6);
  EXPECT_NEAR(v.alpha, 0.309f, 1e-3);
}

TEST_F(DialFace, Style3Row0IsFarBackAndPassesAlphaAboveOne) {
  const auto blocks = FirstCall(3);
  const float across[] = {0, 0.25f, 0.75f, 1, 0.75f, 0.25f};
  for (int column = 0; column < 6; ++column) {
    const DrawnVertex& v = SectorVertex(blocks[0], 6, 0, column);
    EXPECT_FLOAT_EQ(v.z, -2.0f);
    EXPECT_NEAR(v.alpha, 16.1f * across[column], 1e-4) << column;
  }
}

TEST_F(DialFace, Style1PolesAndTheirAlphas) {
  const auto blocks = FirstCall(1);
  for (int column = 0; column <= 36; ++column) {
    const DrawnVertex& near_pole = EllipsoidVertex(blocks[0], 0, column);
    EXPECT_NEAR(near_pole.x, 0.0f, 1e-6);
    EXPECT_NEAR(near_pole.y, 0.0f, 1e-6);
    EXPECT_FLOAT_EQ(near_pole.z, -1.0f);
    EXPECT_FLOAT_EQ(near_pole.alpha, 1.0f);
    const DrawnVertex& far_pole = EllipsoidVertex(blocks[0], 15, column);
    EXPECT_NEAR(far_pole.x, 0.0f, 1e-6);
    EXPECT_NEAR(far_pole.y, 0.0f, 1e-6);
    EXPECT_NEAR(far_pole.z, 1.0f, 1e-6);
    EXPECT_NEAR(far_pole.alpha, -1.0f, 1e-6);
  }
}

TEST_F(DialFace, Style5CopiesMeetAtTheFarPoint) {
  const auto blocks = FirstCall(5);
  for (const DrawnBlock& copy : blocks) {
    for (int column = 0; column < 12; ++column) {
      // Row 25 is reached as the second corner of row 24's quads.
      const DrawnVertex& v = copy.vertices.at(static_cast<size_t>(24 * 12 + column) * 4 + 1);
      EXPECT_NEAR(v.x, 0.0f, 1e-6);
      EXPECT_NEAR(v.y, 0.0f, 1e-6);
      EXPECT_NEAR(v.z, 0.0f, 1e-6);
    }
  }
}

TEST_F(DialFace, StylesOutsideOneToTenDrawAndChangeNothing) {
  // A second style 1 call draws the same with or without invalid calls before it: they
  // neither initialise (new phases), nor draw random numbers, nor animate.
  const auto second_call = [this](bool invalid_calls_between) {
    random_.SetState(20240601u);
    state_ = {};
    DrawDial(1);
    for (int32_t style : {0, 11, -1}) {
      if (!invalid_calls_between) break;
      state_.DialMeshReady = false;
      EXPECT_TRUE(Trace([&] { DrawDial(style); }).empty()) << style;
    }
    state_.DialMeshReady = true;
    return Trace([&] { DrawDial(1); });
  };
  const auto reference = second_call(false);
  const auto after_invalid = second_call(true);
  ASSERT_EQ(after_invalid.size(), reference.size());
  for (size_t i = 0; i < reference.size(); ++i) {
    ASSERT_EQ(FormatGlCall(after_invalid[i]), FormatGlCall(reference[i])) << i;
  }
}

// The red at row 0, column 3 is sin^2(a + pi/4), with a the phase after the step.
float PhaseRed(const std::vector<DrawnBlock>& blocks) {
  return EllipsoidVertex(blocks.at(0), 0, 3).red;
}

// Which of the turning speeds 0.001 to 0.015 (in `direction`) moved phase `from`.
int TurningSpeedIndex(float red, float from, int direction) {
  int found = -1;
  for (int k = 0; k < 15; ++k) {
    const double a = static_cast<float>(from + direction * 0.001f * static_cast<float>(k + 1));
    const double expected = std::pow(std::sin(a + std::numbers::pi / 4.0), 2);
    if (std::fabs(red - expected) < 2e-4) {
      EXPECT_EQ(found, -1) << "two speeds fit";
      found = k;
    }
  }
  return found;
}

TEST_F(DialFace, Style1PhaseTurnsBackAtEitherEnd) {
  const struct {
    float phase;
    int direction;
  } cases[] = {{6.3f, -1}, {0.0005f, +1}};
  for (uint32_t seed : {1u, 77u, 4000000000u}) {
    for (const auto& c : cases) {
      FirstCall(1);
      state_.Dial.phase_a = c.phase;
      state_.Dial.speed_a = 0.05f;  // the old speed, which the turn replaces
      state_.Dial.speed_b = 0.05f;
      state_.DialMeshReady = true;
      random_.SetState(seed);
      const float red = PhaseRed(BlocksOf(Trace([&] { DrawDial(1); })));
      const int k = TurningSpeedIndex(red, c.phase, c.direction);
      EXPECT_GE(k, 0) << "seed " << seed << " phase " << c.phase;
      // Inside (0.001, 2 pi) the new speed holds; still outside, another turning speed
      // in the same direction is drawn.
      const float red_next = PhaseRed(BlocksOf(Trace([&] { DrawDial(1); })));
      const float moved = static_cast<float>(c.phase + c.direction * 0.001f * (k + 1));
      const int k_next = TurningSpeedIndex(red_next, moved, c.direction);
      if (moved > 0.001f && moved < 2.0 * std::numbers::pi) {
        EXPECT_EQ(k_next, k);
      } else {
        EXPECT_GE(k_next, 0);
      }
    }
  }
}

TEST_F(DialFace, Style1SpeedOfTwoEqualDrawsStaysZeroForThatCall) {
  // The first seed whose two draws below 100 are equal.
  uint32_t seed = 0;
  RandomGenerator draws;
  do {
    draws.SetState(++seed);
  } while (draws.Next(100) != draws.Next(100));
  FirstCall(1);
  state_.Dial.phase_a = 3.0f;
  state_.Dial.speed_a = 0.0f;
  state_.Dial.speed_b = 0.05f;
  state_.DialMeshReady = true;
  random_.SetState(seed);
  const float red = PhaseRed(BlocksOf(Trace([&] { DrawDial(1); })));
  EXPECT_NEAR(red, std::pow(std::sin(3.0 + std::numbers::pi / 4.0), 2), 1e-5);
  // The next call draws again, and two different draws move the phase.
  const float red_next = PhaseRed(BlocksOf(Trace([&] { DrawDial(1); })));
  EXPECT_GT(std::fabs(red_next - red), 1e-4);
}

TEST_F(DialFace, AGridStaysWithTheStyleThatWasInitialised) {
  FirstCall(2);
  state_.DialMeshReady = true;
  const auto blocks = BlocksOf(Trace([&] { DrawDial(3); }));
  ASSERT_EQ(blocks.size(), 12u);
  EXPECT_EQ(blocks[0].vertices.size(), 4u * 90u);  // style 2's 6 x 15 grid
}

}  // namespace
