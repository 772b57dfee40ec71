// The connection object against a real peer on 127.0.0.1: frame bytes, the receiving state
// machine over arbitrary deliveries, direct sockets, events and the hostile-peer limit.
#include <gtest/gtest.h>

#include "net/EZprotocol.h"
#include "net/GameNetwork.h"
#include "net/NetLimits.h"
#include "platform/QuitRequest.h"
#include "platform/ScriptedDialogs.h"
#include "support/Errors.h"
#include "unit/NetTestPeer.h"

namespace qm::test {
namespace {

using Kind = SocketEventKind;
using Command = std::pair<std::string, std::string>;

QByteArray bytes(std::initializer_list<int> values) {
  QByteArray out;
  for (int v : values) out.append(char(v));
  return out;
}

// A script socket (number 3) connected to a peer in the test.
class ProtocolTest : public ::testing::Test {
protected:
  // Socket events are Qt entry points, which do nothing once a quit was requested.
  void SetUp() override { ResetQuitRequest(); }

  void connectSocket(bool raw) {
    socket = &network.CreateSocket(2, raw);
    QObject::connect(socket, &QIODevice::readyRead, [this] { ++deliveries; });
    socket->connectTo("127.0.0.1", server.port());
    peer = server.accept();
    ASSERT_TRUE(peer);
    ASSERT_TRUE(listener.waitFor(Kind::Connected, 1));
  }

  // Sends one delivery and waits until the socket has had it.
  void deliver(const QByteArray& chunk) {
    const int before = deliveries;
    peer->send(chunk);
    ASSERT_TRUE(waitUntil([&] { return deliveries > before; })) << "delivery not seen";
  }

  std::vector<Command> received() const {
    std::vector<Command> out;
    for (const auto& e : listener.of(Kind::Received)) out.emplace_back(e.id, e.data);
    return out;
  }

