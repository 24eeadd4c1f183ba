#pragma once

#include <GL/glx.h>

#include "scene/SceneGl.h"
#include "scene/SetupFailure.h"

// A GLX context drawing into an X window, current from Setup until Release, with the
// scene's objects in it, which it deletes before the context goes. The same verbs as
// the WGL and offscreen contexts: Setup, MakeCurrent, Present, Release, GlProcAddress.
class GlxContext {
 public:
  GlxContext() = default;
  ~GlxContext() { Release(); }
  GlxContext(const GlxContext&) = delete;
  GlxContext& operator=(const GlxContext&) = delete;

  // Makes the context over `window` and makes it current. `config` is the frame-buffer
  // configuration `window` was made with. A second Setup releases the earlier one first.
  [[nodiscard]] SetupFailure Setup(Display* display, Window window, GLXFBConfig config,
                                   bool double_buffered);
  bool MakeCurrent();
  // Shows the frame drawn.
  void Present();
  void Release();
  // The entry point `name` (glXGetProcAddressARB); null where there is none.
  static void* GlProcAddress(const char* name);

  SceneGl& Objects() { return objects_; }
  // The window was destroyed under the context: its objects went with the drawable's
  // use, so they are forgotten instead of deleted.
  void WindowGone() { window_gone_ = true; }

 private:
  Display* display_ = nullptr;
  Window window_ = None;
  bool double_buffered_ = false;
  GLXContext context_ = nullptr;
  bool window_gone_ = false;
  SceneGl objects_{&GlProcAddress};
};
