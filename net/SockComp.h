#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <winsock2.h>
#include <windows.h>

#include <array>
#include <cstdint>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "net/NetConst.h"
#include "net/SocketNotifier.h"
#include "net/TimeoutTimer.h"
#include "ui/Event.h"
#include "win32/WinHandles.h"

// Socket, lookup and connection failures.
class ESockError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A read or send that was cancelled (or timed out) while it waited.
class EAbortError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// A TCP stream socket whose operations look blocking to the caller while the thread's
// message queue keeps being served. Socket events arrive as messages at a hidden window;
// the waits end on a flag set by such a message, the time-out or a cancel. Main thread
// only. An operation started while another one of the same component is waiting (from
// a handler run by that wait) is refused with ESockError; Cancel and Abort are not.
// An exception from a handler that no operation's caller would see (OnStatus, and every
// handler run by a notification) reaches the application's handler.
class TSockComponent {
 public:
  TSockComponent();
  TSockComponent(const TSockComponent&) = delete;
  TSockComponent& operator=(const TSockComponent&) = delete;
  virtual ~TSockComponent();

  std::string Host;
  int Port = 0;
  // Milliseconds for resolving, connecting, line reads and sends; 0 is no time-out.
  int TimeOut = 0;
  int ReportLevel = 0;
  // When not empty, used instead of Host and Port; no proxy protocol is spoken.
  std::string Proxy;
  int ProxyPort = 0;

  Event<TSockComponent*> OnConnect;
  Event<TSockComponent*> OnDisconnect;
  Event<TSockComponent*> OnConnectionFailed;
  Event<TSockComponent*> OnHostResolved;
  Event<TSockComponent*, const std::string&> OnStatus;
  // Handled = true (after changing Host) asks for one more resolution.
  Event<TSockComponent*, bool&> OnInvalidHost;
  Event<TSockComponent*> OnDataReady;
  Event<TSockComponent*> OnAccept;
  Event<TSockComponent*, const std::string&> OnSocketError;

  const std::string& Status() const { return status_; }
  int LastErrorNo() const { return last_error_no_; }
  const std::string& TransactionReply() const { return transaction_reply_; }
  int16_t ReplyNumber() const { return reply_number_; }
  const std::vector<std::string>& WinsockInfo() const { return winsock_info_; }
  bool Connected() const { return connected_; }
  bool Canceled() const { return canceled_; }
  bool TimedOut() const { return timed_out_; }
  SOCKET SocketHandle() const { return socket_.get(); }
  // The remote IPv4 address in network byte order; 0 when there is none.
  uint32_t RemoteAddress() const { return remote_.sin_addr.s_addr; }
  HWND NotificationWindow() const { return notifier_.Handle(); }
  HWND TimerWindow() const { return timer_.Handle(); }
  // Components of this process that hold a Winsock start-up.
  static int WinsockUsers();

  virtual SOCKET Accept();
  virtual void Connect();
  virtual void Disconnect();
  virtual std::string Transaction(const std::string& command);
  virtual void Abort();

  // Ends any running wait.
  void Cancel();
  void ResolveHost();
  bool DataAvailable();
  // count 0 takes what has arrived; at most 65,535 bytes are taken at a time.
  std::string Read(int count);
  std::string ReadLn();
  void Write(const std::string& text);
  void Writeln(const std::string& text);
  // length 0 sends up to the terminating zero.
  void SendBuffer(const char* data, size_t length);
  void TimerOn();
  void TimerOff();
  void RequestCloseSocket();
  void ReportStatus(int level, const std::string& text);
  // Raises ESockError for the last Winsock error unless it is ignored_code or no error.
  std::string CheckSocketError(int ignored_code);

  static constexpr UINT kSocketMessage = SocketNotifier::kSocketMessage;
  static constexpr int kMaxRead = 65535;

 protected:
  // Throws when called from a handler that runs inside one of this component's waits.
  void RefuseWhileWaiting() const;
  // One pass of a wait: serves the message queue, after a 2 ms sleep if asked.
  void ServeQueue(bool sleep);
  static bool ApplicationTerminated();

  void ResolveWithRepair();

  enum class ConnectOutcome { Connected, TimedOut, Canceled, Failed };
  struct ConnectWait {
    // A failure (an immediate error, or an FD_CONNECT carrying one) ends the wait;
    // otherwise only the time-out or a cancel does.
    bool failure_ends_wait;
    // Each pass sleeps 2 ms rather than waiting for the next message.
    bool sleep;
  };
  // Connects to the resolved address with the time-out armed. A failed attempt's socket
  // is replaced by a fresh one before this returns.
  ConnectOutcome ConnectRemote(const ConnectWait& wait);
  // Starts and stops the time-out without a status message.
  void ArmTimeOut();
  void DisarmTimeOut();
  std::string ReadAvailable(int count);
  // Closes the socket, fires OnDisconnect and makes a fresh one.
  void CloseSocket();
  // Drops a socket that never connected (a failed or abandoned attempt) for a fresh one.
  void RenewSocket();
  [[noreturn]] void RaiseSocketError(int code);

  bool canceled_ = false;
  bool destroying_ = false;
  bool connected_ = false;
  bool ok_ = false;
  bool timed_out_ = false;
  bool done_ = false;
  // FD_CONNECT without error arrived for the current attempt.
  bool connect_completed_ = false;
  bool accept_signalled_ = false;
  bool accept_ok_ = false;
  // The error an FD_CLOSE carried when it closed the socket; 0 for a graceful close.
  int close_error_ = 0;
  sockaddr_in remote_{};
  UniqueSocket socket_;

 private:
  static constexpr int kLookupBufferSize = 1024;

  struct PendingLookup {
    HANDLE task;
    std::unique_ptr<char[]> buffer;
  };

  void StartWinsock();
  void StopWinsock();
  SOCKET MakeSocket(int protocol, bool reset_on_close);
  // The fresh socket becomes the one whose notifications count.
  void AdoptSocket(SOCKET s);
  void SetRemotePort();
  void StartConnect(bool check_result);
  void HandleSocketEvent(WORD event, WORD error);
  void HandlePeerClose(WORD error);
  void HandleLookupDone(HANDLE task, WORD error);
  void AwaitLookup();
  void TakeLookupResult();
  void AbandonLookup();
  // Waits until count bytes can be read; 0 when the peer closed first.
  int AwaitBytes(int count);
  // The bytes that can be read now; 0 for none.
  int PeekOnce();
  // Takes what has arrived of a line into it; true when the line is complete or the
  // peer closed.
  bool TakeLinePiece(std::string& line);
  // The time-out with its status messages.
  void StartTimeOut();
  void StopTimeOut();
  void TimerTriggered();

  std::string status_;
  int last_error_no_ = 0;
  std::string transaction_reply_;
  int16_t reply_number_ = 0;
  std::vector<std::string> winsock_info_;
  bool winsock_started_ = false;
  int waiting_ = 0;

  std::array<char, 65536> io_buffer_{};
  std::unique_ptr<char[]> lookup_buffer_;
  HANDLE lookup_task_ = nullptr;
  // Lookups given up on: the platform may still write their result, so each buffer
  // lives until its late message arrives.
  std::vector<PendingLookup> abandoned_lookups_;

  SocketNotifier notifier_;
  TTimeoutTimer timer_;
};
