#include "settingswindow/SyncWindow.h"

#include <utility>

namespace {

FormDescription OwnedBy(FormDescription d, HWND main_window) {
  d.x = 0;
  d.y = 0;
  d.parent = main_window;
  return d;
}

}  // namespace

UniqueFont MakeSyncFont(const TForm& form) {
  return UniqueFont(CreateFontA(form.Scaled(-16), 0, 0, 0, FW_BOLD, FALSE, FALSE, FALSE,
                                RUSSIAN_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS,
                                DEFAULT_QUALITY, DEFAULT_PITCH | FF_SWISS, "Arial"));
}

TSyncWindow::TSyncWindow(FormDescription description, HWND main_window)
    : TForm(OwnedBy(std::move(description), main_window)),
      main_window_(main_window),
      font_(MakeSyncFont(*this)) {}

void TSyncWindow::UseSyncFont(std::initializer_list<TStaticText*> texts) {
  for (TStaticText* text : texts) {
    text->SetFont(font_.get());
  }
}

void TSyncWindow::ShowCentred(int width, int height, bool activate) {
  SetBounds(0, 0, Scaled(width), Scaled(height));
  CentreOver(main_window_);
  Show(activate ? SW_SHOW : SW_SHOWNOACTIVATE);
  // The request that follows may keep the message loop busy for seconds.
  UpdateWindow(Handle());
  if (activate) {
    SetForegroundWindow(Handle());
  }
}

void TSyncWindow::CentreOver(HWND main_window) {
  RECT owner{};
  RECT own{};
  if (!HandleAllocated() || !GetWindowRect(main_window, &owner) || !GetWindowRect(Handle(), &own)) {
    return;
  }
  const int left = owner.left + (owner.right - owner.left - (own.right - own.left)) / 2;
  const int top = owner.top + (owner.bottom - owner.top - (own.bottom - own.top)) / 2;
  SetWindowPos(Handle(), nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}
