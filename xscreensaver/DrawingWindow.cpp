#include "xscreensaver/DrawingWindow.h"

#include <X11/Xutil.h>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

constexpr unsigned kOwnWidth = 800;
constexpr unsigned kOwnHeight = 600;
constexpr char kTitle[] = "Tessaryn";

std::string HexId(Window window) {
  char text[24];
  std::snprintf(text, sizeof text, "0x%lx", window);
  return text;
}

}  // namespace

DrawingWindow::DrawingWindow(Display* display, const HackOptions& options)
    : display_(display), screen_(DefaultScreen(display)) {
  switch (options.target) {
    case HackTarget::OwnWindow:
      CreateOwn(options);
      break;
    case HackTarget::Root:
      AdoptForeign(RootWindow(display, screen_));
      break;
    case HackTarget::WindowId:
      AdoptForeign(options.window_id);
      break;
  }
}

VisualID DrawingWindow::WantedVisual(const HackOptions& options) const {
  switch (options.visual) {
    case VisualPick::Default:
      return XVisualIDFromVisual(DefaultVisual(display_, screen_));
    case VisualPick::Id:
      return options.visual_id;
    case VisualPick::Best:
      break;
  }
  return 0;
}

void DrawingWindow::CreateOwn(const HackOptions& options) {
  const VisualID wanted = WantedVisual(options);
  auto visual = ChooseGlxVisual(display_, screen_, wanted);
  if (!visual) {
    throw std::runtime_error(wanted == 0
                                 ? std::string("no GLX visual with 8 bits per colour on "
                                               "this display")
                                 : "no GLX configuration draws into visual " + HexId(wanted));
  }
  visual_ = std::move(*visual);
  const Window root = RootWindow(display_, screen_);
  const Placement place = Place(options.geometry);
  colormap_ =
      ColormapHandle(display_, XCreateColormap(display_, root, visual_.visual->visual, AllocNone));
  XSetWindowAttributes attributes{};
  attributes.colormap = colormap_.Get();
  attributes.background_pixel = BlackPixel(display_, screen_);
  attributes.border_pixel = 0;
  attributes.event_mask = StructureNotifyMask | ExposureMask | KeyPressMask;
  own_window_ = WindowHandle(
      display_, XCreateWindow(display_, root, place.x, place.y, place.width, place.height, 0,
                              visual_.visual->depth, InputOutput, visual_.visual->visual,
                              CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &attributes));
  window_ = own_window_.Get();
  XStoreName(display_, window_, kTitle);
  XClassHint class_hint{const_cast<char*>("tessaryn"), const_cast<char*>("Tessaryn")};
  XSetClassHint(display_, window_, &class_hint);
  delete_atom_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display_, window_, &delete_atom_, 1);
  SetSizeHints(options.geometry, place);
  XMapWindow(display_, window_);
  width_ = static_cast<int>(place.width);
  height_ = static_cast<int>(place.height);
}

DrawingWindow::Placement DrawingWindow::Place(const WindowGeometry& g) const {
  Placement p{0, 0, g.width.value_or(kOwnWidth), g.height.value_or(kOwnHeight)};
  const int screen_width = DisplayWidth(display_, screen_);
  const int screen_height = DisplayHeight(display_, screen_);
  if (g.x) {
    p.x = g.x_from_right ? screen_width - static_cast<int>(p.width) + *g.x : *g.x;
  }
  if (g.y) {
    p.y = g.y_from_bottom ? screen_height - static_cast<int>(p.height) + *g.y : *g.y;
  }
  return p;
}

// A window manager places a window where it likes unless told the user chose the spot.
void DrawingWindow::SetSizeHints(const WindowGeometry& g, const Placement& p) {
  XSizeHints hints{};
  hints.x = p.x;
  hints.y = p.y;
  hints.width = static_cast<int>(p.width);
  hints.height = static_cast<int>(p.height);
  hints.flags = PSize | (g.width || g.height ? USSize : 0) | (g.x || g.y ? USPosition : 0);
  XSetWMNormalHints(display_, window_, &hints);
}

void DrawingWindow::AdoptForeign(Window window) {
  XWindowAttributes attributes{};
  if (!XGetWindowAttributes(display_, window, &attributes)) {
    throw std::runtime_error("no window " + HexId(window) + " on this display");
  }
  const int screen = XScreenNumberOfScreen(attributes.screen);
  auto visual = ChooseGlxVisual(display_, screen, XVisualIDFromVisual(attributes.visual));
  if (!visual) {
    throw std::runtime_error("no GLX configuration draws into the visual of window " +
                             HexId(window));
  }
  visual_ = std::move(*visual);
  screen_ = screen;
  window_ = window;
  // Adds to what this client selects on the window; other clients' masks stay theirs.
  XSelectInput(display_, window_, StructureNotifyMask | ExposureMask);
  // The size is read again once the selection is made: a change before it sent this
  // client no ConfigureNotify, and every later one does.
  if (XGetWindowAttributes(display_, window_, &attributes)) {
    TakeSize(attributes.width, attributes.height);
  }
}

void DrawingWindow::TakeSize(int width, int height) {
  width_ = width;
  height_ = height;
}
