#include "net/SockComp.h"

#include "ui/Application.h"
#include "win32/ScopeExit.h"

// The component's life, notifications, waits, time-out, status and closing. Resolving
// and connecting are in SockConnect.cpp, reading and writing in SockTransfer.cpp.

using namespace net;

namespace {

// Components holding a Winsock start-up: the first starts it, the last one stops it.
int g_winsock_users = 0;

// Lookup buffers of components destroyed while the platform could still write into
// them. Kept for the life of the process; this only happens with an abandoned lookup.
std::vector<std::unique_ptr<char[]>> g_orphaned_lookup_buffers;

std::string VersionText(WORD version) {
  return std::to_string(HIBYTE(version)) + "." + std::to_string(LOBYTE(version));
}

std::vector<std::string> WinsockReport(const WSADATA& data) {
  return {
      "Version= " + VersionText(data.wVersion),
      "High Version= " + VersionText(data.wHighVersion),
      std::string("Description= ") + data.szDescription,
      std::string("System= ") + data.szSystemStatus,
      "Max Sockets= " + std::to_string(data.iMaxSockets),
      "Max Udp pack size= " + std::to_string(data.iMaxUdpDg),
  };
}

}  // namespace

// ---- life ----

TSockComponent::TSockComponent()
    : lookup_buffer_(std::make_unique<char[]>(kLookupBufferSize)),
      notifier_([this](WORD event, WORD error) { HandleSocketEvent(event, error); },
                [this](HANDLE task, WORD error) { HandleLookupDone(task, error); }) {
  ReportStatus(kLevelDetail, kStatusCreate);
  timer_.SetEnabled(false);
  timer_.SetOnTimer([this](TTimeoutTimer*) { TimerTriggered(); });
  StartWinsock();
}

TSockComponent::~TSockComponent() {
  // No handler runs from here on: the owner that bound them may be half destroyed.
  destroying_ = true;
  ReportStatus(kLevelDetail, kStatusDestroy);
  Abort();
  timer_.SetEnabled(false);
  if (lookup_task_ != nullptr) {
    WSACancelAsyncRequest(lookup_task_);
    g_orphaned_lookup_buffers.push_back(std::move(lookup_buffer_));
  }
  for (PendingLookup& lookup : abandoned_lookups_) {
    g_orphaned_lookup_buffers.push_back(std::move(lookup.buffer));
  }
  ReportStatus(kLevelSocket, kStatusRequestClose);
  connected_ = false;
  socket_.reset();
  notifier_.Forget();
  StopWinsock();
}

int TSockComponent::WinsockUsers() {
  return g_winsock_users;
}

void TSockComponent::StartWinsock() {
  ReportStatus(kLevelDetail, kStatusInitializing);
  if (g_winsock_users == 0) {
    WSADATA data{};
    if (WSAStartup(MAKEWORD(1, 1), &data) != 0) {
      throw ESockError(kWinsockStartFailed);
    }
    winsock_info_ = WinsockReport(data);
  }
  ++g_winsock_users;
  winsock_started_ = true;
  try {
    AdoptSocket(MakeSocket(IPPROTO_TCP, true));
  } catch (const std::exception&) {
    StopWinsock();
    throw ESockError(kWinsockStartFailed);
  }
}

void TSockComponent::StopWinsock() {
  if (winsock_started_) {
    winsock_started_ = false;
    if (--g_winsock_users == 0) {
      WSACleanup();
    }
  }
}

SOCKET TSockComponent::MakeSocket(int protocol, bool reset_on_close) {
  UniqueSocket s(socket(AF_INET, SOCK_STREAM, protocol));
  if (!s.valid()) {
    CheckSocketError(0);
    throw ESockError(SocketErrorMessage(LastErrorNo()));
  }
  if (reset_on_close) {
    // The first socket ends its connection with a reset rather than a graceful close.
    const linger reset{1, 0};
    if (setsockopt(s.get(), SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&reset),
                   sizeof(reset)) != 0) {
      CheckSocketError(0);
    }
  }
  if (!notifier_.Select(s.get())) {
    CheckSocketError(0);
    throw ESockError(SocketErrorMessage(LastErrorNo()));
  }
  return s.release();
}

void TSockComponent::AdoptSocket(SOCKET s) {
  socket_.reset(s);
  notifier_.Watch(s);
}

// ---- notifications ----

void TSockComponent::HandleSocketEvent(WORD event, WORD error) {
  ok_ = error == 0;
  switch (event) {
    case FD_READ:
      OnDataReady(this);
      break;
    case FD_ACCEPT:
      connected_ = true;
      accept_signalled_ = true;
      accept_ok_ = ok_;
      OnAccept(this);
      break;
    case FD_CONNECT:
      // One with an error ends the attempt: the socket is not connected and never will be.
      if (ok_) {
        connected_ = true;
        connect_completed_ = true;
        OnConnect(this);
      }
      break;
    case FD_CLOSE:
      HandlePeerClose(error);
      break;
    default:
      break;
  }
}

