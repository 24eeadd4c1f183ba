#include "settingswindow/ClockSync.h"

#include <commctrl.h>

#include <utility>

#include "clocksync/ClockRequest.h"
#include "clocksync/DaytimeReply.h"
#include "clocksync/SyncStatus.h"
#include "settings/win32/PolicyStore.h"
#include "settingswindow/ClockSyncCalls.h"
#include "ui/Application.h"

namespace {

constexpr char kConnected[] = "                    Connected";
constexpr char kDisconnect[] = "                    Disconnect";
constexpr char kHostResolved[] = "                  Host resolved";
constexpr char kInvalidHost[] = "                  Invalid host";
constexpr char kConnectionFailed[] = "                Connection Failed";
constexpr char kSuccess[] = "       Clock synchronization - Sucessfull";
constexpr char kFailure[] = "          Mistake of correction of time";
constexpr COLORREF kFailureColor = RGB(255, 0, 0);

constexpr char kServerVariable[] = "TESSARYN_DAYTIME_SERVER";
// The elevated step's result, posted by its worker thread.
constexpr UINT kStepResultMessage = WM_APP + 1;

std::optional<DaytimeServerRotation> ConfiguredServers(const Policies& policies) {
  // The administrator's list replaces the built-in servers and any other choice.
  if (policies.time_servers) {
    std::vector<DaytimeServer> servers = UsableDaytimeServers(*policies.time_servers);
    if (!servers.empty()) {
      return DaytimeServerRotation(std::move(servers));
    }
  }
  char value[128] = {};
  const DWORD length = GetEnvironmentVariableA(kServerVariable, value, sizeof(value));
  // Too long for any address: malformed.
  const std::optional<std::vector<DaytimeServer>> servers =
      length == 0              ? ChooseDaytimeServers(nullptr)
      : length < sizeof(value) ? ChooseDaytimeServers(value)
                               : std::nullopt;
  if (!servers) {
    return std::nullopt;
  }
  return DaytimeServerRotation(*servers);
}

SYSTEMTIME ToSystemTime(const UtcDateTime& t) {
  SYSTEMTIME utc{};
  utc.wYear = static_cast<WORD>(t.year);
  utc.wMonth = static_cast<WORD>(t.month);
  utc.wDay = static_cast<WORD>(t.day);
  utc.wHour = static_cast<WORD>(t.hour);
  utc.wMinute = static_cast<WORD>(t.minute);
  utc.wSecond = static_cast<WORD>(t.second);
  return utc;
}

ClockSync::Refusal RefusalOf(const Policies& policies, const ClockSyncCalls& calls) {
  if (policies.clock_sync_allowed == false) {
    return ClockSync::Refusal::ByPolicy;
  }
  if (!calls.ClockStepInstalled()) {
    return ClockSync::Refusal::NoClockStep;
  }
  return ClockSync::Refusal::None;
}

std::wstring Widened(const std::string& ascii) {
  return std::wstring(ascii.begin(), ascii.end());
}

}  // namespace

ClockSync::ClockSync(TForm& owner, TTimer& timer, HWND button, ClockSyncCalls calls)
    : ClockSync(owner, timer, button, std::move(calls), ReadPolicies()) {}

ClockSync::ClockSync(TForm& owner, TTimer& timer, HWND button, ClockSyncCalls calls,
                     const Policies& policies)
    : owner_(owner),
      timer_(timer),
      button_(button),
      calls_(std::move(calls)),
      refusal_(RefusalOf(policies, calls_)),
      servers_(ConfiguredServers(policies)),
      step_results_([this](UINT msg, WPARAM wparam, LPARAM, LRESULT&) {
        return HandleStepResult(msg, wparam);
      }),
      elevated_step_(step_results_.Handle(), kStepResultMessage, calls_.RunElevated) {
  DaytimeClient.TimeOut = kTimeOut_ms;
  BindClientEvents();
  UpdateShield();
  UpdateButton();
}

ClockSync::~ClockSync() = default;

void ClockSync::BindClientEvents() {
  DaytimeClient.OnConnect.Bind([this](TSockComponent* s) { DaytimeClientConnect(s); });
  DaytimeClient.OnDisconnect.Bind([this](TSockComponent* s) { DaytimeClientDisconnect(s); });
  DaytimeClient.OnHostResolved.Bind([this](TSockComponent* s) { DaytimeClientHostResolved(s); });
  DaytimeClient.OnInvalidHost.Bind(
      [this](TSockComponent* s, bool& handled) { DaytimeClientInvalidHost(s, handled); });
  DaytimeClient.OnConnectionFailed.Bind(
      [this](TSockComponent* s) { DaytimeClientConnectionFailed(s); });
  DaytimeClient.OnStatus.Bind(
      [this](TSockComponent* s, const std::string& status) { DaytimeClientStatus(s, status); });
}

void ClockSync::DaytimeClientConnect(TSockComponent*) {
  ShowNoticeText(kConnected);
}

void ClockSync::DaytimeClientDisconnect(TSockComponent*) {
  ShowNoticeText(kDisconnect);
}

void ClockSync::DaytimeClientHostResolved(TSockComponent*) {
  ShowNoticeText(kHostResolved);
}

void ClockSync::DaytimeClientInvalidHost(TSockComponent*, bool&) {
  // Not handled: the request fails.
  ShowNoticeText(kInvalidHost);
}

void ClockSync::DaytimeClientConnectionFailed(TSockComponent*) {
  ShowNoticeText(kConnectionFailed);
}

void ClockSync::DaytimeClientStatus(TSockComponent*, const std::string& status) {
  ShowNoticeText(status);
}

