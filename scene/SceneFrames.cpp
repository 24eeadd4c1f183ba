#include "scene/SceneFrames.h"

#include "scene/Background.h"
#include "scene/Caption.h"
#include "scene/Clocks.h"
#include "scene/GlHeaders.h"
#include "scene/KeptDial.h"
#include "scene/KeptStill.h"
#include "scene/SceneGl.h"
#include "settings/DialStyle.h"

namespace {

constexpr int32_t kPreviewDial = 8;

void DrawDialAndHands(const FrameInputs& in, WindowScene scene) {
  if (ShowsDial(in.settings.Color)) {
    DrawDialAfterClear(in, scene);
  }
  DrawClockHands(in, scene.state, scene.gl.Batch);
}

}  // namespace

void DrawSaverScene(const FrameInputs& in, WindowScene scene, int width, int height) {
  ClearAndDrawStillPart(in, scene, &DrawDialAndHands, width, height);
  DrawCaption(scene.state.Caption.CaptionAlpha, scene.gl.FontListBase);
  StepCaptionAlpha(scene.state.Caption);
  scene.state.DialMeshReady = true;
}

void DrawSettingsScene(const FrameInputs& in, WindowScene scene) {
  glClear(GL_COLOR_BUFFER_BIT);
  if (in.LightLevel != scene.state.LightLevel) {
    UpdateLightLevel(scene.state, in.LightLevel);
  }
  glPushMatrix();
  glTranslatef(-0.025f, 0.0f, 0.0f);
  DrawStillPart(in, scene, &DrawDialAndHands);
  glPopMatrix();
  scene.state.DialMeshReady = true;
}

void DrawPreviewScene(const FrameInputs& in, WindowScene scene) {
  glClear(GL_COLOR_BUFFER_BIT);
  DrawDialFace(kPreviewDial, in.DialRGB, scene.state, scene.random, scene.gl.Batch);
  DrawClockHands(in, scene.state, scene.gl.Batch);
  scene.state.DialMeshReady = true;
}

void DrawSaverSceneInEach(const FrameInputs& in, WindowScene scene,
                          const std::vector<Viewport>& viewports) {
  glClear(GL_COLOR_BUFFER_BIT);
  // One kept copy cannot serve the dials of several viewports in one frame.
  scene.gl.KeptDial.valid = false;
  scene.gl.KeptStill.valid = false;
  // The dial moves once per frame, so every monitor shows the same one.
  StepDialFace(in.settings.Color, scene.state, scene.random);
  for (const Viewport& v : viewports) {
    glViewport(v.x, v.y, v.width, v.height);
    DrawSteppedDialFace(in.settings.Color, in.DialRGB, scene.state.Dial, scene.gl.Batch);
    DrawClockHands(in, scene.state, scene.gl.Batch);
    DrawCaption(scene.state.Caption.CaptionAlpha, scene.gl.FontListBase);
  }
  StepCaptionAlpha(scene.state.Caption);
  scene.state.DialMeshReady = true;
}
