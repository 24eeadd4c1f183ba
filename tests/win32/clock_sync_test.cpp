#include <gtest/gtest.h>

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
#include <commctrl.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "clocksync/SyncStatus.h"
#include "settingswindow/ClockSync.h"
#include "settingswindow/ClockSyncCalls.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/Pump.h"
#include "ui/Application.h"
#include "tests/support/TestWindows.h"
#include "ui/Timer.h"

namespace {

constexpr char kSuccess[] = "       Clock synchronization - Sucessfull";
constexpr char kFailure[] = "          Mistake of correction of time";

// Keeps what a button is told about the shield, in order, in the vector `states` points to.
LRESULT CALLBACK RecordShieldStates(HWND hwnd, UINT msg, WPARAM wparam, LPARAM lparam, UINT_PTR,
                                    DWORD_PTR states) {
  if (msg == BCM_SETSHIELD) {
    reinterpret_cast<std::vector<LPARAM>*>(states)->push_back(lparam);
  }
  return DefSubclassProc(hwnd, msg, wparam, lparam);
}

// What the settings window lends the synchronisation: a window, its timer, its button.
class HostForm : public ProbeWindow {
 public:
  HostForm() : ProbeWindow(400, 430, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, {100, 100}) {
    button = CreateWindowExA(0, "BUTTON", "Clock synchronization", WS_CHILD | WS_VISIBLE, 117, 376,
                             160, 17, Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowSubclass(button, &RecordShieldStates, 0, reinterpret_cast<DWORD_PTR>(&shield_states));
  }
  ~HostForm() override { RemoveWindowSubclass(button, &RecordShieldStates, 0); }
  HWND button = nullptr;
  TTimer Timer{40, true};
  // What the button was told about the shield, in order.
  std::vector<LPARAM> shield_states;
};

struct Set {
  WORD year, month, day, hour, minute, second;
  WORD milliseconds = 0;
  bool operator==(const Set&) const = default;
};

Set SetOf(const SYSTEMTIME& t) {
  return {t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond, t.wMilliseconds};
}

// One start of the elevated step, as the settings window asked for it.
struct ElevatedStart {
  std::wstring program;
  std::wstring parameters;
};

// The elevated runner's stand-in: records each start (on the worker thread) and can
// hold the caller inside "the prompt" until released.
class FakeElevation {
 public:
  FakeElevation() : gate_(CreateEventW(nullptr, TRUE, TRUE, nullptr)) {}
  DWORD Call(const std::wstring& program, const std::wstring& parameters) {
    {
      const std::lock_guard<std::mutex> hold(lock_);
      runs_.push_back({program, parameters});
    }
    inside_ = true;
    WaitForSingleObject(gate_.get(), INFINITE);
    const DWORD result = result_;
    inside_ = false;
    return result;
  }
  std::vector<ElevatedStart> Runs() {
    const std::lock_guard<std::mutex> hold(lock_);
    return runs_;
  }
  // For the next case of a table.
  void Clear() {
    const std::lock_guard<std::mutex> hold(lock_);
    runs_.clear();
  }
  void HoldInPrompt() { ResetEvent(gate_.get()); }
  void Release() { SetEvent(gate_.get()); }
  bool Inside() const { return inside_; }

  std::atomic<DWORD> result_{0};

 private:
  UniqueKernelHandle gate_;
  std::mutex lock_;
  std::vector<ElevatedStart> runs_;
  std::atomic<bool> inside_{false};
};

constexpr ULONGLONG kReadTick_ms = 7000000;

// Every test hands the synchronisation its own clock-setting call, privilege test,
// elevation and tick count: none may move the machine's clock or ask for elevation.
class ClockSyncRequest : public testing::Test {
 protected:
  void SetUp() override { Application().Reset(); }
  void TearDown() override {
    elevation_->Release();
    SetEnvironmentVariableA("TESSARYN_DAYTIME_SERVER", nullptr);
    Application().Reset();
  }
  static void PointAt(const LoopbackServer& server) {
    const std::string address = "127.0.0.1:" + std::to_string(server.Port());
    SetEnvironmentVariableA("TESSARYN_DAYTIME_SERVER", address.c_str());
  }
  // Sends the reply `delay_ms` after the connection on the replaced tick count, then
  // waits for the client to close: the request lasts that long as the client measures it.
  LoopbackServer::Script Reply(std::string reply, ULONGLONG delay_ms = 0) {
    return [this, reply, delay_ms](LoopbackServer& server, SOCKET s) {
      tick_ms_ += delay_ms;
      LoopbackServer::SendAll(s, reply);
      server.WaitForClientClose(s);
    };
  }

  // Waits for the elevated step's result to end the request.
  static bool WaitForTheEnd(const ClockSync& sync) {
    return PumpUntil([&sync] { return !sync.Running(); }, kStateBound_ms);
  }

