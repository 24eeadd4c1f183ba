#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <gtest/gtest.h>

#include <memory>
#include <utility>

#include "glwindow/DisplayWatch.h"
#include "glwindow/GlForm.h"
#include "scene/win32/RenderContext.h"
#include "settings/win32/RegistryStore.h"
#include "tests/support/WglStandIns.h"
#include "ui/Application.h"
#include "ui/Form.h"

// A shown window with a black background for a test to draw into, or to hang controls
// and components on: a pop-up at the screen's corner unless `style` says otherwise.
class ProbeWindow : public TForm {
 public:
  explicit ProbeWindow(int width = 320, int height = 240, DWORD style = WS_POPUP,
                       POINT origin = {0, 0});
};

// An OpenGL form of its own size that counts its frames, its ticks and its closings. It
// previews messages of its own without passing them on, as a window may: what the base
// handles must reach it all the same.
class ProbeGlForm : public TGlForm {
 public:
  static constexpr int kSide = 64;

  explicit ProbeGlForm(RenderContextCalls gl = {},
                       DisplayNotifications display = SystemDisplayNotifications());

  int frames = 0;
  int ticks = 0;
  int closings = 0;
  // The context current right after a set-up that worked.
  HGLRC context_at_setup = nullptr;
  using TGlForm::Closed;
  using TGlForm::Context;
  using TGlForm::Draw;
  using TGlForm::Timer;

 protected:
  void TimerTimer(TTimer* sender) override;
  void DrawFrame() override;
  void FormClosing() override;
  bool PreviewMessage(UINT, WPARAM, LPARAM, LRESULT&) override { return false; }
};

// Closes a window of the program's own that a test made in this process, as its key
// or the system would, brings back the cursor a saver hides, and lets the form go.
void CloseOwnWindow(std::unique_ptr<TForm> form);

// A test that makes one of the program's own windows in this process: it starts with
// no stored settings and a fresh application, and leaves the same behind, whatever
// the test did to the window.
template <typename Form>
class OwnWindowTest : public testing::Test {
 protected:
  void SetUp() override { ForgetSettings(); }
  void TearDown() override {
    CloseOwnWindow(std::move(form_));
    ForgetSettings();
  }
  static void ForgetSettings() {
    RegDeleteKeyA(HKEY_CURRENT_USER, kSettingsKeyPath);
    Application().Reset();
  }

  // Declared first: the window's calls may count into it until the window is gone.
  PixelFormatSetOnce format_;
  std::unique_ptr<Form> form_;
};
