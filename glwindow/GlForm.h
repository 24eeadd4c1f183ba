#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>
#include <optional>

#include "glwindow/DisplayWatch.h"
#include "scene/FrameInterval.h"
#include "scene/win32/RenderContext.h"
#include "ui/Form.h"
#include "ui/Timer.h"

// A form that draws an OpenGL frame at the frame interval: it owns the rendering context, shows
// why a set-up failed, draws only with a context and while its display can be seen,
// and on close stops its frames, lets the context go and ends the application.
class TGlForm : public TForm {
 public:
  ~TGlForm() override;

  // What the frames have left in the context.
  const SceneGl& SceneObjects() const { return context_.Objects(); }
  SceneGl& SceneObjects() { return context_.Objects(); }

 protected:
  // `gl` is the rendering context's system calls.
  explicit TGlForm(DisplayNotifications display = SystemDisplayNotifications(),
                   RenderContextCalls gl = {});
  explicit TGlForm(const FormDescription& description,
                   DisplayNotifications display = SystemDisplayNotifications(),
                   RenderContextCalls gl = {});

  // Makes `window`'s context current. Without one the error box shows and the form
  // closes; a caption font that failed is said once, and the clock runs without it.
  bool SetupContext(HWND window, const Viewport& viewport, const std::optional<CaptionFont>& font,
                    int32_t light_level);
  // The frames start and the window shows in front, unless the set-up closed it.
  void StartFrames();

  virtual void TimerTimer(TTimer* sender);
  void Draw();
  // One frame into the back buffer; the context is current.
  virtual void DrawFrame() = 0;
  // False while there is nothing to draw into (a minimised window).
  virtual bool FrameShowing() const { return true; }

  void FormClose() override;
  // The display's and the session's notifications.
  bool FormDisplayNotice(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) override;
  // Runs once at the close, after the context is released.
  virtual void FormClosing() {}

  bool Closed() const { return closed_; }
  RenderContext& Context() { return context_; }
  const RenderContext& Context() const { return context_; }

  TTimer Timer{kFrameInterval_ms, false};

 private:
  void BindTimer();
  void SeenChanged();

  RenderContext context_;
  DisplayWatch display_;
  bool closed_ = false;
  bool font_failure_shown_ = false;
};
