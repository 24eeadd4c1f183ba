#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <type_traits>
#include <vector>

#include "net/NetConst.h"
#include "net/SockComp.h"
#include "tests/support/ErrorBoxes.h"
#include "tests/win32/sock_test_support.h"
#include "ui/Application.h"
#include "ui/Timer.h"

namespace {

using Texts = std::vector<std::string>;

// A component that records its events and status messages.
class SockComponent : public testing::Test {
 protected:
  void SetUp() override {
    sock_ = std::make_unique<TSockComponent>();
    sock_->Host = "127.0.0.1";
    RecordEvents(*sock_, events_, statuses_);
  }

  void ConnectTo(const LoopbackServer& server) {
    sock_->Port = server.Port();
    sock_->TimeOut = 5000;
    sock_->Connect();
  }

  void Post(WORD event, WORD error, SOCKET s) {
    PostMessageA(sock_->NotificationWindow(), TSockComponent::kSocketMessage, s,
                 WSAMAKESELECTREPLY(event, error));
  }

  std::unique_ptr<TSockComponent> sock_;
  Texts events_;
  Texts statuses_;
};

// ---- the error rule ----

struct ErrorRow {
  int code;
  const char* text;
};

const ErrorRow kErrorRows[] = {
    {10004, "Interrupted system call"},
    {10009, "Bad file number"},
    {10013, "Permission denied"},
    {10014, "Bad address"},
    {10022, "Invalid argument"},
    {10024, "Too many open files"},
    {10035, "Operation would block"},
    {10036, "Operation now in progress"},
    {10037, "Operation already in progress"},
    {10038, "Socket operation on non-socket"},
    {10039, "Destination address required"},
    {10040, "Message too long"},
    {10041, "Wrong protocol type for socket"},
    {10042, "Bad protocol option"},
    {10043, "Protocol not supported"},
    {10044, "Socket type not supported"},
    {10045, "Operation not supported on socket"},
    {10046, "Protocol family not supported"},
    {10047, "Address family not supported by protocol family"},
    {10048, "Address already in use"},
    {10049, "Can't assign requested address"},
    {10050, "Network is down"},
    {10051, "Network is unreachable"},
    {10052, "Network dropped connection or reset"},
    {10053, "Software caused connection abort"},
    {10054, "Connection reset by peer"},
    {10055, "No buffer space available"},
    {10056, "Socket is already connected"},
    {10057, "Socket is not connected"},
    {10058, "Can't send after socket shutdown"},
    {10059, "Too many references, can't splice"},
    {10060, "Connection timed out"},
    {10061, "Connection refused"},
    {10062, "Too many levels of symbolic links"},
    {10063, "File name too long"},
    {10064, "Host is down"},
    {10065, "No route to Host"},
    {10066, "Directory not empty"},
    {10067, "Too many processes"},
    {10068, "Too many users"},
    {10069, "Disc quota exceeded"},
    {10070, "Stale NFS file handle"},
    {10071, "Too many levels of remote in path"},
    {10091, "Network subsystem is unavailable"},
    {10092, "Incompatible version of WINSOCK.DLL"},
    {10093, "Successful WSAStartup not yet performed"},
    {11001, "Host not found"},
    {11002, "Non-Authoritative Host not found"},
    {11003, "Non-Recoverable error: FORMERR, REFUSED, NOTIMP"},
    {11004, "Valid name, no data record of requested type"},
};

TEST(SocketErrorMessages, KnownCodeIsCodeColonTextWithoutBlanks) {
  EXPECT_EQ(net::SocketErrorMessage(10061), "10061:Connection refused");
  for (const ErrorRow& row : kErrorRows) {
    EXPECT_EQ(net::SocketErrorMessage(row.code), std::to_string(row.code) + ":" + row.text);
  }
}

TEST(SocketErrorMessages, UnknownCodeIsNumberedAsUnknown) {
  EXPECT_EQ(net::SocketErrorMessage(12345), "Unknown Error No. 12345");
  EXPECT_EQ(net::SocketErrorMessage(10001), "Unknown Error No. 10001");
}

TEST_F(SockComponent, ErrorRuleRaisesWithTheTableMessageAndTellsTheHandler) {
  std::string told;
  sock_->OnSocketError.Bind([&told](TSockComponent*, const std::string& m) { told = m; });
  WSASetLastError(10061);
  EXPECT_EQ(ErrorOf([&] { sock_->CheckSocketError(WSAEWOULDBLOCK); }), "10061:Connection refused");
  EXPECT_EQ(told, "10061:Connection refused");
  EXPECT_EQ(sock_->LastErrorNo(), 10061);

  WSASetLastError(12345);
  EXPECT_EQ(ErrorOf([&] { sock_->CheckSocketError(WSAEWOULDBLOCK); }), "Unknown Error No. 12345");
}

TEST_F(SockComponent, ErrorRuleIgnoresTheGivenCodeAndNonErrors) {
  bool told = false;
  sock_->OnSocketError.Bind([&told](TSockComponent*, const std::string&) { told = true; });
  for (const int code : {WSAEWOULDBLOCK, 0, 10000}) {
    WSASetLastError(code);
    EXPECT_EQ(sock_->CheckSocketError(WSAEWOULDBLOCK), "") << code;
    EXPECT_EQ(sock_->LastErrorNo(), code);
  }
  EXPECT_FALSE(told);
}

// ---- the status rule ----

TEST_F(SockComponent, StatusUpToReportLevelIsStoredAndReported) {
  sock_->ReportLevel = 4;
  sock_->ReportStatus(5, "too detailed");
  EXPECT_TRUE(statuses_.empty());
  EXPECT_EQ(sock_->Status(), "");
  sock_->ReportStatus(4, "shown");
  EXPECT_EQ(statuses_, Texts{"shown"});
  EXPECT_EQ(sock_->Status(), "shown");
}

// A handler whose caller is no operation (a status display, or one run by a notification)
// hands its exception to the application's handler; the component carries on.
struct FailingHandlerRow {
  const char* handler;
  LoopbackServer::Script server;
  std::function<void(TSockComponent&)> bind;
  // After the connection is made: what must hold once the failure has been reported.
  std::function<bool(TSockComponent&)> carried_on;
};

[[noreturn]] void Fail() {
  throw std::runtime_error("handler broke");
}

const FailingHandlerRow kFailingHandlers[] = {
    {"OnStatus", Hold,
     [](TSockComponent& c) {
       c.ReportLevel = 8;
       c.OnStatus.Bind([](TSockComponent*, const std::string&) { Fail(); });
     },
     [](TSockComponent& c) { return c.Connected() && c.Status() == "Timer Off"; }},
    {"OnConnect", Hold,
     [](TSockComponent& c) { c.OnConnect.Bind([](TSockComponent*) { Fail(); }); },
     [](TSockComponent& c) { return c.Connected(); }},
    {"OnDataReady",
     [](LoopbackServer& srv, SOCKET s) {
       LoopbackServer::SendAll(s, "data");
       srv.WaitForClientClose(s);
     },
     [](TSockComponent& c) { c.OnDataReady.Bind([](TSockComponent*) { Fail(); }); },
     [](TSockComponent& c) { return c.DataAvailable() && c.Read(0) == "data"; }},
    {"OnDisconnect at the peer's close", [](LoopbackServer&, SOCKET) {},
     [](TSockComponent& c) { c.OnDisconnect.Bind([](TSockComponent*) { Fail(); }); },
     [](TSockComponent& c) { return !c.Connected() && c.SocketHandle() != INVALID_SOCKET; }},
};

TEST(SockHandlerFailures, ReachTheApplicationAndTheComponentCarriesOn) {
  for (const FailingHandlerRow& row : kFailingHandlers) {
    SCOPED_TRACE(row.handler);
    const CapturedErrorBoxes boxes;
    {
      LoopbackServer server(row.server);
      TSockComponent sock;
      sock.Host = "127.0.0.1";
      sock.Port = server.Port();
      sock.TimeOut = 5000;
      row.bind(sock);
      ASSERT_NO_THROW(sock.Connect());
      EXPECT_TRUE(PumpUntil([&] { return !boxes.Texts().empty(); }, kStateBound_ms));
      EXPECT_TRUE(row.carried_on(sock));
    }
    EXPECT_FALSE(boxes.Texts().empty());
    for (const std::string& text : boxes.Texts()) {
      EXPECT_EQ(text, "handler broke");
    }
  }
}

TEST_F(SockComponent, AbortIsReportedThenCancels) {
  sock_->ReportLevel = 8;
  sock_->Abort();
  EXPECT_EQ(statuses_, (Texts{"Abort", "Canceling"}));
  EXPECT_TRUE(sock_->Canceled());
}

// ---- Winsock start-up ----

TEST(SockWinsockStartup, TwoComponentsStartItOnceAndTheLastStopsIt) {
  ASSERT_EQ(TSockComponent::WinsockUsers(), 0);
  auto first = std::make_unique<TSockComponent>();
  auto second = std::make_unique<TSockComponent>();
  EXPECT_EQ(TSockComponent::WinsockUsers(), 2);

  const Texts& info = first->WinsockInfo();
  ASSERT_EQ(info.size(), 6u);
  EXPECT_EQ(info[0], "Version= 1.1");
  const char* prefixes[] = {"Version= ", "High Version= ", "Description= ",
                            "System= ",  "Max Sockets= ",  "Max Udp pack size= "};
  for (size_t i = 0; i < 6; ++i) {
    EXPECT_EQ(info[i].rfind(prefixes[i], 0), 0u) << info[i];
  }
  EXPECT_TRUE(second->WinsockInfo().empty()) << "only the component that started it reports";

  first.reset();
  EXPECT_TRUE(UniqueSocket(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)).valid());

