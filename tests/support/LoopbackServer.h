#pragma once

// A scripted TCP server on 127.0.0.1 for the network tests: a plain blocking Winsock
// server on its own thread, stopped and joined by its destructor. Its own set-up calls
// are checked, so a test never runs against a server that is not listening.

#include <atomic>
#include <functional>
#include <string>
#include <thread>

#include "win32/WinHandles.h"

// A Winsock start-up held for the owner's lifetime; independent of the product's own.
class WinsockSession {
 public:
  WinsockSession();
  WinsockSession(const WinsockSession&) = delete;
  WinsockSession& operator=(const WinsockSession&) = delete;
  ~WinsockSession();
};

class LoopbackServer {
 public:
  // Runs once per accepted connection; the connection is closed when it returns.
  using Script = std::function<void(LoopbackServer&, SOCKET)>;

  // Throws std::runtime_error naming the set-up call that failed.
  explicit LoopbackServer(Script script, int connections = 1);
  LoopbackServer(const LoopbackServer&) = delete;
  LoopbackServer& operator=(const LoopbackServer&) = delete;
  ~LoopbackServer();

  int Port() const { return port_; }
  int Accepted() const { return accepted_; }
  bool Stopping() const { return stop_; }

  // Waits up to timeout_ms for the socket to become readable; false when stopping.
  bool WaitReadable(SOCKET s, int timeout_ms) const;
  // Holds the connection until the client closes it (or the server stops).
  void WaitForClientClose(SOCKET s) const;

  static void SendAll(SOCKET s, const std::string& text);
  // Closing after this ends the connection with a reset.
  static void ResetOnClose(SOCKET s);

 private:
  void Serve(int connections);

  WinsockSession winsock_;
  Script script_;
  UniqueSocket listener_;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<int> accepted_{0};
  std::thread thread_;
};

// A loopback port with nothing listening: bound once, then released.
int RefusedPort();
