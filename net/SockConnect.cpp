#include <algorithm>
#include <cstring>

#include "net/SockComp.h"

// Resolving, connecting and accepting.

using namespace net;

// ---- resolving ----

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
  AwaitLookup();
  TakeLookupResult();
}

void TSockComponent::AwaitLookup() {
  StartTimeOut();
  done_ = false;
  lookup_task_ = notifier_.StartLookup(io_buffer_.data(), lookup_buffer_.get(), kLookupBufferSize);
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
}

void TSockComponent::TakeLookupResult() {
  const auto* host = reinterpret_cast<const hostent*>(lookup_buffer_.get());
  if (!ok_ || host->h_length != 4 || host->h_addr_list == nullptr ||
      host->h_addr_list[0] == nullptr) {
    throw ESockError(kLookupFailed);
  }
  std::memcpy(&remote_.sin_addr, host->h_addr_list[0], 4);
  OnHostResolved(this);
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

// ---- connecting ----

void TSockComponent::Connect() {
  RefuseWhileWaiting();
  ReportStatus(kLevelDetail, kStatusConnecting);
  canceled_ = false;
  if (connected_) {
    throw ESockError(kAlreadyConnected);
  }
  ResolveWithRepair();
  const ConnectOutcome outcome = ConnectRemote({.failure_ends_wait = true, .sleep = true});
  if (outcome == ConnectOutcome::Connected) {
    return;
  }
  OnConnectionFailed(this);
  throw ESockError(outcome == ConnectOutcome::TimedOut   ? kConnectionTimedOut
                   : outcome == ConnectOutcome::Canceled ? kConnectionCanceled
                                                         : kConnectionFailed);
}

TSockComponent::ConnectOutcome TSockComponent::ConnectRemote(const ConnectWait& wait) {
  SetRemotePort();
  done_ = false;
  ok_ = true;
  connect_completed_ = false;
  close_error_ = 0;
  StartConnect(wait.failure_ends_wait);
  StartTimeOut();
  while (!connect_completed_ && !timed_out_ && !canceled_ && (ok_ || !wait.failure_ends_wait) &&
         !ApplicationTerminated()) {
    ServeQueue(wait.sleep);
  }
  StopTimeOut();
  if (connect_completed_ && !timed_out_ && !canceled_) {
    return ConnectOutcome::Connected;
  }
  const ConnectOutcome outcome = timed_out_         ? ConnectOutcome::TimedOut
                                 : canceled_ || ok_ ? ConnectOutcome::Canceled
                                                    : ConnectOutcome::Failed;
  // The attempt is over: its socket may still be connecting, so it makes way for a fresh one.
  if (connected_) {
    CloseSocket();
  } else {
    RenewSocket();
  }
  return outcome;
}

void TSockComponent::SetRemotePort() {
  remote_.sin_family = AF_INET;
  remote_.sin_port = htons(static_cast<u_short>(Proxy.empty() ? Port : ProxyPort));
}

void TSockComponent::StartConnect(bool check_result) {
  const int result =
      connect(socket_.get(), reinterpret_cast<const sockaddr*>(&remote_), sizeof(remote_));
  if (!check_result || result != SOCKET_ERROR) {
    return;
  }
  const int code = WSAGetLastError();
  if (code != WSAEWOULDBLOCK) {
    RenewSocket();
    WSASetLastError(code);
    CheckSocketError(WSAEWOULDBLOCK);
  }
}

// ---- accepting ----

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
  if (!notifier_.Select(accepted.get())) {
    CheckSocketError(0);
  }
  remote_ = peer;
  return accepted.release();
}
