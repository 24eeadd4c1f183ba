#include "scene/Background.h"

#include <array>
#include <cmath>
#include <numbers>
#include <cstddef>

#include "scene/GlHeaders.h"
#include "scene/QuadBatch.h"
#include "base/RandomGenerator.h"
#include "scene/SceneState.h"
#include "settings/DialStyle.h"

namespace {

constexpr double kTwoPi = 2.0 * std::numbers::pi;

// Room for the largest grid of any style (style 1's 37 columns, the 26 rows of the
// others), so a grid size left by another style still stays inside the store.
constexpr int32_t kMaxRows = 25;
constexpr int32_t kMaxColumns = 36;

struct DialVertex {
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
  float red = 0.0f;
  float green = 0.0f;
  float blue = 0.0f;
  float alpha = 0.0f;
};

using DialMesh = std::array<std::array<DialVertex, kMaxColumns + 1>, kMaxRows + 1>;

// Style 1: a whole ellipsoid with drifting colours.
constexpr int32_t kEllipsoidColumns = 36;
constexpr int32_t kEllipsoidRows = 15;

// Styles 2 to 10: twelve copies of one 30-degree sector.
constexpr int kSectorCopies = 12;
constexpr float kSectorTurnDeg = 30.0f;

// Position and alpha of a sector vertex; the colour is always DialRGB.
using SectorShape = void (*)(double theta, double phi, DialVertex& v);

struct SectorStyle {
  int32_t columns;
  int32_t rows;
  double phi_step;
  SectorShape shape;
  bool flat;  // sent with glVertex2f, so every vertex lies at z = 0
  bool sunk;  // each copy moved back by 1 before it turns
};

double Square(double x) {
  return x * x;
}

double Fourth(float z) {
  return Square(Square(static_cast<double>(z)));
}

// cos^2 over a sector is 1 on its centre line and 0 on its edges, so the copies meet
// transparent and are most opaque at the hour positions.
double SectorFade(double phi, double frequency) {
  return Square(std::cos(frequency * phi));
}

void ShapeFlatDisc(double theta, double phi, DialVertex& v) {
  v.x = static_cast<float>(2.0 * std::cos(phi) * std::sin(theta));
  v.y = static_cast<float>(2.0 * std::sin(phi) * std::sin(theta));
  v.z = 0.0f;
  v.alpha = static_cast<float>(std::cos(1.2 * theta));
}

template <int RadiusTimes10>
void ShapeRingedBowl(double theta, double phi, DialVertex& v) {
  constexpr double radius = RadiusTimes10 / 10.0;
  v.x = static_cast<float>(radius * std::cos(phi) * std::sin(theta));
  v.y = static_cast<float>(radius * std::sin(phi) * std::sin(theta));
  v.z = static_cast<float>(-1.0 - std::cos(theta));
  v.alpha = static_cast<float>((Fourth(v.z) + 0.1) * SectorFade(phi, 6.0) * std::cos(20.0 * theta));
}

void ShapeSideBowl(double theta, double phi, DialVertex& v) {
  v.x = static_cast<float>(-1.0 - std::cos(theta));
  v.y = static_cast<float>(std::sin(phi) * std::sin(theta));
  v.z = static_cast<float>(std::cos(phi) * std::sin(theta));
  v.alpha =
      static_cast<float>((Fourth(v.z) + 0.1) * SectorFade(phi, 12.0) * std::cos(25.0 * theta));
}

void ShapeUpright(double theta, double phi, DialVertex& v) {
  v.x = static_cast<float>(1.95 * std::cos(phi) * std::sin(theta));
  v.y = static_cast<float>(-std::cos(theta));
  v.z = static_cast<float>(1.95 * std::sin(phi) * std::sin(theta));
  v.alpha = static_cast<float>(SectorFade(phi, 6.0) * std::cos(theta / 2.0));
}

void ShapeBowl(double theta, double phi, DialVertex& v) {
  v.x = static_cast<float>(2.0 * std::cos(phi) * std::sin(theta));
  v.y = static_cast<float>(2.0 * std::sin(phi) * std::sin(theta));
  v.z = static_cast<float>(-std::cos(theta));
  v.alpha = static_cast<float>(SectorFade(phi, 6.0) * std::cos(theta));
}

template <int Waves>
void ShapeWavyBowl(double theta, double phi, DialVertex& v) {
  v.x = static_cast<float>(3.37 * std::cos(phi) * std::sin(theta));
  v.y = static_cast<float>(3.37 * std::sin(phi) * std::sin(Waves * theta));
  v.z = static_cast<float>(-std::cos(theta));
  v.alpha = static_cast<float>(SectorFade(phi, 6.0) * std::cos(5.0 * theta));
}

void ShapeSwirl(double theta, double phi, DialVertex& v) {
  v.x = static_cast<float>(2.0 * std::cos(phi + theta) * std::sin(theta));
  v.y = static_cast<float>(2.0 * std::sin(phi + theta) * std::sin(theta));
  v.z = static_cast<float>(-std::cos(theta));
  v.alpha = static_cast<float>(SectorFade(phi, 6.0) * std::cos(5.0 * theta));
}

constexpr double kWideStep = std::numbers::pi / 36.0;
constexpr double kNarrowStep = std::numbers::pi / 72.0;

// Styles 2 to 10, in order.
const std::array<SectorStyle, 9> kSectorStyles = {{
    {6, 15, kWideStep, ShapeFlatDisc, true, false},
    {6, 25, kWideStep, ShapeRingedBowl<35>, false, false},
    {6, 25, kWideStep, ShapeRingedBowl<24>, false, false},
    {12, 25, kNarrowStep, ShapeSideBowl, false, true},
    {6, 25, kWideStep, ShapeUpright, false, false},
    {6, 25, kWideStep, ShapeBowl, false, false},
    {6, 25, kWideStep, ShapeWavyBowl<10>, false, false},
    {6, 25, kWideStep, ShapeWavyBowl<5>, false, false},
    {6, 25, kWideStep, ShapeSwirl, false, false},
}};

const SectorStyle& SectorStyleOf(int32_t style) {
  return kSectorStyles[static_cast<size_t>(style - 2)];
}

bool GridFitsStore(const DialFaceState& d) {
  return d.rows >= 1 && d.rows <= kMaxRows && d.columns >= 1 && d.columns <= kMaxColumns;
}

float DrawPhase(RandomGenerator& random) {
  return static_cast<float>(random.Next(628) / 100.0);
}

void InitialiseStyle(int32_t style, DialFaceState& d, RandomGenerator& random) {
  if (DialKindOf(style) == DialKind::Moving) {
    d.columns = kEllipsoidColumns;
    d.rows = kEllipsoidRows;
    d.phase_a = DrawPhase(random);
    d.phase_b = DrawPhase(random);
  } else {
    d.columns = SectorStyleOf(style).columns;
    d.rows = SectorStyleOf(style).rows;
  }
}

// A speed is drawn only while it is exactly 0; two equal draws leave it 0 for a call.
float DrawSpeed(RandomGenerator& random) {
  const double first = random.Next(100) / 1000.0;
  const double second = random.Next(100) / 1000.0;
  return static_cast<float>(first - second);
}

// Outside (0.001, 2 pi) the phase turns back with a fresh speed of 0.001 to 0.015.
void AdvancePhase(float& phase, float& speed, RandomGenerator& random) {
  if (phase >= kTwoPi) {
    speed = static_cast<float>(-0.001 - 0.001 * random.Next(15));
  }
  if (phase <= 0.001) {
    speed = static_cast<float>(0.001 + 0.001 * random.Next(15));
  }
  phase = phase + speed;
}

void AnimateEllipsoid(DialFaceState& d, RandomGenerator& random) {
  if (d.speed_a == 0.0f) {
    d.speed_a = DrawSpeed(random);
  }
  if (d.speed_b == 0.0f) {
    d.speed_b = DrawSpeed(random);
  }
  AdvancePhase(d.phase_a, d.speed_a, random);
  AdvancePhase(d.phase_b, d.speed_b, random);
}

// The angles and colour offsets accumulate in single precision.
void FillEllipsoid(DialMesh& mesh, const DialFaceState& d) {
  const double a = d.phase_a;
  const double b = d.phase_b;
  const float theta_step = static_cast<float>(std::numbers::pi / d.rows);
  const float phi_step = static_cast<float>(std::numbers::pi / 18.0);
  const double u_step = std::numbers::pi / ((5.0 + a) * d.rows);
  const double v_step = std::numbers::pi / d.columns;
  float theta = -theta_step;
  float u = 0.0f;
  for (int32_t i = 0; i <= d.rows; ++i) {
    theta += theta_step;
    u = static_cast<float>(u + u_step);
    float phi = 0.0f;
    float v = 0.0f;
    for (int32_t j = 0; j <= d.columns; ++j) {
      DialVertex& p = mesh[static_cast<size_t>(i)][static_cast<size_t>(j)];
      const double t = theta;
      const double f = phi;
      p.x = static_cast<float>(2.0 * std::cos(f) * std::sin(t));
      p.y = static_cast<float>(2.0 * std::sin(f) * std::sin(t));
      p.z = static_cast<float>(-std::cos(t));
      p.red = static_cast<float>(Square(std::sin(f + a + v)));
      p.green = static_cast<float>(Square(std::sin(t + b + u)));
      p.blue = static_cast<float>(Square(std::sin(f + v + u)));
      p.alpha = static_cast<float>(std::cos(t));
      phi += phi_step;
      v = static_cast<float>(v + v_step);
    }
  }
}

void FillSector(DialMesh& mesh, const DialFaceState& d, const SectorStyle& style, const RGB& rgb) {
  const float theta_step = static_cast<float>(std::numbers::pi / d.rows);
  const float phi_start = static_cast<float>(-std::numbers::pi / 12.0);
  const float phi_step = static_cast<float>(style.phi_step);
  float theta = -theta_step;
  for (int32_t i = 0; i <= d.rows; ++i) {
    theta += theta_step;
    float phi = phi_start;
    for (int32_t j = 0; j <= d.columns; ++j) {
      DialVertex& p = mesh[static_cast<size_t>(i)][static_cast<size_t>(j)];
      style.shape(theta, phi, p);
      p.red = rgb.red;
      p.green = rgb.green;
      p.blue = rgb.blue;
      phi += phi_step;
    }
  }
}

void AddVertex(QuadBatch& batch, const DialVertex& p) {
  batch.Add({p.red, p.green, p.blue, p.alpha, p.x, p.y, p.z});
}

void EmitEllipsoid(const DialMesh& mesh, const DialFaceState& d, QuadBatch& batch) {
  // The ellipsoid stays inside the view: its near half ends 3% short of the edge.
  batch.Start(false, ViewReach::Inside);
  for (size_t i = 0; i < static_cast<size_t>(d.rows); ++i) {
    for (size_t j = 0; j < static_cast<size_t>(d.columns); ++j) {
      AddVertex(batch, mesh[i][j]);
      AddVertex(batch, mesh[i][j + 1]);
      AddVertex(batch, mesh[i + 1][j + 1]);
      AddVertex(batch, mesh[i + 1][j]);
    }
  }
  glPushMatrix();
  DrawQuadBatch(batch);
  glPopMatrix();
}

// The copies turn on the current (projection) matrix, after lighting is computed at
// the mesh coordinates, so all twelve are lit alike and share one batch.
void EmitSectors(const DialMesh& mesh, const DialFaceState& d, const SectorStyle& style,
                 QuadBatch& batch) {
  batch.Start(style.flat, ViewReach::MayLeave);
  for (size_t i = 0; i < static_cast<size_t>(d.rows); ++i) {
    for (size_t j = 0; j < static_cast<size_t>(d.columns); ++j) {
      AddVertex(batch, mesh[i][j]);
      AddVertex(batch, mesh[i + 1][j]);
      AddVertex(batch, mesh[i + 1][j + 1]);
      AddVertex(batch, mesh[i][j + 1]);
    }
  }
  for (int k = 0; k < kSectorCopies; ++k) {
    glPushMatrix();
    if (style.sunk) {
      glTranslatef(0.0f, 0.0f, -1.0f);
    }
    glRotatef(kSectorTurnDeg * static_cast<float>(k), 0.0f, 0.0f, 1.0f);
    DrawQuadBatch(batch);
    glPopMatrix();
  }
}

}  // namespace

