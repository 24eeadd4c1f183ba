#include "scene/SceneState.h"

namespace {
SceneState g_scene;
}

SceneState& Scene() {
  return g_scene;
}
