#include "scene/SceneFrames.h"

#include "base/ClockSource.h"
#include "base/RandomGenerator.h"
#include "scene/Background.h"
#include "scene/Caption.h"
#include "scene/Clocks.h"
#include "scene/KeptDial.h"
#include "scene/KeptStill.h"
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

void DrawDialAndHands() {
  DrawDialOfSetting();
  DrawClockHands();
}

// One kept copy cannot serve the dials of several viewports in one frame.
void DrawDialOfSettingNotKept() {
  Scene().KeptDial.valid = false;
  DrawDialFace(AppSettings().clock.Color);
}

// The dial animation and the hands advance per drawing; each monitor starts from the
// same state and time so all show one frame, and the last leaves the state as one
// drawing would.
void DrawEachFromOneState(const std::vector<Viewport>& viewports) {
  const OneClockReading reading;
  const SceneState scene_before = Scene();
  const RandomGenerator random_before = Random();
  for (size_t i = 0; i < viewports.size(); ++i) {
    if (i > 0) {
      Scene() = scene_before;
      Random() = random_before;
    }
    const Viewport& v = viewports[i];
    glViewport(v.x, v.y, v.width, v.height);
    DrawDialOfSettingNotKept();
    DrawClockHands();
    DrawCaption();
  }
}

}  // namespace

void DrawSaverScene(int width, int height) {
  ClearAndDrawStillPart(&DrawDialAndHands, width, height);
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
  DrawStillPart(&DrawDialAndHands);
  glPopMatrix();
  Scene().DialMeshReady = true;
}

void DrawPreviewScene() {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  DrawDialFace(8);
  DrawClockHands();
  Scene().DialMeshReady = true;
}

void DrawSaverSceneInEach(const std::vector<Viewport>& viewports) {
  glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
  DrawEachFromOneState(viewports);
  StepCaptionAlpha();
  Scene().DialMeshReady = true;
}
