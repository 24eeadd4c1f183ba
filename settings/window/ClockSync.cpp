#include "settings/window/ClockSync.h"

#include "settings/sync/DaytimeReply.h"
#include "settings/sync/SyncStatus.h"
#include "settings/window/SystemClock.h"
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

std::optional<DaytimeServer> ConfiguredServer() {
  char value[64] = {};
  const DWORD length = GetEnvironmentVariableA(kServerVariable, value, sizeof(value));
  if (length == 0) {
    return ChooseDaytimeServer(nullptr);
  }
  // Too long for any address: malformed.
  return length < sizeof(value) ? ChooseDaytimeServer(value) : std::nullopt;
}

}  // namespace

ClockSync::ClockSync(TForm& owner, TTimer& timer, HWND button)
    : owner_(owner), timer_(timer), button_(button) {
  DaytimeClient.TimeOut = kTimeOut_ms;
  BindClientEvents();
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
  const std::optional<DaytimeServer> server = ConfiguredServer();
  std::string reply;
  int64_t elapsed_ms = 0;
  const bool reached = server && FetchReply(*server, reply, elapsed_ms);
  running_ = false;
  if (Application().Terminated()) {
    // The window closed while the request waited: no more windows now.
    CloseNotice();
    return;
  }
  timer_.SetEnabled(true);
  if (!reached) {
    CloseNotice();
    ShowConnectionError();
    return;
  }
  SyncCountdownState& countdowns = SyncCountdowns();
  (SetClockFromReply(reply, elapsed_ms) ? countdowns.SuccessCountdown
                                        : countdowns.FailureCountdown) = 1;
}

bool ClockSync::MayRequest() const {
  return !running_ && !Application().Terminated() &&
         (!requested_ || GetTickCount64() - last_request_tick_ >= kMinimumInterval_ms);
}

void ClockSync::BeginRequest() {
  running_ = true;
  requested_ = true;
  last_request_tick_ = GetTickCount64();
  UpdateButton();
  timer_.SetEnabled(false);
  // A notice still counting down from the last request gives way to the new one.
  SyncCountdowns() = {};
  CloseNotice();
  notice_ = std::make_unique<TForm3>(owner_.Handle());
}

bool ClockSync::FetchReply(const DaytimeServer& server, std::string& reply, int64_t& elapsed_ms) {
  DaytimeClient.ReportLevel = kReportLevel;
  DaytimeClient.TimeOut = kTimeOut_ms;
  DaytimeClient.Host = server.host;
  DaytimeClient.Port = server.port;
  // A steady count, not the local clock, which may change during the request.
  const ULONGLONG start = GetTickCount64();
  try {
    reply = DaytimeClient.ReadDayTime();
  } catch (...) {
    // Whatever went wrong, the user is shown the likely reasons, not the error's text.
    return false;
  }
  elapsed_ms = static_cast<int64_t>(GetTickCount64() - start);
  // The client raises for a server that closes without a word; an empty reply is treated
  // the same, whatever the client does.
  return !reply.empty();
}

bool ClockSync::SetClockFromReply(const std::string& reply, int64_t elapsed_ms) const {
  const std::optional<UtcDateTime> t = ClockTimeFromReply(reply, elapsed_ms);
  if (!t) {
    return false;
  }
  SYSTEMTIME utc{};
  utc.wYear = static_cast<WORD>(t->year);
  utc.wMonth = static_cast<WORD>(t->month);
  utc.wDay = static_cast<WORD>(t->day);
  utc.wHour = static_cast<WORD>(t->hour);
  utc.wMinute = static_cast<WORD>(t->minute);
  utc.wSecond = static_cast<WORD>(t->second);
  return ClockSetter()(utc) == 0;
}

void ClockSync::StatusStep() {
  const SyncStatusStep step = AdvanceSyncStatus(SyncCountdowns());
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
  SyncCountdowns() = {};
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
