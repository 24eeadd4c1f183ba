#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <utility>
#include <vector>

#include "win32/WinHandles.h"

// The system's tooltip control, telling why a control is as it is; it shows over a
// disabled control too.
class TToolTip {
 public:
  explicit TToolTip(HWND owner);

  // `text` shows while the pointer rests over `control`, enabled or not.
  void AddControl(HWND control, const std::string& text);
  // The controls moved or changed size (a new DPI): the areas follow them.
  void Refresh();

  HWND Handle() const { return window_.get(); }

 private:
  struct Tip {
    HWND control;
    std::string text;
  };
  void AddAreas(const Tip& tip);
  void RemoveAreas();

  UniqueWindow window_;
  std::vector<Tip> tips_;
  // The (window, id) of every area added, to take them off again.
  std::vector<std::pair<HWND, UINT_PTR>> areas_;
  UINT_PTR last_id_ = 0;
};
