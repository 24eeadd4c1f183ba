#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <optional>
#include <string>

#include "ui/Event.h"
#include "win32/WinHandles.h"

class TForm;

// Where a control sits in its form's client area, in pixels at 96 DPI.
struct ControlBounds {
  int left = 0;
  int top = 0;
  int width = 0;
  int height = 0;
};

// One of the system's standard controls, a child of a form. Being the system's own
// control, it works with the keyboard, screen readers and UI automation as usual.
class TWinControl {
 public:
  TWinControl(const TWinControl&) = delete;
  TWinControl& operator=(const TWinControl&) = delete;
  virtual ~TWinControl();

  HWND Handle() const { return hwnd_; }
  std::string Text() const;
  // The font is the caller's; it must outlive the control or be replaced first.
  void SetFont(HFONT font);
  // Text drawn in this colour on this background instead of the system's colours.
  void SetColors(COLORREF text, COLORREF background);
  // Places the control again for the form's current DPI.
  void ApplyBounds();

  // A notification for this control that reached its form. True when handled.
  virtual bool Notify(UINT msg, WPARAM wparam, LRESULT& result);
  // The control's window went with its form's.
  void HandleDestroyed() { hwnd_ = nullptr; }

 protected:
  TWinControl(TForm& owner, const char* class_name, DWORD style, const char* text,
              const ControlBounds& bounds);

 private:
  HBRUSH PaintColors(HDC dc) const;

  TForm& owner_;
  ControlBounds bounds_;
  HWND hwnd_ = nullptr;
  std::optional<COLORREF> text_color_;
  COLORREF background_ = 0;
  UniqueGdiObject background_brush_;
};

// A horizontal slider with a tick at every value, below the channel.
class TTrackBar : public TWinControl {
 public:
  struct Range {
    int min = 0;
    int max = 10;
  };
  TTrackBar(TForm& owner, const ControlBounds& bounds, Range range, int line_size, int page_size,
            int position);

  int Position() const;
  // Clamps into the range; OnChange runs when the position changes, as for a user's move.
  void SetPosition(int position);
  Range GetRange() const { return range_; }

  Event<TTrackBar*> OnChange;

  bool Notify(UINT msg, WPARAM wparam, LRESULT& result) override;

 private:
  void PositionChanged();

  Range range_;
  // The position OnChange last reported.
  int position_ = 0;
};

class TCheckBox : public TWinControl {
 public:
  TCheckBox(TForm& owner, const ControlBounds& bounds, const char* text);

  bool Checked() const;
  // OnClick runs when the state changes.
  void SetChecked(bool checked);

  Event<TCheckBox*> OnClick;

  bool Notify(UINT msg, WPARAM wparam, LRESULT& result) override;
};

class TButton : public TWinControl {
 public:
  TButton(TForm& owner, const ControlBounds& bounds, const char* text);
  void SetEnabled(bool enabled);

  Event<TButton*> OnClick;

  bool Notify(UINT msg, WPARAM wparam, LRESULT& result) override;
};

// A text label. It takes no focus, so the tab key passes it by.
class TStaticText : public TWinControl {
 public:
  TStaticText(TForm& owner, const ControlBounds& bounds, const char* text);
  void SetText(const std::string& text);
};
