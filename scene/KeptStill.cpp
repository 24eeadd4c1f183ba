#include "scene/KeptStill.h"

#include <array>

#include "scene/Clocks.h"
#include "scene/GlHeaders.h"
#include "scene/SceneGl.h"
#include "settings/DialStyle.h"

namespace {

// `window` is null where the caller has cleared the frame already.
void StillPart(const FrameInputs& in, WindowScene scene, StillPartDrawing draw,
               const std::array<int, 4>* window) {
  KeptStillState& kept = scene.gl.KeptStill;
  if (!scene.gl.KeepCopies || DialKindOf(in.settings.Color) == DialKind::Moving) {
    kept.valid = false;
    if (window != nullptr) {
      glClear(GL_COLOR_BUFFER_BIT);
    }
    draw(in, scene);
    return;
  }
  const bool put_back = scene.state.DialMeshReady && kept.Shows(in);
  if (window != nullptr && !(put_back && in.viewport == *window)) {
    glClear(GL_COLOR_BUFFER_BIT);
  }
  if (put_back) {
    kept.copy.PutBack();
    NoteClockHands(in, scene.state);
  } else {
    draw(in, scene);
    kept.Keep(in, in.viewport, scene.gl.lookup);
  }
}

}  // namespace

void DrawStillPart(const FrameInputs& in, WindowScene scene, StillPartDrawing draw) {
  StillPart(in, scene, draw, nullptr);
}

void ClearAndDrawStillPart(const FrameInputs& in, WindowScene scene, StillPartDrawing draw,
                           int width, int height) {
  const std::array<int, 4> window = {0, 0, width, height};
  StillPart(in, scene, draw, &window);
}
