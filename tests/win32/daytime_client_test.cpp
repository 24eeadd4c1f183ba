#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "net/DaytimeClient.h"
#include "tests/win32/sock_test_support.h"
#include "ui/Application.h"
#include "ui/Timer.h"

namespace {

const std::string kReply = "\n55614 12-02-17 21:47:35 00 0 0 613.2 UTC(NIST) * \r\n";

// A label of more than 63 characters cannot be put into a name-server query, so the
// lookup fails on this machine without a packet leaving it; .invalid never resolves.
const std::string kUnresolvableHost = "no-such-host-" + std::string(64, 'x') + ".invalid";

LoopbackServer::Script SendThenHold(std::string text) {
  return [text](LoopbackServer& server, SOCKET s) {
    LoopbackServer::SendAll(s, text);
    server.WaitForClientClose(s);
  };
}

// A client on 127.0.0.1 that records its events and status messages.
class DaytimeRequest : public testing::Test {
 protected:
  void SetUp() override {
    client_ = std::make_unique<TDaytimeClient>();
    client_->Host = "127.0.0.1";
    RecordEvents(*client_, events_, statuses_);
  }

  // The status messages with repeated "Data Available" tests shown once.
  std::vector<std::string> CollapsedStatuses() const {
    std::vector<std::string> out;
    for (const std::string& s : statuses_) {
      if (out.empty() || s != "Data Available" || out.back() != s) {
        out.push_back(s);
      }
    }
    return out;
  }

  void Aim(int port, int timeout_ms) {
    client_->Port = port;
    client_->TimeOut = timeout_ms;
  }

