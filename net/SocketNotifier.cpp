#include "net/SocketNotifier.h"

#include "ui/Application.h"

namespace {
constexpr long kNotificationEvents = FD_READ | FD_OOB | FD_ACCEPT | FD_CONNECT | FD_CLOSE;
}  // namespace

SocketNotifier::SocketNotifier(SocketEvent on_socket_event, LookupDone on_lookup_done)
    : on_socket_event_(std::move(on_socket_event)),
      on_lookup_done_(std::move(on_lookup_done)),
      window_([this](UINT msg, WPARAM wparam, LPARAM lparam, LRESULT& result) {
        result = 0;
        return HandleMessage(msg, wparam, lparam);
      }) {}

bool SocketNotifier::Select(SOCKET s) {
  return WSAAsyncSelect(s, window_.Handle(), kSocketMessage, kNotificationEvents) == 0;
}

void SocketNotifier::Forget() {
  watched_ = INVALID_SOCKET;
  MSG msg;
  while (PeekMessageA(&msg, window_.Handle(), kSocketMessage, kSocketMessage, PM_REMOVE)) {
  }
}

HANDLE SocketNotifier::StartLookup(const char* name, char* buffer, int size) {
  return WSAAsyncGetHostByName(window_.Handle(), kLookupMessage, name, buffer, size);
}

bool SocketNotifier::HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam) {
  if (msg == kSocketMessage) {
    if (watched_ != INVALID_SOCKET && static_cast<SOCKET>(wparam) == watched_) {
      GuardHandler([&] { on_socket_event_(WSAGETSELECTEVENT(lparam), WSAGETSELECTERROR(lparam)); });
    }
    return true;
  }
  if (msg == kLookupMessage) {
    GuardHandler(
        [&] { on_lookup_done_(reinterpret_cast<HANDLE>(wparam), WSAGETASYNCERROR(lparam)); });
    return true;
  }
  return false;
}
