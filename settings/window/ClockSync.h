#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <cstdint>
#include <memory>
#include <string>

#include "net/DaytimeClient.h"
#include "settings/sync/DaytimeServer.h"
#include "settings/window/ConnectionError.h"
#include "settings/window/Notice.h"
#include "ui/Form.h"
#include "ui/Timer.h"

// The clock synchronisation of the settings window: what "Clock synchronization" runs,
// the Daytime client's event handlers, and the status step the window's timer takes
// after every frame. The window owns it along with its timer and its button.
class ClockSync {
 public:
  ClockSync(TForm& owner, TTimer& timer, HWND button);
  ClockSync(const ClockSync&) = delete;
  ClockSync& operator=(const ClockSync&) = delete;
  ~ClockSync();

  // The time services refuse clients that ask more often than this.
  static constexpr ULONGLONG kMinimumInterval_ms = 4000;
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
  // The reply, or false when the server could not be reached or sent nothing.
  bool FetchReply(const DaytimeServer& server, std::string& reply, int64_t& elapsed_ms);
  // True when the clock was set from the reply.
  bool SetClockFromReply(const std::string& reply, int64_t elapsed_ms) const;
  void ShowNoticeText(const std::string& text);
  void CloseNotice();
  void ShowConnectionError();
  void UpdateButton();

  TForm& owner_;
  TTimer& timer_;
  HWND button_;
  std::unique_ptr<TForm3> notice_;
  std::unique_ptr<TForm4> connection_error_;
  bool running_ = false;
  bool requested_ = false;
  ULONGLONG last_request_tick_ = 0;
};
