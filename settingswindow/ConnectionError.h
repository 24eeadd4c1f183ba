#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "settingswindow/SyncWindow.h"
#include "ui/Controls.h"

// The window that lists the likely reasons when the time server cannot be reached. It
// has no buttons: its close box, Escape or Enter close it.
class TForm4 : public TSyncWindow {
 public:
  // Shown at once, centred over the main window, which owns it.
  explicit TForm4(HWND main_window);

  static constexpr int kWidth = 403;
  static constexpr int kHeight = 153;

  TStaticText StaticText1{*this, {15, 10, 136, 23}, "Possible reasons"};
  TStaticText StaticText2{
      *this, {15, 30, 366, 23}, "- Your computer is not connected to the Internet"};
  TStaticText StaticText3{
      *this, {15, 50, 348, 23}, "- Your Internet connection's quality is too bad"};
  TStaticText StaticText4{*this, {15, 70, 331, 23}, "- You have entered incorrect proxy settings"};
  TStaticText StaticText5{*this, {15, 90, 313, 23}, "- Port 13(TCP) isdisabled on your firewall"};

 protected:
  void FormKeyDown(WORD key) override;

 private:
  void FormCreate() {}
};
