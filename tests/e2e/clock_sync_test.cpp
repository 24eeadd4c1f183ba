#include <gtest/gtest.h>

#include <algorithm>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "SaverProcess.h"
#include "tests/support/PolicyKeys.h"
#include "XWindows.h"
#include "tests/support/Input.h"
#include "tests/support/LoopbackServer.h"

namespace {

constexpr char kWaitText[] = "Connection to a server an exact times - please wait";
constexpr char kConnected[] = "                    Connected";
constexpr char kDisconnect[] = "                    Disconnect";
constexpr char kSuccess[] = "       Clock synchronization - Sucessfull";
constexpr char kFailure[] = "          Mistake of correction of time";
constexpr char kErrorCaption[] = "Tessaryn : unable to connect to screen";

// A reply as the time services send it, carrying the current UTC time: the next whole
// second, sent 50 to 400 ms before it. The clock is then set within 0.5 s of now however
// long the saver takes up to 0.5 s, which Wine accepts as no change. The saver adds half
// the request's time in whole seconds: the reply goes out while the connection's age is
// less than 0.6 s short of the next even second, and carries that many seconds less, so
// the correction gives the current time back however long the request waited before.
// A test that served any other time could move the machine's clock.
void SendCurrentTime(SOCKET s, ULONGLONG accepted_tick,
                     const std::function<void(std::string&)>& spoil) {
  FILETIME now{};
  SYSTEMTIME t{};
  ULONGLONG age_ms = 0;
  const ULONGLONG start = GetTickCount64();
  do {
    GetSystemTimeAsFileTime(&now);
    FileTimeToSystemTime(&now, &t);
    age_ms = GetTickCount64() - accepted_tick;
    if (t.wMilliseconds >= 600 && t.wMilliseconds < 950 && age_ms % 2000 < 1400) {
      break;
    }
    Sleep(1);
  } while (GetTickCount64() - start < 4000);
  const ULONGLONG correction_s = age_ms / 2000;
  ULARGE_INTEGER next{};
  next.LowPart = now.dwLowDateTime;
  next.HighPart = now.dwHighDateTime;
  next.QuadPart += 10000000ull * (1 - correction_s);  // seconds, in 100 ns units
  now.dwLowDateTime = next.LowPart;
  now.dwHighDateTime = next.HighPart;
  FileTimeToSystemTime(&now, &t);
  char text[80];
  std::snprintf(text, sizeof(text),
                "\n61381 %02u-%02u-%02u %02u:%02u:%02u 00 0 0  50.0 UTC(NIST) * \n", t.wYear % 100u,
                t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond);
  std::string reply(text);
  if (spoil) {
    spoil(reply);
  }
  LoopbackServer::SendAll(s, reply);
}

// A server script: the current time, spoilt as told, then held until the client closes.
LoopbackServer::Script ServeCurrentTime(std::function<void(std::string&)> spoil = {}) {
  return [spoil](LoopbackServer& s, SOCKET c) {
    SendCurrentTime(c, GetTickCount64(), spoil);
    s.WaitForClientClose(c);
  };
}

// Set by the test once it has seen the notice say "Connected": the server holds its reply
// until then, so the text stays up until it has been seen.
class Signal {
 public:
  Signal() : event_(CreateEventA(nullptr, TRUE, FALSE, nullptr)) {}
  void Set() const { SetEvent(event_.get()); }
  bool Wait(DWORD timeout_ms) const {
    return WaitForSingleObject(event_.get(), timeout_ms) == WAIT_OBJECT_0;
  }