void TSockComponent::HandlePeerClose(WORD error) {
  // Unread data stays readable; the caller disconnects after reading it.
  if (DataAvailable()) {
    return;
  }
  // NOTE: Wine reports a peer's reset as FD_CLOSE with an error and no FD_READ.
  close_error_ = error;
  if (connected_) {
    CloseSocket();
  } else {
    RenewSocket();
  }
}

// ---- waits ----

void TSockComponent::RefuseWhileWaiting() const {
  if (waiting_ > 0) {
    throw ESockError(kBusy);
  }
}

bool TSockComponent::ApplicationTerminated() {
  return Application().Terminated();
}

void TSockComponent::ServeQueue(bool sleep) {
  if (sleep) {
    Sleep(2);
  } else {
    // Yields until a message arrives or a millisecond passes, instead of a busy spin.
    MsgWaitForMultipleObjectsEx(0, nullptr, 1, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  }
  ++waiting_;
  const ScopeExit mark([this] { --waiting_; });
  Application().ProcessMessages();
}

// ---- time-out ----

void TSockComponent::ArmTimeOut() {
  if (TimeOut < 0) {
    throw std::out_of_range("TimeOut out of range");
  }
  timed_out_ = false;
  // Always a fresh start, even when an earlier time-out was left running.
  timer_.SetEnabled(false);
  timer_.SetInterval(static_cast<UINT>(TimeOut));
  timer_.SetEnabled(true);
}

void TSockComponent::DisarmTimeOut() {
  timer_.SetEnabled(false);
}

void TSockComponent::StartTimeOut() {
  ReportStatus(kLevelDetail, kStatusTimerOn);
  ArmTimeOut();
}

void TSockComponent::StopTimeOut() {
  ReportStatus(kLevelDetail, kStatusTimerOff);
  DisarmTimeOut();
}

void TSockComponent::TimerOn() {
  RefuseWhileWaiting();
  StartTimeOut();
}

void TSockComponent::TimerOff() {
  RefuseWhileWaiting();
  StopTimeOut();
}

void TSockComponent::TimerTriggered() {
  ReportStatus(kLevelDetail, kStatusTimerTriggered);
  StopTimeOut();
  timed_out_ = true;
  done_ = true;
  Abort();
}

// ---- status and errors ----

void TSockComponent::ReportStatus(int level, const std::string& text) {
  if (level > ReportLevel) {
    return;
  }
  status_ = text;
  if (destroying_) {
    return;
  }
  // A failing status display must not break the operation it reports on, nor go unseen.
  GuardHandler([&] { OnStatus(this, text); });
}

std::string TSockComponent::CheckSocketError(int ignored_code) {
  const int code = WSAGetLastError();
  last_error_no_ = code;
  if (code != ignored_code && code > 10000) {
    RaiseSocketError(code);
  }
  return {};
}

void TSockComponent::RaiseSocketError(int code) {
  last_error_no_ = code;
  ReportStatus(kLevelDetail, kStatusLookingUpError);
  const std::string message = SocketErrorMessage(code);
  OnSocketError(this, message);
  throw ESockError(message);
}

// ---- cancelling and closing ----

void TSockComponent::Cancel() {
  ReportStatus(kLevelDetail, kStatusCanceling);
  canceled_ = true;
}

void TSockComponent::Abort() {
  ReportStatus(kLevelDetail, kStatusAbort);
  Cancel();
}

void TSockComponent::RequestCloseSocket() {
  RefuseWhileWaiting();
  CloseSocket();
}

void TSockComponent::Disconnect() {
  RefuseWhileWaiting();
  ReportStatus(kLevelDetail, kStatusDisconnecting);
  CloseSocket();
}

void TSockComponent::CloseSocket() {
  ReportStatus(kLevelSocket, kStatusRequestClose);
  connected_ = false;
  if (!socket_.valid()) {
    return;
  }
  const int result = closesocket(socket_.release());
  const int code = result == 0 ? 0 : WSAGetLastError();
  notifier_.Forget();
  // The component is ready for the next connection before anyone hears of the close.
  AdoptSocket(MakeSocket(0, false));
  if (result != 0) {
    WSASetLastError(code);
    CheckSocketError(0);
    return;
  }
  OnDisconnect(this);
}

void TSockComponent::RenewSocket() {
  connected_ = false;
  socket_.reset();
  notifier_.Forget();
  AdoptSocket(MakeSocket(0, false));
}
