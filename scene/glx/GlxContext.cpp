#include "scene/glx/GlxContext.h"

#include <GL/gl.h>

SetupFailure GlxContext::Setup(Display* display, Window window, GLXFBConfig config,
                               bool double_buffered) {
  Release();
  display_ = display;
  window_ = window;
  double_buffered_ = double_buffered;
  window_gone_ = false;
  context_ = glXCreateNewContext(display, config, GLX_RGBA_TYPE, nullptr, True);
  if (context_ == nullptr) {
    return "glXCreateNewContext failed";
  }
  if (!MakeCurrent()) {
    glXDestroyContext(display, context_);
    context_ = nullptr;
    return "glXMakeCurrent failed";
  }
  return std::nullopt;
}

bool GlxContext::MakeCurrent() {
  return context_ != nullptr && glXMakeCurrent(display_, window_, context_);
}

void GlxContext::Present() {
  if (double_buffered_) {
    glXSwapBuffers(display_, window_);
  } else {
    glFlush();
  }
}

void GlxContext::Release() {
  if (context_ == nullptr) {
    return;
  }
  if (window_gone_) {
    objects_.Forget();
  } else {
    glFinish();
    objects_.Release();
  }
  glXMakeCurrent(display_, None, nullptr);
  glXDestroyContext(display_, context_);
  context_ = nullptr;
}

void* GlxContext::GlProcAddress(const char* name) {
  return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
}
