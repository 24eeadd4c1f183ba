#pragma once

#include <functional>
#include <string>
#include <vector>

#include "net/SockComp.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/Pump.h"

// The message of the exception the body raises.
inline std::string ErrorOf(const std::function<void()>& body) {
  try {
    body();
  } catch (const std::exception& e) {
    return e.what();
  }
  return "(no error)";
}

// A server script: accept and stay silent until the client closes.
inline void Hold(LoopbackServer& server, SOCKET s) {
  server.WaitForClientClose(s);
}

// Records a component's events by name and its status messages.
inline void RecordEvents(TSockComponent& sock, std::vector<std::string>& events,
                         std::vector<std::string>& statuses) {
  sock.OnConnect.Bind([&events](TSockComponent*) { events.push_back("Connect"); });
  sock.OnDisconnect.Bind([&events](TSockComponent*) { events.push_back("Disconnect"); });
  sock.OnConnectionFailed.Bind(
      [&events](TSockComponent*) { events.push_back("ConnectionFailed"); });
  sock.OnHostResolved.Bind([&events](TSockComponent*) { events.push_back("HostResolved"); });
  sock.OnStatus.Bind(
      [&statuses](TSockComponent*, const std::string& text) { statuses.push_back(text); });
}
