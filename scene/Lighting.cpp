#include "scene/Lighting.h"

#include "scene/GlHeaders.h"
#include "scene/SceneState.h"

namespace {

constexpr GLfloat kLight0Position[4] = {1.0f, 1.0f, 5.0f, 1.0f};
constexpr GLfloat kLight1Position[4] = {-1.0f, 1.0f, 5.0f, 1.0f};
constexpr GLfloat kBackShininess = 15.0f;

void SetLightColours(GLenum light, float intensity) {
  const GLfloat colour[4] = {intensity, intensity, intensity, 1.0f};
  glLightfv(light, GL_DIFFUSE, colour);
  glLightfv(light, GL_SPECULAR, colour);
}

void LoadCamera(float aspect) {
  glMatrixMode(GL_PROJECTION);
  glLoadIdentity();
  gluPerspective(45.0, aspect, 0.1, 100.0);
  glMatrixMode(GL_PROJECTION);
  gluLookAt(0.0, 0.0, 5.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0);
}

}  // namespace

float LightIntensity(int32_t level) {
  return static_cast<float>(static_cast<long double>(level) * 0.5L / 10.0L);
}

void SetupCamera(const Viewport& viewport, float aspect) {
  glClearColor(0.0f, 0.0f, 0.0f, 0.0f);
  glViewport(viewport.x, viewport.y, viewport.width, viewport.height);
  LoadCamera(aspect);
}

void SetupLights(int32_t light_level) {
  glEnable(GL_ALPHA_TEST);
  glEnable(GL_COLOR_MATERIAL);
  glEnable(GL_BLEND);
  glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);

  const float intensity = LightIntensity(light_level);
  const GLfloat colour[4] = {intensity, intensity, intensity, 1.0f};
  glMaterialf(GL_BACK, GL_SHININESS, kBackShininess);
  glLightfv(GL_LIGHT0, GL_POSITION, kLight0Position);
  glLightfv(GL_LIGHT0, GL_DIFFUSE, colour);
  glLightfv(GL_LIGHT0, GL_SPECULAR, colour);
  glLightfv(GL_LIGHT1, GL_POSITION, kLight1Position);
  glLightfv(GL_LIGHT1, GL_DIFFUSE, colour);
  glLightfv(GL_LIGHT1, GL_SPECULAR, colour);
  glEnable(GL_LIGHTING);
  glEnable(GL_LIGHT0);
  glEnable(GL_LIGHT1);
}

void UpdateLightLevel(SceneState& state, int32_t level) {
  state.LightLevel = level;
  const float intensity = LightIntensity(level);
  SetLightColours(GL_LIGHT0, intensity);
  SetLightColours(GL_LIGHT1, intensity);
}

void ResizeFullScreen(int width, int height) {
  glViewport(0, 0, width, height);
  LoadCamera(height != 0 ? static_cast<float>(width) / static_cast<float>(height) : 1.0f);
}

Viewport SettingsViewport(int width, int height) {
  return {0, 100, width, height - 130};
}
