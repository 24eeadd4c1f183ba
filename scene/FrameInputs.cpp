#include "scene/FrameInputs.h"

#include "scene/GlHeaders.h"

FrameInputs ReadFrameInputs(const SettingsState& settings, int32_t light_level,
                            const TimeOfDay& now) {
  FrameInputs in;
  in.time = {now.hour, now.minute, now.second, 0};
  in.settings = settings.clock;
  in.HandRGB = settings.HandRGB;
  in.DialRGB = settings.DialRGB;
  in.LightLevel = light_level;
  glGetIntegerv(GL_VIEWPORT, in.viewport.data());
  glGetFloatv(GL_PROJECTION_MATRIX, in.projection.data());
  return in;
}
