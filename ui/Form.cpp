#include "ui/Form.h"

#include <algorithm>
#include <cstring>
#include <stdexcept>

#include "ui/Application.h"
#include "ui/Controls.h"
#include "win32/SystemError.h"
#include "win32/WinHandles.h"
#include "win32/WindowClass.h"

namespace {

constexpr char kPlainClass[] = "TessarynForm";
constexpr char kBlackClass[] = "TessarynBlackForm";

const char* RegisterFormClass(bool black_background) {
  const char* name = black_background ? kBlackClass : kPlainClass;
  // A private device context per window, as OpenGL windows want.
  WNDCLASSEXA wc = WindowClassOf(name, &TForm::WindowProc, Application().Instance(),
                                 CS_OWNDC | CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS);
  wc.hIcon = LoadIconA(Application().Instance(), MAKEINTRESOURCEA(1));
  wc.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.hbrBackground = black_background
                         ? static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH))
                         : reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
  RequireWindowClass(wc);
  return name;
}

// The platform's own values; older headers lack the names.
constexpr UINT kWmDpiChanged = 0x02E0;
constexpr UINT kWmWtsSessionChange = 0x02B1;

int WindowDpi(HWND hwnd) {
  using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
  // NOTE: Windows before 10 (1607) has no per-window DPI; the screen's then holds for all.
  const auto get_dpi = reinterpret_cast<GetDpiForWindowFn>(
      reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("user32.dll"), "GetDpiForWindow")));
  if (get_dpi != nullptr) {
    if (const UINT dpi = get_dpi(hwnd); dpi != 0) {
      return static_cast<int>(dpi);
    }
  }
  const UniqueWindowDc screen(WindowDc{nullptr, GetDC(nullptr)});
  const int dpi = GetDeviceCaps(screen.get().dc, LOGPIXELSY);
  return dpi > 0 ? dpi : 96;
}

bool IsKeyDown(UINT msg) {
  return msg == WM_KEYDOWN || msg == WM_SYSKEYDOWN;
}

}  // namespace

TForm::~TForm() {
  if (hwnd_ != nullptr) {
    const HWND hwnd = hwnd_;
    // Unbound first: the messages of the destruction must not reach a half-destroyed form.
    UnbindWindow(hwnd);
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
  key_preview_ = d.key_preview;
  dialog_keys_ = d.dialog_keys;
  system_keys_ = d.system_keys;
  dpi_ = WindowDpi(hwnd);
}

void TForm::ShowFailures(const std::vector<std::string>& texts) const {
  for (const std::string& text : texts) {
    Application().ShowException(std::runtime_error(text));
  }
}

TForm* TForm::FromHandle(HWND hwnd) {
  char name[32] = {};
  if (hwnd == nullptr || GetClassNameA(hwnd, name, sizeof(name)) == 0 ||
      (std::strcmp(name, kPlainClass) != 0 && std::strcmp(name, kBlackClass) != 0)) {
    return nullptr;
  }
  return reinterpret_cast<TForm*>(GetWindowLongPtrA(hwnd, GWLP_USERDATA));
}

bool TForm::PreTranslateMessage(MSG& msg) {
  // Keys meant for the form itself reach FormKeyDown through its own window procedure.
  if (msg.hwnd == hwnd_ || hwnd_ == nullptr) {
    return false;
  }
  if (key_preview_ && IsKeyDown(msg.message)) {
    GuardHandler([&] { FormKeyDown(static_cast<WORD>(msg.wParam)); });
    if (hwnd_ == nullptr) {
      return true;  // the key closed the form
    }
  }
  return dialog_keys_ && IsDialogMessageA(hwnd_, &msg);
}

void TForm::AddControl(TWinControl* control) {
  controls_.push_back(control);
}

void TForm::RemoveControl(TWinControl* control) {
  std::erase(controls_, control);
}

TWinControl* TForm::ControlOf(HWND hwnd) const {
  const auto it = std::find_if(controls_.begin(), controls_.end(),
                               [hwnd](const TWinControl* c) { return c->Handle() == hwnd; });
  return it != controls_.end() ? *it : nullptr;
}

bool TForm::DispatchToControl(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  TWinControl* control = ControlOf(reinterpret_cast<HWND>(lparam));
  if (control == nullptr) {
    return false;
  }
  bool handled = false;
  GuardHandler([&] { handled = control->Notify(msg, wparam, result); });
  return handled;
}

void TForm::Activate(bool active) {
  if (!active) {
    const HWND focus = GetFocus();
    focused_control_ = focus != nullptr && IsChild(hwnd_, focus) ? focus : nullptr;
    return;
  }
  // As a dialog box does: the focus returns to the control that had it, or goes to the
  // first one that takes it.
  HWND target = focused_control_ != nullptr && IsWindow(focused_control_)
                    ? focused_control_
                    : GetNextDlgTabItem(hwnd_, nullptr, FALSE);
  if (!IsIconic(hwnd_)) {
    SetFocus(target != nullptr ? target : hwnd_);
  }
}

void TForm::DpiChanged(WPARAM wparam, LPARAM lparam) {
  dpi_ = HIWORD(wparam);
  const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
  if (TakesSuggestedBounds()) {
    SetWindowPos(hwnd_, nullptr, suggested->left, suggested->top,
                 suggested->right - suggested->left, suggested->bottom - suggested->top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  }
  GuardHandler([&] { FormDpiChanged(); });
}

void TForm::ForgetWindow() {
  // The controls' windows went before their parent's.
  for (TWinControl* control : controls_) {
    control->HandleDestroyed();
  }
  const HWND hwnd = hwnd_;
  hwnd_ = nullptr;
  UnbindWindow(hwnd);
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
  TForm* form = BoundObject(hwnd, msg, lparam, &TForm::hwnd_);
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
      if (dialog_keys_ && hwnd_ != nullptr) {
        Activate(LOWORD(wparam) != WA_INACTIVE);
        return 0;
      }
      break;
    case WM_COMMAND:
    case WM_HSCROLL:
    case WM_VSCROLL:
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLORBTN:
      if (DispatchToControl(msg, wparam, lparam, result)) {
        return result;
      }
      break;
    case kWmDpiChanged:
      DpiChanged(wparam, lparam);
      return 0;
    case WM_SIZE:
      GuardHandler([&] { FormResize(); });
      break;
    case WM_DISPLAYCHANGE:
      GuardHandler([&] { FormDisplayChange(); });
      break;
    case WM_POWERBROADCAST:
    case kWmWtsSessionChange: {
      bool taken = false;
      GuardHandler([&] { taken = FormDisplayNotice(msg, wparam, lparam, result); });
      if (taken) {
        return result;
      }
      break;
    }
    case WM_CLOSE:
      GuardHandler([&] { FormClose(); });
      if (hwnd_ != nullptr) {
        DestroyWindow(hwnd_);
      }
      return 0;
    case WM_SYSKEYDOWN:
      if (system_keys_) {
        if (key_preview_) {
          GuardHandler([&] { FormKeyDown(static_cast<WORD>(wparam)); });
        }
        break;
      }
      GuardHandler([&] { FormKeyDown(static_cast<WORD>(wparam)); });
      return 0;
    case WM_KEYDOWN:
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
      ForgetWindow();
      return DefWindowProcA(hwnd, msg, wparam, lparam);
    }
    default:
      break;
  }
  return DefWindowProcA(hwnd_, msg, wparam, lparam);
}
