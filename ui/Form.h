#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <vector>

class TWinControl;

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
  // The form sees key presses before its focused control does.
  bool key_preview = false;
  // Tab, the arrows and Enter move between the controls as in a dialog box.
  bool dialog_keys = false;
  // Alt+F4 and the system menu's keys go on to the system (a form with key preview sees
  // them first); otherwise they are the form's alone, as a key press, like the saver's.
  bool system_keys = false;
};

// A form owns one window and dispatches its messages to named handlers. The window
// is destroyed with the form.
class TForm {
 public:
  TForm() = default;
  // Makes the window at once, so that the derived form's controls can be made on it.
  explicit TForm(const FormDescription& description) { CreateHandle(description); }
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

  // The monitor's dots per inch; the layout is given at 96.
  int Dpi() const { return dpi_; }
  int Scaled(int pixels_at_96) const { return MulDiv(pixels_at_96, dpi_, 96); }

  // The form of a window made by this layer, or none.
  static TForm* FromHandle(HWND hwnd);
  // Keyboard preview and dialog navigation, run by the application's loop before a
  // message is dispatched. True when the message has been handled.
  bool PreTranslateMessage(MSG& msg);

  // The controls report their notifications through their form.
  void AddControl(TWinControl* control);
  void RemoveControl(TWinControl* control);
  int ControlCount() const { return static_cast<int>(controls_.size()); }
  const std::vector<TWinControl*>& Controls() const { return controls_; }

 protected:
  void CreateHandle(const FormDescription& description);
  // Failures the form goes on after, each in the application's error box, in order.
  void ShowFailures(const std::vector<std::string>& texts) const;

  virtual void FormActivate() {}
  virtual void FormResize() {}
  virtual void FormClose() {}
  virtual void FormKeyDown(WORD /*key*/) {}
  virtual void FormMouseMove(int /*x*/, int /*y*/) {}
  virtual void FormPaint() {}
  // The window moved to a monitor of another DPI; Dpi() already holds the new value,
  // and the window has taken the system's suggested bounds if TakesSuggestedBounds.
  virtual void FormDpiChanged() {}
  // A form that places itself (the saver covers the virtual screen) keeps its bounds
  // through a DPI change.
  virtual bool TakesSuggestedBounds() const { return true; }
  // A monitor was plugged in or out, or a resolution changed.
  virtual void FormDisplayChange() {}

  // The display's power and the session's notices (WM_POWERBROADCAST,
  // WM_WTSSESSION_CHANGE): true when one was taken, with the answer in `result`.
  virtual bool FormDisplayNotice(UINT /*msg*/, WPARAM /*wparam*/, LPARAM /*lparam*/,
                                 LRESULT& /*result*/) {
    return false;
  }

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
  bool DispatchToControl(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result);
  TWinControl* ControlOf(HWND hwnd) const;
  void Activate(bool active);
  void DpiChanged(WPARAM wparam, LPARAM lparam);
  void ForgetWindow();

  HWND hwnd_ = nullptr;
  int dpi_ = 96;
  bool key_preview_ = false;
  bool dialog_keys_ = false;
  bool system_keys_ = false;
  // The control that had the focus when the form was last deactivated.
  HWND focused_control_ = nullptr;
  std::vector<TWinControl*> controls_;
};
