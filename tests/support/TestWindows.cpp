#include "tests/support/TestWindows.h"

#include <optional>
#include <utility>

ProbeWindow::ProbeWindow(int width, int height, DWORD style, POINT origin) {
  FormDescription d;
  d.caption = "probe";
  d.style = style;
  d.x = origin.x;
  d.y = origin.y;
  d.width = width;
  d.height = height;
  d.black_background = true;
  CreateHandle(d);
  Show();
}

ProbeGlForm::ProbeGlForm(RenderContextCalls gl, DisplayNotifications display)
    : TGlForm(std::move(display), gl) {
  FormDescription d;
  d.caption = "gl probe";
  d.style = WS_POPUP;
  d.width = kSide;
  d.height = kSide;
  d.black_background = true;
  CreateHandle(d);
  if (SetupContext(Handle(), {0, 0, kSide, kSide}, std::nullopt, 5)) {
    context_at_setup = wglGetCurrentContext();
  }
  StartFrames();
}

void ProbeGlForm::TimerTimer(TTimer* sender) {
  ++ticks;
  TGlForm::TimerTimer(sender);
}

void ProbeGlForm::DrawFrame() {
  ++frames;
  EXPECT_EQ(wglGetCurrentContext(), Context().Rc()) << "a frame runs in the form's own context";
}

void ProbeGlForm::FormClosing() {
  ++closings;
  EXPECT_EQ(Context().Rc(), nullptr) << "the context goes before the closing hook";
}

void CloseOwnWindow(std::unique_ptr<TForm> form) {
  if (form && form->HandleAllocated()) {
    form->Close();
  }
  form.reset();
  ShowCursor(TRUE);
}
