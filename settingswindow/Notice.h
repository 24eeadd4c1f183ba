#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

#include "ui/Controls.h"
#include "ui/Form.h"
#include "win32/WinHandles.h"

// The synchronisation's notice: one line of text floating over the settings window while
// the request runs. Black is its transparent colour, so only the text shows. It never
// takes the focus, so the keys still reach the settings window.
class TForm3 : public TForm {
 public:
  // Shown at once, centred over the main window, which owns it.
  explicit TForm3(HWND main_window);

  static constexpr int kClientWidth = 400;
  static constexpr int kClientHeight = 20;

 private:
  UniqueFont font_;

 public:
  TStaticText StaticText1{
      *this, {7, 0, 388, 23}, "Connection to a server an exact times - please wait"};

  void SetTextColor(COLORREF color);
  // Keeps the notice centred over the main window when that moves.
  void CentreOver(HWND main_window);

 protected:
  bool PreviewMessage(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

 private:
  void FormCreate() {}
};

// The synchronisation windows' text: bold "Arial" of height -16 at 96 DPI, Cyrillic set.
UniqueFont MakeSyncFont(const TForm& form);
