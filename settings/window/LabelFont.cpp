#include "settings/window/LabelFont.h"

#include <stdexcept>

#include "win32/SystemError.h"

UniqueFont MakeLabelFont() {
  return UniqueFont(CreateFontA(-16, 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE, RUSSIAN_CHARSET,
                                OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                DEFAULT_PITCH | FF_SWISS, "Arial"));
}

HWND MakeLabel(HWND parent, const RECT& place, const char* text, HFONT font) {
  const HWND label = CreateWindowExA(0, "STATIC", text, WS_CHILD | WS_VISIBLE | SS_LEFT, place.left,
                                     place.top, place.right - place.left, place.bottom - place.top,
                                     parent, nullptr, GetModuleHandleA(nullptr), nullptr);
  if (label == nullptr) {
    throw std::runtime_error(FailedCallText("CreateWindowEx"));
  }
  SendMessageA(label, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
  return label;
}
