#include "xscreensaver/GlxScene.h"

#include <GL/gl.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "scene/Caption.h"

GlxScene::GlxScene(Display* display, const DrawingWindow& window)
    : display_(display), window_(window.Id()), double_buffered_(window.Visual().double_buffered) {
  context_ = glXCreateNewContext(display, window.Visual().config, GLX_RGBA_TYPE, nullptr, True);
  if (context_ == nullptr) {
    throw std::runtime_error("glXCreateNewContext failed");
  }
  if (!glXMakeCurrent(display, window_, context_)) {
    glXDestroyContext(display, context_);
    throw std::runtime_error("glXMakeCurrent failed");
  }
}

GlxScene::~GlxScene() {
  if (window_gone_) {
    objects_.Forget();
  } else {
    glFinish();
    objects_.Release();
  }
  glXMakeCurrent(display_, None, nullptr);
  glXDestroyContext(display_, context_);
}

void GlxScene::Present() {
  if (double_buffered_) {
    glXSwapBuffers(display_, window_);
  } else {
    glFlush();
  }
}

namespace {

struct FontFreer {
  Display* display;
  XFontStruct* font;
  ~FontFreer() {
    if (font != nullptr) XFreeFont(display, font);
  }
};

XFontStruct* LoadCaptionFont(Display* display, int char_height) {
  const std::string size = std::to_string(char_height);
  const std::string names[] = {
      "-*-courier-bold-r-normal--" + size + "-*-*-*-m-*-iso8859-1",
      "-*-*-bold-r-normal--" + size + "-*-*-*-m-*-iso8859-1",
      "-*-*-bold-r-normal--" + size + "-*-*-*-c-*-iso8859-1",
      "fixed",
  };
  for (const std::string& name : names) {
    if (XFontStruct* font = XLoadQueryFont(display, name.c_str())) {
      return font;
    }
  }
  return nullptr;
}

}  // namespace

unsigned BuildCaptionFontLists(Display* display, int char_height) {
  const FontFreer font{display, LoadCaptionFont(display, char_height)};
  if (font.font == nullptr) {
    return 0;
  }
  const unsigned base = glGenLists(kFontCharCount);
  glXUseXFont(font.font->fid, kFontFirstChar, kFontCharCount, static_cast<int>(base));
  GiveSpaceItsAdvance(base, static_cast<float>(font.font->max_bounds.width));
  return base;
}
