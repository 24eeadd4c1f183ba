#include "net/SockComp.h"

#include <algorithm>
#include <climits>
#include <cstring>

#include "ui/Application.h"

using namespace net;

namespace {

constexpr long kNotificationEvents = FD_READ | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE;
constexpr int kLookupBufferSize = 1024;

// Components holding a Winsock start-up: the first starts it, the last one stops it.
int g_winsock_users = 0;

// Lookup buffers of components destroyed while the platform could still write into
// them. Kept for the life of the process; this only happens with an abandoned lookup.
std::vector<std::unique_ptr<char[]>> g_orphaned_lookup_buffers;

std::string VersionText(WORD version) {
  return std::to_string(HIBYTE(version)) + "." + std::to_string(LOBYTE(version));
}

}  // namespace

// ---- TTimeoutTimer ----

TTimeoutTimer::TTimeoutTimer() {
  // An exception escaping the handler reaches the application's error box.
  timer_.OnTimer.Bind([this](TTimer*) { on_timer_(this); });
}

void TTimeoutTimer::SetEnabled(bool enabled) {
  if (enabled != enabled_) {
    enabled_ = enabled;
    Rearm();
  }
}

void TTimeoutTimer::SetInterval(UINT interval_ms) {
  if (interval_ms != interval_ms_) {
    interval_ms_ = interval_ms;
    Rearm();
  }
}

void TTimeoutTimer::SetOnTimer(Handler handler) {
  on_timer_.Bind(std::move(handler));
  Rearm();
}

void TTimeoutTimer::Rearm() {
  timer_.SetEnabled(false);
  if (interval_ms_ != 0 && enabled_ && on_timer_) {
    timer_.SetInterval(interval_ms_);
    timer_.SetEnabled(true);
    if (!timer_.Running()) {
      throw std::runtime_error(kNoTimer);
    }
  }
}

// ---- TSockComponent: life ----

TSockComponent::TSockComponent()
    : lookup_buffer_(std::make_unique<char[]>(kLookupBufferSize)),
      window_([this](UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
        result = 0;
        return HandleMessage(msg, wparam, lparam);
      }) {
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
    winsock_info_ = {
        "Version= " + VersionText(data.wVersion),
        "High Version= " + VersionText(data.wHighVersion),
        std::string("Description= ") + data.szDescription,
        std::string("System= ") + data.szSystemStatus,
        "Max Sockets= " + std::to_string(data.iMaxSockets),
        "Max Udp pack size= " + std::to_string(data.iMaxUdpDg),
    };
  }
  ++g_winsock_users;
  winsock_started_ = true;
  try {
    socket_.reset(MakeSocket(IPPROTO_TCP, true));
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
  // Also makes the socket non-blocking.
  if (WSAAsyncSelect(s.get(), window_.Handle(), kSocketMessage, kNotificationEvents) != 0) {
    CheckSocketError(0);
    throw ESockError(SocketErrorMessage(LastErrorNo()));
  }
  return s.release();
}

// ---- notifications ----

bool TSockComponent::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg != kSocketMessage && msg != kLookupMessage) {
    return false;
  }
  try {
    if (msg == kSocketMessage) {
      // A notification queued for a socket closed since is not this socket's news.
      if (socket_.valid() && static_cast<SOCKET>(wparam) == socket_.get()) {
        HandleSocketEvent(WSAGETSELECTEVENT(lparam), WSAGETSELECTERROR(lparam));
      }
    } else {
      HandleLookupDone(reinterpret_cast<HANDLE>(wparam), WSAGETASYNCERROR(lparam));
    }
  } catch (...) {
    // A notification has no caller to report to; the waiting operation sees the flags.
  }
  return true;
}

void TSockComponent::HandleSocketEvent(WORD event, WORD error) {
  ok_ = error == 0;
  switch (event) {
    case FD_READ:
      try {
        OnDataReady(this);
      } catch (...) {
      }
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
      // Unread data stays readable; the caller disconnects after reading it.
      if (!DataAvailable()) {
        // NOTE: Wine reports a peer's reset as FD_CLOSE with an error and no FD_READ.
        close_error_ = error;
        if (connected_) {
          CloseSocket();
        } else {
          RenewSocket();
        }
      }
      break;
    default:
      break;
  }
}

