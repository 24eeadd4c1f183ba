#pragma once

#include <cstddef>
#include <vector>

// One vertex as the scene sends it: its colour, then its position.
struct QuadVertex {
  float red = 0.0f;
  float green = 0.0f;
  float blue = 0.0f;
  float alpha = 0.0f;
  float x = 0.0f;
  float y = 0.0f;
  float z = 0.0f;
};

// Whether a batch's quads stay well inside the view volume, whatever the window.
enum class ViewReach { Inside, MayLeave };

// The vertices of one glBegin(GL_QUADS) block, four per quad in drawing order, sent
// together through client vertex arrays rather than two calls per vertex. The storage
// keeps its room between frames, so a frame allocates nothing once warmed up.
class QuadBatch {
 public:
  // `flat`: positions are sent with two coordinates, so every vertex lies at z = 0.
  void Start(bool flat, ViewReach reach) {
    vertices_.clear();
    flat_ = flat;
    reach_ = reach;
  }
  void Add(const QuadVertex& v) { vertices_.push_back(v); }

  const std::vector<QuadVertex>& Vertices() const { return vertices_; }
  bool Flat() const { return flat_; }
  ViewReach Reach() const { return reach_; }

 private:
  std::vector<QuadVertex> vertices_;
  bool flat_ = false;
  ViewReach reach_ = ViewReach::MayLeave;
};

// True when a quad cannot change a pixel: lit colours are clamped to [0, 1], so four
// alphas at or below 0 give alpha 0 at every fragment, which the scene's blending
// (source alpha, one minus source alpha) turns into the destination unchanged. Depth
// is never tested, so nothing is written to it either.
bool QuadIsInvisible(const QuadVertex* quad);

// Draws the batch as GL_QUADS into the current context; a batch inside the view leaves
// out its invisible quads.
// Client array state is enabled for the draw and disabled again afterwards.
void DrawQuadBatch(const QuadBatch& batch);
