#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <winsock2.h>
#include <windows.h>

#include <functional>

#include "ui/MessageWindow.h"

// The hidden window a socket component's notifications arrive at. A socket notification
// is handed on only when its full wParam is the socket being watched; one queued for a
// socket closed since is dropped. An exception from a receiver reaches the application's
// handler.
class SocketNotifier {
 public:
  using SocketEvent = std::function<void(WORD event, WORD error)>;
  using LookupDone = std::function<void(HANDLE task, WORD error)>;

  static constexpr UINT kSocketMessage = WM_USER + 101;
  static constexpr UINT kLookupMessage = WM_USER + 102;

  SocketNotifier(SocketEvent on_socket_event, LookupDone on_lookup_done);

  HWND Handle() const { return window_.Handle(); }

  // Asks for the socket's read, out-of-band, accept, connect and close notifications;
  // this also makes it non-blocking. False on failure, with the Winsock error set.
  bool Select(SOCKET s);
  // Hands on the notifications of s from now on (after Select).
  void Watch(SOCKET s) { watched_ = s; }
  // Stops handing any on and drops those still queued: the platform may give the next
  // socket the same handle value.
  void Forget();

  // Starts an asynchronous name lookup into the buffer; null on failure.
  HANDLE StartLookup(const char* name, char* buffer, int size);

 private:
  bool HandleMessage(UINT msg, WPARAM wparam, LPARAM lparam);

  SocketEvent on_socket_event_;
  LookupDone on_lookup_done_;
  SOCKET watched_ = INVALID_SOCKET;
  MessageWindow window_;
};
