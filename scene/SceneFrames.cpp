#include "scene/SceneFrames.h"

#include "scene/Background.h"
#include "scene/Caption.h"
#include "scene/Clocks.h"
#include "scene/KeptDial.h"
#include "scene/GlHeaders.h"
#include "scene/Lighting.h"
#include "scene/SceneState.h"
#include "settings/ClockSettings.h"

namespace {

void DrawDialOfSetting() {
  const int32_t style = AppSettings().clock.Color;
  if (style >= 1 && style <= 10) {
    DrawDialAfterClear(style);
  }
}

}  // namespace

void DrawSaverScene() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  DrawDialOfSetting();
  DrawClockHands();
  DrawCaption();
  StepCaptionAlpha();
  Scene().DialMeshReady = true;
}

void DrawSettingsScene() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  if (AppSettings().clock.Brightness != Scene().LightLevel) {
    UpdateLightLevel(AppSettings().clock.Brightness);
  }
  glPushMatrix();
  glTranslatef(-0.025f, 0.0f, 0.0f);
  DrawDialOfSetting();
  DrawClockHands();
  glPopMatrix();
  Scene().DialMeshReady = true;
}

void DrawPreviewScene() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  DrawDialFace(8);
  DrawClockHands();
  Scene().DialMeshReady = true;
}