  std::unique_ptr<TDaytimeClient> client_;
  std::vector<std::string> events_;
  std::vector<std::string> statuses_;
};

using Events = std::vector<std::string>;

// A socket made after a close: unconnected and without the reset-on-close linger that
// the component's first socket carries. (Handle values are reused, so they prove nothing.)
bool IsFreshSocket(SOCKET s) {
  linger value{};
  int size = sizeof(value);
  if (getsockopt(s, SOL_SOCKET, SO_LINGER, reinterpret_cast<char*>(&value), &size) != 0) {
    return false;
  }
  sockaddr_in peer{};
  int peer_size = sizeof(peer);
  return value.l_onoff == 0 &&
         getpeername(s, reinterpret_cast<sockaddr*>(&peer), &peer_size) == SOCKET_ERROR;
}

TEST(DaytimeDefaults, NewClientAsksPort13WithHalfSecondTimeOut) {
  TDaytimeClient client;
  EXPECT_EQ(client.Port, 13);
  EXPECT_EQ(client.TimeOut, 500);
  EXPECT_EQ(client.ReportLevel, 0);
  EXPECT_FALSE(client.Connected());
  EXPECT_NE(client.SocketHandle(), INVALID_SOCKET);
}

TEST_F(DaytimeRequest, ReplyKeepsItsLeadingLineFeed) {
  LoopbackServer server(SendThenHold(kReply));
  client_->Port = server.Port();
  client_->ReportLevel = 8;
  ASSERT_FALSE(IsFreshSocket(client_->SocketHandle())) << "the first socket resets on close";

  EXPECT_EQ(client_->ReadDayTime(), kReply);

  EXPECT_EQ(events_, (Events{"Connect", "Disconnect"}));
  EXPECT_EQ(CollapsedStatuses(),
            (Events{"Resolve Host", "Connecting", "Timer On", "Timer Off", "Data Available",
                    "Read( 0 )", "Disconnecting", "Request Close Socket"}));
  EXPECT_FALSE(client_->Connected());
  EXPECT_TRUE(IsFreshSocket(client_->SocketHandle()));
}

TEST_F(DaytimeRequest, LowerReportLevelsShowOnlyTheCloseOrNothing) {
  const int levels[] = {7, 4, 3, 0};
  const Events expected[] = {{"Request Close Socket"}, {"Request Close Socket"}, {}, {}};
  LoopbackServer server(SendThenHold(kReply), 4);
  client_->Port = server.Port();
  for (int i = 0; i < 4; ++i) {
    statuses_.clear();
    client_->ReportLevel = levels[i];
    EXPECT_EQ(client_->ReadDayTime(), kReply) << "level " << levels[i];
    EXPECT_EQ(statuses_, expected[i]) << "level " << levels[i];
  }
}

TEST_F(DaytimeRequest, SecondPieceAfterTheFirstReadIsNotRead) {
  // The second piece goes out once the client has returned its reply, however long
  // the client took: the test's signal, not a pause, orders the two.
  const UniqueKernelHandle reply_returned(CreateEventA(nullptr, TRUE, FALSE, nullptr));
  LoopbackServer server([&reply_returned](LoopbackServer& srv, SOCKET s) {
    LoopbackServer::SendAll(s, "\n55614 12-02-17");
    WaitForSingleObject(reply_returned.get(), kStateBound_ms);
    LoopbackServer::SendAll(s, " 21:47:35 00 0 0 613.2 UTC(NIST) * \r\n");
    srv.WaitForClientClose(s);
  });
  client_->Port = server.Port();
  const std::string reply = client_->ReadDayTime();
  SetEvent(reply_returned.get());
  EXPECT_EQ(reply, "\n55614 12-02-17");
}

TEST_F(DaytimeRequest, RefusedPortEndsAsTimeOutOnlyAfterTimeOut) {
  Aim(RefusedPort(), 300);
  const DWORD start = GetTickCount();
  try {
    client_->ReadDayTime();
    ADD_FAILURE() << "a refused port gave a reply";
  } catch (const ESockError& e) {
    ADD_FAILURE() << "expected the general time-out error, got ESockError " << e.what();
  } catch (const std::runtime_error& e) {
    EXPECT_STREQ(e.what(), "Connection Timed out");
  }
  EXPECT_GE(GetTickCount() - start, 300u);
  EXPECT_TRUE(events_.empty()) << "no connection, no failure event, no disconnect";
  EXPECT_FALSE(client_->Connected());
}

TEST_F(DaytimeRequest, TimedOutAttemptIsClosedBeforeTheNextRequest) {
  Aim(RefusedPort(), 200);
  EXPECT_EQ(ErrorOf([&] { client_->ReadDayTime(); }), "Connection Timed out");
  EXPECT_TRUE(IsFreshSocket(client_->SocketHandle()));

  LoopbackServer server(SendThenHold(kReply));
  client_->Port = server.Port();
  EXPECT_EQ(client_->ReadDayTime(), kReply);
  EXPECT_EQ(events_, (Events{"Connect", "Disconnect"}));
}

TEST_F(DaytimeRequest, SilentServerEndsAsTimeOutAndIsDisconnected) {
  LoopbackServer server(Hold);
  Aim(server.Port(), 300);
  const DWORD start = GetTickCount();
  EXPECT_EQ(ErrorOf([&] { client_->ReadDayTime(); }), "Connection Timed out");
  EXPECT_GE(GetTickCount() - start, 300u);
  EXPECT_EQ(events_, (Events{"Connect", "Disconnect"}));
  EXPECT_FALSE(client_->Connected());
}

TEST_F(DaytimeRequest, PeerClosingWithDataUnreadStillDeliversIt) {
  LoopbackServer server([](LoopbackServer&, SOCKET s) { LoopbackServer::SendAll(s, kReply); }, 2);
  client_->Port = server.Port();
  EXPECT_EQ(client_->ReadDayTime(), kReply);
  EXPECT_EQ(client_->ReadDayTime(), kReply);
  EXPECT_EQ(events_, (Events{"Connect", "Disconnect", "Connect", "Disconnect"}));
}

TEST_F(DaytimeRequest, PeerClosingWithNothingIsAFailureAndLeavesAFreshSocket) {
  int connection = 0;
  LoopbackServer server(
      [&connection](LoopbackServer& srv, SOCKET s) {
        if (connection++ > 0) {
          LoopbackServer::SendAll(s, kReply);
          srv.WaitForClientClose(s);
        }
      },
      2);
  client_->Port = server.Port();
  // Far beyond what a loaded machine takes for the close, so that only a wait for the
  // time-out reaches it.
  client_->TimeOut = static_cast<int>(kStateBound_ms);
  const DWORD start = GetTickCount();
  try {
    const std::string reply = client_->ReadDayTime();
    ADD_FAILURE() << "a close without a word gave a reply of " << reply.size() << " bytes";
  } catch (const ESockError& e) {
    EXPECT_STREQ(e.what(), "Connection closed without a reply");
  }
  EXPECT_LT(GetTickCount() - start, kStateBound_ms) << "noticed at the close, not at the time-out";
  EXPECT_EQ(events_, (Events{"Connect", "Disconnect"}));
  EXPECT_TRUE(IsFreshSocket(client_->SocketHandle()));
  EXPECT_FALSE(client_->Connected());

  EXPECT_EQ(client_->ReadDayTime(), kReply);
}

TEST_F(DaytimeRequest, PeerResetWithNothingToReadIsASocketError) {
  // NOTE: this machine's network stack turns a server's reset into a plain end of stream,
  // so the notification Wine gives for a reset (FD_CLOSE with the error, no FD_READ) is
  // posted here the moment the connection is made.
  LoopbackServer server(Hold);
  Aim(server.Port(), 5000);
  client_->OnConnect.Bind([this](TSockComponent* c) {
    events_.push_back("Connect");
    PostMessageA(c->NotificationWindow(), TSockComponent::kSocketMessage, c->SocketHandle(),
                 WSAMAKESELECTREPLY(FD_CLOSE, WSAECONNRESET));
  });
  try {
    const std::string reply = client_->ReadDayTime();
    ADD_FAILURE() << "a reset gave a reply of " << reply.size() << " bytes";
  } catch (const ESockError& e) {
    EXPECT_STREQ(e.what(), "10054:Connection reset by peer");
  }
  EXPECT_EQ(client_->LastErrorNo(), 10054);
  EXPECT_EQ(events_, (Events{"Connect", "Disconnect"}));
  EXPECT_TRUE(IsFreshSocket(client_->SocketHandle()));
}

// A handler that leaves the flag alone claims no repair.
TEST_F(DaytimeRequest, UnresolvableHostIsLookedUpTwiceOnlyWhenRepairIsClaimed) {
  client_->Host = kUnresolvableHost;
  client_->TimeOut = 10000;
  client_->ReportLevel = 8;
  for (const bool claimed : {true, false}) {
    SCOPED_TRACE(claimed ? "repair claimed" : "flag left alone");
    statuses_.clear();
    int calls = 0;
    client_->OnInvalidHost.Bind([&calls, claimed](TSockComponent*, bool& handled) {
      ++calls;
      if (claimed) {
        handled = true;
      }
    });
    try {
      client_->ReadDayTime();
      ADD_FAILURE() << "an unresolvable host gave a reply";
    } catch (const ESockError& e) {
      EXPECT_STREQ(e.what(), "Null Remote Address");
    }
    EXPECT_EQ(calls, 1);
    EXPECT_EQ(std::count(statuses_.begin(), statuses_.end(), "Resolve Host"), claimed ? 2 : 1);
    EXPECT_EQ(std::count(statuses_.begin(), statuses_.end(), "Connecting"), 0);
    EXPECT_TRUE(events_.empty());
  }
}

TEST_F(DaytimeRequest, ConnectedClientRefusesARequest) {
  LoopbackServer server(Hold);
  client_->Port = server.Port();
  client_->Connect();
  EXPECT_EQ(ErrorOf([&] { client_->ReadDayTime(); }), "Already connected");
  EXPECT_TRUE(client_->Connected());
  client_->Disconnect();
}

// The waits serve the message queue, and what runs from it may not start a second
// operation on the same component.
class DaytimeWait : public DaytimeRequest {
 protected:
  void StartTicking(std::function<void()> on_tick) {
    ticker_ = std::make_unique<TTimer>(20);
    ticker_->OnTimer.Bind([this, on_tick](TTimer*) {
      ++ticks_;
      if (on_tick) {
        on_tick();
      }
    });
  }
  void TearDown() override {
    ticker_.reset();
    Application().Reset();
  }

