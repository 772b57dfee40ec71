#pragma once
// A TCP connection as scripts know it: a command socket that exchanges framed commands (an
// identifier and a data part), or a direct socket (rawSocket) that passes bytes through.
//
// Frame on the wire: the marker byte FC, the digit counts of the two lengths as three ASCII
// digits each, the two lengths in decimal, the identifier bytes, the data bytes. No terminator.
//
// Incoming bytes stay in the socket's buffer until a whole field is there; a frame is completed
// over as many deliveries as it takes. Events (connection, receipt, error) go to the network's
// SocketListener.
#include <QByteArray>
#include <QPointer>
#include <QTcpSocket>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "net/SocketListener.h"

class QTcpServer;

namespace qm {

class GameNetwork;
class QMSocketGroup;

class EZprotocol : public QTcpSocket {
  Q_OBJECT
public:
  // Sockets are made by the network (script sockets) or by a socket group (accepted ones).
  EZprotocol(GameNetwork& network, QObject* parent);
  ~EZprotocol() override;

  // ---- Properties (declaration order) ----
  // While a frame is read: first the digit counts of the lengths, then the lengths.
  int64_t idLength = 0;
  int64_t dataLength = 0;
  // The next bytes start a new frame.
  bool newCommand = true;
  std::string data;
  std::string id;
  bool gotID = false;
  bool gotLengths = false;
  // Cleared whenever a frame starts or ends; nothing sets it.
  bool gotData = false;
  // Socket number 1..100 under which scripts know this connection; -1 for an accepted
  // connection that found no free number.
  int64_t MyIDnum = 0;
  bool rawSocket = false;
  // The socket group that accepted this connection; none for script sockets.
  QPointer<QMSocketGroup> group;

  // ---- Operations (slot order) ----
  // Runs the error scripts with the code; a grouped connection then gives up its number and
  // is dropped.
  virtual void Event_Error(int64_t code);
  // The connection is established: script sockets run the connection scripts; accepted ones
  // first take the lowest free number of their group's range.
  virtual void Event_Connected();
  // Reads what has arrived: whole frames on a command socket, everything on a direct one.
  virtual void Event_DataAvailable();
  // Writes one frame in a single write.
  virtual void sendCommand(const std::string& id, const std::string& data);
  // Reports one incoming message to the game.
  virtual void commandReceived(const std::string& id, const std::string& data);
  // Runs the connection scripts. (Hides QAbstractSocket's signal of the same name: connect to
  // &QAbstractSocket::connected for that.)
  virtual void connected();

  // ---- What scripts do with a socket ----
  // Connects to host:port (a port outside 0..65535 gives an error event). The outcome arrives
  // later as a connection or error event. Any earlier connection or listening ends first.
  void connectTo(const std::string& host, int64_t port);
  // Waits on every interface for one incoming connection on the port (ListenSocket); returns
  // the machine's address as text. A port that cannot be listened on gives an error event.
  std::string Listen(int64_t port);
  // Writes bytes unchanged (direct sockets). Nothing when the socket is not open.
  void writeBytes(std::string_view bytes);
  // Closes the connection (and any listening); the socket may be connected again.
  void closeConnection();
  bool IsConnected() const { return state() == QAbstractSocket::ConnectedState; }

  // The bytes of one frame.
  static QByteArray Frame(std::string_view id, std::string_view data);

private:
  friend class GameNetwork;
  friend class QMSocketGroup;
  class OneShotServer;

  // Takes over an accepted connection; its connection event is delivered by announce().
  bool adopt(qintptr descriptor);
  // Delivers the connection event of an adopted connection as a later event.
  void announceLater();
  void announce();
  // Ends the object's part in the game: no more events, the connection closes (pending bytes
  // are still sent) and the object is deleted later.
  void retire();
  void stopListening();
  void postError(int64_t code);
  // One step of the frame reader: true when a frame was completed and delivered.
  bool readFrame();
  bool skipToMarker();
  bool frameTooLarge() const;
  bool refuseFrame();
  void onPlatformError(QAbstractSocket::SocketError code);
  void deliverDeferredError();
  void reportEvent(const SocketEvent& event);

  GameNetwork* network_;
  QTcpServer* listenServer_ = nullptr;
  // Re-entrancy and ordering: scripts run by a receipt may serve events; bytes and errors that
  // arrive meanwhile are taken up when the running delivery finishes, in order.
  bool receiving_ = false;
  bool announcePending_ = false;
  bool detached_ = false;
  std::optional<int64_t> deferredError_;
};

} // namespace qm
