// Socket groups against real peers on 127.0.0.1: numbers handed out lowest first and freed by
// errors, the group's mode, the full range, the maximum of open connections, closing by exact
// range and the listen error.
#include <gtest/gtest.h>

#include "net/EZprotocol.h"
#include "net/GameNetwork.h"
#include "net/QMSocketGroup.h"
#include "platform/QuitRequest.h"
#include "unit/NetTestPeer.h"

namespace qm::test {
namespace {

using Kind = SocketEventKind;

class SocketGroupTest : public ::testing::Test {
protected:
  // Socket events are Qt entry points, which do nothing once a quit was requested.
  void SetUp() override { ResetQuitRequest(); }

  // Opens a group for the numbers F..L on a free port.
  void open(int64_t F, int64_t L, bool raw = false) {
    port = freePort();
    ASSERT_EQ(network.CheckNewGroup(F, L, port), "");
    network.OpenSocketGroup(F, L, port, raw);
  }
  // A peer that connects to the group; waits for its connection event when one is expected.
  Peer& join(bool expectEvent = true) {
    peers.push_back(std::make_unique<Peer>());
    const size_t before = listener.count(Kind::Connected);
    EXPECT_TRUE(peers.back()->connectTo(port));
    if (expectEvent) {
      EXPECT_TRUE(listener.waitFor(Kind::Connected, before + 1));
    }
    return *peers.back();
  }
  int64_t lastConnectedID() const { return listener.of(Kind::Connected).back().socketID; }

