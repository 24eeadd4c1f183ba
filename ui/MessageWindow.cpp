#include "ui/MessageWindow.h"

#include <stdexcept>

#include "ui/Application.h"
#include "win32/SystemError.h"
#include "win32/WindowClass.h"

namespace {
constexpr char kClassName[] = "TessarynMessageWindow";

void RegisterMessageClass(WNDPROC proc) {
  RequireWindowClass(WindowClassOf(kClassName, proc, Application().Instance()));
}
}  // namespace

MessageWindow::MessageWindow(Handler handler) : handler_(std::move(handler)) {
  RegisterMessageClass(&MessageWindow::WindowProc);
  hwnd_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                          Application().Instance(), this);
  if (hwnd_ == nullptr) {
    throw std::runtime_error(FailedCallText("CreateWindowEx"));
  }
}

MessageWindow::~MessageWindow() {
  UnbindWindow(hwnd_);
  DestroyWindow(hwnd_);
}

LRESULT CALLBACK MessageWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  // Bound at its first message: the handler sees the window's creation too.
  MessageWindow* self = BoundObject(hwnd, msg, lparam, &MessageWindow::hwnd_);
  if (self != nullptr && self->handler_) {
    LRESULT result = 0;
    bool handled = false;
    GuardHandler([&] { handled = self->handler_(msg, wparam, lparam, result); });
    if (handled) {
      return result;
    }
  }
  return DefWindowProcA(hwnd, msg, wparam, lparam);
}