  ClockSyncCalls Calls() {
    return {[this](const SYSTEMTIME& t) {
              sets_.push_back(SetOf(t));
              return setter_result_;
            },
            [this] { return privilege_held_; }, [this] { return tick_ms_.load(); },
            // Shared with the worker, which may outlive a test that fails.
            [elevation = elevation_](HWND, const std::wstring& program,
                                     const std::wstring& parameters) {
              return elevation->Call(program, parameters);
            }};
  }

  std::vector<Set> sets_;
  DWORD setter_result_ = 0;
  bool privilege_held_ = true;
  std::atomic<ULONGLONG> tick_ms_{kReadTick_ms};
  const std::shared_ptr<FakeElevation> elevation_ = std::make_shared<FakeElevation>();
};

struct ReplyCase {
  const char* what;
  std::string reply;
  ULONGLONG delay_ms;
  DWORD setter_result;
  std::optional<Set> set;
  bool success;
};

TEST_F(ClockSyncRequest, SetsTheClockInUtcOnlyFromAReplyThatChecksOutAndSaysWhatHappened) {
  const std::string tail = " 00 0 0 512.4 UTC(NIST) * \n";
  const ReplyCase cases[] = {
      {"good reply", "\n61381 26-12-07 11:45:12" + tail, 0, 0, Set{2026, 12, 7, 11, 45, 12}, true},
      {"second 59 and a 2 s delay carry into the next year", "\n61405 26-12-31 23:59:59" + tail,
       2200, 0, Set{2027, 1, 1, 0, 0, 0}, true},
      // 01:00:30 UTC is the first minute of summer time in Central Europe.
      {"a daylight-saving change is set in UTC", "\n61128 26-03-29 01:00:30 01 0 0 0" + tail, 0, 0,
       Set{2026, 3, 29, 1, 0, 30}, true},
      {"the system refuses the change", "\n61381 26-12-07 11:45:12" + tail, 0, ERROR_ACCESS_DENIED,
       Set{2026, 12, 7, 11, 45, 12}, false},
      {"leap second pending", "\n61381 26-12-07 11:45:12 00 1 0 512.4 UTC(NIST) *", 0, 0,
       std::nullopt, false},
      {"minute not a number", "\n61381 26-12-07 11:4x:12" + tail, 0, 0, std::nullopt, false},
      {"short reply", "\n61381 26-12-07 11:45:12", 0, 0, std::nullopt, false},
  };
  for (const ReplyCase& c : cases) {
    SCOPED_TRACE(c.what);
    sets_.clear();
    setter_result_ = c.setter_result;
    LoopbackServer server(Reply(c.reply, c.delay_ms));
    PointAt(server);
    HostForm host;
    ClockSync sync(host, host.Timer, host.button, Calls());
    sync.Button2Click();

    EXPECT_EQ(sets_.size(), c.set ? 1u : 0u);
    if (c.set && !sets_.empty()) {
      EXPECT_EQ(sets_[0], *c.set);
    }
    EXPECT_TRUE(host.Timer.Enabled());
    EXPECT_EQ(sync.ConnectionError(), nullptr);
    ASSERT_NE(sync.Notice(), nullptr);
    EXPECT_EQ(sync.Notice()->StaticText1.Text(), "                    Disconnect");
    sync.StatusStep();
    EXPECT_EQ(sync.Notice()->StaticText1.Text(), c.success ? kSuccess : kFailure);
  }
  EXPECT_TRUE(elevation_->Runs().empty()) << "the privilege was held";
}

const std::string kGoodReply = "\n61381 26-12-07 11:45:12 00 0 0 512.4 UTC(NIST) * \n";
const Set kReplyTime{2026, 12, 7, 11, 45, 12};

TEST_F(ClockSyncRequest, WithoutTheRightToSetTheTimeThePressAsksForTheElevatedStepOnce) {
  const struct {
    const char* what;
    bool privilege_held;
    DWORD direct_result;
    DWORD step_result;
    size_t direct_sets;
    size_t elevated_runs;
    bool success;
  } cases[] = {
      {"held: set directly", true, 0, 0, 1, 0, true},
      {"held but refused for want of it: elevated", true, ERROR_PRIVILEGE_NOT_HELD, 0, 1, 1, true},
      {"held, refused for another reason: no prompt", true, ERROR_INVALID_PARAMETER, 0, 1, 0,
       false},
      {"not held: elevated, and the step set the clock", false, 0, 0, 0, 1, true},
      {"prompt declined", false, 0, ERROR_CANCELLED, 0, 1, false},
      {"the step could not start", false, 0, ERROR_FILE_NOT_FOUND, 0, 1, false},
      {"the system refused the step too", false, 0, ERROR_PRIVILEGE_NOT_HELD, 0, 1, false},
      {"the step refused a stale request", false, 0, ERROR_TIMEOUT, 0, 1, false},
      {"the step refused a malformed request", false, 0, ERROR_BAD_ARGUMENTS, 0, 1, false},
      {"held, refused, and the step refused as well", true, ERROR_PRIVILEGE_NOT_HELD,
       ERROR_PRIVILEGE_NOT_HELD, 1, 1, false},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    sets_.clear();
    elevation_->Clear();
    privilege_held_ = c.privilege_held;
    setter_result_ = c.direct_result;
    elevation_->result_ = c.step_result;
    LoopbackServer server(Reply(kGoodReply));
    PointAt(server);
    HostForm host;
    ClockSync sync(host, host.Timer, host.button, Calls());
    // The shield exactly when a press will ask for consent.
    ASSERT_FALSE(host.shield_states.empty());
    EXPECT_EQ(host.shield_states.back(), c.privilege_held ? FALSE : TRUE);
    sync.Button2Click();
    ASSERT_TRUE(WaitForTheEnd(sync));

    EXPECT_EQ(sets_.size(), c.direct_sets);
    if (!sets_.empty()) {
      EXPECT_EQ(sets_[0], kReplyTime);
    }
    const std::vector<ElevatedStart> runs = elevation_->Runs();
    ASSERT_EQ(runs.size(), c.elevated_runs);
    if (!runs.empty()) {
      // Only the checked time and the tick it was read at, for the step beside the program.
      EXPECT_EQ(runs[0].parameters, L"2026-12-07T11:45:12.000Z 7000000");
      wchar_t own[MAX_PATH] = {};
      GetModuleFileNameW(nullptr, own, MAX_PATH);
      std::wstring folder(own);
      folder.resize(folder.find_last_of(L'\\') + 1);
      EXPECT_EQ(runs[0].program, folder + L"tessaryn-clock.exe");
    }
    EXPECT_TRUE(host.Timer.Enabled());
    sync.StatusStep();
    ASSERT_NE(sync.Notice(), nullptr);
    EXPECT_EQ(sync.Notice()->StaticText1.Text(), c.success ? kSuccess : kFailure);
  }
}

// While the prompt is up the window serves its messages; a second press changes nothing;
// and a window closed meanwhile does not wait for the prompt.
TEST_F(ClockSyncRequest, DuringThePromptASecondPressChangesNothingAndClosingDoesNotWait) {
  privilege_held_ = false;
  elevation_->HoldInPrompt();
  LoopbackServer server(Reply(kGoodReply), 2);
  PointAt(server);
  {
    HostForm host;
    ClockSync sync(host, host.Timer, host.button, Calls());
    sync.Button2Click();
    // Button2Click has returned, and the test's pump serves the window's messages.
    ASSERT_TRUE(PumpUntil([this] { return elevation_->Inside(); }, kStateBound_ms));
    tick_ms_ += 60000;  // long past the 4 s between requests
    sync.Button2Click();
    PumpFor(200);  // a second request that must not start
    EXPECT_EQ(elevation_->Runs().size(), 1u);
    EXPECT_EQ(server.Accepted(), 1);
    EXPECT_FALSE(IsWindowEnabled(host.button));
    EXPECT_FALSE(host.Timer.Enabled());
    ASSERT_NE(sync.Notice(), nullptr);
    EXPECT_EQ(sync.Notice()->StaticText1.Text(), "                    Disconnect");
  }
  // Gone while the worker is still inside the prompt: nobody waited for it.
  EXPECT_TRUE(elevation_->Inside());
  elevation_->Release();
  ASSERT_TRUE(PumpUntil([this] { return !elevation_->Inside(); }, kStateBound_ms));
  PumpFor(100);  // the result, posted to a window that is gone, is dropped
}

// Two servers in the override: a refused connection hands the next press to the second
// at once, which is then not asked again within 4 s.
TEST_F(ClockSyncRequest, AfterAConnectionFailureTheNextPressAsksTheNextServer) {
  LoopbackServer second(Reply(kGoodReply));
  const std::string servers =
      "127.0.0.1:" + std::to_string(RefusedPort()) + ",127.0.0.1:" + std::to_string(second.Port());
  SetEnvironmentVariableA("TESSARYN_DAYTIME_SERVER", servers.c_str());
  HostForm host;
  ClockSync sync(host, host.Timer, host.button, Calls());
  sync.Button2Click();
  ASSERT_NE(sync.ConnectionError(), nullptr);
  sync.Button2Click();
  EXPECT_EQ(second.Accepted(), 1);
  EXPECT_EQ(sets_.size(), 1u);
  for (const auto& [later_ms, enabled] : {std::pair{3999, false}, std::pair{4000, true}}) {
    tick_ms_ = kReadTick_ms + later_ms;
    sync.StatusStep();
    EXPECT_EQ(IsWindowEnabled(host.button) != FALSE, enabled) << later_ms;
  }
}

}  // namespace
