#pragma once

#include <GL/glx.h>

#include "scene/SceneGl.h"

// A GLX context drawing into an X window, current from construction to destruction,
// with the scene's objects in it, which it deletes before the context goes.
class GlxContext {
 public:
  // Throws std::runtime_error when GLX cannot make or bind the context. `config` is
  // the frame-buffer configuration `window` was made with.
  GlxContext(Display* display, Window window, GLXFBConfig config, bool double_buffered);
  ~GlxContext();
  GlxContext(const GlxContext&) = delete;
  GlxContext& operator=(const GlxContext&) = delete;

  SceneGl& Objects() { return objects_; }
  // Shows the frame drawn.
  void Present();
  // The window was destroyed under the context: its objects went with the drawable's
  // use, so they are forgotten instead of deleted.
  void WindowGone() { window_gone_ = true; }

 private:
  Display* display_;
  Window window_;
  bool double_buffered_;
  GLXContext context_ = nullptr;
  bool window_gone_ = false;
  SceneGl objects_{[](const char* name) {
    return reinterpret_cast<void*>(glXGetProcAddressARB(reinterpret_cast<const GLubyte*>(name)));
  }};
};
