#include "settingswindow/Notice.h"

#include <stdexcept>

#include "win32/SystemError.h"

namespace {

FormDescription Description() {
  FormDescription d;
  d.caption = "Connection";
  d.style = WS_POPUP;
  d.ex_style = WS_EX_TOPMOST | WS_EX_LAYERED | WS_EX_TOOLWINDOW | WS_EX_NOACTIVATE;
  d.width = TForm3::kClientWidth;
  d.height = TForm3::kClientHeight;
  d.black_background = true;
  return d;
}

}  // namespace

TForm3::TForm3(HWND main_window) : TSyncWindow(Description(), main_window) {
  if (!SetLayeredWindowAttributes(Handle(), RGB(0, 0, 0), 0, LWA_COLORKEY)) {
    throw std::runtime_error(FailedCallText("SetLayeredWindowAttributes"));
  }
  UseSyncFont({&StaticText1});
  StaticText1.SetColors(RGB(255, 255, 255), RGB(0, 0, 0));
  FormCreate();
  ShowCentred(kClientWidth, kClientHeight, false);
}

void TForm3::SetTextColor(COLORREF color) {
  StaticText1.SetColors(color, RGB(0, 0, 0));
}

bool TForm3::PreviewMessage(UINT msg, WPARAM, LPARAM, LRESULT& result) {
  if (msg != WM_MOUSEACTIVATE) {
    return false;
  }
  result = MA_NOACTIVATE;
  return true;
}
