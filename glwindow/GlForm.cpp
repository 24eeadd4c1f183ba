#include "glwindow/GlForm.h"

#include "ui/Application.h"

TGlForm::TGlForm() {
  BindTimer();
}

TGlForm::TGlForm(const FormDescription& description) : TForm(description) {
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
    Application().ShowSetupError(result.failure);
    Close();
    return false;
  }
  // Said once, not at every activation.
  if (!result.ok() && !font_failure_shown_) {
    font_failure_shown_ = true;
    Application().ShowSetupError(result.failure);
  }
  return true;
}

void TGlForm::StartFrames() {
  if (closed_) {
    return;
  }
  Timer.SetEnabled(true);
  Show(SW_SHOW);
  SetForegroundWindow(Handle());
}

void TGlForm::TimerTimer(TTimer*) {
  Draw();
}

void TGlForm::Draw() {
  if (context_.Rc() == nullptr || !FrameShowing()) {
    return;
  }
  DrawFrame();
  SwapBuffers(context_.Dc());
}

void TGlForm::FormClose() {
  if (closed_) {
    return;
  }
  closed_ = true;
  Timer.SetEnabled(false);
  context_.Release();
  FormClosing();
  Application().Terminate();
}