  second.reset();
  EXPECT_EQ(TSockComponent::WinsockUsers(), 0);
  EXPECT_FALSE(UniqueSocket(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP)).valid());
  EXPECT_EQ(WSAGetLastError(), WSANOTINITIALISED);
}

// ---- the time-out ----

TEST_F(SockComponent, TimeOutFiresOnceAndCancels) {
  sock_->ReportLevel = 8;
  sock_->TimeOut = 30;
  sock_->TimerOn();
  ASSERT_TRUE(PumpUntil([&] { return sock_->TimedOut(); }, kStateBound_ms));
  EXPECT_TRUE(sock_->Canceled());
  EXPECT_TRUE(PumpUntil([this] { return statuses_.size() >= 5; }, kStateBound_ms));
  EXPECT_EQ(statuses_, (Texts{"Timer On", "Timer Triggered", "Timer Off", "Abort", "Canceling"}));
}

TEST_F(SockComponent, TickQueuedBeforeTimerOffDoesNotFire) {
  sock_->TimeOut = 20;
  sock_->TimerOn();
  Sleep(80);  // the tick falls due while nobody serves the queue
  sock_->TimerOff();
  PostMessageA(sock_->TimerWindow(), WM_TIMER, 1, 0);
  EXPECT_TRUE(PumpUntilPostedServed());
  EXPECT_FALSE(sock_->TimedOut());
  EXPECT_FALSE(sock_->Canceled());
}

