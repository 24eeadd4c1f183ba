#pragma once

#include <X11/Xlib.h>

#include <memory>

// Owners of the X resources the hack makes: each released once, on every path.

struct DisplayCloser {
  void operator()(Display* display) const { XCloseDisplay(display); }
};
using DisplayHandle = std::unique_ptr<Display, DisplayCloser>;

struct XFreer {
  void operator()(void* data) const { XFree(data); }
};
// What Xlib hands out to be given back with XFree (visual infos, config lists).
template <class T>
using XFreed = std::unique_ptr<T, XFreer>;

// A colormap or window the hack created, freed with the call that matches it.
template <auto Free, class Id>
class XResource {
 public:
  XResource() = default;
  XResource(Display* display, Id id) : display_(display), id_(id) {}
  ~XResource() { Reset(); }
  XResource(XResource&& other) noexcept : display_(other.display_), id_(other.id_) {
    other.id_ = 0;
  }
  XResource& operator=(XResource&& other) noexcept {
    if (this != &other) {
      Reset();
      display_ = other.display_;
      id_ = other.id_;
      other.id_ = 0;
    }
    return *this;
  }
  Id Get() const { return id_; }
  void Reset() {
    if (id_ != 0) {
      Free(display_, id_);
      id_ = 0;
    }
  }

 private:
  Display* display_ = nullptr;
  Id id_ = 0;
};

using ColormapHandle = XResource<&XFreeColormap, Colormap>;
using WindowHandle = XResource<&XDestroyWindow, Window>;
