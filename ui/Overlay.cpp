#include "ui/Overlay.h"

#include <stdexcept>

#include "ui/Application.h"
#include "ui/Controls.h"
#include "ui/Form.h"
#include "win32/SystemError.h"
#include "win32/WinHandles.h"

namespace {

constexpr char kOverlayClass[] = "TessarynOverlay";

void RegisterOverlayClass(WNDPROC proc) {
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExA(Application().Instance(), kOverlayClass, &existing)) {
    return;
  }
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  // A private device context, as OpenGL windows want.
  wc.style = CS_OWNDC;
  wc.lpfnWndProc = proc;
  wc.hInstance = Application().Instance();
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  wc.lpszClassName = kOverlayClass;
  if (RegisterClassExA(&wc) == 0) {
    throw std::runtime_error(FailedCallText("RegisterClassEx"));
  }
}

// `rect` of `window` in the coordinates of `to`'s client area.
RECT MapRect(HWND window, HWND to) {
  RECT r{};
  GetWindowRect(window, &r);
  MapWindowPoints(nullptr, to, reinterpret_cast<POINT*>(&r), 2);
  return r;
}

}  // namespace

TClientOverlay::TClientOverlay(TForm& owner) : owner_(owner) {
  RegisterOverlayClass(&TClientOverlay::WindowProc);
  hwnd_ = CreateWindowExA(WS_EX_NOACTIVATE | WS_EX_TOOLWINDOW, kOverlayClass, "",
                          WS_POPUP | WS_CLIPSIBLINGS, 0, 0, 0, 0, owner.Handle(), nullptr,
                          Application().Instance(), this);
  if (hwnd_ == nullptr) {
    throw std::runtime_error(FailedCallText("CreateWindowEx"));
  }
  SetWindowLongPtrA(hwnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

TClientOverlay::~TClientOverlay() {
  if (hwnd_ != nullptr) {
    SetWindowLongPtrA(hwnd_, GWLP_USERDATA, 0);
    DestroyWindow(hwnd_);
  }
}

void TClientOverlay::Follow(const RECT& visible) {
  if (hwnd_ == nullptr) {
    return;
  }
  RECT client{};
  GetClientRect(owner_.Handle(), &client);
  POINT origin{0, 0};
  ClientToScreen(owner_.Handle(), &origin);
  SetWindowPos(hwnd_, nullptr, origin.x, origin.y, client.right, client.bottom,
               SWP_NOZORDER | SWP_NOACTIVATE);
  HRGN shape = CreateRectRgnIndirect(&visible);
  for (const TWinControl* control : owner_.Controls()) {
    const RECT r = MapRect(control->Handle(), owner_.Handle());
    const UniqueGdiObject hole(CreateRectRgnIndirect(&r));
    CombineRgn(shape, shape, static_cast<HRGN>(hole.get()), RGN_DIFF);
  }
  // The window owns the region from here on.
  SetWindowRgn(hwnd_, shape, TRUE);
}

void TClientOverlay::Show() {
  ShowWindow(hwnd_, SW_SHOWNOACTIVATE);
}

LRESULT CALLBACK TClientOverlay::WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  auto* overlay = reinterpret_cast<TClientOverlay*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  switch (msg) {
    case WM_MOUSEACTIVATE:
      // A click on the picture is a click on the form.
      if (overlay != nullptr) {
        SetForegroundWindow(overlay->owner_.Handle());
      }
      return MA_NOACTIVATE;
    case WM_NCDESTROY:
      // The form destroys the windows it owns before its own.
      if (overlay != nullptr) {
        overlay->hwnd_ = nullptr;
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wparam, lparam);
}