TEST_F(SockComponent, ZeroTimeOutArmsNothingAndNegativeIsOutOfRange) {
  sock_->TimeOut = 0;
  sock_->TimerOn();
  PumpFor(100);  // a time-out that must not come
  EXPECT_FALSE(sock_->TimedOut());
  sock_->TimerOff();

  sock_->TimeOut = -1;
  EXPECT_THROW(sock_->TimerOn(), std::out_of_range);
}

// ---- resolving ----

TEST_F(SockComponent, DottedHostNeedsNoLookupAndNoTimer) {
  sock_->ReportLevel = 8;
  sock_->TimeOut = 1000;
  sock_->ResolveHost();
  EXPECT_EQ(sock_->RemoteAddress(), htonl(INADDR_LOOPBACK));
  EXPECT_EQ(statuses_, Texts{"Resolve Host"});
  EXPECT_TRUE(events_.empty());
}

TEST_F(SockComponent, NameIsLookedUpAsynchronously) {
  sock_->ReportLevel = 8;
  sock_->TimeOut = 10000;
  sock_->Host = "localhost";  // from the hosts file, no name server asked
  sock_->ResolveHost();
  EXPECT_EQ(sock_->RemoteAddress(), htonl(INADDR_LOOPBACK));
  EXPECT_EQ(statuses_, (Texts{"Resolve Host", "Timer On", "Timer Off"}));
  EXPECT_EQ(events_, Texts{"HostResolved"});
}

