#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "saver/Full.h"
#include "settings/win32/RegistryStore.h"
#include "settingswindow/Settings.h"
#include "tests/support/Pump.h"
#include "tests/support/TestWindows.h"
#include "ui/Application.h"
#include "win32/WinHandles.h"

// The two OpenGL windows' answers to what the system and the user send them, as tables
// of messages with the value each must return and whether the window is left standing.

namespace {

constexpr POINT kStart{400, 300};
constexpr LPARAM kAltDown = 0x20000000;  // bit 29 of a key message: Alt is held
constexpr UINT kSpiGetScreenSaverRunning = 114;

// One message sent to the window. A mouse move first puts the cursor at the start
// place plus (dx, dy): the saver measures the cursor, not the message's coordinates.
struct Sent {
  UINT msg;
  WPARAM wparam = 0;
  LPARAM lparam = 0;
  int dx = 0;
  int dy = 0;
};

struct MessageCase {
  const char* what;
  std::vector<Sent> sequence;
  bool active;
  bool leaves;
};

bool ScreenSaverRunning() {
  BOOL running = FALSE;
  SystemParametersInfoA(kSpiGetScreenSaverRunning, 0, &running, 0);
  return running != FALSE;
}

LRESULT Send(HWND window, const Sent& s) {
  if (s.msg == WM_MOUSEMOVE) {
    SetCursorPos(kStart.x + s.dx, kStart.y + s.dy);
  }
  return SendMessageA(window, s.msg, s.wparam, s.lparam);
}

// A top-level window of the test's own that can take activation from the form.
UniqueWindow MakeIntruder() {
  return UniqueWindow(CreateWindowExA(0, "STATIC", "intruder", WS_POPUP | WS_VISIBLE, 0, 0, 80, 60,
                                      nullptr, nullptr, GetModuleHandleA(nullptr), nullptr));
}

bool Activate(HWND window) {
  SetForegroundWindow(window);
  SetActiveWindow(window);
  return PumpUntil([window] { return GetActiveWindow() == window; }, kStateBound_ms);
}

class WindowMessages : public OwnWindowTest<TForm> {
 protected:
  // Sends the case's messages to a fresh form, each expected to return 0, then serves
  // what they posted (Alt+F4 closes through a posted command).
  template <typename Form>
  void Run(const MessageCase& c) {
    SCOPED_TRACE(c.what);
    Application().Reset();
    SetCursorPos(kStart.x, kStart.y);
    form_ = std::make_unique<Form>();
    const HWND window = form_->Handle();
    ASSERT_TRUE(Activate(window));
    const UniqueWindow intruder = c.active ? UniqueWindow() : MakeIntruder();
    if (!c.active) {
      ASSERT_TRUE(Activate(intruder.get()));
    }
    for (const Sent& s : c.sequence) {
      EXPECT_EQ(Send(window, s), 0) << "message " << s.msg;
    }
    if (c.leaves) {
      EXPECT_TRUE(PumpUntil([window] { return !IsWindow(window); }, kStateBound_ms));
      EXPECT_TRUE(Application().Terminated());
    } else {
      // What must not happen: a close that the messages posted, served before looking.
      EXPECT_TRUE(PumpUntilPostedServed());
      EXPECT_TRUE(IsWindow(window));
      EXPECT_FALSE(Application().Terminated());
    }
    CloseOwnWindow(std::move(form_));
  }
};

TEST_F(WindowMessages, FullScreenSaverLeavesOnAKeyAClickOrAMoveOfMoreThanFifteenPixels) {
  const MessageCase cases[] = {
      {"a key", {{WM_KEYDOWN, VK_SPACE}}, true, true},
      {"Escape", {{WM_KEYDOWN, VK_ESCAPE}}, true, true},
      {"Alt+F4", {{WM_SYSKEYDOWN, VK_F4, kAltDown}}, true, true},
      {"left button", {{WM_LBUTTONDOWN}}, true, true},
      {"right button", {{WM_RBUTTONDOWN}}, true, true},
      {"middle button", {{WM_MBUTTONDOWN}}, true, true},
      {"15 pixels on each axis",
       {{WM_MOUSEMOVE, 0, 0, 15, 15}, {WM_MOUSEMOVE, 0, 0, -15, -15}},
       true,
       false},
      {"16 pixels right", {{WM_MOUSEMOVE, 0, 0, 16, 0}}, true, true},
      {"16 pixels up", {{WM_MOUSEMOVE, 0, 0, 0, -16}}, true, true},
      {"small moves add up against the same reference",
       {{WM_MOUSEMOVE, 0, 0, 5, 0}, {WM_MOUSEMOVE, 0, 0, 10, 0}, {WM_MOUSEMOVE, 0, 0, 20, 0}},
       true,
       true},
      {"the system's request to start a saver", {{WM_SYSCOMMAND, SC_SCREENSAVE}}, true, false},
      {"a key while inactive", {{WM_KEYDOWN, VK_SPACE}}, false, false},
      {"a far move while inactive", {{WM_MOUSEMOVE, 0, 0, 200, 0}}, false, false},
  };
  for (const MessageCase& c : cases) {
    Run<TForm1>(c);
  }
}

TEST_F(WindowMessages, FullScreenSaverTellsTheSystemWhileItRuns) {
  SetCursorPos(kStart.x, kStart.y);
  form_ = std::make_unique<TForm1>();
  EXPECT_TRUE(ScreenSaverRunning());
  form_->Close();
  EXPECT_FALSE(ScreenSaverRunning());
}

// An inactive move takes the cursor's new place as the reference: once the saver is
// active again, a move is measured from there, not from where it started.
TEST_F(WindowMessages, FullScreenSaverMeasuresFromWhereAnInactiveMoveLeftTheCursor) {
  SetCursorPos(kStart.x, kStart.y);
  form_ = std::make_unique<TForm1>();
  const HWND window = form_->Handle();
  {
    const UniqueWindow intruder = MakeIntruder();
    ASSERT_TRUE(Activate(intruder.get()));
    Send(window, {WM_MOUSEMOVE, 0, 0, 200, 0});
    ASSERT_TRUE(Activate(window));
  }
  // Activation makes the context again: frames can go on.
  EXPECT_NE(wglGetCurrentContext(), nullptr);
  Send(window, {WM_MOUSEMOVE, 0, 0, 210, 0});
  EXPECT_TRUE(PumpUntilPostedServed());
  EXPECT_TRUE(IsWindow(window));
  Send(window, {WM_MOUSEMOVE, 0, 0, 220, 0});
  EXPECT_TRUE(PumpUntil([window] { return !IsWindow(window); }, kStateBound_ms));
}

TEST_F(WindowMessages, SettingsWindowClosesOnEscapeAndAltF4Only) {
  const MessageCase cases[] = {
      {"Escape", {{WM_KEYDOWN, VK_ESCAPE}}, true, true},
      {"Alt+F4", {{WM_SYSKEYDOWN, VK_F4, kAltDown}}, true, true},
      {"another key", {{WM_KEYDOWN, 'A'}}, true, false},
      {"a click", {{WM_LBUTTONDOWN}}, true, false},
      {"a far move", {{WM_MOUSEMOVE, 0, 0, 200, 0}}, true, false},
  };
  for (const MessageCase& c : cases) {
    Run<TForm2>(c);
  }
}

}  // namespace