void ClockSync::Button2Click() {
  if (!MayRequest()) {
    return;
  }
  BeginRequest();
  std::string reply;
  int64_t elapsed_ms = 0;
  ULONGLONG read_tick = 0;
  const bool reached = servers_ && FetchReply(servers_->Current(), reply, elapsed_ms, read_tick);
  if (Application().Terminated()) {
    // The window closed while the request waited: no more windows now.
    running_ = false;
    CloseNotice();
    return;
  }
  if (!reached) {
    if (servers_) {
      servers_->Failed();
    }
    running_ = false;
    timer_.SetEnabled(true);
    CloseNotice();
    ShowConnectionError();
    return;
  }
  const std::optional<UtcDateTime> utc = ClockTimeFromReply(reply, elapsed_ms);
  if (!utc) {
    if (servers_ && DaytimeServerUnhealthy(reply)) {
      servers_->Failed();
    }
    EndRequest(false);
    return;
  }
  SetClock(*utc, read_tick);
}

bool ClockSync::MayRequest() const {
  return refusal_ == Refusal::None && !running_ && !Application().Terminated() &&
         (!servers_ || servers_->MayAsk(calls_.Tick()));
}

void ClockSync::BeginRequest() {
  running_ = true;
  if (servers_) {
    servers_->Asked(calls_.Tick());
  }
  UpdateButton();
  timer_.SetEnabled(false);
  // A notice still counting down from the last request gives way to the new one.
  countdowns_ = {};
  CloseNotice();
  notice_ = std::make_unique<TForm3>(owner_.Handle());
}

bool ClockSync::FetchReply(const DaytimeServer& server, std::string& reply, int64_t& elapsed_ms,
                           ULONGLONG& read_tick) {
  DaytimeClient.ReportLevel = kReportLevel;
  DaytimeClient.TimeOut = kTimeOut_ms;
  DaytimeClient.Host = server.host;
  DaytimeClient.Port = server.port;
  // A steady count, not the local clock, which may change during the request.
  const ULONGLONG start = calls_.Tick();
  try {
    reply = DaytimeClient.ReadDayTime();
  } catch (...) {
    // Whatever went wrong, the user is shown the likely reasons, not the error's text.
    return false;
  }
  read_tick = calls_.Tick();
  elapsed_ms = static_cast<int64_t>(read_tick - start);
  // The client raises for a server that closes without a word; an empty reply is treated
  // the same, whatever the client does.
  return !reply.empty();
}

void ClockSync::SetClock(const UtcDateTime& utc, ULONGLONG read_tick) {
  if (calls_.PrivilegeTest()) {
    const DWORD result = calls_.SetClock(ToSystemTime(utc));
    // NOTE: a token may list the right and still be refused the change; only then is
    // the elevated step worth a prompt.
    if (result != ERROR_PRIVILEGE_NOT_HELD) {
      EndRequest(result == 0);
      return;
    }
  }
  if (!StartElevatedStep(utc, read_tick)) {
    EndRequest(false);
  }
}

bool ClockSync::StartElevatedStep(const UtcDateTime& utc, ULONGLONG read_tick) {
  const std::wstring program = ClockStepPath();
  if (program.empty()) {
    return false;
  }
  const ClockRequest request{utc, 0, read_tick};
  const std::wstring parameters = Widened(ClockRequestTimeArgument(request)) + L" " +
                                  Widened(ClockRequestTickArgument(request));
  return elevated_step_.Start(owner_.Handle(), program, parameters);
}

bool ClockSync::HandleStepResult(UINT msg, WPARAM wparam) {
  if (msg != kStepResultMessage) {
    return false;
  }
  if (running_) {
    EndRequest(static_cast<DWORD>(wparam) == 0);
  }
  return true;
}

void ClockSync::EndRequest(bool clock_set) {
  running_ = false;
  timer_.SetEnabled(true);
  (clock_set ? countdowns_.SuccessCountdown : countdowns_.FailureCountdown) = 1;
}

void ClockSync::StatusStep() {
  const SyncStatusStep step = AdvanceSyncStatus(countdowns_);
  if (step.show_success) {
    ShowNoticeText(kSuccess);
  }
  if (step.show_failure) {
    if (notice_) {
      notice_->SetTextColor(kFailureColor);
    }
    ShowNoticeText(kFailure);
  }
  if (step.close_notice) {
    CloseNotice();
  }
  UpdateButton();
}

void ClockSync::ClearCountdowns() {
  countdowns_ = {};
}

void ClockSync::OwnerMoved() {
  if (notice_) {
    notice_->CentreOver(owner_.Handle());
  }
}

void ClockSync::ShowNoticeText(const std::string& text) {
  if (notice_) {
    notice_->StaticText1.SetText(text);
  }
}

void ClockSync::CloseNotice() {
  notice_.reset();
}

void ClockSync::ShowConnectionError() {
  connection_error_.reset();
  connection_error_ = std::make_unique<TForm4>(owner_.Handle());
}

void ClockSync::UpdateButton() {
  if (button_ == nullptr || !IsWindow(button_)) {
    return;
  }
  const bool enable = MayRequest();
  if (!enable && GetFocus() == button_) {
    // A disabled control loses the focus to nobody; the window keeps the keys instead.
    SetFocus(owner_.Handle());
  }
  if ((IsWindowEnabled(button_) != FALSE) != enable) {
    EnableWindow(button_, enable ? TRUE : FALSE);
  }
}

void ClockSync::UpdateShield() {
  shield_ = !calls_.PrivilegeTest();
  if (button_ != nullptr && IsWindow(button_)) {
    SendMessageW(button_, BCM_SETSHIELD, 0, shield_ ? TRUE : FALSE);
  }
}
