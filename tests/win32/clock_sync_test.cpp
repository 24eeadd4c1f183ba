#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "settings/sync/SyncStatus.h"
#include "settings/window/ClockSync.h"
#include "settings/window/SystemClock.h"
#include "tests/support/LoopbackServer.h"
#include "ui/Application.h"
#include "ui/Form.h"
#include "ui/Timer.h"

namespace {

// What the settings window lends the synchronisation: a window, its timer, its button.
class HostForm : public TForm {
 public:
  HostForm() {
    FormDescription d;
    d.caption = "sync host";
    d.style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
    d.x = 100;
    d.y = 100;
    d.width = 400;
    d.height = 430;
    CreateHandle(d);
    button = CreateWindowExA(0, "BUTTON", "Clock synchronization", WS_CHILD | WS_VISIBLE, 117, 376,
                             160, 17, Handle(), nullptr, GetModuleHandleA(nullptr), nullptr);
    Show(SW_SHOW);
  }
  HWND button = nullptr;
  TTimer Timer{40, true};
};

struct Set {
  WORD year, month, day, hour, minute, second;
  bool operator==(const Set&) const = default;
};

// Every test replaces the clock-setting call: none may move the machine's clock.
class ClockSyncRequest : public testing::Test {
 protected:
  void SetUp() override {
    Application().Reset();
    saved_setter_ = ClockSetter();
    ClockSetter() = [this](const SYSTEMTIME& t) {
      sets_.push_back({t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond});
      return setter_result_;
    };
    SyncCountdowns() = {};
  }
  void TearDown() override {
    ClockSetter() = saved_setter_;
    SetEnvironmentVariableA("TESSARYN_DAYTIME_SERVER", nullptr);
    SyncCountdowns() = {};
    Application().Reset();
  }
  static void PointAt(const LoopbackServer& server) {
    const std::string address = "127.0.0.1:" + std::to_string(server.Port());
    SetEnvironmentVariableA("TESSARYN_DAYTIME_SERVER", address.c_str());
  }
  // Sends the reply after a pause, then waits for the client to close.
  static LoopbackServer::Script Reply(std::string reply, DWORD pause_ms = 0) {
    return [reply, pause_ms](LoopbackServer& server, SOCKET s) {
      Sleep(pause_ms);
      LoopbackServer::SendAll(s, reply);
      server.WaitForClientClose(s);
    };
  }

  std::vector<Set> sets_;
  DWORD setter_result_ = 0;

 private:
  SetClockCall saved_setter_;
};

struct ReplyCase {
  const char* what;
  std::string reply;
  DWORD pause_ms;
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
      {"the system refuses the change", "\n61381 26-12-07 11:45:12" + tail, 0,
       ERROR_PRIVILEGE_NOT_HELD, Set{2026, 12, 7, 11, 45, 12}, false},
      {"leap second pending", "\n61381 26-12-07 11:45:12 00 1 0 512.4 UTC(NIST) *", 0, 0,
       std::nullopt, false},
      {"minute not a number", "\n61381 26-12-07 11:4x:12" + tail, 0, 0, std::nullopt, false},
      {"short reply", "\n61381 26-12-07 11:45:12", 0, 0, std::nullopt, false},
  };
  for (const ReplyCase& c : cases) {
    SCOPED_TRACE(c.what);
    sets_.clear();
    setter_result_ = c.setter_result;
    LoopbackServer server(Reply(c.reply, c.pause_ms));
    PointAt(server);
    HostForm host;
    ClockSync sync(host, host.Timer, host.button);
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
    EXPECT_EQ(sync.Notice()->StaticText1.Text(), c.success
                                                     ? "       Clock synchronization - Sucessfull"
                                                     : "          Mistake of correction of time");
  }
}

}  // namespace