 private:
  UniqueKernelHandle event_;
};

// The servers the saver asks, in order.
void PointAt(const std::vector<int>& ports) {
  std::string list;
  for (const int port : ports) {
    // Appended, not added: g++ 12 warns falsely (-Wrestrict) on "literal" + string.
    list.append(list.empty() ? "" : ",").append("127.0.0.1:").append(std::to_string(port));
  }
  SetEnvironmentVariableA("TESSARYN_DAYTIME_SERVER", list.c_str());
}

// A click where a user would make it: once the X server shows the control's window, it
// is in the foreground and the cursor is over it (a disabled button is not found at the
// point, its window is), so that the press cannot go to another window.
void Click(HWND control) {
  RECT r{};
  GetWindowRect(control, &r);
  const HWND window = GetAncestor(control, GA_ROOT);
  const POINT centre{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
  char title[128] = {};
  GetWindowTextA(window, title, sizeof(title));
  EXPECT_TRUE(PumpUntil([&] { return XWindowViewable(title); }, kStateBound_ms, 50));
  EXPECT_TRUE(BringToFront(window));
  EXPECT_TRUE(PlaceCursor(centre.x, centre.y));
  EXPECT_TRUE(PumpUntil([&] { return GetAncestor(WindowFromPoint(centre), GA_ROOT) == window; },
                        kStateBound_ms));
  ClickLeft();
}

int ChangedPixels(const Picture& before, const Picture& after) {
  int changed = 0;
  for (int y = 0; y < std::min(280, std::min(before.height, after.height)); ++y) {
    for (int x = 0; x < std::min(before.width, after.width); ++x) {
      changed += before.Brightness(x, y) != after.Brightness(x, y);
    }
  }
  return changed;
}

// The settings window, started against a server of the test's own.
class SettingsWindow {
 public:
  explicit SettingsWindow(int port) : SettingsWindow(std::vector<int>{port}) {}
  // `policy` goes into the policy keys first.
  explicit SettingsWindow(const std::vector<int>& ports,
                          const std::vector<PolicyEntry>& policy = {}) {
    // Green hands and no dial: red on screen can only be the failure text.
    StoreSettings(10, 10, 0, 3, 1, 3, 0);
    PointAt(ports);
    WritePolicies(policy);
    saver_ = std::make_unique<SaverProcess>("/c");
    window_ = saver_->WaitForWindow("Tessaryn Settings");
    if (window_ != nullptr) {
      button_ = FindWindowExA(window_, nullptr, "Button", "Clock synchronization");
      RECT r{};
      GetClientRect(FindWindowExA(window_, nullptr, "TessarynGlPanel", nullptr), &r);
      clock_size_ = {r.right, r.bottom};
    }
  }
  ~SettingsWindow() {
    saver_.reset();
    // The next window's clock is found by its size: this one's X window goes first.
    const std::string size = SizeText(clock_size_.cx, clock_size_.cy);
    PumpUntil(
        [&size] {
          for (const auto& [id, window_size] : UnnamedXWindows()) {
            if (window_size == size) {
              return false;
            }
          }
          return true;
        },
        kStateBound_ms, 50);
    SetEnvironmentVariableA("TESSARYN_DAYTIME_SERVER", nullptr);
    DeleteStoredSettings();
    ClearPolicies();
  }

  bool Ready() const { return button_ != nullptr; }
  SaverProcess& Saver() { return *saver_; }
  HWND Window() const { return window_; }
  HWND Button() const { return button_; }

  // Presses the button as a user does; the notice it opens, or nullptr where the request
  // ended (in the connection-error window) before the notice was seen.
  HWND PressSync() {
    Click(button_);
    HWND notice = nullptr;
    PumpUntil(
        [&] {
          notice = saver_->WaitForWindow("Connection", 0);
          return notice != nullptr || saver_->WaitForWindow(kErrorCaption, 0) != nullptr;
        },
        kAppearBound_ms);
    if (notice == nullptr && saver_->WaitForWindow(kErrorCaption, 0) == nullptr) {
      // What the press met, for a look at a press that did nothing.
      POINT cursor{};
      GetCursorPos(&cursor);
      ADD_FAILURE() << "the press opened no window; button enabled: "
                    << (IsWindowEnabled(button_) != FALSE) << ", foreground: \""
                    << WindowText(GetForegroundWindow()) << "\", cursor at " << cursor.x << ","
                    << cursor.y << ", under it: \""
                    << WindowText(GetAncestor(WindowFromPoint(cursor), GA_ROOT)) << "\"";
    }
    return notice;
  }
  // Whether the clock in the upper part changes, read in its own window: waited for.
  bool PreviewMoves() const {
    const Picture before = CaptureClockArea();
    return PumpUntil([&] { return ChangedPixels(before, CaptureClockArea()) > 10; }, kStateBound_ms,
                     100);
  }
  // Waits until the last frame drawn has reached the clock's window: two captures in a
  // row alike. While the clock runs they are too, for most of each second; the check
  // that it stands still follows.
  bool PreviewSettles() const {
    Picture last = CaptureClockArea();
    return PumpUntil(
        [&] {
          Picture now = CaptureClockArea();
          const bool alike = ChangedPixels(last, now) <= 10;
          last = std::move(now);
          return alike;
        },
        kStateBound_ms, 100);
  }
  // Whether the clock stands still for `ms`: a change that must not come.
  bool PreviewStandsStillFor(DWORD ms) const {
    const Picture before = CaptureClockArea();
    PumpFor(ms);  // a frame that must not come
    return ChangedPixels(before, CaptureClockArea()) <= 10;
  }

 private:
  Picture CaptureClockArea() const {
    const HWND clock = FindWindowExA(window_, nullptr, "TessarynGlPanel", nullptr);
    RECT r{};
    GetClientRect(clock, &r);
    return CaptureXWindow(OnlyXWindowOfSize(r.right, r.bottom));
  }

  std::unique_ptr<SaverProcess> saver_;
  HWND window_ = nullptr;
  HWND button_ = nullptr;
  SIZE clock_size_{0, 0};
};

// The notice's texts in the order they showed, until it closed; and how red it got.
struct NoticeWatch {
  std::vector<std::string> texts;
  int red_pixels = 0;
  bool closed = false;
};

int RedPixels(HWND notice) {
  RECT r{};
  GetWindowRect(notice, &r);
  const Screenshot shot;
  int red = 0;
  for (int y = r.top; y < r.bottom; ++y) {
    for (int x = r.left; x < r.right; ++x) {
      red += shot.Red(x, y) > 180 && shot.Green(x, y) < 80 && shot.Blue(x, y) < 80;
    }
  }
  return red;
}

NoticeWatch Watch(HWND notice, DWORD timeout_ms, const Signal* connected_seen = nullptr) {
  NoticeWatch watch;
  const HWND label = FindWindowExA(notice, nullptr, "Static", nullptr);
  const DWORD start = GetTickCount();
  while (GetTickCount() - start < timeout_ms) {
    if (!IsWindow(notice)) {
      watch.closed = true;
      break;
    }
    const std::string text = WindowText(label);
    // A label on its way out reads empty.
    const bool changed = watch.texts.empty() || watch.texts.back() != text;
    if (changed && IsWindow(label)) {
      watch.texts.push_back(text);
      if (text == kConnected && connected_seen != nullptr) {
        connected_seen->Set();
      }
      if (text == kFailure) {
        // The red text is drawn after the label changes; the notice closes soon after.
        PumpUntil(
            [&] {
              watch.red_pixels = IsWindow(notice) ? RedPixels(notice) : watch.red_pixels;
              return watch.red_pixels > 30 || !IsWindow(notice);
            },
            kStateBound_ms);
      }
    }
    Sleep(5);
  }
  return watch;
}

// Presses the button and watches the notice it opens; nothing seen when it opened none.
NoticeWatch PressAndWatch(SettingsWindow& settings) {
  const HWND notice = settings.PressSync();
  return notice != nullptr ? Watch(notice, kStateBound_ms) : NoticeWatch{};
}

// Waits for the 4-second spacing of requests to pass.
bool WaitUntilEnabled(HWND button, DWORD timeout_ms) {
  return PumpUntil([button] { return IsWindowEnabled(button) != FALSE; }, timeout_ms);
}

TEST(ClockSynchronization, CurrentTimeFromTheServerGivesSuccessAndTheNoticeCloses) {
  const Signal connected_seen;
  LoopbackServer server([&connected_seen](LoopbackServer& s, SOCKET c) {
    const ULONGLONG accepted = GetTickCount64();
    connected_seen.Wait(kStateBound_ms);
    SendCurrentTime(c, accepted, {});
    s.WaitForClientClose(c);
  });
  SettingsWindow settings(server.Port());
  ASSERT_TRUE(settings.Ready());
  const HWND notice = settings.PressSync();
  ASSERT_NE(notice, nullptr);
  EXPECT_FALSE(IsWindowEnabled(settings.Button()));
  const NoticeWatch watch = Watch(notice, kStateBound_ms, &connected_seen);
  connected_seen.Set();  // whatever was seen, the server may go on
  const std::vector<std::string> expected = {kConnected, kDisconnect, kSuccess};
  ASSERT_FALSE(watch.texts.empty());
  // The first text may have been replaced before the test looked.
  std::vector<std::string> seen = watch.texts;
  if (seen.front() == kWaitText) {
    seen.erase(seen.begin());
  }
  EXPECT_EQ(seen, expected);
  EXPECT_TRUE(watch.closed);
  EXPECT_TRUE(settings.PreviewMoves());
  EXPECT_TRUE(WaitUntilEnabled(settings.Button(), kStateBound_ms));
}

// The administrator's servers replace every other choice: the press goes to the policy's
// loopback server, not to the one the environment names, where nothing listens.
TEST(ClockSynchronization, ThePolicysServersAnswerThePress) {
  LoopbackServer server(ServeCurrentTime(), 2);
  int nobody = 0;
  {
    // A port just given up: nothing listens there.
    const LoopbackServer gone([](LoopbackServer&, SOCKET) {});
    nobody = gone.Port();
  }
  const std::string ours = "127.0.0.1:" + std::to_string(server.Port());
  const struct {
    const char* what;
    PolicyEntry servers;
  } cases[] = {
      {"the computer's list", {HKEY_LOCAL_MACHINE, "TimeServers", REG_SZ, 0, ours}},
      {"the user's list, its bad entry left out",
       {HKEY_CURRENT_USER, "TimeServers", REG_SZ, 0, "time.example, " + ours}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SettingsWindow settings(std::vector<int>{nobody}, {c.servers});
    ASSERT_TRUE(settings.Ready());
    const NoticeWatch watch = PressAndWatch(settings);
    ASSERT_FALSE(watch.texts.empty());
    EXPECT_EQ(watch.texts.back(), kSuccess);
  }
}

// Wine refuses the hour's change to the settings window and to the elevated step alike:
// the real step, started once through the shell's "runas", reports the refusal.
TEST(ClockSynchronization, AReplyAnHourOffIsRefusedAfterOneElevatedAttempt) {
  LoopbackServer server(ServeCurrentTime([](std::string& reply) {
    const int hour = std::stoi(reply.substr(16, 2));
    const std::string other = std::to_string(100 + (hour == 23 ? 22 : hour + 1)).substr(1);
    reply.replace(16, 2, other);
  }));
  SettingsWindow settings(server.Port());
  ASSERT_TRUE(settings.Ready());
  const NoticeWatch watch = PressAndWatch(settings);
  ASSERT_FALSE(watch.texts.empty());
  EXPECT_EQ(watch.texts.back(), kFailure);
  EXPECT_GT(watch.red_pixels, 30);
  EXPECT_TRUE(watch.closed);
  EXPECT_EQ(settings.Saver().ProcessesStarted(), 2u) << "the settings window and one elevated step";
  EXPECT_TRUE(WaitUntilEnabled(settings.Button(), kStateBound_ms));
  EXPECT_EQ(settings.Saver().ProcessesStarted(), 2u);
}

// Each reply carries the current time but must not be used; had the clock been set from
// it, Wine would have accepted and the success text would show.
TEST(ClockSynchronization, RepliesThatDoNotCheckOutGiveTheRedFailureText) {
  const struct {
    const char* what;
    std::function<void(std::string&)> spoil;
  } cases[] = {
      {"leap indicator 1", [](std::string& r) { r[28] = '1'; }},
      {"short reply", [](std::string& r) { r.resize(20); }},
      {"minute not a number", [](std::string& r) { r[20] = 'x'; }},
  };
  LoopbackServer server(
      [&cases](LoopbackServer& s, SOCKET c) {
        SendCurrentTime(c, GetTickCount64(), cases[s.Accepted() - 1].spoil);
        s.WaitForClientClose(c);
      },
      3);
  SettingsWindow settings(server.Port());
  ASSERT_TRUE(settings.Ready());
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    ASSERT_TRUE(WaitUntilEnabled(settings.Button(), kStateBound_ms));
    const NoticeWatch watch = PressAndWatch(settings);
    ASSERT_FALSE(watch.texts.empty());
    EXPECT_EQ(watch.texts.back(), kFailure);
    EXPECT_GT(watch.red_pixels, 30);
    EXPECT_TRUE(watch.closed);
    EXPECT_FALSE(IsWindowEnabled(settings.Button())) << "another request within 4 s";
    EXPECT_EQ(settings.Saver().WaitForWindow(kErrorCaption, 0), nullptr);
  }
  EXPECT_TRUE(settings.PreviewMoves());
  EXPECT_EQ(server.Accepted(), 3);
}

// A server whose health digit says it is unhealthy has failed: the next press goes to
// the next server at once, and that one's good reply sets the clock.
TEST(ClockSynchronization, AnUnhealthyServerHandsTheNextPressToTheNextServer) {
  LoopbackServer unhealthy(ServeCurrentTime([](std::string& r) { r[30] = '4'; }));
  LoopbackServer healthy(ServeCurrentTime());
  SettingsWindow settings({unhealthy.Port(), healthy.Port()});
  ASSERT_TRUE(settings.Ready());
  const char* const outcomes[] = {kFailure, kSuccess};
  for (const char* outcome : outcomes) {
    SCOPED_TRACE(outcome);
    // The next server was never asked: no 4-second spacing to wait for.
    ASSERT_TRUE(WaitUntilEnabled(settings.Button(), kStateBound_ms));
    const NoticeWatch watch = PressAndWatch(settings);
    ASSERT_FALSE(watch.texts.empty());
    EXPECT_EQ(watch.texts.back(), outcome);
    EXPECT_TRUE(watch.closed);
  }
  EXPECT_EQ(unhealthy.Accepted(), 1);
  EXPECT_EQ(healthy.Accepted(), 1);
}

std::vector<std::string> LabelsOf(HWND window) {
  std::vector<std::string> texts;
  for (HWND child = FindWindowExA(window, nullptr, "Static", nullptr); child != nullptr;
       child = FindWindowExA(window, child, "Static", nullptr)) {
    texts.push_back(WindowText(child));
  }
  return texts;
}

// A refused connection and a server that accepts and stays silent: after the time-out the
// notice closes and the error window lists the reasons; a second press meanwhile does
// nothing; Escape closes the error window.
TEST(ClockSynchronization, UnreachableServerOpensTheErrorWindowAfterTheTimeOut) {
  LoopbackServer silent([](LoopbackServer& s, SOCKET c) { s.WaitForClientClose(c); }, 2);
  LoopbackServer closing([](LoopbackServer&, SOCKET) {});
  const struct {
    const char* what;
    int port;
    DWORD shortest_wait_ms;
  } cases[] = {{"refused connection", RefusedPort(), 0},
               {"server closes without a word", closing.Port(), 0},
               {"silent server", silent.Port(), 4500}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SettingsWindow settings(c.port);
    ASSERT_TRUE(settings.Ready());
    const DWORD start = GetTickCount();
    const HWND notice = settings.PressSync();
    // Only the silent server's request lasts long enough to watch it.
    if (c.shortest_wait_ms > 0) {
      ASSERT_NE(notice, nullptr);
      // The notice is found as soon as it exists: the clock is watched once the X server
      // shows it and the last frame before the request has reached the screen.
      EXPECT_TRUE(PumpUntil([] { return XWindowViewable("Connection"); }, kStateBound_ms, 50))
          << "the notice does not show";
      EXPECT_TRUE(settings.PreviewSettles()) << "the clock keeps changing";
      EXPECT_TRUE(settings.PreviewStandsStillFor(1200))
          << "the clock stands still during the request";
      Click(settings.Button());
    }
    const HWND error = settings.Saver().WaitForWindow(kErrorCaption);
    const DWORD waited = GetTickCount() - start;
    ASSERT_NE(error, nullptr);
    // The time-out is respected; how soon after it the window comes is a figure
    // (tools/measure/measure-ends.sh).
    EXPECT_GE(waited, c.shortest_wait_ms);
    std::printf("figure: error_window_ms %s %lu\n", c.what, waited);
    EXPECT_EQ(settings.Saver().WaitForWindow("Connection", 0), nullptr);
    RECT r{};
    GetWindowRect(error, &r);
    EXPECT_EQ(r.right - r.left, 403);
    EXPECT_EQ(r.bottom - r.top, 153);
    const std::vector<std::string> labels = {"Possible reasons",
                                             "- Your computer is not connected to the Internet",
                                             "- Your Internet connection's quality is too bad",
                                             "- You have entered incorrect proxy settings",
                                             "- Port 13(TCP) isdisabled on your firewall"};
    EXPECT_EQ(LabelsOf(error), labels);

    EXPECT_TRUE(BringToFront(error));
    PressKey(VK_ESCAPE);
    EXPECT_TRUE(PumpUntil([error] { return !IsWindow(error); }, kStateBound_ms));
    EXPECT_TRUE(settings.PreviewMoves());
  }
  EXPECT_EQ(silent.Accepted(), 1) << "the second press made a request";
}

TEST(ClockSynchronization, NoticeFollowsTheWindowAndEscapeDuringTheRequestEndsTheProgram) {
  LoopbackServer silent([](LoopbackServer& s, SOCKET c) { s.WaitForClientClose(c); });
  SettingsWindow settings(silent.Port());
  ASSERT_TRUE(settings.Ready());
  const HWND notice = settings.PressSync();
  ASSERT_NE(notice, nullptr);
  // The notice goes with the window when the window moves.
  SetWindowPos(settings.Window(), nullptr, 60, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
  RECT window{};
  RECT shown{};
  const auto centred = [&] {
    GetWindowRect(settings.Window(), &window);
    GetWindowRect(notice, &shown);
    return window.left == 60 && window.top == 40 &&
           std::abs((shown.left + shown.right) / 2 - (window.left + window.right) / 2) <= 2 &&
           std::abs((shown.top + shown.bottom) / 2 - (window.top + window.bottom) / 2) <= 2;
  };
  EXPECT_TRUE(PumpUntil(centred, kStateBound_ms));
  EXPECT_NEAR((shown.left + shown.right) / 2, (window.left + window.right) / 2, 2);
  EXPECT_NEAR((shown.top + shown.bottom) / 2, (window.top + window.bottom) / 2, 2);
  EXPECT_TRUE(BringToFront(settings.Window()));
  PressKey(VK_ESCAPE);
  // Until the end, the error window of the request's time-out must not come.
  const DWORD start = GetTickCount();
  bool error_window = false;
  while (!settings.Saver().WaitForExit(20) && GetTickCount() - start < kStateBound_ms) {
    error_window = error_window || settings.Saver().WaitForWindow(kErrorCaption, 0) != nullptr;
  }
  EXPECT_FALSE(error_window);
  ASSERT_TRUE(settings.Saver().WaitForExit(0)) << "still running after Escape";
  EXPECT_EQ(settings.Saver().ExitCode(), 0u);
}

}  // namespace
