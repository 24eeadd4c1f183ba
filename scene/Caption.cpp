#include "scene/Caption.h"

#include <cmath>
#include <cstring>

#include "scene/GlHeaders.h"

const char kCaptionLine1[] = "Screensavers & Wallpaper";
const char kCaptionLine2[] = "www.tessaryn.net";

int CaptionFontCharHeight(int screen_width) {
  // std::nearbyint rounds ties to even in the default rounding mode.
  return static_cast<int>(std::nearbyint(static_cast<double>(screen_width) / 30.0));
}

void DrawBitmapText(unsigned font_list_base, const char* text) {
  if (text == nullptr) {
    return;
  }
  glPushAttrib(GL_LIST_BIT);
  glListBase(font_list_base - kFontFirstChar);
  glCallLists(static_cast<GLsizei>(std::strlen(text)), GL_UNSIGNED_BYTE, text);
  glPopAttrib();
}

ViewportRaster::ViewportRaster() {
  glMatrixMode(GL_PROJECTION);
  glPushMatrix();
  glLoadIdentity();
  glMatrixMode(GL_MODELVIEW);
  glPushMatrix();
  glLoadIdentity();
}

ViewportRaster::~ViewportRaster() {
  glPopMatrix();
  glMatrixMode(GL_PROJECTION);
  glPopMatrix();
}

void ViewportRaster::MoveTo(float x, float y) const {
  glRasterPos2f(x, y);
}

void ViewportRaster::MoveToPixels(int x_px, int y_px, int width, int height) const {
  MoveTo(-1.0f + 2.0f * static_cast<float>(x_px) / static_cast<float>(width),
         -1.0f + 2.0f * static_cast<float>(y_px) / static_cast<float>(height));
}

namespace {

// How far drawing a list moves the raster position, measured from the viewport's centre;
// the caller's state is put back.
float RasterAdvance(unsigned list) {
  glPushAttrib(GL_CURRENT_BIT | GL_TRANSFORM_BIT);
  GLfloat before[4] = {};
  GLfloat after[4] = {};
  {
    const ViewportRaster raster;
    raster.MoveTo(0.0f, 0.0f);
    glGetFloatv(GL_CURRENT_RASTER_POSITION, before);
    glCallList(list);
    glGetFloatv(GL_CURRENT_RASTER_POSITION, after);
  }
  glPopAttrib();
  return after[0] - before[0];
}

}  // namespace

void GiveSpaceItsAdvance(unsigned list_base, float advance_px) {
  if (RasterAdvance(list_base) != 0.0f) {
    return;
  }
  // NOTE: Mesa records no glBitmap without an image in a display list (it reports
  // GL_OUT_OF_MEMORY), so one blank pixel carries the advance.
  // One row padded to the default unpack alignment of four bytes.
  const GLubyte blank[4] = {};
  glNewList(list_base, GL_COMPILE);
  glBitmap(1, 1, 0.0f, 0.0f, advance_px, 0.0f, blank);
  glEndList();
}

void DrawCaption(float alpha, unsigned font_list_base) {
  glColor4f(0.9f, 0.7f, 0.0f, alpha);
  glRasterPos2f(-1.0f, 1.2f);
  DrawBitmapText(font_list_base, kCaptionLine1);
  glRasterPos2f(-1.0f, 1.0f);
  DrawBitmapText(font_list_base, kCaptionLine2);
}

void StepCaptionAlpha(CaptionState& c) {
  c.CaptionAlpha = c.CaptionAlpha + c.CaptionAlphaStep;
  if (c.CaptionAlpha > 1.0f) {
    c.CaptionAlphaStep = -0.01f;
  }
  // 0.3 is compared in extended precision, as the pulse was tuned with it.
  if (c.CaptionAlpha > 0.25f && static_cast<long double>(c.CaptionAlpha) < 0.3L) {
    c.CaptionAlphaStep = 0.01f;
  }
}