  std::unique_ptr<TTimer> ticker_;
  int ticks_ = 0;
};

TEST_F(DaytimeWait, TimerKeepsFiringWhileConnectingAndWhileWaitingForTheReply) {
  LoopbackServer server(Hold);
  StartTicking(nullptr);
  for (const int port : {RefusedPort(), server.Port()}) {
    SCOPED_TRACE(port == server.Port() ? "waiting for the reply" : "connecting");
    ticks_ = 0;
    Aim(port, 400);
    EXPECT_EQ(ErrorOf([&] { client_->ReadDayTime(); }), "Connection Timed out");
    EXPECT_GE(ticks_, 3);
  }
}

TEST_F(DaytimeWait, QueueIsServedDuringTheLookup) {
  bool served = false;
  MessageWindow window([&served](UINT msg, WPARAM, LPARAM, LRESULT&) {
    if (msg != WM_APP) {
      return false;
    }
    served = true;
    return true;
  });
  bool served_before_repair = false;
  client_->Host = kUnresolvableHost;
  client_->TimeOut = 10000;
  client_->OnInvalidHost.Bind([&](TSockComponent*, bool&) { served_before_repair = served; });
  PostMessageA(window.Handle(), WM_APP, 0, 0);
  EXPECT_EQ(ErrorOf([&] { client_->ReadDayTime(); }), "Null Remote Address");
  EXPECT_TRUE(served_before_repair);
}

TEST_F(DaytimeWait, SecondRequestFromAHandlerIsRefused) {
  LoopbackServer server(Hold);
  Aim(server.Port(), 400);
  std::vector<std::string> refusals;
  StartTicking([&] {
    if (refusals.size() < 2) {
      refusals.push_back(ErrorOf([&] { client_->ReadDayTime(); }));
      refusals.push_back(ErrorOf([&] { client_->Disconnect(); }));
    }
  });
  EXPECT_EQ(ErrorOf([&] { client_->ReadDayTime(); }), "Connection Timed out");
  ASSERT_EQ(refusals.size(), 2u);
  EXPECT_EQ(refusals[0], net::kBusy);
  EXPECT_EQ(refusals[1], net::kBusy);
  EXPECT_EQ(events_, (Events{"Connect", "Disconnect"}));
}

TEST_F(DaytimeWait, CancelOrATerminatedApplicationEndsAWaitThatHasNoTimeOut) {
  for (const bool terminate : {false, true}) {
    SCOPED_TRACE(terminate ? "application terminated" : "cancelled");
    LoopbackServer server(Hold);
    events_.clear();
    ticks_ = 0;
    Aim(server.Port(), 0);
    StartTicking([&] {
      if (ticks_ == 5) {
        terminate ? Application().Terminate() : client_->Cancel();
      }
    });
    EXPECT_EQ(ErrorOf([&] { client_->ReadDayTime(); }), "Connection Canceled");
    EXPECT_EQ(events_, (Events{"Connect", "Disconnect"}));
    EXPECT_EQ(Application().Terminated(), terminate);
  }
}

}  // namespace
