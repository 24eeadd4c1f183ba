#include "scene/Clocks.h"

#include <array>
#include <cmath>
#include <numbers>
#include <cstddef>
#include <cstdint>

#include "scene/FrameInputs.h"
#include "scene/GlHeaders.h"
#include "scene/NumeralRing.h"
#include "scene/QuadBatch.h"
#include "scene/SceneState.h"

namespace {

constexpr size_t kHandRows = 51;
constexpr size_t kHandColumns = 11;
constexpr size_t kSpineColumn = 5;
constexpr double kSpineLift = 0.3;
// The minute and hour hands are shorter and wider copies of the second hand.
constexpr double kMinuteLength = 1.2;
constexpr double kMinuteWidth = 1.4;
constexpr double kHourLength = 1.5;
constexpr double kHourWidth = 1.9;

struct HandVertex {
  float x = 0.0f;
  float y = 0.0f;
  float red = 0.0f;
  float green = 0.0f;
  float blue = 0.0f;
  float alpha = 0.0f;
  float minute_x = 0.0f;
  float minute_y = 0.0f;
  float hour_x = 0.0f;
  float hour_y = 0.0f;
};

using HandMesh = std::array<std::array<HandVertex, kHandColumns>, kHandRows>;

bool IsHandStyle(int32_t style) {
  return style >= 1 && style <= 10;
}

// The second hand's signed half-width at sweep position u (along) and v (across).
double HandHalfWidth(int32_t style, double u, double v) {
  const double u3 = u * u * u;
  switch (style) {
    case 1:
      return std::sin(v * u3 / (u + 7.0)) * std::sin(u);
    case 2:
      return std::sin(v * u3 / (u + 10.0)) * std::sin(u);
    case 3:
    case 6:
      return std::sin(v * u3 / (u + 15.0)) * std::sin(u);
    case 4:
      return std::sin(v * u3 / (u + 10.0) + 0.2) * std::sin(u);
    case 5:
      return std::sin(v * u3 / (u + 10.0) - 0.2) * std::sin(u);
    case 7:
      return std::sin(v * u3 / (u + 20.0)) * std::sin(u);
    case 8:
      return std::sin(v * u3 / (u + 30.0)) * std::sin(u);
    case 9:
      return std::sin(v * std::sin(u - 0.8)) * std::sin(u * u / 1.5) / 3.0;
    default:
      return std::sin(v * std::sin(u - 0.8)) * std::sin(u) / 5.0;
  }
}

// Styles up to 5 (signed) keep only a narrow strip about the spine opaque.
double HandAlpha(int32_t style, double v) {
  const double c = std::cos(7.5 * v);
  double alpha = c;
  if (style <= 5) {
    const double c2 = c * c;
    const double c4 = c2 * c2;
    alpha = c4 * c4;
  }
  return alpha > 0.5 ? alpha : 0.0;
}

// u and v step in single precision, as the outline's numbers were tuned with them.
void BuildHandMesh(HandMesh& mesh, int32_t style, const RGB& rgb) {
  const float v_start = static_cast<float>(-std::numbers::pi / 15.0);
  const float u_step = static_cast<float>(std::numbers::pi / 70.0);
  const float v_step = static_cast<float>(std::numbers::pi / 75.0);
  float u = static_cast<float>(std::numbers::pi);
  for (auto& row : mesh) {
    float v = v_start;
    for (size_t c = 0; c < kHandColumns; ++c) {
      HandVertex& p = row[c];
      const double x = std::cos(static_cast<double>(u)) + 1.0;
      const double y = HandHalfWidth(style, u, v);
      p.x = static_cast<float>(x);
      p.y = static_cast<float>(y);
      const double lift = c == kSpineColumn ? kSpineLift : 0.0;
      p.red = static_cast<float>(rgb.red + lift);
      p.green = static_cast<float>(rgb.green + lift);
      p.blue = static_cast<float>(rgb.blue + lift);
      p.alpha = static_cast<float>(HandAlpha(style, v));
      p.minute_x = static_cast<float>(p.x / kMinuteLength);
      p.minute_y = static_cast<float>(p.y * kMinuteWidth);
      p.hour_x = static_cast<float>(p.x / kHourLength);
      p.hour_y = static_cast<float>(p.y * kHourWidth);
      v += v_step;
    }
    u -= u_step;
  }
}

using Position = float HandVertex::*;

void DrawHand(QuadBatch& batch, const HandMesh& mesh, float angle_deg, Position px, Position py) {
  batch.Start(false, ViewReach::Inside);
  const auto add = [&](const HandVertex& p) {
    batch.Add({p.red, p.green, p.blue, p.alpha, p.*px, p.*py, 0.0f});
  };
  for (size_t r = 0; r + 1 < kHandRows; ++r) {
    for (size_t c = 0; c + 1 < kHandColumns; ++c) {
      add(mesh[r][c]);
      add(mesh[r][c + 1]);
      add(mesh[r + 1][c + 1]);
      add(mesh[r + 1][c]);
    }
  }
  glPushMatrix();
  // The hand lies along +x; the quarter turn brings it to 12 o'clock.
  glRotatef(angle_deg + 90.0f, 0.0f, 0.0f, 1.0f);
  DrawQuadBatch(batch);
  glPopMatrix();
}

// Hours 12 to 23 need no reduction: they differ by a whole turn from the morning.
HandAngles AnglesAt(const TimeOfDay& t) {
  HandAngles a;
  a.second_deg = static_cast<float>(-6 * static_cast<int>(t.second));
  a.minute_deg = static_cast<float>(-6 * static_cast<int>(t.minute));
  a.hour_deg =
      static_cast<float>(-30.0 * static_cast<double>(t.hour) - static_cast<double>(t.minute) / 2.0);
  return a;
}

}  // namespace

void NoteClockHands(const FrameInputs& in, SceneState& state) {
  state.DigitScale = static_cast<float>(static_cast<double>(in.settings.Sizes) / 20.0 + 1.0);
  state.Angles = AnglesAt(in.time);
}

void DrawClockHands(const FrameInputs& in, SceneState& state, QuadBatch& batch) {
  NoteClockHands(in, state);
  const HandAngles angles = state.Angles;

  // A style outside 1 to 10 has no outline; drawing no hands matches the first frame
  // of a process, where the outline would still be all zero.
  const int32_t style = in.settings.Arrows;
  if (IsHandStyle(style)) {
    HandMesh mesh;
    BuildHandMesh(mesh, style, in.HandRGB);
    DrawHand(batch, mesh, angles.hour_deg, &HandVertex::hour_x, &HandVertex::hour_y);
    DrawHand(batch, mesh, angles.minute_deg, &HandVertex::minute_x, &HandVertex::minute_y);
    DrawHand(batch, mesh, angles.second_deg, &HandVertex::x, &HandVertex::y);
  }
  DrawNumeralRing({in.HandRGB, state, batch}, in.time.second);
}