void StepDialFace(int32_t style, SceneState& state, RandomGenerator& random) {
  if (!ShowsDial(style)) {
    return;
  }
  // A grid that does not fit the store can only be one that was never initialised.
  if (!state.DialMeshReady || !GridFitsStore(state.Dial)) {
    InitialiseStyle(style, state.Dial, random);
  }
  if (DialKindOf(style) == DialKind::Moving) {
    AnimateEllipsoid(state.Dial, random);
  }
}

void DrawSteppedDialFace(int32_t style, const RGB& DialRGB, const DialFaceState& d,
                         QuadBatch& batch) {
  if (!ShowsDial(style)) {
    return;
  }
  DialMesh mesh;
  if (DialKindOf(style) == DialKind::Moving) {
    FillEllipsoid(mesh, d);
    EmitEllipsoid(mesh, d, batch);
  } else {
    const SectorStyle& sector = SectorStyleOf(style);
    FillSector(mesh, d, sector, DialRGB);
    EmitSectors(mesh, d, sector, batch);
  }
}

void DrawDialFace(int32_t style, const RGB& DialRGB, SceneState& state, RandomGenerator& random,
                  QuadBatch& batch) {
  StepDialFace(style, state, random);
  DrawSteppedDialFace(style, DialRGB, state.Dial, batch);
}
