#pragma once

#include <X11/Xlib.h>

#include "xscreensaver/GlxVisual.h"
#include "xscreensaver/HackOptions.h"
#include "xscreensaver/XHandles.h"

// The window the clock is drawn into: one of the hack's own, the root window, or one
// XScreenSaver (or a test) made. A window of another client keeps its attributes: the
// hack only listens to its size and exposures, and draws with a visual matching it.
class DrawingWindow {
 public:
  // Throws std::runtime_error saying why when the window or a visual cannot be had.
  DrawingWindow(Display* display, const HackOptions& options);

  Window Id() const { return window_; }
  bool Own() const { return own_window_.Get() != 0; }
  const GlxVisual& Visual() const { return visual_; }
  int Width() const { return width_; }
  int Height() const { return height_; }

  // Takes the size of a ConfigureNotify about this window.
  void TakeSize(int width, int height);
  // The WM_DELETE_WINDOW protocol's atom, for the hack's own window.
  Atom DeleteAtom() const { return delete_atom_; }

 private:
  struct Placement {
    int x;
    int y;
    unsigned width;
    unsigned height;
  };
  VisualID WantedVisual(const HackOptions& options) const;
  Placement Place(const WindowGeometry& geometry) const;
  void SetSizeHints(const WindowGeometry& geometry, const Placement& place);
  void CreateOwn(const HackOptions& options);
  void AdoptForeign(Window window);

  Display* display_;
  int screen_;
  Window window_ = 0;
  GlxVisual visual_;
  ColormapHandle colormap_;
  WindowHandle own_window_;
  Atom delete_atom_ = None;
  int width_ = 0;
  int height_ = 0;
};
