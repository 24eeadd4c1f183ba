#include "tests/support/LoopbackServer.h"

#include <stdexcept>

#include "tests/support/Pump.h"
#include "win32/SystemError.h"

namespace {

void Check(bool succeeded, const char* call) {
  if (!succeeded) {
    throw std::runtime_error(FailedCallText(call));
  }
}

// A fresh socket bound to an unused loopback port; returns the port.
int BindToLoopback(SOCKET s) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  Check(bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address)) == 0, "bind");
  int size = sizeof(address);
  Check(getsockname(s, reinterpret_cast<sockaddr*>(&address), &size) == 0, "getsockname");
  return ntohs(address.sin_port);
}

UniqueSocket MakeStreamSocket() {
  UniqueSocket s(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
  Check(s.valid(), "socket");
  return s;
}

}  // namespace

WinsockSession::WinsockSession() {
  WSADATA data{};
  const int result = WSAStartup(MAKEWORD(2, 2), &data);
  if (result != 0) {
    throw std::runtime_error("WSAStartup failed: " +
                             SystemErrorText(static_cast<unsigned long>(result)));
  }
}

WinsockSession::~WinsockSession() {
  WSACleanup();
}

LoopbackServer::LoopbackServer(Script script, int connections)
    : script_(std::move(script)), listener_(MakeStreamSocket()) {
  port_ = BindToLoopback(listener_.get());
  Check(listen(listener_.get(), 4) == 0, "listen");
  thread_ = std::thread([this, connections] { Serve(connections); });
}

LoopbackServer::~LoopbackServer() {
  stop_ = true;
  thread_.join();
}

bool LoopbackServer::WaitReadable(SOCKET s, int timeout_ms) const {
  for (int waited = 0; waited < timeout_ms && !stop_; waited += 20) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(s, &set);
    timeval tick{0, 20000};
    if (select(0, &set, nullptr, nullptr, &tick) > 0) {
      return true;
    }
  }
  return false;
}

void LoopbackServer::WaitForClientClose(SOCKET s) const {
  char buffer[256];
  // Bounded for a client that never closes; the server's end stops the wait sooner.
  while (WaitReadable(s, static_cast<int>(kStateBound_ms))) {
    if (recv(s, buffer, sizeof(buffer), 0) <= 0) {
      return;
    }
  }
}

void LoopbackServer::SendAll(SOCKET s, const std::string& text) {
  size_t sent = 0;
  while (sent < text.size()) {
    const int n = send(s, text.data() + sent, static_cast<int>(text.size() - sent), 0);
    if (n <= 0) {
      return;
    }
    sent += static_cast<size_t>(n);
  }
}

void LoopbackServer::ResetOnClose(SOCKET s) {
  const linger reset{1, 0};
  setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&reset), sizeof(reset));
}

void LoopbackServer::Serve(int connections) {
  // Open for as long as the server lives: a test may come to its last connection late.
  constexpr int kOpenFor_ms = 3600000;
  while (accepted_ < connections && WaitReadable(listener_.get(), kOpenFor_ms)) {
    const UniqueSocket client(accept(listener_.get(), nullptr, nullptr));
    if (!client.valid()) {
      return;
    }
    ++accepted_;
    script_(*this, client.get());
  }
}

int RefusedPort() {
  const WinsockSession winsock;
  return BindToLoopback(MakeStreamSocket().get());
}
