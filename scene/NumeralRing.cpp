#include "scene/NumeralRing.h"

#include <array>
#include <cmath>
#include <numbers>
#include <cstddef>

#include "scene/GlHeaders.h"
#include "scene/QuadBatch.h"
#include "scene/SceneState.h"

namespace {

constexpr size_t kDotRings = 6;
constexpr size_t kMarkSpokes = 11;
constexpr size_t kNumeralSpokes = 7;
// The spoke whose colour is lifted, a lighter ray across the dot.
constexpr size_t kRaySpoke = 5;
constexpr double kRayLift = 0.3;
constexpr float kMarkZ = -0.1f;
constexpr float kLitMarkBrightness = 1.2f;
constexpr int kMarkCount = 60;
constexpr float kHourMarkRadius = 1.7f;
constexpr float kMinuteMarkRadius = 1.9f;
constexpr float kNumeralRadius = 1.9f;

struct DotVertex {
  float x = 0.0f;
  float y = 0.0f;
  float red = 0.0f;
  float green = 0.0f;
  float blue = 0.0f;
  float alpha = 0.0f;
};

template <size_t Spokes>
using DotMesh = std::array<std::array<DotVertex, Spokes>, kDotRings>;

// Ring r lies at r * pi / 70 * ring_scale from the centre and fades as cos^2 outwards;
// the ring and spoke parameters step in double precision.
template <size_t Spokes>
void BuildDot(DotMesh<Spokes>& dot, double ring_scale, const RGB& rgb) {
  const double spoke_step = 2.0 * std::numbers::pi / (Spokes - 1);
  double rho = 0.0;
  for (auto& ring : dot) {
    const double distance = rho * ring_scale;
    const double fade = std::cos(5.83 * rho);
    double angle = 0.0;
    for (size_t s = 0; s < Spokes; ++s) {
      DotVertex& v = ring[s];
      v.x = static_cast<float>(std::cos(angle) * distance);
      v.y = static_cast<float>(std::sin(angle) * distance);
      const double lift = s == kRaySpoke ? kRayLift : 0.0;
      v.red = static_cast<float>(rgb.red + lift);
      v.green = static_cast<float>(rgb.green + lift);
      v.blue = static_cast<float>(rgb.blue + lift);
      v.alpha = static_cast<float>(fade * fade);
      angle += spoke_step;
    }
    rho += std::numbers::pi / 70.0;
  }
}

// Quads between neighbouring rings and spokes; the last spoke closes the disc.
template <size_t Spokes, typename Place>
void EmitDot(const DotMesh<Spokes>& dot, Place place, QuadBatch& batch) {
  batch.Start(false, ViewReach::Inside);
  for (size_t r = 0; r + 1 < kDotRings; ++r) {
    for (size_t s = 0; s + 1 < Spokes; ++s) {
      batch.Add(place(dot[r][s]));
      batch.Add(place(dot[r][s + 1]));
      batch.Add(place(dot[r + 1][s + 1]));
      batch.Add(place(dot[r + 1][s]));
    }
  }
  DrawQuadBatch(batch);
}

struct Point {
  float x = 0.0f;
  float y = 0.0f;
};

// The ring point at angle `phi`, which starts at pi for 12 o'clock and grows clockwise.
Point RingPoint(float phi, float radius) {
  const double a = static_cast<double>(phi) - std::numbers::pi / 2.0;
  return {static_cast<float>(-radius * std::cos(a)), static_cast<float>(radius * std::sin(a))};
}

struct Glyph {
  // Not scaled by DigitScale, so a bigger digit grows away from its pen start.
  Point start;
  int dot_count;
  // Dot centres in units of 0.01 * DigitScale from the pen start, in drawing order.
  std::array<Point, 12> dots;
};

const std::array<Glyph, 10> kGlyphs = {{
    {{0.0f, 0.0f},
     12,
     {{{0, 1},
       {3, 1},
       {6, 1},
       {6, -2},
       {6, -5},
       {6, -8},
       {6, -11},
       {3, -11},
       {0, -11},
       {0, -8},
       {0, -5},
       {0, -2}}}},
    {{0.0f, 0.0f}, 7, {{{0, -3}, {2, -1}, {4, 1}, {4, -2}, {4, -5}, {4, -8}, {4, -11}}}},
    {{0.0f, 0.0f},
     10,
     {{{0, 0}, {3, 1}, {6, 0}, {6, -3}, {4, -5}, {2, -7}, {0, -9}, {0, -11}, {3, -11}, {6, -11}}}},
    {{0.0f, 0.0f},
     9,
     {{{0, 0}, {2.5f, 1}, {5, 0}, {5, -3}, {3, -5}, {5, -7}, {5, -10}, {2.5f, -11}, {0, -10}}}},
    {{0.02f, 0.01f},
     10,
     {{{0, 0}, {-1, -3}, {-2, -6}, {1, -6}, {4, -6}, {4, 0}, {4, -3}, {4, -6}, {4, -9}, {4, -12}}}},
    {{0.05f, 0.01f},
     11,
     {{{0, 0},
       {-3, 0},
       {-6, 0},
       {-6, -3},
       {-6, -6},
       {-3, -5},
       {0, -6},
       {0, -9},
       {0, -12},
       {-3, -13},
       {-6, -12}}}},
    {{0.05f, 0.08f},
     12,
     {{{0, 0},
       {-3, 1},
       {-6, 0},
       {-6, -3},
       {-6, -6},
       {-6, -9},
       {-6, -12},
       {-3, -13},
       {0, -12},
       {0, -9},
       {0, -6},
       {-3, -5}}}},
    {{0.0f, 0.01f}, 8, {{{0, 0}, {3, 0}, {6, 0}, {6, -3}, {4, -5}, {2, -7}, {0, -9}, {0, -12}}}},
    {{0.0f, 0.0f},
     12,
     {{{0, 0},
       {3, 1},
       {6, 0},
       {6, -3},
       {4, -5},
       {6, -7},
       {6, -10},
       {3, -11},
       {0, -10},
       {0, -7},
       {2, -5},
       {0, -3}}}},
    {{0.0f, -0.05f},
     12,
     {{{0, 0},
       {-3, 0},
       {-3, 3},
       {-3, 6},
       {0, 6},
       {3, 6},
       {3, 3},
       {3, 0},
       {3, -3},
       {3, -6},
       {0, -6},
       {-3, -6}}}},
}};

struct GlyphPlacement {
  int digit;
  // From the numeral's ring point; not scaled by DigitScale.
  Point offset;
};

struct Numeral {
  int digit_count;
  std::array<GlyphPlacement, 2> digits;
};

// Numeral i sits at hour position i; the left digit of two is drawn first.
const std::array<Numeral, 12> kNumerals = {{
    {2, {{{1, {-0.12f, 0.07f}}, {2, {0.03f, 0.07f}}}}},
    {1, {{{1, {-0.05f, 0.06f}}}}},
    {1, {{{2, {-0.05f, 0.07f}}}}},
    {1, {{{3, {-0.03f, 0.07f}}}}},
    {1, {{{4, {-0.03f, 0.07f}}}}},
    {1, {{{5, {0.0f, 0.07f}}}}},
    {1, {{{6, {0.0f, 0.03f}}}}},
    {1, {{{7, {-0.03f, 0.07f}}}}},
    {1, {{{8, {-0.05f, 0.07f}}}}},
    {1, {{{9, {0.0f, 0.05f}}}}},
    {2, {{{1, {-0.09f, 0.07f}}, {0, {0.02f, 0.07f}}}}},
    {2, {{{1, {-0.09f, 0.06f}}, {1, {0.03f, 0.06f}}}}},
}};

void DrawMinuteMarks(const RingPen& pen, int current_second) {
  float phi = static_cast<float>(std::numbers::pi);
  const float step = static_cast<float>(std::numbers::pi / 30.0);
  for (int i = 0; i < kMarkCount; ++i) {
    const float radius = i % 5 == 0 ? kHourMarkRadius : kMinuteMarkRadius;
    const Point centre = RingPoint(phi, radius);
    if (i == current_second) {
      pen.state.MarkBrightness = kLitMarkBrightness;
    }
    DrawMarkDot(pen, centre.x, centre.y);
    phi += step;
  }
}

void DrawNumerals(const RingPen& pen) {
  float phi = static_cast<float>(std::numbers::pi);
  const float step = static_cast<float>(std::numbers::pi / 6.0);
  for (const Numeral& numeral : kNumerals) {
    const Point p = RingPoint(phi, kNumeralRadius);
    for (int d = 0; d < numeral.digit_count; ++d) {
      const GlyphPlacement& g = numeral.digits[static_cast<size_t>(d)];
      DrawDigitGlyph(pen, g.digit, p.x + g.offset.x, p.y + g.offset.y);
    }
    phi += step;
  }
}

}  // namespace

