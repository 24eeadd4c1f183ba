#include "xscreensaver/GlxVisual.h"

namespace {

int ConfigValue(Display* display, GLXFBConfig config, int attribute) {
  int value = 0;
  glXGetFBConfigAttrib(display, config, attribute, &value);
  return value;
}

// Lower is better: a back buffer to swap, then a single sample per pixel.
int Rank(Display* display, GLXFBConfig config) {
  const bool double_buffered = ConfigValue(display, config, GLX_DOUBLEBUFFER) != 0;
  const bool multisampled = ConfigValue(display, config, GLX_SAMPLES) > 0;
  return (double_buffered ? 0 : 2) + (multisampled ? 1 : 0);
}

}  // namespace

std::optional<GlxVisual> ChooseGlxVisual(Display* display, int screen, VisualID visual_id) {
  const int attributes[] = {GLX_X_RENDERABLE,
                            True,
                            GLX_DRAWABLE_TYPE,
                            GLX_WINDOW_BIT,
                            GLX_RENDER_TYPE,
                            GLX_RGBA_BIT,
                            GLX_RED_SIZE,
                            8,
                            GLX_GREEN_SIZE,
                            8,
                            GLX_BLUE_SIZE,
                            8,
                            None};
  int count = 0;
  const XFreed<GLXFBConfig> configs(glXChooseFBConfig(display, screen, attributes, &count));
  std::optional<GlxVisual> best;
  int best_rank = 0;
  for (int i = 0; i < count; ++i) {
    XFreed<XVisualInfo> visual(glXGetVisualFromFBConfig(display, configs.get()[i]));
    if (!visual || (visual_id != 0 && visual->visualid != visual_id)) {
      continue;
    }
    const int rank = Rank(display, configs.get()[i]);
    if (!best || rank < best_rank) {
      best_rank = rank;
      best = GlxVisual{configs.get()[i], std::move(visual), rank < 2};
    }
  }
  return best;
}
