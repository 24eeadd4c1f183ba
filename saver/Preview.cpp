#include "saver/Preview.h"

#include "saver/PasswordCheck.h"
#include "windowsetup/WindowSetup.h"
#include "ui/Application.h"
#include "win32/WinHandles.h"
#include "win32/WindowClass.h"

namespace {

constexpr char kPreviewClass[] = "TessarynPreview";
constexpr char kPreviewTitle[] = "MySaver";
// An OpenGL window clips its children and siblings, so that it draws only its own area.
constexpr DWORD kGlClip = WS_CLIPCHILDREN | WS_CLIPSIBLINGS;

bool RegisterPreviewClass() {
  // OpenGL draws into a window with a device context of its own: a class DC shared with
  // the parent (CS_PARENTDC) is one Windows does not support for it.
  const WNDCLASSEXA wc =
      WindowClassOf(kPreviewClass, &PreviewWndProc, Application().Instance(), CS_OWNDC);
  // The preview has nowhere to show a reason: inside the dialog the area stays empty.
  return RegisterWindowClass(wc).empty();
}

SIZE OuterSize(HWND window) {
  RECT r{};
  GetWindowRect(window, &r);
  return {r.right - r.left, r.bottom - r.top};
}

HWND CreatePopupPreview(int width, int height, PreviewState& state) {
  const int x = (GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int y = (GetSystemMetrics(SM_CYSCREEN) - height) / 2;
  // Top-most from its creation, so that it never shows below another window first.
  const HWND hwnd =
      CreateWindowExA(WS_EX_TOPMOST, kPreviewClass, kPreviewTitle, WS_POPUP | WS_VISIBLE | kGlClip,
                      x, y, width, height, nullptr, nullptr, Application().Instance(), &state);
  if (hwnd != nullptr) {
    // Only the active window gets the key press that ends this preview.
    SetForegroundWindow(hwnd);
  }
  return hwnd;
}

void RunPreviewLoop() {
  MSG msg;
  while (GetMessageA(&msg, nullptr, 0, 0) > 0) {
    TranslateMessage(&msg);
    DispatchMessageA(&msg);
  }
}

// The child keeps filling the dialog's area when the dialog resizes it.
void FollowParentArea(HWND hwnd) {
  if ((GetWindowLongA(hwnd, GWL_STYLE) & WS_CHILD) == 0) {
    return;
  }
  const SIZE area = OuterSize(GetParent(hwnd));
  const SIZE own = OuterSize(hwnd);
  if (area.cx != own.cx || area.cy != own.cy) {
    SetWindowPos(hwnd, nullptr, 0, 0, area.cx, area.cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
  }
}

// Nothing to draw into while the window or the dialog holding it is hidden or minimised,
// or while the area is empty.
bool PreviewShowing(HWND hwnd) {
  RECT area{};
  GetClientRect(hwnd, &area);
  return IsWindowVisible(hwnd) && !IsIconic(GetAncestor(hwnd, GA_ROOT)) && area.right > 0 &&
         area.bottom > 0;
}

void PreviewPaint(HWND hwnd, PreviewState& p) {
  FollowParentArea(hwnd);
  if (!p.FrameInProgress && !p.FrameSetupFailed && PreviewShowing(hwnd)) {
    p.FrameInProgress = true;
    GuardHandler([&p] { DrawPreviewFrame(p, p.Calls.gl); });
    p.FrameInProgress = false;
  }
  ValidateRect(hwnd, nullptr);
}

void PreviewKeyDown(HWND hwnd, PreviewState& p) {
  // A second key while the worker winds down must not ask for the password again.
  if (!p.PreviewStopRequested.load(std::memory_order_relaxed)) {
    // The preview's own window owns the system's password dialog: as a top-most pop-up
    // it would otherwise cover the dialog.
    p.PreviewStopRequested.store(CheckPasswordOnExit(hwnd), std::memory_order_relaxed);
  }
}

DWORD WINAPI PreviewWorker(LPVOID share) {
  const std::unique_ptr<std::shared_ptr<PreviewState>> own(
      static_cast<std::shared_ptr<PreviewState>*>(share));
  const PreviewState& p = **own;
  const HWND window = p.PreviewWindow;
  const DWORD loop_thread = GetWindowThreadProcessId(window, nullptr);
  ShowWindow(window, SW_SHOW);
  UpdateWindow(window);
  do {
    InvalidateRect(window, nullptr, FALSE);
    Sleep(kPreviewFrameInterval_ms);
  } while (!p.PreviewStopRequested.load(std::memory_order_relaxed) && IsWindow(window));
  // NOTE: a dialog whose process dies takes its area and this child with it, and Wine
  // sends the child no WM_DESTROY: without the window's loop told to quit here, the
  // preview would outlive its dialog for good.
  if (!IsWindow(window)) {
    PostThreadMessageA(loop_thread, WM_QUIT, 0, 0);
    return 0;
  }
  PostMessageA(window, WM_DESTROY, 0, 0);
  return 0;
}

}  // namespace

PreviewCalls SystemPreviewCalls() {
  return {RenderContextCalls{}, SystemClockSource()};
}

void RunPreview(HWND parent, PreviewCalls calls) {
  const auto state = std::make_shared<PreviewState>(std::move(calls));
  PreviewState& p = *state;
  p.PreviewMode = true;
  // A handle that names no window is a dialog already gone: no area to draw into and
  // nothing that would ever end this process.
  if (parent != nullptr && !IsWindow(parent)) {
    return;
  }
  // In place before the window exists, so that even its first paint shows the fixed clock.
  PreviewSceneFixedValues(p.Settings, p.Scene);
  // The worker's seed, taken here so that only the main thread touches the generator.
  p.Generator.Seed();
  const HWND hwnd = parent != nullptr
                        ? CreatePreviewWindow(OuterSize(parent).cx, OuterSize(parent).cy, parent, p)
                        : CreatePreviewWindow(kPopupPreviewWidth, kPopupPreviewHeight, nullptr, p);
  if (hwnd == nullptr) {
    return;
  }
  const UniqueWindow window(hwnd);
  // The worker is never joined: it ends with the process, so that the end does not wait
  // for its sleep; its share keeps the state alive until then.
  const UniqueKernelHandle worker(StartPreviewWorker(state));
  RunPreviewLoop();
}

HWND CreatePreviewWindow(int width, int height, HWND parent, PreviewState& state) {
  if (!RegisterPreviewClass()) {
    return nullptr;
  }
  const HWND hwnd =
      parent != nullptr
          ? CreateWindowExA(0, kPreviewClass, kPreviewTitle,
                            WS_CHILD | WS_VISIBLE | WS_DISABLED | kGlClip, 0, 0, width, height,
                            parent, nullptr, Application().Instance(), &state)
          : CreatePopupPreview(width, height, state);
  state.PreviewWindow = hwnd;
  return hwnd;
}

HANDLE StartPreviewWorker(std::shared_ptr<PreviewState> state) {
  auto share = std::make_unique<std::shared_ptr<PreviewState>>(std::move(state));
  DWORD id = 0;
  const HANDLE thread = CreateThread(nullptr, 0, &PreviewWorker, share.get(), 0, &id);
  if (thread != nullptr) {
    share.release();  // the worker's now
  }
  return thread;
}

LRESULT CALLBACK PreviewWndProc(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam) {
  // The window is known from its first message on, before CreateWindowEx returns.
  PreviewState* preview = BoundObject(hwnd, msg, lparam, &PreviewState::PreviewWindow);
  switch (msg) {
    case WM_PAINT:
      if (preview != nullptr) {
        PreviewPaint(hwnd, *preview);
        return 0;
      }
      break;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    case WM_KEYDOWN:
      if (preview != nullptr) {
        PreviewKeyDown(hwnd, *preview);
      }
      return 0;
    case WM_MOUSEMOVE:
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      if (preview != nullptr && preview->PreviewMode) {
        return 0;
      }
      break;
    default:
      break;
  }
  return DefWindowProcA(hwnd, msg, wparam, lparam);
}
