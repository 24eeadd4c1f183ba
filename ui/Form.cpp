#include "ui/Form.h"

#include <stdexcept>

#include "ui/Application.h"
#include "win32/SystemError.h"

namespace {

constexpr char kPlainClass[] = "TessarynForm";
constexpr char kBlackClass[] = "TessarynBlackForm";

const char* RegisterFormClass(bool black_background) {
  const char* name = black_background ? kBlackClass : kPlainClass;
  WNDCLASSEXA existing{};
  existing.cbSize = sizeof(existing);
  if (GetClassInfoExA(Application().Instance(), name, &existing)) {
    return name;
  }
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof(wc);
  // A private device context per window, as OpenGL windows want.
  wc.style = CS_OWNDC | CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS;
  wc.lpfnWndProc = &TForm::WindowProc;
  wc.hInstance = Application().Instance();
  wc.hIcon = LoadIconA(Application().Instance(), MAKEINTRESOURCEA(1));
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.hbrBackground = black_background
                         ? static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))
                         : reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  wc.lpszClassName = name;
  if (RegisterClassExA(&wc) == 0) {
    throw std::runtime_error(FailedCallText("RegisterClassEx"));
  }
  return name;
}

}  // namespace

TForm::~TForm() {
  if (hwnd_ != nullptr) {
    const HWND hwnd = hwnd_;
    // Unbound first: the messages of the destruction must not reach a half-destroyed form.
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
    hwnd_ = nullptr;
    DestroyWindow(hwnd);
  }
}

void TForm::CreateHandle(const FormDescription& d) {
  const char* class_name = RegisterFormClass(d.black_background);
  // The form binds itself at WM_NCCREATE, so no message reaches the window unbound.
  const HWND hwnd =
      CreateWindowExA(d.ex_style, class_name, d.caption.c_str(), d.style & ~WS_VISIBLE, d.x, d.y,
                      d.width, d.height, d.parent, nullptr, Application().Instance(), this);
  if (hwnd == nullptr) {
    throw std::runtime_error(FailedCallText("CreateWindowEx"));
  }
}

void TForm::Close() {
  if (hwnd_ != nullptr) {
    SendMessageA(hwnd_, WM_CLOSE, 0, 0);
  }
}

int TForm::Width() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return r.right - r.left;
}

int TForm::Height() const {
  RECT r{};
  GetWindowRect(hwnd_, &r);
  return r.bottom - r.top;
}

void TForm::SetBounds(int x, int y, int width, int height) {
  SetWindowPos(hwnd_, nullptr, x, y, width, height, SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::SetClientSize(int width, int height) {
  RECT r{0, 0, width, height};
  AdjustWindowRectEx(&r, static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_STYLE)), FALSE,
                     static_cast<DWORD>(GetWindowLongA(hwnd_, GWL_EXSTYLE)));
  SetWindowPos(hwnd_, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void TForm::Show(int show_command) {
  ShowWindow(hwnd_, show_command);
}

LRESULT CALLBACK TForm::WindowProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == WM_NCCREATE) {
    auto* creating =
        static_cast<TForm*>(reinterpret_cast<const CREATESTRUCTA*>(lparam)->lpCreateParams);
    creating->hwnd_ = hwnd;
    SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(creating));
  }
  auto* form = reinterpret_cast<TForm*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  if (form == nullptr) {
    return DefWindowProcA(hwnd, msg, wparam, lparam);
  }
  return form->Dispatch(msg, wparam, lparam);
}

LRESULT TForm::Dispatch(UINT msg, WPARAM wparam, LPARAM lparam) {
  LRESULT result = 0;
  bool handled = false;
  GuardHandler([&] { handled = PreviewMessage(msg, wparam, lparam, result); });
  if (handled) {
    return result;
  }
  switch (msg) {
    case WM_ACTIVATE:
      if (LOWORD(wparam) != WA_INACTIVE) {
        GuardHandler([&] { FormActivate(); });
      }
      break;
    case WM_SIZE:
      GuardHandler([&] { FormResize(); });
      break;
    case WM_CLOSE:
      GuardHandler([&] { FormClose(); });
      if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
      }
      return 0;
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      GuardHandler([&] { FormKeyDown(static_cast<WORD>(wparam)); });
      return 0;
    case WM_MOUSEMOVE:
      GuardHandler([&] {
        FormMouseMove(static_cast<short>(LOWORD(lparam)), static_cast<short>(HIWORD(lparam)));
      });
      return 0;
    case WM_PAINT: {
      PAINTSTRUCT ps;
      BeginPaint(hwnd_, &ps);
      EndPaint(hwnd_, &ps);
      GuardHandler([&] { FormPaint(); });
      return 0;
    }
    case WM_NCDESTROY: {
      const HWND hwnd = hwnd_;
      hwnd_ = nullptr;
      SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
      return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
    default:
      break;
  }
  return DefWindowProcA(hwnd_, msg, wparam, lparam);
}
