#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <vector>

#include "base/ClockSource.h"
#include "base/RandomGenerator.h"
#include "glwindow/GlForm.h"
#include "saver/Monitors.h"
#include "scene/SceneState.h"
#include "settings/ClockSettings.h"
#include "settings/win32/RegistryStore.h"

// Every system call the full-screen window makes that a test replaces, handed in whole
// when it is made.
struct FullScreenCalls {
  DisplayNotifications display;
  RenderContextCalls gl;
  MonitorListCall list_monitors;
  ClockSource clock;
  // The load writes seeded settings back.
  RegistryCalls registry;
};

// The system's own.
FullScreenCalls SystemFullScreenCalls();

// The full-screen saver window: covers every monitor, stays on top, hides the cursor and
// draws a frame per frame interval until a key or a large enough mouse movement leaves it.
class TForm1 : public TGlForm {
 public:
  explicit TForm1(FullScreenCalls calls = SystemFullScreenCalls());

  static constexpr int kMoveThreshold = 15;

  // One per monitor, in the window's OpenGL coordinates.
  const std::vector<Viewport>& Viewports() const { return monitor_viewports_; }
  // What the frames have left in the window's scene state.
  const SceneState& Scene() const { return scene_; }
  // What the window loaded, with the random mode's picks once the context exists.
  const SettingsState& Settings() const { return settings_; }

 protected:
  void FormActivate() override;
  void FormResize() override;
  void FormClosing() override;
  void FormKeyDown(WORD key) override;
  void FormMouseMove(int x, int y) override;
  bool TakesSuggestedBounds() const override { return false; }
  void FormDisplayChange() override;
  bool PreviewMessage(UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) override;

 private:
  void FormCreate();
  bool SetupRenderContext();
  void DrawFrame() override;
  void LeaveSequence();
  void CoverEveryMonitor();

  MonitorListCall list_monitors_;
  ClockSource clock_;
  RegistryCalls registry_;
  RandomGenerator random_;
  // Where the cursor was when the saver last started watching it.
  POINT CursorReference{0, 0};
  SettingsState settings_;
  SceneState scene_;
  std::vector<Viewport> monitor_viewports_;
};
