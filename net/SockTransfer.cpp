#include <algorithm>
#include <climits>
#include <cstring>

#include "net/SockComp.h"
#include "win32/ScopeExit.h"

// Reading and writing on the connected socket.

using namespace net;

namespace {

// The leading decimal digits of a reply (at most 10); 0 when there are none, or when
// they make a number too large for a reply code.
int16_t LeadingReplyNumber(const std::string& reply) {
  long long number = 0;
  for (size_t i = 0; i < reply.size() && i < 10; ++i) {
    const char c = reply[i];
    if (c < '0' || c > '9') {
      break;
    }
    number = number * 10 + (c - '0');
  }
  return number <= INT16_MAX ? static_cast<int16_t>(number) : 0;
}

}  // namespace

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
  const int ready = count > 0 ? AwaitBytes(count) : PeekOnce();
  if (ready == 0) {
    return {};
  }
  if (canceled_ || ApplicationTerminated()) {
    canceled_ = false;
    throw EAbortError(kSendAborted);  // reads report with the send text
  }
  const int received = recv(socket_.get(), io_buffer_.data(), ready, 0);
  if (received == SOCKET_ERROR) {
    CheckSocketError(WSAEWOULDBLOCK);
    return {};
  }
  return std::string(io_buffer_.data(), static_cast<size_t>(received));
}

int TSockComponent::AwaitBytes(int count) {
  for (;;) {
    const int peeked = recv(socket_.get(), io_buffer_.data(), kMaxRead, MSG_PEEK);
    if (peeked >= count) {
      return count;
    }
    if (peeked == 0) {
      return 0;  // the peer closed
    }
    if (peeked == SOCKET_ERROR) {
      CheckSocketError(WSAEWOULDBLOCK);
    }
    if (canceled_ || ApplicationTerminated()) {
      return count;  // the caller raises for the cancel
    }
    ServeQueue(false);
  }
}

int TSockComponent::PeekOnce() {
  const int peeked = recv(socket_.get(), io_buffer_.data(), kMaxRead, MSG_PEEK);
  if (peeked == SOCKET_ERROR) {
    CheckSocketError(WSAEWOULDBLOCK);
    return 0;
  }
  return peeked;
}

std::string TSockComponent::ReadLn() {
  RefuseWhileWaiting();
  ReportStatus(kLevelDetail, kStatusReadLn);
  StartTimeOut();
  const ScopeExit stop_time_out([this] { StopTimeOut(); });
  std::string line;
  while (!TakeLinePiece(line)) {
  }
  return line;
}

bool TSockComponent::TakeLinePiece(std::string& line) {
  if (canceled_ || ApplicationTerminated()) {
    canceled_ = false;
    throw EAbortError(kReadLnAborted);
  }
  char* const buffer = io_buffer_.data();
  const int peeked = recv(socket_.get(), buffer, kMaxRead, MSG_PEEK);
  if (peeked > 0) {
    const auto* end = static_cast<const char*>(std::memchr(buffer, '\n', peeked));
    const int take = end != nullptr ? static_cast<int>(end - buffer) + 1 : peeked;
    const int received = recv(socket_.get(), buffer, take, 0);
    if (received > 0) {
      line.append(buffer, static_cast<size_t>(received));
    }
    return end != nullptr && received == take;
  }
  if (peeked == 0) {
    return true;  // the peer closed
  }
  const int code = WSAGetLastError();
  if (code == WSAENOTCONN) {
    return true;
  }
  WSASetLastError(code);
  CheckSocketError(WSAEWOULDBLOCK);
  ServeQueue(false);
  return false;
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
  const ScopeExit stop_time_out([this] { StopTimeOut(); });
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
  reply_number_ = LeadingReplyNumber(transaction_reply_);
  return transaction_reply_;
}
