#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

// How a form's window is made: what a stored form description would hold.
struct FormDescription {
  std::string caption;
  DWORD style = WS_OVERLAPPEDWINDOW;
  DWORD ex_style = 0;
  int x = CW_USEDEFAULT;
  int y = CW_USEDEFAULT;
  int width = CW_USEDEFAULT;
  int height = CW_USEDEFAULT;
  HWND parent = nullptr;
  bool black_background = false;
};

// A form owns one window and dispatches its messages to named handlers. The window
// is destroyed with the form.
class TForm {
 public:
  TForm() = default;
  TForm(const TForm&) = delete;
  TForm& operator=(const TForm&) = delete;
  virtual ~TForm();

  HWND Handle() const { return hwnd_; }
  bool HandleAllocated() const { return hwnd_ != nullptr; }

  // Asks the window to close: FormClose runs, then the window is destroyed.
  void Close();
  bool Active() const { return hwnd_ != nullptr && GetActiveWindow() == hwnd_; }

  int Width() const;
  int Height() const;
  void SetBounds(int x, int y, int width, int height);
  void SetClientSize(int width, int height);
  void Show(int show_command = SW_SHOW);

 protected:
  void CreateHandle(const FormDescription& description);

  virtual void FormActivate() {}
  virtual void FormResize() {}
  virtual void FormClose() {}
  virtual void FormKeyDown(WORD /*key*/) {}
  virtual void FormMouseMove(int /*x*/, int /*y*/) {}
  virtual void FormPaint() {}

  // Sees every message first; returns true when it has fully handled one.
  virtual bool PreviewMessage(UINT /*msg*/, WPARAM /*wparam*/, LPARAM /*lparam*/,
                              LRESULT& /*result*/) {
    return false;
  }

 public:
  // Every form class's window procedure.
  static LRESULT CALLBACK WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam);

 private:
  LRESULT Dispatch(UINT msg, WPARAM wparam, LPARAM lparam);

  HWND hwnd_ = nullptr;
};
