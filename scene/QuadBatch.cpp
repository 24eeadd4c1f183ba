#include "scene/QuadBatch.h"

#include "scene/GlHeaders.h"

namespace {

constexpr size_t kQuadVertices = 4;

void DrawRun(size_t first_quad, size_t quad_count) {
  if (quad_count != 0) {
    glDrawArrays(GL_QUADS, static_cast<GLint>(first_quad * kQuadVertices),
                 static_cast<GLsizei>(quad_count * kQuadVertices));
  }
}

// NOTE: Mesa's llvmpipe draws some quads that reach past the edge of the view (dial
// styles 8 and 9, whose sectors fold over themselves) with other pixels when their draw
// is split over several calls, so only batches inside the view are split. There,
// consecutive visible quads go in one call.
void DrawVisibleRuns(const QuadVertex* v, size_t quads) {
  size_t run_start = 0;
  for (size_t q = 0; q < quads; ++q) {
    if (QuadIsInvisible(v + q * kQuadVertices)) {
      DrawRun(run_start, q - run_start);
      run_start = q + 1;
    }
  }
  DrawRun(run_start, quads - run_start);
}

}  // namespace

bool QuadIsInvisible(const QuadVertex* quad) {
  // NaN compares false, so a quad with a NaN alpha is still drawn.
  return quad[0].alpha <= 0.0f && quad[1].alpha <= 0.0f && quad[2].alpha <= 0.0f &&
         quad[3].alpha <= 0.0f;
}

void DrawQuadBatch(const QuadBatch& batch) {
  const std::vector<QuadVertex>& v = batch.Vertices();
  const size_t quads = v.size() / kQuadVertices;
  if (quads == 0) {
    return;
  }
  constexpr GLsizei stride = sizeof(QuadVertex);
  glEnableClientState(GL_COLOR_ARRAY);
  glEnableClientState(GL_VERTEX_ARRAY);
  glColorPointer(4, GL_FLOAT, stride, &v[0].red);
  glVertexPointer(batch.Flat() ? 2 : 3, GL_FLOAT, stride, &v[0].x);
  if (batch.Reach() == ViewReach::Inside) {
    DrawVisibleRuns(v.data(), quads);
  } else {
    DrawRun(0, quads);
  }
  glDisableClientState(GL_VERTEX_ARRAY);
  glDisableClientState(GL_COLOR_ARRAY);
}
