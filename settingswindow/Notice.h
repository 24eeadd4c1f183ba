#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include "settingswindow/SyncWindow.h"
#include "ui/Controls.h"

// The synchronisation's notice: one line of text floating over the settings window while
// the request runs. Black is its transparent colour, so only the text shows. It never
// takes the focus, so the keys still reach the settings window.
class TForm3 : public TSyncWindow {
 public:
  // Shown at once, centred over the main window, which owns it.
  explicit TForm3(HWND main_window);

  static constexpr int kClientWidth = 400;
  static constexpr int kClientHeight = 20;

  TStaticText StaticText1{
      *this, {7, 0, 388, 23}, "Connection to a server an exact times - please wait"};

  void SetTextColor(COLORREF color);

 protected:
  bool PreviewMessage(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

 private:
  void FormCreate() {}
};