TEST_F(SockComponent, ProxyIsResolvedInsteadOfHost) {
  sock_->Host = "no-such-host-" + std::string(64, 'x') + ".invalid";
  sock_->Proxy = "127.0.0.1";
  sock_->ResolveHost();
  EXPECT_EQ(sock_->RemoteAddress(), htonl(INADDR_LOOPBACK));
}

// ---- connecting and closing ----

TEST_F(SockComponent, ConnectThenDisconnectLeavesAFreshSocket) {
  LoopbackServer server(Hold);
  ConnectTo(server);
  EXPECT_TRUE(sock_->Connected());
  EXPECT_EQ(ErrorOf([&] { sock_->Connect(); }), "Already connected");

  sock_->ReportLevel = 8;
  sock_->Disconnect();
  EXPECT_EQ(statuses_, (Texts{"Disconnecting", "Request Close Socket"}));
  EXPECT_EQ(events_, (Texts{"Connect", "Disconnect"}));
  EXPECT_FALSE(sock_->Connected());
  EXPECT_NE(sock_->SocketHandle(), INVALID_SOCKET);
}

TEST_F(SockComponent, RefusedConnectFailsOnItsNotificationNotOnTheTimeOut) {
  sock_->Port = RefusedPort();
  sock_->TimeOut = 20000;
  const DWORD start = GetTickCount();
  const std::string error = ErrorOf([&] { sock_->Connect(); });
  // The failure must come from FD_CONNECT's error; a time-out would take 20 s.
  EXPECT_TRUE(error == "Connection Failed") << error;
  EXPECT_LT(GetTickCount() - start, 20000u);
  EXPECT_EQ(events_, Texts{"ConnectionFailed"});
  EXPECT_FALSE(sock_->Connected());
}

TEST_F(SockComponent, ConnectNotificationWithAnErrorConnectsNothing) {
  Post(FD_CONNECT, WSAECONNREFUSED, sock_->SocketHandle());
  EXPECT_TRUE(PumpUntilPostedServed());
  EXPECT_FALSE(sock_->Connected());
  EXPECT_TRUE(events_.empty());
}

TEST_F(SockComponent, NotificationsQueuedBeforeACloseAreIgnored) {
  LoopbackServer server(Hold);
  ConnectTo(server);
  // Both would be taken for the fresh socket's if they reached it.
  Post(FD_CONNECT, 0, sock_->SocketHandle());
  Post(FD_CLOSE, 0, sock_->SocketHandle());
  sock_->Disconnect();
  const SOCKET fresh = sock_->SocketHandle();
  EXPECT_TRUE(PumpUntilPostedServed());
  EXPECT_EQ(events_, (Texts{"Connect", "Disconnect"}));
  EXPECT_FALSE(sock_->Connected());
  EXPECT_EQ(sock_->SocketHandle(), fresh);
}