  RecordingListener listener;
  GameNetwork network{listener};
  PeerServer server;
  EZprotocol* socket = nullptr;
  std::unique_ptr<Peer> peer;
  int deliveries = 0;
};

TEST_F(ProtocolTest, FramesAreWrittenByteForByte) {
  EXPECT_EQ(EZprotocol::Frame("HELLO", ""),
            bytes({0xFC, 0x30, 0x30, 0x31, 0x30, 0x30, 0x31, 0x35, 0x30, 0x48, 0x45, 0x4C, 0x4C,
                   0x4F}));
  const QByteArray move = bytes({0xFC, 0x30, 0x30, 0x31, 0x30, 0x30, 0x31, 0x34, 0x35, 0x6D, 0x6F,
                                 0x76, 0x65, 0x31, 0x32, 0x2C, 0x33, 0x34});
  EXPECT_EQ(EZprotocol::Frame("move", "12,34"), move);
  // Lengths of ten and more take more digits; the counts stay three digits wide.
  const std::string longData(1234, 'x');
  EXPECT_EQ(EZprotocol::Frame("", longData),
            QByteArray("\xFC" "001004" "0" "1234") + QByteArray::fromStdString(longData));

  connectSocket(false);
  socket->sendCommand("move", "12,34");
  socket->sendCommand("HELLO", "");
  ASSERT_TRUE(peer->waitForBytes(18 + 14));
  EXPECT_EQ(peer->received(), move + EZprotocol::Frame("HELLO", ""));
}

struct ReceiveCase {
  const char* name;
  std::vector<QByteArray> deliveries;
  std::vector<Command> expected;
};

TEST_F(ProtocolTest, FramesAreCompletedOverAnyDeliveries) {
  const QByteArray move = encodeFrame("move", "12,34");
  std::vector<QByteArray> singleBytes;
  for (char c : move) singleBytes.emplace_back(1, c);
  // Marker, FC and NUL bytes inside the data are data.
  const QByteArray binary("a\xFC\x00z", 4);

  const std::vector<ReceiveCase> cases = {
      {"one piece", {move}, {{"move", "12,34"}}},
      {"single bytes", singleBytes, {{"move", "12,34"}}},
      {"two back to back", {move + encodeFrame("HELLO", "")}, {{"move", "12,34"}, {"HELLO", ""}}},
      {"split after the marker and inside the data",
       {move.left(1), move.mid(1, 13), move.mid(14)},
       {{"move", "12,34"}}},
      {"counts split", {move.left(4), move.mid(4)}, {{"move", "12,34"}}},
      {"garbage before the marker", {"junk\r\n" + move}, {{"move", "12,34"}}},
      {"no marker at all, then a frame", {"no marker here", move}, {{"move", "12,34"}}},
      {"frame, garbage, frame",
       {move + "xx" + encodeFrame("b", "2")},
       {{"move", "12,34"}, {"b", "2"}}},
      {"binary data", {encodeFrame("id", binary)}, {{"id", binary.toStdString()}}},
      {"unreadable digit count gives an empty field", {QByteArray("\xFC" "ab1" "001" "5" "hello")},
       {{"", "hello"}}},
      {"unreadable length gives an empty field", {QByteArray("\xFC" "001" "001" "x" "3" "abc")},
       {{"", "abc"}}},
  };
  for (const ReceiveCase& c : cases) {
    SCOPED_TRACE(c.name);
    listener.events.clear();
    connectSocket(false);
    for (size_t i = 0; i < c.deliveries.size(); ++i) {
      deliver(c.deliveries[i]);
      if (i + 1 < c.deliveries.size()) {
        EXPECT_TRUE(received().empty()) << "command before its last byte, delivery " << i;
      }
    }
    waitUntil([&] { return received().size() >= c.expected.size(); }, 2000);
    serveFor(20);
    EXPECT_EQ(received(), c.expected);
    // Nothing of the frames is left over: the next frame is read from a clean state.
    EXPECT_EQ(socket->bytesAvailable(), 0);
    EXPECT_TRUE(socket->newCommand);
  }
}

TEST_F(ProtocolTest, GarbageWithoutMarkerIsDiscardedAtOnce) {
  connectSocket(false);
  deliver("no marker here");
  EXPECT_EQ(socket->bytesAvailable(), 0);
  // A marker with fewer than six bytes after it stays for the next delivery.
  deliver("xx\xFC" "00");
  EXPECT_EQ(socket->bytesAvailable(), 3);
  deliver("1001" "4" "5" "move" "12,34");
  ASSERT_TRUE(waitUntil([&] { return !received().empty(); }));
  EXPECT_EQ(received(), (std::vector<Command>{{"move", "12,34"}}));
}

TEST_F(ProtocolTest, EventsCarryTheSocketNumberAndKeepTheLastIdentifier) {
  connectSocket(false);
  EXPECT_EQ(listener.events[0].socketID, 3);
  EXPECT_EQ(listener.SocketID, 3);
  peer->sendFrame("move", "12,34");
  ASSERT_TRUE(listener.waitFor(Kind::Received, 1));
  EXPECT_EQ(listener.SocketCmdID, "move");
  EXPECT_EQ(listener.SocketCmdDATA, "12,34");
  EXPECT_EQ(listener.events.back().socketID, 3);
  // An empty identifier on a command socket also leaves the last one in place.
  peer->sendFrame("", "x");
  ASSERT_TRUE(listener.waitFor(Kind::Received, 2));
  EXPECT_EQ(listener.SocketCmdID, "move");
  EXPECT_EQ(listener.SocketCmdDATA, "x");
}

TEST_F(ProtocolTest, DirectSocketsPassBytesThrough) {
  listener.SocketCmdID = "before";
  connectSocket(true);
  deliver("abc");
  ASSERT_TRUE(listener.waitFor(Kind::Received, 1));
  const auto got = listener.of(Kind::Received);
  ASSERT_EQ(got.size(), 1u);
  EXPECT_EQ(got[0].id, "");
  EXPECT_EQ(got[0].data, "abc");
  EXPECT_EQ(listener.SocketCmdID, "before");
  EXPECT_EQ(listener.SocketCmdDATA, "abc");

  // A frame is just bytes here; and what the script writes goes out unchanged.
  deliver(encodeFrame("move", "1"));
  ASSERT_TRUE(listener.waitFor(Kind::Received, 2));
  EXPECT_EQ(listener.of(Kind::Received)[1].data, encodeFrame("move", "1").toStdString());
  socket->writeBytes(std::string("\xFC\x00raw", 5));
  ASSERT_TRUE(peer->waitForBytes(5));
  EXPECT_EQ(peer->received(), QByteArray("\xFC\x00raw", 5));
}

TEST_F(ProtocolTest, ErrorsComeAfterTheDataBeforeThemAndScriptSocketsKeepTheirNumber) {
  connectSocket(false);
  peer->send(encodeFrame("a", "1") + encodeFrame("b", "2"));
  peer->close();
  ASSERT_TRUE(listener.waitFor(Kind::Error, 1));
  ASSERT_EQ(listener.events.size(), 4u);
  EXPECT_EQ(listener.events[1].kind, Kind::Received);
  EXPECT_EQ(listener.events[2].kind, Kind::Received);
  EXPECT_EQ(listener.events[3].error, QAbstractSocket::RemoteHostClosedError);
  EXPECT_EQ(listener.SocketError, QAbstractSocket::RemoteHostClosedError);
  EXPECT_EQ(listener.SocketID, 3);
  EXPECT_EQ(network.GameSockets(2), socket);
  EXPECT_FALSE(socket->IsConnected());

  // The same socket connects again.
  socket->connectTo("127.0.0.1", server.port());
  peer = server.accept();
  ASSERT_TRUE(peer);
  ASSERT_TRUE(listener.waitFor(Kind::Connected, 2));
  peer->sendFrame("again", "");
  ASSERT_TRUE(listener.waitFor(Kind::Received, 3));
  EXPECT_EQ(listener.SocketCmdID, "again");
}

TEST_F(ProtocolTest, FailedConnectionsReportThePlatformCode) {
  socket = &network.CreateSocket(0, false);
  const int64_t closedPort = freePort();
  socket->connectTo("127.0.0.1", closedPort);
  ASSERT_TRUE(listener.waitFor(Kind::Error, 1));
  EXPECT_EQ(listener.SocketError, QAbstractSocket::ConnectionRefusedError);
  EXPECT_EQ(listener.SocketID, 1);

  socket->connectTo("127.0.0.1", 70000);
  ASSERT_TRUE(listener.waitFor(Kind::Error, 2));
  EXPECT_EQ(listener.SocketError, kBadPortError);
}

TEST_F(ProtocolTest, ScriptsThatServeEventsDoNotDisturbTheFrameInProgress) {
  connectSocket(false);
  const QByteArray third = encodeFrame("third", "333");
  // The first receipt's script serves events while the next frame and half of the third come
  // in; the rest of the third arrives afterwards.
  listener.onEvent = [&](const SocketEvent& e) {
    if (e.kind != Kind::Received || e.id != "first") return;
    peer->send(encodeFrame("second", "22") + third.left(9));
    serveFor(50);
  };
  peer->sendFrame("first", "1");
  ASSERT_TRUE(listener.waitFor(Kind::Received, 2));
  listener.onEvent = nullptr;
  deliver(third.mid(9));
  ASSERT_TRUE(listener.waitFor(Kind::Received, 3));
  serveFor(20);
  EXPECT_EQ(received(),
            (std::vector<Command>{{"first", "1"}, {"second", "22"}, {"third", "333"}}));
}

TEST_F(ProtocolTest, AFailureInTheGameDoesNotSilenceTheSocket) {
  // The failure is caught at the socket's event edge and shown with the unexpected-error dialog.
  ScopedDialogs dialogs(std::make_unique<ScriptedDialogs>());
  connectSocket(false);
  listener.onEvent = [](const SocketEvent& e) {
    if (e.kind == Kind::Received && e.id == "boom") throw IOException("broken");
  };
  peer->sendFrame("boom", "");
  ASSERT_TRUE(listener.waitFor(Kind::Received, 1));
  peer->sendFrame("after", "");
  ASSERT_TRUE(listener.waitFor(Kind::Received, 2));
  EXPECT_EQ(listener.SocketCmdID, "after");
}

TEST_F(ProtocolTest, FramesBeyondTheLimitCloseTheConnectionWithAnErrorEvent) {
  const QByteArray limit = QByteArray::number(kMaxFrameBytes);
  const QByteArray above = QByteArray::number(kMaxFrameBytes + 1);
  const auto header = [](const QByteArray& li, const QByteArray& ld) {
    return "\xFC" + QByteArray::number(li.size()).rightJustified(3, '0') +
           QByteArray::number(ld.size()).rightJustified(3, '0') + li + ld;
  };
  struct Case {
    const char* name;
    QByteArray bytes;
    bool refused;
  };
  const std::vector<Case> cases = {
      {"data at the limit is waited for", header("0", limit), false},
      {"data above the limit", header("0", above), true},
      {"identifier above the limit", header(above, "0"), true},
      {"the two together above the limit", header(QByteArray::number(kMaxFrameBytes / 2 + 1),
                                                  QByteArray::number(kMaxFrameBytes / 2)),
       true},
      {"a huge length", header("99999999999999999999999", "0"), true},
      {"digit counts in exponent form", QByteArray("\xFC" "9e9" "001"), true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    listener.events.clear();
    connectSocket(false);
    deliver(c.bytes);
    if (!c.refused) {
      serveFor(50);
      EXPECT_EQ(listener.count(Kind::Error), 0u);
      EXPECT_TRUE(socket->IsConnected());
      continue;
    }
    ASSERT_TRUE(listener.waitFor(Kind::Error, 1));
    EXPECT_EQ(listener.SocketError, kFrameTooLargeError);
    EXPECT_EQ(listener.SocketID, 3);
    EXPECT_TRUE(peer->waitForDisconnect());
    EXPECT_EQ(listener.count(Kind::Received), 0u);
  }
}

} // namespace
} // namespace qm::test
