#include "scene/ContextSetup.h"

SetupFailure SetupSceneContext(const Viewport& viewport, const CaptionFontHook& caption_font,
                               int32_t light_level) {
  SetupCamera(viewport, 1.0f);
  SetupFailure failure;
  if (caption_font) {
    failure = caption_font();
  }
  SetupLights(light_level);
  return failure;
}
