#include "win32/WindowClass.h"

#include <stdexcept>

#include "win32/SystemError.h"

WNDCLASSEXA WindowClassOf(const char* name, WNDPROC procedure, HINSTANCE instance, UINT style) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  wc.style = style;
  wc.lpfnWndProc = procedure;
  wc.hInstance = instance;
  wc.lpszClassName = name;
  return wc;
}

std::string RegisterWindowClass(const WNDCLASSEXA& window_class) {
  if (RegisterClassExA(&window_class) != 0) {
    return "";
  }
  const DWORD error = GetLastError();
  // Every window of a kind shares its class: the second window finds it in place.
  if (error == ERROR_CLASS_ALREADY_EXISTS) {
    return "";
  }
  return "RegisterClassEx failed: " + SystemErrorText(error);
}

void RequireWindowClass(const WNDCLASSEXA& window_class) {
  if (std::string failure = RegisterWindowClass(window_class); !failure.empty()) {
    throw std::runtime_error(failure);
  }
}
