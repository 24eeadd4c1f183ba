#pragma once

#include <string>

#include "net/SockComp.h"

// The client side of the Daytime protocol (RFC 867): connect to TCP port 13, send
// nothing, and take the text the server sends.
class TDaytimeClient : public TSockComponent {
 public:
  static constexpr int kDefaultPort = 13;
  static constexpr int kDefaultTimeOut_ms = 500;

  TDaytimeClient();

  // The reply exactly as it arrived, leading line feed included. Raises on every
  // failure; the connection is closed on every way out. Main thread only.
  std::string ReadDayTime();

 private:
  void ConnectForReply();
  std::string AwaitReply();
  void CloseAfterFailure() noexcept;
};
