#include "net/DaytimeClient.h"

#include "win32/ScopeExit.h"

using namespace net;

TDaytimeClient::TDaytimeClient() {
  Port = kDefaultPort;
  TimeOut = kDefaultTimeOut_ms;
}

std::string TDaytimeClient::ReadDayTime() {
  RefuseWhileWaiting();
  canceled_ = false;
  if (connected_) {
    throw ESockError(kAlreadyConnected);
  }
  ResolveWithRepair();
  ReportStatus(kLevelDetail, kStatusConnecting);
  ConnectForReply();

  std::string reply;
  try {
    reply = AwaitReply();
  } catch (...) {
    CloseAfterFailure();
    throw;
  }
  Disconnect();
  return reply;
}

void TDaytimeClient::ConnectForReply() {
  // A refused or unreachable server is only noticed when the time-out fires.
  switch (ConnectRemote({.failure_ends_wait = false, .sleep = false})) {
    case ConnectOutcome::Connected:
      return;
    case ConnectOutcome::TimedOut:
      throw std::runtime_error(kConnectionTimedOut);
    default:
      throw ESockError(kConnectionCanceled);
  }
}

std::string TDaytimeClient::AwaitReply() {
  // A server that accepts and stays silent must not hold the request for ever: this wait
  // has the same time-out as the connection, armed without a status message of its own.
  ArmTimeOut();
  const ScopeExit disarm([this] { DisarmTimeOut(); });
  while (!DataAvailable()) {
    if (!connected_) {
      // A peer that closed without a word failed as surely as one that reset.
      if (close_error_ != 0) {
        RaiseSocketError(close_error_);
      }
      throw ESockError(kClosedWithoutReply);
    }
    if (timed_out_) {
      throw std::runtime_error(kConnectionTimedOut);
    }
    if (canceled_ || ApplicationTerminated()) {
      throw ESockError(kConnectionCanceled);
    }
    ServeQueue(false);
  }
  DisarmTimeOut();
  return Read(0);
}

void TDaytimeClient::CloseAfterFailure() noexcept {
  if (!connected_) {
    return;
  }
  try {
    Disconnect();
  } catch (...) {
    // The failure that brought us here is the one to report.
  }
}
