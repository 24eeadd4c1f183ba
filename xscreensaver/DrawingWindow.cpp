#include "xscreensaver/DrawingWindow.h"

#include <X11/Xutil.h>

#include <cstdio>
#include <stdexcept>
#include <string>

namespace {

constexpr int kOwnWidth = 800;
constexpr int kOwnHeight = 600;
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

void DrawingWindow::CreateOwn(const HackOptions&) {
  auto visual = ChooseGlxVisual(display_, screen_, 0);
  if (!visual) {
    throw std::runtime_error("no GLX visual with 8 bits per colour on this display");
  }
  visual_ = std::move(*visual);
  const Window root = RootWindow(display_, screen_);
  colormap_ =
      ColormapHandle(display_, XCreateColormap(display_, root, visual_.visual->visual, AllocNone));
  XSetWindowAttributes attributes{};
  attributes.colormap = colormap_.Get();
  attributes.background_pixel = BlackPixel(display_, screen_);
  attributes.border_pixel = 0;
  attributes.event_mask = StructureNotifyMask | ExposureMask | KeyPressMask;
  own_window_ = WindowHandle(
      display_, XCreateWindow(display_, root, 0, 0, kOwnWidth, kOwnHeight, 0, visual_.visual->depth,
                              InputOutput, visual_.visual->visual,
                              CWColormap | CWBackPixel | CWBorderPixel | CWEventMask, &attributes));
  window_ = own_window_.Get();
  XStoreName(display_, window_, kTitle);
  XClassHint class_hint{const_cast<char*>("tessaryn"), const_cast<char*>("Tessaryn")};
  XSetClassHint(display_, window_, &class_hint);
  delete_atom_ = XInternAtom(display_, "WM_DELETE_WINDOW", False);
  XSetWMProtocols(display_, window_, &delete_atom_, 1);
  XMapWindow(display_, window_);
  width_ = kOwnWidth;
  height_ = kOwnHeight;
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
  width_ = attributes.width;
  height_ = attributes.height;
}

void DrawingWindow::TakeSize(int width, int height) {
  width_ = width;
  height_ = height;
}

void DrawingWindow::RefreshForeignSize() {
  Window root = 0;
  int x = 0, y = 0;
  unsigned width = 0, height = 0, border = 0, depth = 0;
  if (XGetGeometry(display_, window_, &root, &x, &y, &width, &height, &border, &depth)) {
    TakeSize(static_cast<int>(width), static_cast<int>(height));
  }
}
