#include "ui/ToolTip.h"

#include <commctrl.h>

namespace {

// A disabled window takes no mouse input: the pointer's messages over it go to the
// window beneath it, its parent or a sibling below it (the settings window's clock
// area). The tip is therefore an area of each of those, not of the control itself.
std::vector<HWND> WindowsBeneath(HWND control) {
  const HWND parent = GetParent(control);
  std::vector<HWND> beneath{parent};
  RECT area{};
  GetWindowRect(control, &area);
  for (HWND w = GetWindow(control, GW_HWNDNEXT); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
    RECT r{};
    RECT common{};
    // Its own style, not IsWindowVisible: the form is made before it shows.
    const bool shown = (GetWindowLongA(w, GWL_STYLE) & WS_VISIBLE) != 0;
    if (shown && GetWindowRect(w, &r) && IntersectRect(&common, &r, &area)) {
      beneath.push_back(w);
    }
  }
  return beneath;
}

}  // namespace

TToolTip::TToolTip(HWND owner)
    : window_(CreateWindowExA(WS_EX_TOPMOST, TOOLTIPS_CLASSA, nullptr,
                              WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                              CW_USEDEFAULT, CW_USEDEFAULT, owner, nullptr,
                              GetModuleHandleA(nullptr), nullptr)) {}

void TToolTip::AddControl(HWND control, const std::string& text) {
  tips_.push_back({control, text});
  AddAreas(tips_.back());
}

void TToolTip::Refresh() {
  RemoveAreas();
  for (const Tip& tip : tips_) {
    AddAreas(tip);
  }
}

void TToolTip::AddAreas(const Tip& tip) {
  if (!window_.valid() || !IsWindow(tip.control)) {
    return;
  }
  for (const HWND w : WindowsBeneath(tip.control)) {
    RECT area{};
    GetWindowRect(tip.control, &area);
    MapWindowPoints(nullptr, w, reinterpret_cast<POINT*>(&area), 2);
    TOOLINFOA info{};
    // Without the last (Windows XP era) member: accepted by every version of the control.
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.uFlags = TTF_SUBCLASS;
    info.hwnd = w;
    info.uId = ++last_id_;
    info.rect = area;
    info.lpszText = const_cast<char*>(tip.text.c_str());
    if (SendMessageA(window_.get(), TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&info))) {
      areas_.emplace_back(w, info.uId);
    }
  }
}

void TToolTip::RemoveAreas() {
  for (const auto& [w, id] : areas_) {
    TOOLINFOA info{};
    info.cbSize = TTTOOLINFOA_V2_SIZE;
    info.hwnd = w;
    info.uId = id;
    SendMessageA(window_.get(), TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&info));
  }
  areas_.clear();
}
