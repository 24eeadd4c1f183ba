#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

class TForm;

// A child window of a form for an OpenGL picture: its own device context, over the
// form's client area and below the form's controls, which it never draws over. It takes
// no input (a click on it is a click on the form) and moves, hides and shows with the
// form.
//
// NOTE: Wine draws a child window's OpenGL frames into an off-screen X window of its own
// (XComposite), not onto the form; Windows shows them in place.
class TGlPanel {
 public:
  explicit TGlPanel(TForm& owner);
  TGlPanel(const TGlPanel&) = delete;
  TGlPanel& operator=(const TGlPanel&) = delete;
  ~TGlPanel();

  HWND Handle() const { return hwnd_; }
  // Covers the form's whole client area again, below every control.
  void FillClientArea();

 private:
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

  TForm& owner_;
  HWND hwnd_ = nullptr;
};
