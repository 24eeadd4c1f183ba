#include "settingswindow/ConnectionError.h"

namespace {

FormDescription Description() {
  FormDescription d;
  d.caption = "Tessaryn : unable to connect to screen";
  d.style = WS_POPUP | WS_CAPTION | WS_SYSMENU;
  d.ex_style = WS_EX_DLGMODALFRAME;
  d.width = TForm4::kWidth;
  d.height = TForm4::kHeight;
  // Alt+F4 and the system menu's keys stay the system's.
  d.system_keys = true;
  return d;
}

}  // namespace

TForm4::TForm4(HWND main_window) : TSyncWindow(Description(), main_window) {
  UseSyncFont({&StaticText1, &StaticText2, &StaticText3, &StaticText4, &StaticText5});
  FormCreate();
  ShowCentred(kWidth, kHeight, true);
}

void TForm4::FormKeyDown(WORD key) {
  if (key == VK_ESCAPE || key == VK_RETURN) {
    Close();
  }
}
