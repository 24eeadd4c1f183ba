#include "xscreensaver/GlxScene.h"

#include <GL/gl.h>

#include <stdexcept>

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
