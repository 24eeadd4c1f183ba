#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <initializer_list>

#include "ui/Controls.h"
#include "ui/Form.h"
#include "win32/WinHandles.h"

// What the clock synchronisation's two windows share: each is made over the settings
// window, which owns it, shows its texts in the synchronisation's font, and sits centred
// over its owner.
class TSyncWindow : public TForm {
 public:
  // Keeps the window centred over the main window, at its own size.
  void CentreOver(HWND main_window);

 protected:
  // Makes the window, hidden, at 0,0 and owned by `main_window`.
  TSyncWindow(FormDescription description, HWND main_window);

  void UseSyncFont(std::initializer_list<TStaticText*> texts);
  // Sized to width x height at 96 DPI, centred over the owner and painted at once; in
  // front, or (activate false) leaving the activation with the owner.
  void ShowCentred(int width, int height, bool activate);

 private:
  HWND main_window_;
  // Outlives the texts that show it: a derived window's controls go before its base.
  UniqueFont font_;
};

// The synchronisation windows' text: bold "Arial" of height -16 at 96 DPI, Cyrillic set.
UniqueFont MakeSyncFont(const TForm& form);
