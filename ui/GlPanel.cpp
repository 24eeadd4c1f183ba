#include "ui/GlPanel.h"

#include <stdexcept>

#include "ui/Application.h"
#include "ui/Form.h"
#include "win32/SystemError.h"
#include "win32/WindowClass.h"

namespace {

constexpr char kGlPanelClass[] = "TessarynGlPanel";

void RegisterGlPanelClass(WNDPROC proc) {
  // A device context of its own, as OpenGL windows want; never the parent's.
  WNDCLASSEXA wc = WindowClassOf(kGlPanelClass, proc, Application().Instance(), CS_OWNDC);
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  RequireWindowClass(wc);
}

}  // namespace

TGlPanel::TGlPanel(TForm& owner) : owner_(owner) {
  RegisterGlPanelClass(&TGlPanel::WindowProc);
  // Disabled, it lets the form have the clicks; clipping its siblings, it leaves the
  // controls above it alone.
  hwnd_ = CreateWindowExA(0, kGlPanelClass, "",
                          WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_CLIPSIBLINGS | WS_CLIPCHILDREN,
                          0, 0, 0, 0, owner.Handle(), nullptr, Application().Instance(), this);
  if (hwnd_ == nullptr) {
    throw std::runtime_error(FailedCallText("CreateWindowEx"));
  }
  FillClientArea();
}

TGlPanel::~TGlPanel() {
  if (hwnd_ != nullptr) {
    UnbindWindow(hwnd_);
    DestroyWindow(hwnd_);
  }
}

void TGlPanel::FillClientArea() {
  if (hwnd_ == nullptr) {
    return;
  }
  RECT client{};
  GetClientRect(owner_.Handle(), &client);
  SetWindowPos(hwnd_, HWND_BOTTOM, 0, 0, client.right, client.bottom, SWP_NOACTIVATE);
}

LRESULT CALLBACK TGlPanel::WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  TGlPanel* panel = BoundObject(hwnd, msg, lparam, &TGlPanel::hwnd_);
  // The form destroys its child windows before its own.
  if (msg == WM_NCDESTROY && panel != nullptr) {
    panel->hwnd_ = nullptr;
  }
  return DefWindowProcA(hwnd, msg, wparam, lparam);
}