  RecordingListener listener;
  GameNetwork network{listener};
  int64_t port = 0;
  std::vector<std::unique_ptr<Peer>> peers;
};

TEST_F(SocketGroupTest, ConnectionsTakeTheLowestFreeNumberAndErrorsFreeIt) {
  open(3, 5);
  for (int64_t expected : {3, 4, 5}) {
    join();
    EXPECT_EQ(lastConnectedID(), expected);
    EXPECT_EQ(listener.SocketID, expected);
    EZprotocol* member = network.GameSockets(expected - 1);
    ASSERT_TRUE(member);
    EXPECT_EQ(member->MyIDnum, expected);
    EXPECT_EQ(member->group, network.SocketGroups()[0]);
    EXPECT_FALSE(member->rawSocket);
  }
  EXPECT_FALSE(network.GameSockets(1));
  EXPECT_FALSE(network.GameSockets(5));

  // Number 4 leaves: its error scripts run while it still holds the number, then it is free.
  bool heldDuringScripts = false;
  listener.onEvent = [&](const SocketEvent& e) {
    if (e.kind == Kind::Error) heldDuringScripts = network.GameSockets(3) != nullptr;
  };
  peers[1]->close();
  ASSERT_TRUE(listener.waitFor(Kind::Error, 1));
  EXPECT_EQ(listener.SocketID, 4);
  EXPECT_EQ(listener.SocketError, QAbstractSocket::RemoteHostClosedError);
  EXPECT_TRUE(heldDuringScripts);
  EXPECT_FALSE(network.GameSockets(3));
  listener.onEvent = nullptr;

  join();
  EXPECT_EQ(lastConnectedID(), 4);

  // Members speak the group's mode.
  peers[3]->sendFrame("move", "12,34");
  ASSERT_TRUE(listener.waitFor(Kind::Received, 1));
  EXPECT_EQ(listener.SocketID, 4);
  EXPECT_EQ(listener.SocketCmdID, "move");
  network.GameSockets(2)->sendCommand("hi", "there");
  const auto frame = peers[0]->nextFrame();
  ASSERT_TRUE(frame);
  EXPECT_EQ(frame->first, "hi");
  EXPECT_EQ(frame->second, "there");
}

TEST_F(SocketGroupTest, DirectGroupsMakeDirectSockets) {
  open(1, 2, true);
  Peer& peer = join();
  EXPECT_TRUE(network.GameSockets(0)->rawSocket);
  peer.send("abc");
  ASSERT_TRUE(listener.waitFor(Kind::Received, 1));
  EXPECT_EQ(listener.events.back().id, "");
  EXPECT_EQ(listener.events.back().data, "abc");
}

TEST_F(SocketGroupTest, AFullRangeIsAFatalErrorButTheConnectionStaysOpen) {
  open(1, 2);
  // A script takes number 1 after the group opened.
  network.CreateSocket(0, false);
  join();
  EXPECT_EQ(lastConnectedID(), 2);
  Peer& extra = join(false);
  ASSERT_TRUE(waitUntil([&] { return !listener.messageBoxes.empty(); }));
  EXPECT_EQ(listener.messageBoxes, std::vector<std::string>{"Socket Group Fatal Error"});
  EXPECT_EQ(listener.beeps, std::vector<bool>{true});
  serveFor(50);
  EXPECT_EQ(listener.count(Kind::Connected), 1u);
  EXPECT_TRUE(extra.isConnected());
}

TEST_F(SocketGroupTest, ConnectionsBeyondTheMaximumWaitForAMemberToLeave) {
  open(1, 2);
  join();
  join();
  Peer& third = join(false);
  serveFor(100);
  EXPECT_EQ(listener.count(Kind::Connected), 2u);
  EXPECT_TRUE(listener.messageBoxes.empty());
  third.sendFrame("early", "bird");

  peers[0]->close();
  ASSERT_TRUE(listener.waitFor(Kind::Connected, 3));
  EXPECT_EQ(lastConnectedID(), 1);
  // What it sent while waiting arrives after its connection event.
  ASSERT_TRUE(listener.waitFor(Kind::Received, 1));
  EXPECT_EQ(listener.events.back().socketID, 1);
  EXPECT_EQ(listener.events.back().data, "bird");
}

TEST_F(SocketGroupTest, GroupsCloseOnlyByTheirExactRange) {
  open(2, 4);
  join();
  join();
  EXPECT_FALSE(network.CloseSocketGroup(2, 5));
  EXPECT_FALSE(network.CloseSocketGroup(1, 4));
  ASSERT_EQ(network.SocketGroups().size(), 1u);
  join(); // still listening
  EXPECT_EQ(lastConnectedID(), 4);

  EXPECT_TRUE(network.CloseSocketGroup(2, 4));
  EXPECT_TRUE(network.SocketGroups().empty());
  for (int64_t index = 1; index <= 3; ++index) EXPECT_FALSE(network.GameSockets(index));
  for (auto& peer : peers) EXPECT_TRUE(peer->waitForDisconnect());
  // Closing the members runs no error scripts.
  serveFor(20);
  EXPECT_EQ(listener.count(Kind::Error), 0u);
  Peer late;
  EXPECT_FALSE(late.connectTo(port, 1000));
}

TEST_F(SocketGroupTest, KillMembersClosesEverySocketInTheRange) {
  open(1, 3);
  join();
  network.CreateSocket(2, false); // a script socket inside the range
  network.CreateSocket(3, false); // and one outside
  network.SocketGroups()[0]->KillMembers();
  EXPECT_FALSE(network.GameSockets(0));
  EXPECT_FALSE(network.GameSockets(2));
  EXPECT_TRUE(network.GameSockets(3));
  EXPECT_TRUE(peers[0]->waitForDisconnect());
}

TEST_F(SocketGroupTest, AnOccupiedPortGivesTheListenErrorAndTheGroupStays) {
  QTcpServer occupant;
  ASSERT_TRUE(occupant.listen(QHostAddress::Any, 0));
  network.OpenSocketGroup(1, 2, occupant.serverPort(), false);
  // The notice comes as an event of its own, not inside the script's call.
  EXPECT_TRUE(listener.messageBoxes.empty());
  ASSERT_TRUE(waitUntil([&] { return !listener.messageBoxes.empty(); }));
  EXPECT_EQ(listener.messageBoxes, std::vector<std::string>{"Listen error!"});
  EXPECT_EQ(listener.beeps, std::vector<bool>{false});
  EXPECT_EQ(network.SocketGroups().size(), 1u);
  EXPECT_FALSE(network.SocketGroups()[0]->isListening());
}

TEST_F(SocketGroupTest, WindowCloseStopsListeningAndClosesSockets) {
  open(1, 2);
  join();
  network.CloseAll();
  EXPECT_TRUE(peers[0]->waitForDisconnect());
  Peer late;
  EXPECT_FALSE(late.connectTo(port, 1000));
  serveFor(20);
  EXPECT_EQ(listener.count(Kind::Error), 0u);
}

} // namespace
} // namespace qm::test
