#pragma once

// A scripted TCP server on 127.0.0.1 for the network tests: a plain blocking Winsock
// server on its own thread, stopped and joined by its destructor.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <winsock2.h>
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>
#include <thread>

class LoopbackServer {
 public:
  // Runs once per accepted connection; the connection is closed when it returns.
  using Script = std::function<void(LoopbackServer&, SOCKET)>;

  explicit LoopbackServer(Script script, int connections = 1) : script_(std::move(script)) {
    WSADATA data{};
    started_ = WSAStartup(MAKEWORD(2, 2), &data) == 0;
    listener_ = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = 0;
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof(address));
    listen(listener_, 4);
    int size = sizeof(address);
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this, connections] { Serve(connections); });
  }
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;

  ~LoopbackServer() {
    stop_ = true;
    thread_.join();
    closesocket(listener_);
    if (started_) {
      WSACleanup();
    }
  }

  int Port() const { return port_; }
  int Accepted() const { return accepted_; }
  bool Stopping() const { return stop_; }

  // Waits up to timeout_ms for the socket to become readable; false when stopping.
  bool WaitReadable(SOCKET s, int timeout_ms) const {
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

  // Holds the connection until the client closes it (or the server stops).
  void WaitForClientClose(SOCKET s) const {
    char buffer[256];
    while (WaitReadable(s, 10000)) {
      if (recv(s, buffer, sizeof(buffer), 0) <= 0) {
        return;
      }
    }
  }

  static void SendAll(SOCKET s, const std::string& text) {
    size_t sent = 0;
    while (sent < text.size()) {
      const int n = send(s, text.data() + sent, static_cast<int>(text.size() - sent), 0);
      if (n <= 0) {
        return;
      }
      sent += static_cast<size_t>(n);
    }
  }

  // Closing after this ends the connection with a reset.
  static void ResetOnClose(SOCKET s) {
    const linger reset{1, 0};
    setsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&reset), sizeof(reset));
  }

 private:
  void Serve(int connections) {
    while (accepted_ < connections && WaitReadable(listener_, 30000)) {
      const SOCKET client = accept(listener_, nullptr, nullptr);
      if (client == INVALID_SOCKET) {
        return;
      }
      ++accepted_;
      script_(*this, client);
      closesocket(client);
    }
  }

  Script script_;
  bool started_ = false;
  SOCKET listener_ = INVALID_SOCKET;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> accepted_{0};
  std::thread thread_;
};

// A loopback port with nothing listening: bound once, then released.
inline int RefusedPort() {
  WSADATA data{};
  WSAStartup(MAKEWORD(2, 2), &data);
  const SOCKET s = socket(AF_INET, SOCK_STREAM, IPPROTO_TCP);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  bind(s, reinterpret_cast<sockaddr*>(&address), sizeof(address));
  int size = sizeof(address);
  getsockname(s, reinterpret_cast<sockaddr*>(&address), &size);
  closesocket(s);
  WSACleanup();
  return ntohs(address.sin_port);
}
