#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "tests/support/Pump.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/MessageWindow.h"
#include "ui/Timer.h"
#include "win32/SystemError.h"

namespace {

class RecordingForm : public TForm {
 public:
  explicit RecordingForm(bool record_creation = false) : record_creation_(record_creation) {
    FormDescription d;
    d.caption = "recording";
    d.style = WS_OVERLAPPEDWINDOW;
    d.x = 10;
    d.y = 10;
    d.width = 200;
    d.height = 150;
    CreateHandle(d);
  }
  std::vector<std::string> events;
  bool throw_on_key = false;

 protected:
  bool PreviewMessage(UINT msg, WPARAM, LPARAM, LRESULT&) override {
    if (record_creation_ && (msg == WM_NCCREATE || msg == WM_NCCALCSIZE || msg == WM_CREATE)) {
      events.push_back("message " + std::to_string(msg));
    }
    return false;
  }
  void FormActivate() override { events.push_back("activate"); }
  void FormResize() override { events.push_back("resize"); }
  void FormClose() override { events.push_back("close"); }
  void FormKeyDown(WORD key) override {
    events.push_back("key " + std::to_string(key));
    if (throw_on_key) {
      throw std::runtime_error("handler failed");
    }
  }
  void FormMouseMove(int x, int y) override {
    events.push_back("move " + std::to_string(x) + "," + std::to_string(y));
  }

 private:
  bool record_creation_ = false;
};

class FormsLayer : public testing::Test {
 protected:
  void SetUp() override {
    Application().Reset();
    Application().SetExceptionHandler(
        [this](const std::exception& e) { errors.push_back(e.what()); });
  }
  void TearDown() override {
    Application().Reset();
    Application().SetExceptionHandler(
        [](const std::exception& e) { ADD_FAILURE() << "unexpected error box: " << e.what(); });
  }
  std::vector<std::string> errors;
};

TEST_F(FormsLayer, MessagesReachTheNamedHandlers) {
  RecordingForm form;
  SendMessageA(form.Handle(), WM_KEYDOWN, 'Q', 0);
  SendMessageA(form.Handle(), WM_MOUSEMOVE, 0, MAKELPARAM(12, 34));
  SendMessageA(form.Handle(), WM_SIZE, SIZE_RESTORED, MAKELPARAM(100, 80));
  const std::vector<std::string> expected = {"key 81", "move 12,34", "resize"};
  EXPECT_EQ(form.events, expected);
}

TEST_F(FormsLayer, MessagesOfTheWindowsCreationReachTheForm) {
  RecordingForm form(true);
  const std::vector<std::string> expected = {"message " + std::to_string(WM_NCCREATE),
                                             "message " + std::to_string(WM_NCCALCSIZE),
                                             "message " + std::to_string(WM_CREATE)};
  ASSERT_GE(form.events.size(), 3u);
  EXPECT_EQ(std::vector<std::string>(form.events.begin(), form.events.begin() + 3), expected);
}

TEST_F(FormsLayer, AMessageWindowsHandlerSeesItsCreation) {
  std::vector<UINT> seen;
  MessageWindow window([&seen](UINT msg, WPARAM, LPARAM, LRESULT&) {
    seen.push_back(msg);
    return false;
  });
  EXPECT_NE(std::find(seen.begin(), seen.end(), static_cast<UINT>(WM_CREATE)), seen.end());
  const UINT kProbe = WM_APP + 7;
  SendMessageA(window.Handle(), kProbe, 0, 0);
  EXPECT_EQ(seen.back(), kProbe);
}

TEST_F(FormsLayer, ShowingActivatesAndCloseDestroysTheWindow) {
  RecordingForm form;
  form.Show();
  SetForegroundWindow(form.Handle());
  ASSERT_TRUE(PumpUntil(
      [&form] {
        return std::find(form.events.begin(), form.events.end(), "activate") != form.events.end();
      },
      kStateBound_ms));
  form.Close();
  EXPECT_EQ(form.events.back(), "close");
  EXPECT_FALSE(form.HandleAllocated());
}

TEST_F(FormsLayer, AnExceptionInAHandlerGoesToTheApplicationsHandler) {
  RecordingForm form;
  form.throw_on_key = true;
  SendMessageA(form.Handle(), WM_KEYDOWN, 'A', 0);
  ASSERT_EQ(errors.size(), 1u);
  EXPECT_EQ(errors[0], "handler failed");
  // The window survives and keeps dispatching.
  form.throw_on_key = false;
  SendMessageA(form.Handle(), WM_KEYDOWN, 'B', 0);
  EXPECT_EQ(form.events.back(), "key 66");
}

class OrphanForm : public TForm {
 public:
  explicit OrphanForm(HWND parent) {
    FormDescription d;
    d.caption = "orphan";
    d.style = WS_CHILD;
    d.parent = parent;
    CreateHandle(d);
  }
};

TEST_F(FormsLayer, AWindowThatCannotBeMadeSaysWhy) {
  // A parent that was destroyed: the system refuses the child with its own reason.
  const HWND gone = CreateWindowExA(0, "STATIC", "gone", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                                    nullptr, nullptr);
  DestroyWindow(gone);
  try {
    OrphanForm form(gone);
    ADD_FAILURE() << "the window was made";
  } catch (const std::runtime_error& e) {
    EXPECT_EQ(std::string(e.what()),
              "CreateWindowEx failed: " + SystemErrorText(ERROR_INVALID_WINDOW_HANDLE));
  }
}

TEST_F(FormsLayer, ProcessMessagesPutsAQuitBackForTheOuterLoop) {
  PostQuitMessage(3);
  Application().ProcessMessages();
  EXPECT_TRUE(Application().Terminated());
  MSG msg;
  ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}

// A timer whose handler outlasts its interval always has its next tick due. The old
// drain served such ticks for as long as they came; this one stops after them, and the
// timer ends itself after 100 ticks should the drain not stop.
int g_slow_ticks = 0;
void CALLBACK SlowTick(HWND, UINT, UINT_PTR id, DWORD) {
  if (++g_slow_ticks >= 100) {
    KillTimer(nullptr, id);
  }
  Sleep(25);  // a frame slower than the interval, not a wait
}

TEST_F(FormsLayer, ProcessMessagesReturnsWhileATimerOutlastsItsInterval) {
  g_slow_ticks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 10, &SlowTick);
  ASSERT_NE(timer, 0u);
  // The first tick due, waited for without serving anything: the drain gets it.
  const DWORD start = GetTickCount();
  MSG due{};
  bool tick_due = false;
  while (!(tick_due = PeekMessageA(&due, nullptr, WM_TIMER, WM_TIMER, PM_NOREMOVE) != FALSE) &&
         GetTickCount() - start < kStateBound_ms) {
    MsgWaitForMultipleObjectsEx(0, nullptr, 10, QS_TIMER, 0);
  }
  ASSERT_TRUE(tick_due);
  Application().ProcessMessages();
  KillTimer(nullptr, timer);
  EXPECT_GE(g_slow_ticks, 1);
  EXPECT_LE(g_slow_ticks, 3);
}

