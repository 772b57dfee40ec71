#pragma once
// A listening socket group: listens on a port on every interface and hands each accepted
// connection, as an EZprotocol in the group's mode, the lowest free socket number of the range
// beginid + 1 .. endid + 1.
//
// At most MaximumSocketsConnected accepted connections are open at a time; further ones wait,
// accepted by the system but not yet by the group, until a member leaves. Qt makes the socket
// object of each connection when it is accepted, so MinimumSocketsAvailable (the ready pool of
// the listening facility the group was designed for) is kept only as a record.
#include <QPointer>
#include <QTcpServer>
#include <cstdint>
#include <deque>
#include <vector>

namespace qm {

class EZprotocol;
class GameNetwork;

class QMSocketGroup : public QTcpServer {
  Q_OBJECT
public:
  QMSocketGroup(GameNetwork& network, QObject* parent);
  ~QMSocketGroup() override;

  // ---- Properties (declaration order) ----
  // GameSockets indexes of the range (socket number - 1).
  int64_t beginid = 0;
  int64_t endid = 0;
  // Accepted connections are direct sockets.
  bool raw = false;
  int64_t MaximumSocketsConnected = 0;
  int64_t MinimumSocketsAvailable = 0;

  // Closes every socket held in the range and empties its entry.
  virtual void KillMembers();

  // Starts listening on every interface. On failure the listen-error notice follows as a later
  // event and false is returned.
  bool Listen(int64_t port);

protected:
  void incomingConnection(qintptr descriptor) override;

private:
  // Lets waiting connections in while fewer than the maximum are open; pauses accepting while
  // the group is at its maximum.
  void admitWaiting();

  GameNetwork& network_;
  std::deque<QPointer<EZprotocol>> waiting_;
  std::vector<QPointer<EZprotocol>> admitted_;
};

} // namespace qm
