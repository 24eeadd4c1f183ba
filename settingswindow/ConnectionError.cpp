#include "settingswindow/ConnectionError.h"

#include "settingswindow/Notice.h"

namespace {

FormDescription Description(HWND main_window) {
  FormDescription d;
  d.caption = "Tessaryn : unable to connect to screen";
  d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  d.ex_style = WS_EX_DLGMODALFRAME;
  d.x = 0;
  d.y = 0;
  d.width = TForm4::kWidth;
  d.height = TForm4::kHeight;
  d.parent = main_window;
  return d;
}

}  // namespace

TForm4::TForm4(HWND main_window) : TForm(Description(main_window)), font_(MakeSyncFont(*this)) {
  for (TStaticText* label :
       {&StaticText1, &StaticText2, &StaticText3, &StaticText4, &StaticText5}) {
    label->SetFont(font_.get());
  }
  FormCreate();
  RECT owner{};
  GetWindowRect(main_window, &owner);
  const int width = Scaled(kWidth);
  const int height = Scaled(kHeight);
  SetBounds(owner.left + (owner.right - owner.left - width) / 2,
            owner.top + (owner.bottom - owner.top - height) / 2, width, height);
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
