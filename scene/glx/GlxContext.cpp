#include "scene/glx/GlxContext.h"

#include <GL/gl.h>

#include <stdexcept>

GlxContext::GlxContext(Display* display, Window window, GLXFBConfig config, bool double_buffered)
    : display_(display), window_(window), double_buffered_(double_buffered) {
  context_ = glXCreateNewContext(display, config, GLX_RGBA_TYPE, nullptr, True);
  if (context_ == nullptr) {
    throw std::runtime_error("glXCreateNewContext failed");
  }
  if (!glXMakeCurrent(display, window_, context_)) {
    glXDestroyContext(display, context_);
    throw std::runtime_error("glXMakeCurrent failed");
  }
}

GlxContext::~GlxContext() {
  if (window_gone_) {
    objects_.Forget();
  } else {
    glFinish();
    objects_.Release();
  }
  glXMakeCurrent(display_, None, nullptr);
  glXDestroyContext(display_, context_);
}

void GlxContext::Present() {
  if (double_buffered_) {
    glXSwapBuffers(display_, window_);
  } else {
    glFlush();
  }
}
