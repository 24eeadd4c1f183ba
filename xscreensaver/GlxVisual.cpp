#include "xscreensaver/GlxVisual.h"

namespace {

// clang-format off
constexpr int kWindowConfig[] = {
    GLX_X_RENDERABLE, True,
    GLX_DRAWABLE_TYPE, GLX_WINDOW_BIT,
    GLX_RENDER_TYPE, GLX_RGBA_BIT,
    GLX_RED_SIZE, 8,
    GLX_GREEN_SIZE, 8,
    GLX_BLUE_SIZE, 8,
    None};
// clang-format on

int ConfigValue(Display* display, GLXFBConfig config, int attribute) {
  int value = 0;
  glXGetFBConfigAttrib(display, config, attribute, &value);
  return value;
}

// Lower is better: the screen's own depth (a 32-bit visual would let a compositor show
// the frame's alpha as translucency), then a back buffer to swap, then a single sample
// per pixel.
int Rank(bool screen_depth, bool double_buffered, bool multisampled) {
  return (screen_depth ? 0 : 4) + (double_buffered ? 0 : 2) + (multisampled ? 1 : 0);
}

}  // namespace

std::optional<GlxVisual> ChooseGlxVisual(Display* display, int screen, VisualID visual_id) {
  int count = 0;
  const XFreed<GLXFBConfig> configs(glXChooseFBConfig(display, screen, kWindowConfig, &count));
  std::optional<GlxVisual> best;
  int best_rank = 0;
  for (int i = 0; i < count; ++i) {
    const GLXFBConfig config = configs.get()[i];
    XFreed<XVisualInfo> visual(glXGetVisualFromFBConfig(display, config));
    if (!visual || (visual_id != 0 && visual->visualid != visual_id)) {
      continue;
    }
    const bool double_buffered = ConfigValue(display, config, GLX_DOUBLEBUFFER) != 0;
    const int rank = Rank(visual->depth == DefaultDepth(display, screen), double_buffered,
                          ConfigValue(display, config, GLX_SAMPLES) > 0);
    if (!best || rank < best_rank) {
      best_rank = rank;
      best = GlxVisual{config, std::move(visual), double_buffered};
    }
  }
  return best;
}
