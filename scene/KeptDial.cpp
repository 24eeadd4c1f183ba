#include "scene/KeptDial.h"

#include "scene/Background.h"
#include "settings/DialStyle.h"

KeptDialKey DialKeyOf(const FrameInputs& in) {
  return {in.settings.Color, in.DialRGB, in.LightLevel, in.viewport, in.projection};
}

void DrawDialAfterClear(const FrameInputs& in, WindowScene scene) {
  const int32_t style = in.settings.Color;
  KeptDialState& kept = scene.gl.KeptDial;
  if (!scene.gl.KeepCopies || DialKindOf(style) != DialKind::Still) {
    kept.valid = false;
    DrawDialFace(style, in.DialRGB, scene.state, scene.random, scene.gl.Batch);
    return;
  }
  const KeptDialKey key = DialKeyOf(in);
  // While the dial is still to be initialised, the kept copy may be another style's.
  if (scene.state.DialMeshReady && kept.Shows(key)) {
    kept.copy.PutBack();
    return;
  }
  DrawDialFace(style, in.DialRGB, scene.state, scene.random, scene.gl.Batch);
  kept.Keep(key, key.viewport, scene.gl.lookup);
}