void TSockComponent::HandleLookupDone(HANDLE task, WORD error) {
  if (task != nullptr && task == lookup_task_) {
    lookup_task_ = nullptr;
    ok_ = error == 0;
    done_ = true;
    return;
  }
  // A lookup given up on has finished: its buffer is free now.
  std::erase_if(abandoned_lookups_, [task](const PendingLookup& p) { return p.task == task; });
}

void TSockComponent::AbandonLookup() {
  // NOTE: a cancelled lookup may still complete and write its buffer, so the buffer is
  // kept until its message arrives, and a fresh one serves the next lookup.
  WSACancelAsyncRequest(lookup_task_);
  abandoned_lookups_.push_back({lookup_task_, std::move(lookup_buffer_)});
  lookup_buffer_ = std::make_unique<char[]>(kLookupBufferSize);
  lookup_task_ = nullptr;
}

void TSockComponent::DropQueuedNotifications() {
  // NOTE: notifications for a closed socket can still be queued, and the platform may
  // give the next socket the same handle value; they must not be taken for its own.
  MSG msg;
  while (PeekMessageA(&msg, window_.Handle(), kSocketMessage, kSocketMessage, PM_REMOVE)) {
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
  struct WaitMark {
    int& depth;
    explicit WaitMark(int& d) : depth(d) { ++depth; }
    ~WaitMark() { --depth; }
  } mark(waiting_);
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
  try {
    OnStatus(this, text);
  } catch (...) {
    // A status display must not break the operation it reports on.
  }
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

// ---- operations ----

void TSockComponent::Cancel() {
  ReportStatus(kLevelDetail, kStatusCanceling);
  canceled_ = true;
}

void TSockComponent::Abort() {
  ReportStatus(kLevelDetail, kStatusAbort);
  Cancel();
}

void TSockComponent::ResolveHost() {
  RefuseWhileWaiting();
  ReportStatus(kLevelDetail, kStatusResolveHost);
  const std::string& name = Proxy.empty() ? Host : Proxy;
  const size_t length = std::min(name.size(), io_buffer_.size() - 1);
  std::memcpy(io_buffer_.data(), name.data(), length);
  io_buffer_[length] = '\0';

  remote_.sin_family = AF_INET;
  const unsigned long dotted = inet_addr(io_buffer_.data());
  if (dotted != INADDR_NONE) {
    remote_.sin_addr.s_addr = dotted;
    return;
  }

  remote_.sin_addr.s_addr = 0;
  StartTimeOut();
  done_ = false;
  lookup_task_ = WSAAsyncGetHostByName(window_.Handle(), kLookupMessage, io_buffer_.data(),
                                       lookup_buffer_.get(), kLookupBufferSize);
  if (lookup_task_ == nullptr) {
    StopTimeOut();
    CheckSocketError(0);
    throw ESockError(kLookupFailed);
  }
  while (!done_ && !timed_out_ && !canceled_ && !ApplicationTerminated()) {
    ServeQueue(true);
  }
  StopTimeOut();
  if (lookup_task_ != nullptr) {
    AbandonLookup();
  }
  if (timed_out_) {
    throw ESockError(kLookupTimedOut);
  }
  if (!done_ || canceled_) {
    throw ESockError(kLookupCanceled);
  }
  const auto* host = reinterpret_cast<const hostent*>(lookup_buffer_.get());
  if (!ok_ || host->h_length != 4 || host->h_addr_list == nullptr ||
      host->h_addr_list[0] == nullptr) {
    throw ESockError(kLookupFailed);
  }
  std::memcpy(&remote_.sin_addr, host->h_addr_list[0], 4);
  OnHostResolved(this);
}

void TSockComponent::ResolveWithRepair() {
  int attempts = 0;
  for (;;) {
    try {
      ResolveHost();
    } catch (const ESockError& e) {
      const std::string message = e.what();
      if (message == kLookupTimedOut || message == kLookupCanceled) {
        throw;
      }
      remote_.sin_addr.s_addr = 0;
    }
    if (remote_.sin_addr.s_addr != 0) {
      return;
    }
    if (attempts > 0 || !OnInvalidHost) {
      throw ESockError(kNullRemoteAddress);
    }
    bool handled = false;
    OnInvalidHost(this, handled);
    if (!handled) {
      throw ESockError(kNullRemoteAddress);
    }
    ++attempts;
  }
}

void TSockComponent::SetRemotePort() {
  remote_.sin_family = AF_INET;
  remote_.sin_port = htons(static_cast<u_short>(Proxy.empty() ? Port : ProxyPort));
}

void TSockComponent::Connect() {
  RefuseWhileWaiting();
  ReportStatus(kLevelDetail, kStatusConnecting);
  canceled_ = false;
  if (connected_) {
    throw ESockError(kAlreadyConnected);
  }
  ResolveWithRepair();
  SetRemotePort();
  done_ = false;
  ok_ = true;
  connect_completed_ = false;
  if (connect(socket_.get(), reinterpret_cast<const sockaddr*>(&remote_), sizeof(remote_)) ==
      SOCKET_ERROR) {
    const int code = WSAGetLastError();
    if (code != WSAEWOULDBLOCK) {
      RenewSocket();
      WSASetLastError(code);
      CheckSocketError(WSAEWOULDBLOCK);
    }
  }
  StartTimeOut();
  while (!connect_completed_ && !timed_out_ && !canceled_ && ok_ && !ApplicationTerminated()) {
    ServeQueue(true);
  }
  StopTimeOut();
  if (connect_completed_ && !timed_out_ && !canceled_) {
    return;
  }
  const char* message = timed_out_         ? kConnectionTimedOut
                        : canceled_ || ok_ ? kConnectionCanceled
                                           : kConnectionFailed;
  // The attempt is over: its socket may still be connecting, so it makes way for a fresh one.
  if (connected_) {
    CloseSocket();
  } else {
    RenewSocket();
  }
  OnConnectionFailed(this);
  throw ESockError(message);
}

bool TSockComponent::DataAvailable() {
  ReportStatus(kLevelDetail, kStatusDataAvailable);
  // A byte of its own, not the I/O buffer: this also runs from notifications during a
  // send, whose data the buffer may hold.
  char byte = 0;
  return recv(socket_.get(), &byte, 1, MSG_PEEK) > 0;
}

std::string TSockComponent::Read(int count) {
  RefuseWhileWaiting();
  return ReadAvailable(count);
}

std::string TSockComponent::ReadAvailable(int count) {
  ReportStatus(kLevelDetail, ReadStatus(count));
  // One read takes at most 65,535 bytes; the rest stays for the next.
  count = std::clamp(count, 0, kMaxRead);
  char* const buffer = io_buffer_.data();
  if (count > 0) {
    for (;;) {
      const int peeked = recv(socket_.get(), buffer, kMaxRead, MSG_PEEK);
      if (peeked >= count) {
        break;
      }
      if (peeked == 0) {
        return {};
      }
      if (peeked == SOCKET_ERROR) {
        CheckSocketError(WSAEWOULDBLOCK);
      }
      if (canceled_ || ApplicationTerminated()) {
        break;
      }
      ServeQueue(false);
    }
  } else {
    const int peeked = recv(socket_.get(), buffer, kMaxRead, MSG_PEEK);
    if (peeked == SOCKET_ERROR) {
      CheckSocketError(WSAEWOULDBLOCK);
      return {};
    }
    if (peeked == 0) {
      return {};
    }
    count = peeked;
  }
  if (canceled_ || ApplicationTerminated()) {
    canceled_ = false;
    throw EAbortError(kSendAborted);  // reads report with the send text
  }
  const int received = recv(socket_.get(), buffer, count, 0);
  if (received == SOCKET_ERROR) {
    CheckSocketError(WSAEWOULDBLOCK);
    return {};
  }
  return std::string(buffer, static_cast<size_t>(received));
}

std::string TSockComponent::ReadLn() {
  RefuseWhileWaiting();
  ReportStatus(kLevelDetail, kStatusReadLn);
  StartTimeOut();
  struct TimeOutScope {
    TSockComponent& c;
    ~TimeOutScope() { c.StopTimeOut(); }
  } scope{*this};
  char* const buffer = io_buffer_.data();
  std::string line;
  for (;;) {
    if (canceled_ || ApplicationTerminated()) {
      canceled_ = false;
      throw EAbortError(kReadLnAborted);
    }
    const int peeked = recv(socket_.get(), buffer, kMaxRead, MSG_PEEK);
    if (peeked > 0) {
      const auto* end = static_cast<const char*>(std::memchr(buffer, '\n', peeked));
      const int take = end != nullptr ? static_cast<int>(end - buffer) + 1 : peeked;
      const int received = recv(socket_.get(), buffer, take, 0);
      if (received > 0) {
        line.append(buffer, static_cast<size_t>(received));
      }
      if (end != nullptr && received == take) {
        return line;
      }
      continue;
    }
    if (peeked == 0) {
      return line;  // the peer closed
    }
    const int code = WSAGetLastError();
    if (code == WSAENOTCONN) {
      return line;
    }
    WSASetLastError(code);
    CheckSocketError(WSAEWOULDBLOCK);
    ServeQueue(false);
  }
}

void TSockComponent::Write(const std::string& text) {
  RefuseWhileWaiting();
  ReportStatus(kLevelDetail, kStatusWrite);
  const size_t length = std::min<size_t>(text.size(), kMaxRead);
  std::memcpy(io_buffer_.data(), text.data(), length);
  io_buffer_[length] = '\0';
  if (length > 0) {
    SendBuffer(io_buffer_.data(), length);
  }
}

void TSockComponent::Writeln(const std::string& text) {
  RefuseWhileWaiting();
  ReportStatus(kLevelDetail, kStatusWriteln);
  Write(text + "\r\n");
}

void TSockComponent::SendBuffer(const char* data, size_t length) {
  RefuseWhileWaiting();
  ReportStatus(kLevelSocket, kStatusSendingBuffer);
  if (length == 0) {
    length = std::strlen(data);
  }
  StartTimeOut();
  struct TimeOutScope {
    TSockComponent& c;
    ~TimeOutScope() { c.StopTimeOut(); }
  } scope{*this};
  size_t sent = 0;
  while (sent < length) {
    if (canceled_ || ApplicationTerminated()) {
      canceled_ = false;
      throw EAbortError(kSendAborted);
    }
    const int chunk = static_cast<int>(std::min<size_t>(length - sent, INT_MAX));
    const int result = send(socket_.get(), data + sent, chunk, 0);
    if (result == SOCKET_ERROR) {
      CheckSocketError(WSAEWOULDBLOCK);
      ServeQueue(false);
      continue;
    }
    sent += static_cast<size_t>(result);
  }
}

std::string TSockComponent::Transaction(const std::string& command) {
  RefuseWhileWaiting();
  ReportStatus(kLevelDetail, kStatusTransaction);
  reply_number_ = 0;
  Writeln(command);
  transaction_reply_ = ReadLn();
  if (!transaction_reply_.empty()) {
    ReportStatus(kLevelReply, transaction_reply_);
  }
  long long number = 0;
  for (size_t i = 0; i < transaction_reply_.size() && i < 10; ++i) {
    const char c = transaction_reply_[i];
    if (c < '0' || c > '9') {
      break;
    }
    number = number * 10 + (c - '0');
  }
  // A number too large for a reply code is none.
  reply_number_ = number <= INT16_MAX ? static_cast<int16_t>(number) : 0;
  return transaction_reply_;
}

SOCKET TSockComponent::Accept() {
  RefuseWhileWaiting();
  ReportStatus(kLevelSocket, kStatusAccepting);
  while (!accept_signalled_ && !canceled_ && !ApplicationTerminated()) {
    ServeQueue(true);
  }
  if (!accept_signalled_ || canceled_) {
    canceled_ = false;
    throw ESockError(kAcceptCanceled);
  }
  accept_signalled_ = false;
  if (!accept_ok_) {
    throw ESockError(kAcceptFailed);
  }
  sockaddr_in peer{};
  int size = sizeof(peer);
  UniqueSocket accepted(accept(socket_.get(), reinterpret_cast<sockaddr*>(&peer), &size));
  if (!accepted.valid()) {
    CheckSocketError(0);
    throw ESockError(kAcceptFailed);
  }
  // The caller owns the new socket; its notifications are not this component's.
  if (WSAAsyncSelect(accepted.get(), window_.Handle(), kSocketMessage, kNotificationEvents) != 0) {
    CheckSocketError(0);
  }
  remote_ = peer;
  return accepted.release();
}

// ---- closing ----

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
  DropQueuedNotifications();
  // The component is ready for the next connection before anyone hears of the close.
  socket_.reset(MakeSocket(0, false));
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
  DropQueuedNotifications();
  socket_.reset(MakeSocket(0, false));
}
