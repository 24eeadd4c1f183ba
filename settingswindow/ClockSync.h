#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "net/DaytimeClient.h"
#include "clocksync/CalendarTime.h"
#include "clocksync/DaytimeServer.h"
#include "clocksync/SyncStatus.h"
#include "settings/Policies.h"
#include "settingswindow/ConnectionError.h"
#include "settingswindow/ElevatedStep.h"
#include "settingswindow/Notice.h"
#include "settingswindow/ClockSyncCalls.h"
#include "ui/Form.h"
#include "ui/MessageWindow.h"
#include "ui/Timer.h"

// The clock synchronisation of the settings window: what "Clock synchronization" runs,
// the Daytime client's event handlers, and the status step the window's timer takes
// after every frame. The window owns it along with its timer and its button.
//
// A process that may not set the clock itself (a standard user, or an administrator
// before consenting) has the clock step beside the program set it elevated, once per
// press; the request lasts until its result is back, and the button stays disabled.
class ClockSync {
 public:
  // Why the button stays disabled whatever happens.
  enum class Refusal { None, ByPolicy, NoClockStep };

  // Under the policies the registry holds now.
  ClockSync(TForm& owner, TTimer& timer, HWND button,
            ClockSyncCalls calls = SystemClockSyncCalls());
  // ClockSync = 0 refuses every press; TimeServers replaces the servers.
  ClockSync(TForm& owner, TTimer& timer, HWND button, ClockSyncCalls calls,
            const Policies& policies);
  ClockSync(const ClockSync&) = delete;
  ClockSync& operator=(const ClockSync&) = delete;
  ~ClockSync();

  static constexpr int kTimeOut_ms = 5000;
  static constexpr int kReportLevel = 2;

  // "Clock synchronization" was pressed.
  void Button2Click();
  // Run by the window's timer after each frame.
  void StatusStep();
  // At the window's creation.
  void ClearCountdowns();
  // The window moved: the notice goes with it.
  void OwnerMoved();

  bool Running() const { return running_; }
  Refusal Refused() const { return refusal_; }
  // Whether the button wears the shield: a press will ask for the user's consent.
  bool ShowsShield() const { return shield_; }
  const SyncCountdownState& Countdowns() const { return countdowns_; }
  TForm3* Notice() const { return notice_.get(); }
  TForm4* ConnectionError() const { return connection_error_.get(); }

  TDaytimeClient DaytimeClient;

 private:
  void BindClientEvents();
  void DaytimeClientConnect(TSockComponent* sender);
  void DaytimeClientDisconnect(TSockComponent* sender);
  void DaytimeClientHostResolved(TSockComponent* sender);
  void DaytimeClientInvalidHost(TSockComponent* sender, bool& handled);
  void DaytimeClientConnectionFailed(TSockComponent* sender);
  void DaytimeClientStatus(TSockComponent* sender, const std::string& status);

  bool MayRequest() const;
  void BeginRequest();
  // The reply, or false when the server could not be reached or sent nothing. read_tick
  // is the tick count when the reply was in.
  bool FetchReply(const DaytimeServer& server, std::string& reply, int64_t& elapsed_ms,
                  ULONGLONG& read_tick);
  void SetClock(const UtcDateTime& utc, ULONGLONG read_tick);
  bool StartElevatedStep(const UtcDateTime& utc, ULONGLONG read_tick);
  bool HandleStepResult(UINT msg, WPARAM wparam);
  // The request is over: the preview moves again and the outcome shows at the next tick.
  void EndRequest(bool clock_set);
  void ShowNoticeText(const std::string& text);
  void CloseNotice();
  void ShowConnectionError();
  void UpdateButton();
  // The button wears the shield when a press will ask for the user's consent.
  void UpdateShield();

  TForm& owner_;
  TTimer& timer_;
  HWND button_;
  ClockSyncCalls calls_;
  std::unique_ptr<TForm3> notice_;
  std::unique_ptr<TForm4> connection_error_;
  Refusal refusal_ = Refusal::None;
  std::optional<DaytimeServerRotation> servers_;
  SyncCountdownState countdowns_;
  bool running_ = false;
  bool shield_ = false;
  MessageWindow step_results_;
  ElevatedClockStep elevated_step_;
};
