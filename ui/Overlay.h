#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

class TForm;

// A borderless window over its form's client area, showing only a given part of it and
// never the form's controls. It never takes the activation or the focus, and the system
// hides, shows and stacks it with its form (which owns it).
//
// NOTE: Wine shows a window's OpenGL surface above the controls on the same window and
// does not show what is drawn into a child window at all; a window of its own, shaped
// around the controls, is how an OpenGL picture and standard controls share a form there.
class TClientOverlay {
 public:
  explicit TClientOverlay(TForm& owner);
  TClientOverlay(const TClientOverlay&) = delete;
  TClientOverlay& operator=(const TClientOverlay&) = delete;
  ~TClientOverlay();

  HWND Handle() const { return hwnd_; }
  // Lies over the form's whole client area again; shows `visible` (client coordinates)
  // less the form's controls.
  void Follow(const RECT& visible);
  void Show();

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

  TForm& owner_;
  HWND hwnd_ = nullptr;
};