TEST_F(SockComponent, SocketIsMatchedByItsFullHandle) {
  static_assert(std::is_same_v<decltype(sock_->SocketHandle()), SOCKET>);
  // Differs from the socket only above the low 16 bits.
  Post(FD_CONNECT, 0, sock_->SocketHandle() | 0x10000);
  EXPECT_TRUE(PumpUntilPostedServed());
  EXPECT_FALSE(sock_->Connected());
  EXPECT_TRUE(events_.empty());
}

// ---- reading and writing ----

TEST_F(SockComponent, ReadTakesAtMost65535BytesAtATime) {
  std::string sent(70000, '\0');
  for (size_t i = 0; i < sent.size(); ++i) {
    sent[i] = static_cast<char>('a' + i % 26);
  }
  LoopbackServer server([&sent](LoopbackServer& srv, SOCKET s) {
    LoopbackServer::SendAll(s, sent);
    srv.WaitForClientClose(s);
  });
  ConnectTo(server);
  std::vector<char> all(sent.size() + 1);
  ASSERT_TRUE(PumpUntil(
      [&] {
        return recv(sock_->SocketHandle(), all.data(), static_cast<int>(all.size()), MSG_PEEK) ==
               static_cast<int>(sent.size());
      },
      kStateBound_ms));

  const std::string first = sock_->Read(0);
  EXPECT_EQ(first.size(), 65535u);
  const std::string rest = sock_->Read(0);
  EXPECT_EQ(first + rest, sent);
  EXPECT_EQ(sock_->Read(0), "") << "nothing left; would-block is no error";
  sock_->Disconnect();
}

TEST_F(SockComponent, ReadOfACountWaitsForThatManyAndCapsLargeCounts) {
  const std::string sent = std::string(65535, 'x') + "tail";
  LoopbackServer server([&sent](LoopbackServer& srv, SOCKET s) {
    LoopbackServer::SendAll(s, sent.substr(0, 1000));
    Sleep(100);  // the rest in a later piece, whenever the client reads meanwhile
    LoopbackServer::SendAll(s, sent.substr(1000));
    srv.WaitForClientClose(s);
  });
  ConnectTo(server);
  EXPECT_EQ(sock_->Read(70000), sent.substr(0, 65535));
  EXPECT_EQ(sock_->Read(4), "tail");
  sock_->Disconnect();
}

TEST_F(SockComponent, TransactionSendsALineAndParsesTheReplyNumber) {
  std::string received;
  LoopbackServer server([&received](LoopbackServer& srv, SOCKET s) {
    char buffer[64];
    while (received.find('\n') == std::string::npos && srv.WaitReadable(s, 5000)) {
      const int n = recv(s, buffer, sizeof(buffer), 0);
      if (n <= 0) {
        return;
      }
      received.append(buffer, static_cast<size_t>(n));
    }
    LoopbackServer::SendAll(s, "220 ready\r\n230 next\r\n");
    srv.WaitForClientClose(s);
  });
  sock_->Port = server.Port();
  sock_->TimeOut = 5000;
  sock_->ReportLevel = 1;
  sock_->Connect();
  EXPECT_EQ(sock_->Transaction("HELLO"), "220 ready\r\n");
  EXPECT_EQ(sock_->ReplyNumber(), 220);
  EXPECT_EQ(sock_->TransactionReply(), "220 ready\r\n");
  EXPECT_EQ(statuses_, Texts{"220 ready\r\n"});
  EXPECT_EQ(sock_->ReadLn(), "230 next\r\n");
  sock_->Disconnect();
  EXPECT_EQ(received, "HELLO\r\n");
}