void DrawMarkDot(const RingPen& pen, float centre_x, float centre_y) {
  DotMesh<kMarkSpokes> dot;
  BuildDot(dot, 1.0 / 5.0, pen.HandRGB);
  const float brightness = pen.state.MarkBrightness;
  EmitDot(
      dot,
      [&](const DotVertex& v) {
        return QuadVertex{v.red * brightness,
                          v.green * brightness,
                          v.blue * brightness,
                          v.alpha,
                          centre_x + v.x,
                          centre_y + v.y,
                          kMarkZ};
      },
      pen.batch);
  pen.state.MarkBrightness = 1.0f;
}

void DrawNumeralDot(const RingPen& pen, float pen_x, float pen_y) {
  DotMesh<kNumeralSpokes> dot;
  BuildDot(dot, static_cast<double>(pen.state.DigitScale) / 12.0, pen.HandRGB);
  EmitDot(
      dot,
      [&](const DotVertex& v) {
        return QuadVertex{v.red, v.green, v.blue, v.alpha, pen_x + v.x, pen_y + v.y, 0.0f};
      },
      pen.batch);
}

void DrawDigitGlyph(const RingPen& pen, int digit, float origin_x, float origin_y) {
  if (digit < 0 || digit > 9) {
    return;
  }
  const Glyph& glyph = kGlyphs[static_cast<size_t>(digit)];
  const double unit = 0.01 * static_cast<double>(pen.state.DigitScale);
  float pen_x = origin_x + glyph.start.x;
  float pen_y = origin_y + glyph.start.y;
  Point previous;
  for (int i = 0; i < glyph.dot_count; ++i) {
    const Point& dot = glyph.dots[static_cast<size_t>(i)];
    pen_x += static_cast<float>((dot.x - previous.x) * unit);
    pen_y += static_cast<float>((dot.y - previous.y) * unit);
    previous = dot;
    DrawNumeralDot(pen, pen_x, pen_y);
  }
}

void DrawNumeralRing(const RingPen& pen, int current_second) {
  DrawMinuteMarks(pen, current_second);
  DrawNumerals(pen);
}
