#include "settings/window/ConnectionError.h"

#include "settings/window/LabelFont.h"

namespace {

struct Label {
  int top;
  int width;
  const char* text;
};

// StaticText1 to StaticText5, all at left 15 and 23 pixels high.
constexpr Label kLabels[] = {
    {10, 136, "Possible reasons"},
    {30, 366, "- Your computer is not connected to the Internet"},
    {50, 348, "- Your Internet connection's quality is too bad"},
    {70, 331, "- You have entered incorrect proxy settings"},
    {90, 313, "- Port 13(TCP) isdisabled on your firewall"},
};
constexpr int kLabelLeft = 15;
constexpr int kLabelHeight = 23;

FormDescription Description(HWND main_window) {
  RECT owner{};
  GetWindowRect(main_window, &owner);
  FormDescription d;
  d.caption = "Tessaryn : unable to connect to screen";
  d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  d.ex_style = WS_EX_DLGMODALFRAME;
  d.width = TForm4::kWidth;
  d.height = TForm4::kHeight;
  d.x = owner.left + (owner.right - owner.left - TForm4::kWidth) / 2;
  d.y = owner.top + (owner.bottom - owner.top - TForm4::kHeight) / 2;
  d.parent = main_window;
  return d;
}

}  // namespace

TForm4::TForm4(HWND main_window) {
  CreateHandle(Description(main_window));
  font_ = MakeLabelFont();
  for (size_t i = 0; i < static_texts_.size(); ++i) {
    const Label& l = kLabels[i];
    static_texts_[i] =
        MakeLabel(Handle(), {kLabelLeft, l.top, kLabelLeft + l.width, l.top + kLabelHeight}, l.text,
                  font_.get());
  }
  FormCreate();
  Show(SW_SHOW);
  SetForegroundWindow(Handle());
}

void TForm4::FormKeyDown(WORD key) {
  if (key == VK_ESCAPE || key == VK_RETURN) {
    Close();
  }
}

bool TForm4::PreviewMessage(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  if (msg != WM_SYSKEYDOWN) {
    return false;
  }
  // Alt+F4 and the system menu's keys stay the system's.
  result = DefWindowProcA(Handle(), msg, wparam, lparam);
  return true;
}