TEST_F(SockComponent, ReadLnFromASilentServerIsAbortedByTheTimeOut) {
  LoopbackServer server(Hold);
  ConnectTo(server);
  sock_->TimeOut = 100;
  EXPECT_EQ(ErrorOf([&] { sock_->ReadLn(); }), "Socket readln aborted");
  EXPECT_FALSE(sock_->Canceled());
  sock_->Disconnect();
}

TEST_F(SockComponent, PeerClosingWithDataUnreadKeepsTheSocketUntilRead) {
  LoopbackServer server([](LoopbackServer&, SOCKET s) { LoopbackServer::SendAll(s, "last"); });
  ConnectTo(server);
  PumpFor(200);  // the data and the close arrive, and must not close the socket yet
  EXPECT_TRUE(sock_->Connected());
  EXPECT_EQ(sock_->Read(0), "last");
  sock_->Disconnect();
  EXPECT_EQ(events_, (Texts{"Connect", "Disconnect"}));
}

TEST_F(SockComponent, PeerClosingWithNothingToReadClosesAtOnce) {
  LoopbackServer server([](LoopbackServer&, SOCKET) {});
  ConnectTo(server);
  ASSERT_TRUE(PumpUntil([&] { return !sock_->Connected(); }, kStateBound_ms));
  EXPECT_EQ(events_, (Texts{"Connect", "Disconnect"}));
  EXPECT_NE(sock_->SocketHandle(), INVALID_SOCKET);
}

// ---- accepting ----

TEST_F(SockComponent, AcceptReturnsTheIncomingConnection) {
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ASSERT_EQ(bind(sock_->SocketHandle(), reinterpret_cast<sockaddr*>(&address), sizeof(address)), 0);
  ASSERT_EQ(listen(sock_->SocketHandle(), 1), 0);
  int size = sizeof(address);
  getsockname(sock_->SocketHandle(), reinterpret_cast<sockaddr*>(&address), &size);

  // The peer holds its connection open until it has been accepted.
  const UniqueKernelHandle accepted_event(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  std::thread peer([address, &accepted_event] {
    const UniqueSocket s(socket(AF_INET, SOCK_STREAM, IPPROTO_TCP));
    connect(s.get(), reinterpret_cast<const sockaddr*>(&address), sizeof(address));
    WaitForSingleObject(accepted_event.get(), kStateBound_ms);
  });
  const UniqueSocket accepted(sock_->Accept());
  SetEvent(accepted_event.get());
  peer.join();
  EXPECT_TRUE(accepted.valid());
  EXPECT_EQ(sock_->RemoteAddress(), htonl(INADDR_LOOPBACK));
}

// ---- waits and re-entry ----

TEST_F(SockComponent, CancelEndsAnAcceptWait) {
  TTimer ticker(20);
  ticker.OnTimer.Bind([this](TTimer*) { sock_->Cancel(); });
  EXPECT_EQ(ErrorOf([&] { sock_->Accept(); }), "Accepting Canceled");
  EXPECT_FALSE(sock_->Canceled());
}

TEST_F(SockComponent, OperationsFromAHandlerDuringAWaitAreRefused) {
  LoopbackServer server(Hold);
  ConnectTo(server);
  sock_->TimeOut = 300;
  Texts refusals;
  TTimer ticker(20);
  ticker.OnTimer.Bind([&](TTimer*) {
    if (refusals.empty()) {
      refusals.push_back(ErrorOf([&] { sock_->Read(1); }));
      refusals.push_back(ErrorOf([&] { sock_->Write("x"); }));
      refusals.push_back(ErrorOf([&] { sock_->RequestCloseSocket(); }));
      refusals.push_back(ErrorOf([&] { sock_->TimerOff(); }));
    }
  });
  EXPECT_EQ(ErrorOf([&] { sock_->ReadLn(); }), "Socket readln aborted");
  EXPECT_EQ(refusals, (Texts{net::kBusy, net::kBusy, net::kBusy, net::kBusy}));
  EXPECT_TRUE(sock_->Connected());
  sock_->Disconnect();
}

}  // namespace
