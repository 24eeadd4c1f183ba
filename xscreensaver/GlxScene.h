#pragma once

#include <GL/glx.h>

#include "scene/SceneGl.h"
#include "xscreensaver/DrawingWindow.h"

// The GLX context drawing into the window, current from construction to destruction,
// with the scene's objects in it, which it deletes before the context goes.
class GlxScene {
 public:
  // Throws std::runtime_error when GLX cannot make or bind the context.
  GlxScene(Display* display, const DrawingWindow& window);
  ~GlxScene();
  GlxScene(const GlxScene&) = delete;
  GlxScene& operator=(const GlxScene&) = delete;

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
