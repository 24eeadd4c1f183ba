#include "xscreensaver/FpsText.h"

#include <GL/gl.h>

#include "scene/Caption.h"

namespace {

constexpr int kFpsMarginPx = 10;

}  // namespace

void DrawFpsText(unsigned font_list_base, const std::string& text, int width, int height) {
  glPushAttrib(GL_ENABLE_BIT | GL_CURRENT_BIT | GL_TRANSFORM_BIT);
  glDisable(GL_LIGHTING);
  glDisable(GL_TEXTURE_2D);
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
  glColor4f(1.0f, 1.0f, 0.0f, 1.0f);
  glRasterPos2f(-1.0f + 2.0f * kFpsMarginPx / static_cast<float>(width),
                -1.0f + 2.0f * kFpsMarginPx / static_cast<float>(height));
  DrawBitmapText(font_list_base, text.c_str());
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
  glPopAttrib();
}
