// The socket commands and functions as scripts use them: socket numbers, messages word for
// word, the order of evaluation, group checks, and two games (two networks in this process)
// talking through a socket group.
#include <gtest/gtest.h>

#include <cmath>

#include "interpreter/CommandTable.h"
#include "net/EZprotocol.h"
#include "net/GameNetwork.h"
#include "net/QMSocketGroup.h"
#include "net/SocketCommands.h"
#include "platform/QuitRequest.h"
#include "unit/NetTestPeer.h"

namespace qm::test {
namespace {

using Kind = SocketEventKind;
using NetScript::Execute_SocketCommands;

uint16_t code(Cmd c) { return uint16_t(c); }

class NetSocketCommandsTest : public ::testing::Test {
protected:
  // Socket events are Qt entry points, which do nothing once a quit was requested.
  void SetUp() override { ResetQuitRequest(); }

  // Runs a command; its reports.
  std::vector<std::string> run(Cmd c, ValueArgs args) {
    Execute_SocketCommands(code(c), args, network);
    return args.reports;
  }
  std::string openGroup(ValueArgs args) {
    NetScript::OpenSocketGroup(args, network);
    return args.reports.empty() ? "" : args.onlyReport();
  }

  RecordingListener listener;
  GameNetwork network{listener};
};

TEST_F(NetSocketCommandsTest, SocketNumbersAreOneToHundredComparedAsIndexes) {
  struct Case {
    double n;
    int64_t index; // -1: reported
    const char* message;
  };
  const std::vector<Case> cases = {
      {1, 0, ""},
      {100, 99, ""},
      {2.7, 1, ""},
      {100.9, 99, ""},
      {0, -1, "Invalid socket number: 0"},
      {101, -1, "Invalid socket number: 101"},
      {0.5, -1, "Invalid socket number: 0.5"},
      {-3, -1, "Invalid socket number: -3"},
      {std::nan(""), -1, "Invalid socket number: nan"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.n);
    const auto reports = run(Cmd::SocketCreate, {c.n});
    if (c.index < 0) {
      EXPECT_EQ(reports, std::vector<std::string>{c.message});
      continue;
    }
    EXPECT_TRUE(reports.empty());
    ASSERT_TRUE(network.GameSockets(c.index));
    EXPECT_EQ(network.GameSockets(c.index)->MyIDnum, c.index + 1);
  }
}

TEST_F(NetSocketCommandsTest, CommandsOnNumbersNotInUseAreReported) {
  for (Cmd c : {Cmd::SocketConnectCmd, Cmd::SocketSendCommand, Cmd::SocketClose,
                Cmd::SocketFree, Cmd::SocketWriteCmd}) {
    SCOPED_TRACE(int(c));
    ValueArgs args{7.0, std::string("a"), std::string("b")};
    Execute_SocketCommands(code(c), args, network);
    EXPECT_EQ(args.onlyReport(), "Tried to access uninitialized socket ID \"7\".");
    EXPECT_EQ(args.evaluations, 1);
    EXPECT_EQ(run(c, {2.5}), std::vector<std::string>{
                                 "Tried to access uninitialized socket ID \"2.5\"."});
    EXPECT_EQ(run(c, {101.0}), std::vector<std::string>{"Invalid socket number: 101"});
  }
  // Codes outside the family do nothing.
  ValueArgs args{1.0};
  Execute_SocketCommands(code(Cmd::SocketGroupClose) + 1, args, network);
  EXPECT_EQ(args.evaluations, 0);
}

TEST_F(NetSocketCommandsTest, CreateMakesADirectSocketOnlyForExactlyTwoParametersWithOne) {
  struct Case {
    ValueArgs args;
    bool raw;
  };
  std::vector<Case> cases = {
      {{1.0}, false},
      {{1.0, 1.0}, true},
      {{1.0, 1.0, 0.0}, false},
      {{1.0, 1.0, 1.0}, false},
      {{1.0, 2.0}, false},
      {{1.0, 0.0}, false},
  };
  for (Case& c : cases) {
    Execute_SocketCommands(code(Cmd::SocketCreate), c.args, network);
    ASSERT_TRUE(network.GameSockets(0));
    EXPECT_EQ(network.GameSockets(0)->rawSocket, c.raw);
  }
}

TEST_F(NetSocketCommandsTest, CreateReplacesAndFreeEmptiesCloseKeeps) {
  run(Cmd::SocketCreate, {4.0});
  QPointer<EZprotocol> first = network.GameSockets(3);
  run(Cmd::SocketCreate, {4.0});
  EXPECT_NE(network.GameSockets(3), first.data());
  // Dropped objects are deleted once control is back in the event loop; the test stands in
  // for it.
  QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  EXPECT_TRUE(first.isNull()) << "the replaced object is dropped";

  EXPECT_TRUE(run(Cmd::SocketClose, {4.0}).empty());
  EXPECT_TRUE(network.GameSockets(3));
  EXPECT_TRUE(run(Cmd::SocketFree, {4.0}).empty());
  EXPECT_FALSE(network.GameSockets(3));
}

TEST_F(NetSocketCommandsTest, ModeIsCheckedBeforeTheTextsAreEvaluated) {
  run(Cmd::SocketCreate, {1.0, 1.0});
  run(Cmd::SocketCreate, {2.0});
  ValueArgs send{1.0, std::string("id"), std::string("data")};
  Execute_SocketCommands(code(Cmd::SocketSendCommand), send, network);
  EXPECT_EQ(send.onlyReport(), "Can't send commands to direct sockets.");
  EXPECT_EQ(send.evaluations, 1);

  ValueArgs write{2.0, std::string("bytes")};
  Execute_SocketCommands(code(Cmd::SocketWriteCmd), write, network);
  EXPECT_EQ(write.onlyReport(), "Can't write to command sockets.");
  EXPECT_EQ(write.evaluations, 1);
}

TEST_F(NetSocketCommandsTest, AStoppedGameEndsTheCommandAfterAnyEvaluation) {
  // Create: stopped while the socket number or the mode is evaluated.
  for (int stop : {1, 2}) {
    ValueArgs args{5.0, 1.0};
    Execute_SocketCommands(code(Cmd::SocketCreate), args.stopAtEvaluation(stop), network);
    EXPECT_FALSE(network.GameSockets(4));
    EXPECT_TRUE(args.reports.empty());
  }
  // Send: stopped while the identifier or the data is evaluated: nothing is sent.
  PeerServer server;
  run(Cmd::SocketCreate, {5.0});
  run(Cmd::SocketConnectCmd, {5.0, std::string("127.0.0.1"), double(server.port())});
  auto peer = server.accept();
  ASSERT_TRUE(peer);
  for (int stop : {2, 3}) {
    ValueArgs args{5.0, std::string("id"), std::string("data")};
    Execute_SocketCommands(code(Cmd::SocketSendCommand), args.stopAtEvaluation(stop), network);
  }
  run(Cmd::SocketSendCommand, {5.0, std::string("last"), std::string("")});
  const auto frame = peer->nextFrame();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->first, "last");
  // Connect: stopped while the port is evaluated: no second connection is made.
  ValueArgs connect{5.0, std::string("127.0.0.1"), double(server.port())};
  Execute_SocketCommands(code(Cmd::SocketConnectCmd), connect.stopAtEvaluation(3), network);
  EXPECT_TRUE(network.GameSockets(4)->IsConnected());
}

TEST_F(NetSocketCommandsTest, WrittenBytesGoOutBeforeAFreedSocketCloses) {
  PeerServer server;
  run(Cmd::SocketCreate, {9.0, 1.0});
  run(Cmd::SocketConnectCmd, {9.0, std::string("127.0.0.1"), double(server.port())});
  auto peer = server.accept();
  ASSERT_TRUE(peer);
  ASSERT_TRUE(listener.waitFor(Kind::Connected, 1));
  const std::string big(300000, 'z');
  EXPECT_TRUE(run(Cmd::SocketWriteCmd, {9.0, big}).empty());
  EXPECT_TRUE(run(Cmd::SocketFree, {9.0}).empty());
  EXPECT_TRUE(peer->waitForDisconnect());
  EXPECT_EQ(peer->received().size(), qsizetype(big.size()));
}

TEST_F(NetSocketCommandsTest, OpeningAGroupChecksRangePortConflictsAndMembersInOrder) {
  const double P = double(freePort());
  struct Case {
    ValueArgs args;
    const char* message;
  };
  std::vector<Case> refused = {
      {{1.0, 1.0, P}, "Invalid socket group range."},
      {{0.0, 5.0, P}, "Invalid socket group range."},
      {{5.0, 101.0, P}, "Invalid socket group range."},
      {{3.0, 2.0, P}, "Invalid socket group range."},
      {{1.0, 1.0, 80.0}, "Invalid socket group range."}, // the range is checked first
      {{1.0, 2.0, 1023.0}, "Invalid port number: 1023"},
      {{1.0, 2.0, 65536.0}, "Invalid port number: 65536"},
      {{1.0, 2.0, -1.0}, "Invalid port number: -1"},
      {{1.0, 2.0, 1023.9}, "Invalid port number: 1023"},
  };
  for (Case& c : refused) {
    SCOPED_TRACE(c.message);
    EXPECT_EQ(NetScript::OpenSocketGroup(c.args, network), "");
    EXPECT_EQ(c.args.onlyReport(), c.message);
    EXPECT_EQ(c.args.exitMarks, std::vector<bool>{false});
  }
  EXPECT_TRUE(network.SocketGroups().empty());

  // The port's extremes are accepted (listening itself may still fail: that is a notice).
  EXPECT_EQ(openGroup({1.0, 2.0, 1024.0}), "");
  EXPECT_EQ(openGroup({91.0, 100.0, 65535.0}), "");
  EXPECT_EQ(network.SocketGroups().size(), 2u);
  EXPECT_TRUE(network.CloseSocketGroup(1, 2));
  EXPECT_TRUE(network.CloseSocketGroup(91, 100));

  // A group 1..5, then 5..8: conflict (an end inside the old range).
  EXPECT_EQ(openGroup({1.0, 5.0, P}), "");
  EXPECT_EQ(openGroup({5.0, 8.0, P + 1}), "New socket group conflicts with existing group.");
  EXPECT_TRUE(network.CloseSocketGroup(1, 5));
  // A group 3..4, then 1..8: no conflict (only the new ends are compared)...
  EXPECT_EQ(openGroup({3.0, 4.0, P}), "");
  // ...but a socket in 1..8 refuses it.
  run(Cmd::SocketCreate, {4.0});
  EXPECT_EQ(openGroup({1.0, 8.0, P + 1}), "Socket group members must not exist already.");
  run(Cmd::SocketFree, {4.0});
  EXPECT_EQ(openGroup({1.0, 8.0, P + 1}), "");
  EXPECT_EQ(network.SocketGroups().size(), 2u);
}

TEST_F(NetSocketCommandsTest, OpeningAGroupReadsItsArgumentsAndMode) {
  const double P = double(freePort());
  ValueArgs raw{1.9, 2.2, P, 1.0};
  const std::string address = NetScript::OpenSocketGroup(raw, network);
  EXPECT_EQ(address, GameNetwork::LocalAddressText());
  EXPECT_FALSE(address.empty());
  ASSERT_EQ(network.SocketGroups().size(), 1u);
  const QMSocketGroup& group = *network.SocketGroups()[0];
  EXPECT_TRUE(group.raw);
  EXPECT_EQ(group.beginid, 0);
  EXPECT_EQ(group.endid, 1);
  EXPECT_EQ(group.MaximumSocketsConnected, 2);
  EXPECT_EQ(group.MinimumSocketsAvailable, 1);
  EXPECT_EQ(group.serverPort(), quint16(P));
  EXPECT_EQ(group.serverAddress(), QHostAddress(QHostAddress::Any)) << "listens everywhere";

  EXPECT_EQ(openGroup({10.0, 20.0, P + 1, 0.0}), "");
  EXPECT_EQ(openGroup({30.0, 40.0, P + 2}), "");
  ValueArgs five{50.0, 60.0, P + 3, 1.0, 1.0};
  NetScript::OpenSocketGroup(five, network);
  for (size_t i = 1; i < 4; ++i) EXPECT_FALSE(network.SocketGroups()[i]->raw);
  EXPECT_EQ(network.SocketGroups()[2]->MinimumSocketsAvailable, 5);

  for (int stop : {1, 2, 3, 4}) {
    ValueArgs args{70.0, 80.0, P + 4, 1.0};
    EXPECT_EQ(NetScript::OpenSocketGroup(args.stopAtEvaluation(stop), network), "");
    EXPECT_TRUE(args.reports.empty());
  }
  EXPECT_EQ(network.SocketGroups().size(), 4u);
}

TEST_F(NetSocketCommandsTest, ClosingAGroupNeedsItsExactRange) {
  const double P = double(freePort());
  EXPECT_EQ(openGroup({2.0, 6.0, P}), "");
  EXPECT_EQ(run(Cmd::SocketGroupClose, {2.0, 7.0}),
            std::vector<std::string>{"Invalid socket group range."});
  EXPECT_EQ(run(Cmd::SocketGroupClose, {1.0, 6.0}),
            std::vector<std::string>{"Invalid socket group range."});
  ASSERT_EQ(network.SocketGroups().size(), 1u);
  EXPECT_TRUE(network.SocketGroups()[0]->isListening());
  EXPECT_TRUE(run(Cmd::SocketGroupClose, {2.9, 6.5}).empty());
  EXPECT_TRUE(network.SocketGroups().empty());
}

TEST_F(NetSocketCommandsTest, SocketFunctionsReportWithTheExitMarker) {
  struct Case {
    double s;
    const char* connected; // report of SocketConnected, "" for none
    double connectedValue;
    const char* exists;
    double existsValue;
  };
  run(Cmd::SocketCreate, {2.0});
  const std::vector<Case> cases = {
      {0, "Invalid socket number: 0", 0, "Invalid socket number: 0", 0},
      {101, "Invalid socket number: 101", 0, "Invalid socket number: 101", 0},
      {0.5, "Socket doesn't exist: 1", 0, "", 0}, // (0.5 - 1) truncated: index 0
      {1, "Socket doesn't exist: 1", 0, "", 0},
      {2.9, "", 0, "", 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.s);
    ValueArgs a{c.s};
    EXPECT_EQ(NetScript::SocketConnected(a, network), c.connectedValue);
    EXPECT_EQ(a.reports, *c.connected ? std::vector<std::string>{c.connected}
                                      : std::vector<std::string>{});
    if (*c.connected) {
      EXPECT_EQ(a.exitMarks, std::vector<bool>{true});
    }
    ValueArgs b{c.s};
    EXPECT_EQ(NetScript::SocketExists(b, network), c.existsValue);
    EXPECT_EQ(b.reports,
              *c.exists ? std::vector<std::string>{c.exists} : std::vector<std::string>{});
    if (*c.exists) {
      EXPECT_EQ(b.exitMarks, std::vector<bool>{true});
    }
  }

  PeerServer server;
  run(Cmd::SocketConnectCmd, {2.0, std::string("127.0.0.1"), double(server.port())});
  ASSERT_TRUE(listener.waitFor(Kind::Connected, 1));
  ValueArgs a{2.0};
  EXPECT_EQ(NetScript::SocketConnected(a, network), 1);
}

TEST_F(NetSocketCommandsTest, ListenSocketWaitsForOneConnection) {
  struct Case {
    ValueArgs args;
    const char* message;
  };
  std::vector<Case> refused = {
      {{0.0, 3000.0}, "Invalid socket number: 0"},
      {{101.0, 3000.0}, "Invalid socket number: 101"},
      {{6.5, 3000.0}, "Tried to access uninitialized socket ID \"6.5\"."},
  };
  for (Case& c : refused) {
    EXPECT_EQ(NetScript::ListenSocket(c.args, network), "");
    EXPECT_EQ(c.args.onlyReport(), c.message);
    EXPECT_EQ(c.args.exitMarks, std::vector<bool>{false});
    EXPECT_EQ(c.args.evaluations, 2) << "the port is evaluated before the checks";
  }

  run(Cmd::SocketCreate, {6.0});
  const int64_t port = freePort();
  ValueArgs listen{6.0, double(port)};
  EXPECT_EQ(NetScript::ListenSocket(listen, network), GameNetwork::LocalAddressText());
  EXPECT_TRUE(listen.reports.empty());
  Peer peer;
  ASSERT_TRUE(peer.connectTo(port));
  ASSERT_TRUE(listener.waitFor(Kind::Connected, 1));
  EXPECT_EQ(listener.SocketID, 6);
  peer.sendFrame("ping", "1");
  ASSERT_TRUE(listener.waitFor(Kind::Received, 1));
  EXPECT_EQ(listener.SocketCmdID, "ping");
  // One connection only: the port is free again.
  Peer second;
  EXPECT_FALSE(second.connectTo(port, 1000));

  // A port in use: an error event.
  QTcpServer occupant;
  ASSERT_TRUE(occupant.listen(QHostAddress::Any, 0));
  run(Cmd::SocketCreate, {7.0});
  ValueArgs busy{7.0, double(occupant.serverPort())};
  NetScript::ListenSocket(busy, network);
  ASSERT_TRUE(listener.waitFor(Kind::Error, 1));
  EXPECT_EQ(listener.SocketID, 7);
  EXPECT_EQ(listener.SocketError, QAbstractSocket::AddressInUseError);
}

// Two games, each with its own network and listener, in this process: one opens a group, the
// other connects a script socket to it; commands and direct bytes go both ways.
TEST_F(NetSocketCommandsTest, TwoGamesTalkThroughASocketGroup) {
  for (bool direct : {false, true}) {
    SCOPED_TRACE(direct ? "direct" : "command");
    RecordingListener hostEvents, guestEvents;
    GameNetwork host(hostEvents), guest(guestEvents);
    const double port = double(freePort());

    ValueArgs open{1.0, 3.0, port, direct ? 1.0 : 0.0};
    EXPECT_FALSE(NetScript::OpenSocketGroup(open, host).empty());
    ValueArgs create{10.0, direct ? 1.0 : 0.0};
    Execute_SocketCommands(code(Cmd::SocketCreate), create, guest);
    ValueArgs connect{10.0, std::string("127.0.0.1"), port};
    Execute_SocketCommands(code(Cmd::SocketConnectCmd), connect, guest);
    ASSERT_TRUE(hostEvents.waitFor(Kind::Connected, 1));
    ASSERT_TRUE(guestEvents.waitFor(Kind::Connected, 1));
    EXPECT_EQ(hostEvents.SocketID, 1);
    EXPECT_EQ(guestEvents.SocketID, 10);

    if (!direct) {
      ValueArgs send{10.0, std::string("move"), std::string("12,34")};
      Execute_SocketCommands(code(Cmd::SocketSendCommand), send, guest);
      ASSERT_TRUE(hostEvents.waitFor(Kind::Received, 1));
      EXPECT_EQ(hostEvents.SocketCmdID, "move");
      EXPECT_EQ(hostEvents.SocketCmdDATA, "12,34");
      ValueArgs reply{1.0, std::string("ok"), std::string("\xC3\xA9t\xC3\xA9")};
      Execute_SocketCommands(code(Cmd::SocketSendCommand), reply, host);
      ASSERT_TRUE(guestEvents.waitFor(Kind::Received, 1));
      EXPECT_EQ(guestEvents.SocketCmdID, "ok");
      EXPECT_EQ(guestEvents.SocketCmdDATA, "\xC3\xA9t\xC3\xA9");
    } else {
      ValueArgs write{10.0, std::string("abc")};
      Execute_SocketCommands(code(Cmd::SocketWriteCmd), write, guest);
      ASSERT_TRUE(hostEvents.waitFor(Kind::Received, 1));
      EXPECT_EQ(hostEvents.SocketCmdDATA, "abc");
      ValueArgs reply{1.0, std::string("xyz")};
      Execute_SocketCommands(code(Cmd::SocketWriteCmd), reply, host);
      ASSERT_TRUE(guestEvents.waitFor(Kind::Received, 1));
      EXPECT_EQ(guestEvents.SocketCmdDATA, "xyz");
    }

    // The guest leaves: the host's member gets its error event and gives up number 1.
    ValueArgs leave{10.0};
    Execute_SocketCommands(code(Cmd::SocketFree), leave, guest);
    ASSERT_TRUE(hostEvents.waitFor(Kind::Error, 1));
    EXPECT_EQ(hostEvents.SocketID, 1);
    EXPECT_FALSE(host.GameSockets(0));
    EXPECT_TRUE(leave.reports.empty());
  }
}

} // namespace
} // namespace qm::test
