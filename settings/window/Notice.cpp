#include "settings/window/Notice.h"

#include <stdexcept>

#include "settings/window/LabelFont.h"
#include "win32/SystemError.h"

namespace {

constexpr char kWaitText[] = "Connection to a server an exact times - please wait";

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

TForm3::TForm3(HWND main_window) {
  CreateHandle(Description(main_window));
  if (!SetLayeredWindowAttributes(Handle(), RGB(0, 0, 0), 0, LWA_COLORKEY)) {
    throw std::runtime_error(FailedCallText("SetLayeredWindowAttributes"));
  }
  font_ = MakeLabelFont();
  static_text1_ = MakeLabel(Handle(), {7, 0, 7 + 388, 23}, kWaitText, font_.get());
  FormCreate();
  CentreOver(main_window);
  Show(SW_SHOWNOACTIVATE);
  UpdateWindow(Handle());
}

void TForm3::FormCreate() {}

std::string TForm3::Text() const {
  char text[128] = {};
  GetWindowTextA(static_text1_, text, sizeof(text));
  return text;
}

void TForm3::SetText(const std::string& text) {
  SetWindowTextA(static_text1_, text.c_str());
}

void TForm3::SetTextColor(COLORREF color) {
  text_color_ = color;
  InvalidateRect(static_text1_, nullptr, TRUE);
}

void TForm3::CentreOver(HWND main_window) {
  RECT owner{};
  if (!HandleAllocated() || !GetWindowRect(main_window, &owner)) {
    return;
  }
  const int left = owner.left + (owner.right - owner.left - kClientWidth) / 2;
  const int top = owner.top + (owner.bottom - owner.top - kClientHeight) / 2;
  SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

bool TForm3::PreviewMessage(UINT msg, WPARAM wparam, LPARAM, LRESULT& result) {
  switch (msg) {
    case WM_CTLCOLORSTATIC: {
      const HDC dc = reinterpret_cast<HDC>(wparam);
      ::SetTextColor(dc, text_color_);
      SetBkColor(dc, RGB(0, 0, 0));
      result = reinterpret_cast<LRESULT>(GetStockObject(BLACK_BRUSH));
      return true;
    }
    case WM_MOUSEACTIVATE:
      result = MA_NOACTIVATE;
      return true;
    default:
      return false;
  }
}
