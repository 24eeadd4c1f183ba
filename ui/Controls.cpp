#include "ui/Controls.h"

#include <algorithm>
#include <commctrl.h>
#include <stdexcept>

#include "ui/Application.h"
#include "ui/Form.h"
#include "win32/SystemError.h"
#include "win32/SystemLibrary.h"

namespace {

// Ids from 100 on: 1 and 2 are what the dialog keys send for Enter and Escape.
constexpr int kFirstControlId = 100;

void EnsureCommonControls() {
  INITCOMMONCONTROLSEX icc{};
  icc.dwSize = sizeof(icc);
  icc.dwICC = ICC_BAR_CLASSES | ICC_STANDARD_CLASSES;
  InitCommonControlsEx(&icc);
}

// NOTE: a themed check box draws its text in the theme's colour whatever WM_CTLCOLORSTATIC
// asks for, so a coloured one is drawn unthemed. Without uxtheme.dll there is no theme
// to remove, so its absence is silently fine.
void DrawUnthemed(HWND hwnd) {
  const UniqueModule uxtheme = LoadSystemLibrary("uxtheme.dll");
  if (!uxtheme) {
    return;
  }
  using SetWindowThemeFn = HRESULT(WINAPI*)(HWND, const wchar_t*, const wchar_t*);
  const auto set_theme = reinterpret_cast<SetWindowThemeFn>(
      reinterpret_cast<void*>(GetProcAddress(uxtheme.get(), "SetWindowTheme")));
  if (set_theme != nullptr) {
    set_theme(hwnd, L"", L"");
  }
}

}  // namespace

TWinControl::TWinControl(TForm& owner, const char* class_name, DWORD style, const char* text,
                         const ControlBounds& bounds)
    : owner_(owner), bounds_(bounds) {
  EnsureCommonControls();
  const auto id = static_cast<INT_PTR>(kFirstControlId + owner.ControlCount());
  hwnd_ = CreateWindowExA(0, class_name, text, WS_CHILD | WS_VISIBLE | style,
                          owner.Scaled(bounds.left), owner.Scaled(bounds.top),
                          owner.Scaled(bounds.width), owner.Scaled(bounds.height), owner.Handle(),
                          reinterpret_cast<HMENU>(id), Application().Instance(), nullptr);
  if (hwnd_ == nullptr) {
    throw std::runtime_error(FailedCallText("CreateWindowEx"));
  }
  owner_.AddControl(this);
}

TWinControl::~TWinControl() {
  owner_.RemoveControl(this);
  if (hwnd_ != nullptr) {
    DestroyWindow(hwnd_);
  }
}

std::string TWinControl::Text() const {
  std::string text(static_cast<size_t>(GetWindowTextLengthA(hwnd_)) + 1, '\0');
  text.resize(
      static_cast<size_t>(GetWindowTextA(hwnd_, text.data(), static_cast<int>(text.size()))));
  return text;
}

void TWinControl::SetFont(HFONT font) {
  SendMessageA(hwnd_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
}

void TWinControl::SetColors(COLORREF text, COLORREF background) {
  text_color_ = text;
  background_ = background;
  background_brush_.reset(CreateSolidBrush(background));
  InvalidateRect(hwnd_, nullptr, TRUE);
}

void TWinControl::ApplyBounds() {
  SetWindowPos(hwnd_, nullptr, owner_.Scaled(bounds_.left), owner_.Scaled(bounds_.top),
               owner_.Scaled(bounds_.width), owner_.Scaled(bounds_.height),
               SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TWinControl::Notify(UINT msg, WPARAM wparam, LRESULT& result) {
  if ((msg == WM_CTLCOLORSTATIC || msg == WM_CTLCOLORBTN) && text_color_) {
    result = reinterpret_cast<LRESULT>(PaintColors(reinterpret_cast<HDC>(wparam)));
    return true;
  }
  return false;
}

HBRUSH TWinControl::PaintColors(HDC dc) const {
  SetTextColor(dc, *text_color_);
  SetBkColor(dc, background_);
  return static_cast<HBRUSH>(background_brush_.get());
}

TTrackBar::TTrackBar(TForm& owner, const ControlBounds& bounds, Range range, int line_size,
                     int page_size, int position)
    : TWinControl(owner, TRACKBAR_CLASSA, WS_TABSTOP | TBS_HORZ | TBS_AUTOTICKS | TBS_BOTTOM, "",
                  bounds),
      range_(range),
      position_(std::clamp(position, range.min, range.max)) {
  SendMessageA(Handle(), TBM_SETRANGEMIN, FALSE, range.min);
  SendMessageA(Handle(), TBM_SETRANGEMAX, FALSE, range.max);
  SendMessageA(Handle(), TBM_SETLINESIZE, 0, line_size);
  SendMessageA(Handle(), TBM_SETPAGESIZE, 0, page_size);
  SendMessageA(Handle(), TBM_SETTICFREQ, 1, 0);
  SendMessageA(Handle(), TBM_SETPOS, TRUE, position_);
}

int TTrackBar::Position() const {
  return static_cast<int>(SendMessageA(Handle(), TBM_GETPOS, 0, 0));
}

void TTrackBar::SetPosition(int position) {
  const int clamped = std::clamp(position, range_.min, range_.max);
  if (clamped == position_) {
    return;
  }
  SendMessageA(Handle(), TBM_SETPOS, TRUE, clamped);
  PositionChanged();
}

bool TTrackBar::Notify(UINT msg, WPARAM wparam, LRESULT& result) {
  if (msg == WM_HSCROLL) {
    PositionChanged();
    result = 0;
    return true;
  }
  return TWinControl::Notify(msg, wparam, result);
}

void TTrackBar::PositionChanged() {
  // A drag reports the same position several times (track, then end of track).
  const int now = Position();
  if (now != position_) {
    position_ = now;
    OnChange(this);
  }
}

TCheckBox::TCheckBox(TForm& owner, const ControlBounds& bounds, const char* text)
    : TWinControl(owner, "BUTTON", WS_TABSTOP | BS_AUTOCHECKBOX, text, bounds) {
  DrawUnthemed(Handle());
}

bool TCheckBox::Checked() const {
  return SendMessageA(Handle(), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

void TCheckBox::SetChecked(bool checked) {
  if (checked == Checked()) {
    return;
  }
  SendMessageA(Handle(), BM_SETCHECK, checked ? BST_CHECKED : BST_UNCHECKED, 0);
  OnClick(this);
}

bool TCheckBox::Notify(UINT msg, WPARAM wparam, LRESULT& result) {
  if (msg == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
    OnClick(this);
    result = 0;
    return true;
  }
  return TWinControl::Notify(msg, wparam, result);
}

TButton::TButton(TForm& owner, const ControlBounds& bounds, const char* text)
    : TWinControl(owner, "BUTTON", WS_TABSTOP | BS_PUSHBUTTON, text, bounds) {}

void TButton::SetEnabled(bool enabled) {
  EnableWindow(Handle(), enabled ? TRUE : FALSE);
}

bool TButton::Notify(UINT msg, WPARAM wparam, LRESULT& result) {
  if (msg == WM_COMMAND && HIWORD(wparam) == BN_CLICKED) {
    OnClick(this);
    result = 0;
    return true;
  }
  return TWinControl::Notify(msg, wparam, result);
}

TStaticText::TStaticText(TForm& owner, const ControlBounds& bounds, const char* text)
    : TWinControl(owner, "STATIC", SS_LEFTNOWORDWRAP | SS_NOPREFIX, text, bounds) {}

void TStaticText::SetText(const std::string& text) {
  SetWindowTextA(Handle(), text.c_str());
}