// Without a main form the loop does not wait for messages. Should it wait, a quit posted
// once the bound has passed ends it, and the test says so.
TEST_F(FormsLayer, RunWithoutAMainFormReturnsAtOnce) {
  const DWORD test_thread = GetCurrentThreadId();
  std::atomic<bool> returned{false};
  std::atomic<bool> rescued{false};
  std::thread watchdog([&] {
    const DWORD start = GetTickCount();
    while (!returned && GetTickCount() - start < kStateBound_ms) {
      Sleep(10);
    }
    if (!returned) {
      rescued = true;
      PostThreadMessageA(test_thread, WM_QUIT, 0, 0);
    }
  });
  Application().Run();
  returned = true;
  watchdog.join();
  EXPECT_FALSE(rescued) << "Run waited for messages";
}

TEST_F(FormsLayer, TerminateEndsTheMessageLoop) {
  Application().SetMainForm(std::make_unique<RecordingForm>());
  TTimer stopper(50);
  stopper.OnTimer.Bind([](TTimer*) { Application().Terminate(); });
  Application().Run();
  EXPECT_TRUE(Application().Terminated());
  EXPECT_EQ(Application().MainForm(), nullptr);
}

TEST_F(FormsLayer, TimerTicksWhileEnabledAndStopsWhenDisabled) {
  int ticks = 0;
  TTimer timer(20);
  timer.OnTimer.Bind([&](TTimer* sender) {
    EXPECT_EQ(sender, &timer);
    ++ticks;
  });
  EXPECT_TRUE(PumpUntil([&ticks] { return ticks >= 3; }, kStateBound_ms));
  timer.SetEnabled(false);
  const int stopped_at = ticks;
  PumpFor(150);  // ticks that must not come
  EXPECT_EQ(ticks, stopped_at);
}

TEST_F(FormsLayer, TickQueuedBeforeTheTimerStoppedDoesNotFire) {
  int ticks = 0;
  TTimer timer(10);
  timer.OnTimer.Bind([&](TTimer*) { ++ticks; });
  Sleep(60);  // a WM_TIMER is now pending
  timer.SetEnabled(false);
  PumpFor(100);  // a tick that must not come
  EXPECT_EQ(ticks, 0);
}

// The next WM_TIMER the platform queues for `window`, taken off the queue undispatched.
bool NextPlatformTick(HWND window, MSG& tick) {
  return PumpUntil([&] { return PeekMessageA(&tick, window, WM_TIMER, WM_TIMER, PM_REMOVE); },
                   kStateBound_ms);
}

// An interval of 0 sets no platform timer (the platform would take it as its shortest),
// and a timer without a handler ticks into nothing until one is bound.
TEST_F(FormsLayer, TimerWithoutHandlerOrIntervalIsHarmless) {
  int ticks = 0;
  TTimer timer(0);
  timer.OnTimer.Bind([&ticks](TTimer*) { ++ticks; });
  EXPECT_TRUE(timer.Enabled());
  EXPECT_FALSE(timer.Running());
  Sleep(100);  // platform ticks that must not be queued, nobody serving the queue
  MSG tick{};
  EXPECT_FALSE(PeekMessageA(&tick, timer.Handle(), WM_TIMER, WM_TIMER, PM_NOREMOVE));

  timer.OnTimer.Clear();
  timer.SetInterval(10);
  EXPECT_TRUE(timer.Running());
  ASSERT_TRUE(NextPlatformTick(timer.Handle(), tick)) << "no tick at 10 ms";
  DispatchMessageA(&tick);
  EXPECT_EQ(ticks, 0);

  // The same timer, now with a handler: those were its real ticks.
  timer.OnTimer.Bind([&ticks](TTimer*) { ++ticks; });
  EXPECT_TRUE(PumpUntil([&ticks] { return ticks >= 1; }, kStateBound_ms));
}

}  // namespace
