#include "xscreensaver/FpsText.h"

#include <GL/gl.h>

#include "scene/Caption.h"

namespace {

constexpr int kFpsMargin_px = 10;

}  // namespace

void DrawFpsText(unsigned font_list_base, const std::string& text, int width, int height) {
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  {
    const ViewportRaster raster;
    // The raster position takes the colour current when it is set.
    glColor4f(1.0f, 1.0f, 0.0f, 1.0f);
    raster.MoveToPixels(kFpsMargin_px, kFpsMargin_px, width, height);
    DrawBitmapText(font_list_base, text.c_str());
  }
  glPopAttrib();
}
