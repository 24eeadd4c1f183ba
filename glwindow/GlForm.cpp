#include "glwindow/GlForm.h"

#include <utility>

#include "ui/Application.h"

TGlForm::TGlForm(DisplayNotifications display, RenderContextCalls gl)
    : context_(gl), display_(std::move(display)) {
  BindTimer();
}

TGlForm::TGlForm(const FormDescription& description, DisplayNotifications display,
                 RenderContextCalls gl)
    : TForm(description), context_(gl), display_(std::move(display)) {
  BindTimer();
}

TGlForm::~TGlForm() {
  Timer.SetEnabled(false);
}

void TGlForm::BindTimer() {
  Timer.OnTimer.Bind([this](TTimer* sender) { TimerTimer(sender); });
}

bool TGlForm::SetupContext(HWND window, const Viewport& viewport,
                           const std::optional<CaptionFont>& font, int32_t light_level) {
  const SetupResult result = context_.Setup(window, viewport, font, light_level);
  if (!result.context_ready) {
    Application().ShowSetupError(*result.failure);
    Close();
    return false;
  }
  // Said once, not at every activation.
  if (!result.ok() && !font_failure_shown_) {
    font_failure_shown_ = true;
    Application().ShowSetupError(*result.failure);
  }
  return true;
}

void TGlForm::StartFrames() {
  if (closed_) {
    return;
  }
  display_.Start(Handle());
  Timer.SetEnabled(true);
  Show(SW_SHOW);
  SetForegroundWindow(Handle());
}

void TGlForm::TimerTimer(TTimer*) {
  Draw();
}

void TGlForm::Draw() {
  if (context_.Rc() == nullptr || !display_.Seen() || !FrameShowing()) {
    return;
  }
  DrawFrame();
  context_.Present();
}

void TGlForm::FormClose() {
  if (closed_) {
    return;
  }
  closed_ = true;
  Timer.SetEnabled(false);
  display_.Stop();
  context_.Release();
  FormClosing();
  Application().Terminate();
}

bool TGlForm::FormDisplayNotice(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
  const bool was_seen = display_.Seen();
  if (!display_.Notice(msg, wparam, lparam)) {
    return false;
  }
  result = msg == kWmPowerBroadcast ? TRUE : 0;
  if (display_.Seen() != was_seen) {
    SeenChanged();
  }
  return true;
}

void TGlForm::SeenChanged() {
  // Behind a dark screen no tick comes, so no OpenGL work is done at all.
  Timer.SetSuspended(!display_.Seen());
  // Back in view: a frame at once, at the current time; the ticks missed are not made up.
  if (display_.Seen() && Timer.Enabled() && !closed_) {
    TimerTimer(&Timer);
  }
}
