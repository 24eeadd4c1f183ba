#include "ui/MessageWindow.h"

#include <stdexcept>

#include "ui/Application.h"

namespace {
constexpr char kClassName[] = "TessarynMessageWindow";

void RegisterMessageClass() {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExA(Application().Instance(), kClassName, &existing)) {
    return;
  }
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.lpfnWndProc = DefWindowProcA;
  wc.hInstance = Application().Instance();
  wc.lpszClassName = kClassName;
  if (RegisterClassExA(&wc) == 0) {
    throw std::runtime_error("RegisterClassEx failed for the message window class");
  }
}
}  // namespace

MessageWindow::MessageWindow(Handler handler) : handler_(std::move(handler)) {
  RegisterMessageClass();
  hwnd_ = CreateWindowExA(0, kClassName, "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                          Application().Instance(), nullptr);
  if (hwnd_ == nullptr) {
    throw std::runtime_error("CreateWindowEx failed for a message window");
  }
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrA(hwnd_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&MessageWindow::WindowProc));
}

MessageWindow::~MessageWindow() {
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
  DestroyWindow(hwnd_);
}

LRESULT CALLBACK MessageWindow::WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto* self = reinterpret_cast<MessageWindow*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
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
