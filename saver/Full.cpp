#include "saver/Full.h"

#include <cstdlib>
#include <utility>

#include "saver/PasswordCheck.h"
#include "scene/Caption.h"
#include "scene/FrameInputs.h"
#include "scene/SceneFrames.h"
#include "windowsetup/WindowSetup.h"
#include "settings/SettingsTable.h"
#include "settings/win32/PolicyStore.h"
#include "settings/win32/RegistryStore.h"
#include "ui/Application.h"

namespace {

// The platform's own value; older headers lack the name.
constexpr UINT kSpiScreenSaverRunning = 97;

int ScreenWidth() {
  return GetSystemMetrics(SM_CXSCREEN);
}

}  // namespace

FullScreenCalls SystemFullScreenCalls() {
  return {SystemDisplayNotifications(), RenderContextCalls{}, &SystemMonitorRects,
          SystemClockSource(), SystemRegistryCalls()};
}

TForm1::TForm1(FullScreenCalls calls)
    : TGlForm(std::move(calls.display), calls.gl),
      list_monitors_(std::move(calls.list_monitors)),
      clock_(std::move(calls.clock)),
      registry_(std::move(calls.registry)),
      random_(clock_) {
  FormDescription d;
  d.caption = "Full";
  d.style = WS_POPUP;
  d.ex_style = WS_EX_TOPMOST;
  d.x = 0;
  d.y = 0;
  d.width = 688;
  d.height = 446;
  d.black_background = true;
  CreateHandle(d);
  FormCreate();
  StartFrames();
}

void TForm1::FormCreate() {
  const LoadedSettings loaded = LoadSettings(SettingsLoader::FullScreen, registry_);
  settings_.clock = loaded.settings;
  // The administrator's values go over the user's; the random mode keeps them.
  settings_.policy = ReadPolicies().settings;
  ApplySettingChoices(settings_.clock, settings_.policy);
  ShowFailures(loaded.failures);
  CoverEveryMonitor();
  SaverSceneBeforeContext(settings_, scene_);
  if (!SetupRenderContext()) {
    return;
  }
  SaverSceneAfterContext(settings_, scene_, random_);
  GetCursorPos(&CursorReference);
  SystemParametersInfoA(kSpiScreenSaverRunning, 1, nullptr, 0);
  ShowCursor(FALSE);
}

void TForm1::CoverEveryMonitor() {
  const std::vector<ScreenRect> monitors = DisplayMonitorRects(list_monitors_);
  const ScreenRect screen = RectAround(monitors);
  // In place before the window is sized: its resize lays the camera out for them.
  monitor_viewports_ = MonitorViewports(screen, monitors);
  SetBounds(screen.left, screen.top, screen.right - screen.left, screen.bottom - screen.top);
}

bool TForm1::SetupRenderContext() {
  // One caption font for every monitor, sized from the primary screen's width; the
  // caption sits at the same scene place in each monitor's viewport.
  const CaptionFont font{-CaptionFontCharHeight(ScreenWidth())};
  return SetupContext(Handle(), SaverViewport(Width(), Height()), font, scene_.LightLevel);
}

void TForm1::FormActivate() {
  if (!Closed()) {
    SetupRenderContext();
  }
}

void TForm1::FormResize() {
  // A resize before the context exists (while the window is sized at creation) does nothing.
  if (Context().Rc() == nullptr) {
    return;
  }
  // Over several monitors each viewport keeps the set-up's aspect, as one screen does
  // after activation; the whole window's shape means nothing to any one of them.
  if (monitor_viewports_.size() > 1) {
    monitor_viewports_ =
        MonitorViewports(VirtualScreenRect(list_monitors_), DisplayMonitorRects(list_monitors_));
    SetupCamera(SaverViewport(Width(), Height()), 1.0f);
  } else {
    ResizeFullScreen(Width(), Height());
  }
}

void TForm1::FormDisplayChange() {
  if (Closed()) {
    return;
  }
  CoverEveryMonitor();
  // The copies were taken from the pixels of the old layout.
  SceneObjects().RetakeKeptCopies();
}

void TForm1::DrawFrame() {
  const FrameInputs in = ReadFrameInputs(settings_, scene_.LightLevel, clock_.LocalNow());
  const WindowScene scene{scene_, SceneObjects(), random_};
  if (monitor_viewports_.size() > 1) {
    DrawSaverSceneInEach(in, scene, monitor_viewports_);
  } else {
    RECT client{};
    GetClientRect(Handle(), &client);
    DrawSaverScene(in, scene, client.right, client.bottom);
  }
}

void TForm1::FormClosing() {
  SystemParametersInfoA(kSpiScreenSaverRunning, 0, nullptr, 0);
}

void TForm1::FormKeyDown(WORD) {
  if (Active()) {
    LeaveSequence();
  }
}

void TForm1::FormMouseMove(int, int) {
  POINT now{};
  GetCursorPos(&now);
  POINT& reference = CursorReference;
  if (!Active()) {
    reference = now;
    return;
  }
  if (std::abs(now.x - reference.x) > kMoveThreshold ||
      std::abs(now.y - reference.y) > kMoveThreshold) {
    LeaveSequence();
  }
}

void TForm1::LeaveSequence() {
  if (!CheckPasswordOnExit(Handle())) {
    return;
  }
  ShowCursor(TRUE);
  Close();
}

bool TForm1::PreviewMessage(UINT msg, WPARAM wparam, LPARAM /*lparam*/, LRESULT& result) {
  switch (msg) {
    case WM_SYSCOMMAND:
      // The system asks again at every idle time-out while the saver runs; starting a
      // second saver would stack a new one on top.
      if ((wparam & 0xFFF0) == SC_SCREENSAVE) {
        result = 0;
        return true;
      }
      return false;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
      // A click is as plain a sign the user is back as a key press.
      FormKeyDown(0);
      result = 0;
      return true;
    default:
      return false;
  }
}
