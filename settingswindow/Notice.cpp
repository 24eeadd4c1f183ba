#include "settingswindow/Notice.h"

#include <stdexcept>

#include "win32/SystemError.h"

namespace {

FormDescription Description(HWND main_window) {
  FormDescription d;
  d.caption = "Connection";
  d.style = WS_POPUP;
  d.ex_style = WS_EX_TOPMOST | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  d.x = 0;
  d.y = 0;
  d.width = TForm3::kClientWidth;
  d.height = TForm3::kClientHeight;
  d.parent = main_window;
  d.black_background = true;
  return d;
}

}  // namespace

UniqueFont MakeSyncFont(const TForm& form) {
  return UniqueFont(CreateFontA(form.Scaled(-16), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial"));
}

TForm3::TForm3(HWND main_window) : TForm(Description(main_window)), font_(MakeSyncFont(*this)) {
  if (!SetLayeredWindowAttributes(Handle(), RGB(0, 0, 0), 0, LWA_COLORKEY)) {
    throw std::runtime_error(FailedCallText("SetLayeredWindowAttributes"));
  }
  StaticText1.SetFont(font_.get());
  StaticText1.SetColors(RGB(255, 255, 255), RGB(0, 0, 0));
  FormCreate();
  SetBounds(0, 0, Scaled(kClientWidth), Scaled(kClientHeight));
  CentreOver(main_window);
  Show(SW_SHOWNOACTIVATE);
  UpdateWindow(Handle());
}

void TForm3::SetTextColor(COLORREF color) {
  StaticText1.SetColors(color, RGB(0, 0, 0));
}

void TForm3::CentreOver(HWND main_window) {
  RECT owner{};
  RECT own{};
  if (!HandleAllocated() || !GetWindowRect(main_window, &owner) || !GetWindowRect(Handle(), &own)) {
    return;
  }
  const int left = owner.left + (owner.right - owner.left - (own.right - own.left)) / 2;
  const int top = owner.top + (owner.bottom - owner.top - (own.bottom - own.top)) / 2;
  SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TForm3::PreviewMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
  if (msg != WM_MOUSEACTIVATE) {
    return false;
  }
  result = MA_NOACTIVATE;
  return true;
}
