#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

// A class named `name` whose windows `procedure` serves, of the module `instance`, with
// the class styles `style`; the rest (icon, cursor, background) is left for the caller.
WNDCLASSEXA WindowClassOf(const char* name, WNDPROC procedure, HINSTANCE instance, UINT style = 0);

// Registers a window class. A class of that name already registered by this module
// counts as registered. Returns an empty text on success, else
// "RegisterClassEx failed: <the system's reason>".
std::string RegisterWindowClass(const WNDCLASSEXA& window_class);

// The same, throwing std::runtime_error with that text: for windows whose constructor
// has no other way to fail.
void RequireWindowClass(const WNDCLASSEXA& window_class);

// The object a window procedure serves, bound to its window at WM_NCCREATE, the window's
// first message, from CreateWindowEx's last argument, which also gets the window's handle
// in `handle`: no later message reaches the window unbound. Null for a window whose
// object is not bound, or no longer (UnbindWindow).
template <typename Owner>
Owner* BoundObject(HWND hwnd, UINT msg, LPARAM lparam, HWND Owner::*handle) {
  if (msg == WM_NCCREATE) {
    auto* owner =
        static_cast<Owner*>(reinterpret_cast<const CREATESTRUCTA*>(lparam)->lpCreateParams);
    if (owner != nullptr) {
      owner->*handle = hwnd;
    }
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(owner));
    return owner;
  }
  return reinterpret_cast<Owner*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

// The window's messages reach its object no more: for the object's end, before the
// window's own.
inline void UnbindWindow(HWND hwnd) {
  SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
}
