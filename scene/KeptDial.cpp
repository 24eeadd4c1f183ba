#include "scene/KeptDial.h"

#include "scene/Background.h"
#include "scene/GlHeaders.h"
#include "scene/SceneState.h"
#include "settings/ClockSettings.h"

namespace {

bool IsStaticStyle(int32_t style) {
  return style >= 2 && style <= 10;
}

}  // namespace

KeptDialKey DialKeyNow(int32_t style) {
  KeptDialKey key;
  key.style = style;
  const RGB& rgb = AppSettings().DialRGB;
  key.dial_rgb = {rgb.red, rgb.green, rgb.blue};
  key.light_level = Scene().LightLevel;
  glGetIntegerv(GL_VIEWPORT, key.viewport.data());
  glGetFloatv(GL_PROJECTION_MATRIX, key.projection.data());
  return key;
}

void DrawDialAfterClear(int32_t style) {
  KeptDialState& kept = Scene().KeptDial;
  if (!Scene().KeepCopies || !IsStaticStyle(style)) {
    kept.valid = false;
    DrawDialFace(style);
    return;
  }
  const KeptDialKey key = DialKeyNow(style);
  // While the dial is still to be initialised, the kept copy may be another style's.
  if (Scene().DialMeshReady && kept.Shows(key)) {
    kept.copy.PutBack();
    return;
  }
  DrawDialFace(style);
  kept.Keep(key, key.viewport);
}

void ForgetKeptCopies() {
  Scene().KeptDial = {};
  Scene().KeptStill = {};
}

void RetakeKeptCopies() {
  Scene().KeptDial.valid = false;
  Scene().KeptStill.valid = false;
}
