#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <array>

#include "ui/Form.h"
#include "win32/WinHandles.h"

// The window that lists the likely reasons when the time server cannot be reached. It
// has no buttons: its close box, Escape or Enter close it.
class TForm4 : public TForm {
 public:
  // Shown at once, centred over the main window, which owns it.
  explicit TForm4(HWND main_window);

  static constexpr int kWidth = 403;
  static constexpr int kHeight = 153;

 protected:
  void FormKeyDown(WORD key) override;
  bool PreviewMessage(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

 private:
  void FormCreate() {}

  UniqueFont font_;
  std::array<HWND, 5> static_texts_{};
};
