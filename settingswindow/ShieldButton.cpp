#include "settingswindow/ShieldButton.h"

#include <commctrl.h>

#include <algorithm>
#include <string>

#include "win32/WinHandles.h"

namespace {

// The small icon's side and the margins on either side of text and shield, at 96 DPI.
constexpr int kSmallIcon = 16;
constexpr int kMargins = 16;

int TextWidth(HWND button) {
  char text[128] = {};
  const int length = GetWindowTextA(button, text, sizeof(text));
  const UniqueWindowDc dc(WindowDc{button, GetDC(button)});
  if (dc.get().dc == nullptr) {
    return 0;
  }
  const HGDIOBJ font = reinterpret_cast<HGDIOBJ>(SendMessageA(button, WM_GETFONT, 0, 0));
  const HGDIOBJ old = font != nullptr ? SelectObject(dc.get().dc, font) : nullptr;
  SIZE extent{};
  GetTextExtentPoint32A(dc.get().dc, text, length, &extent);
  if (old != nullptr) {
    SelectObject(dc.get().dc, old);
  }
  return extent.cx;
}

}  // namespace

int ShieldButtonNeededWidth(HWND button, int dpi) {
  SIZE ideal{};
  if (SendMessageA(button, BCM_GETIDEALSIZE, 0, reinterpret_cast<LPARAM>(&ideal)) == FALSE) {
    ideal.cx = 0;
  }
  const int counted = TextWidth(button) + MulDiv(kSmallIcon + kMargins, dpi, 96);
  return std::max<int>(ideal.cx, counted);
}

void FitShieldButton(HWND button, int dpi, int left_limit) {
  RECT r{};
  GetWindowRect(button, &r);
  MapWindowPoints(nullptr, GetParent(button), reinterpret_cast<POINT*>(&r), 2);
  const int needed = ShieldButtonNeededWidth(button, dpi);
  if (r.right - r.left >= needed) {
    return;
  }
  const int left = std::max<int>(left_limit, r.right - needed);
  SetWindowPos(button, nullptr, left, r.top, r.right - left, r.bottom - r.top,
               SWP_NOZORDER | SWP_NOACTIVATE);
}
