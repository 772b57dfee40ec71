#pragma once
// The game's sockets: the 100 socket numbers (GameSockets, number n at index n - 1) and the
// listening socket groups (SocketGroups, in creation order). The game window owns one and
// implements its SocketListener; the socket commands and functions act on it
// (net/SocketCommands.h).
//
// Every socket and group object is owned here (a QObject child of the network or of its group);
// objects that leave the game are deleted later, never while one of their events may still be
// on the stack.
#include <QObject>
#include <QPointer>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace qm {

class EZprotocol;
class QMSocketGroup;
class SocketListener;

class GameNetwork : public QObject {
  Q_OBJECT
public:
  static constexpr int64_t kSocketCount = 100;

  explicit GameNetwork(SocketListener& listener, QObject* parent = nullptr);
  ~GameNetwork() override;
  GameNetwork(const GameNetwork&) = delete;
  GameNetwork& operator=(const GameNetwork&) = delete;

  SocketListener& listener() const { return listener_; }

  // ---- GameSockets ----
  // The socket at index 0..99, nullptr when the number is not in use (or the index is outside).
  EZprotocol* GameSockets(int64_t index) const;
  // A new socket at the index with MyIDnum = index + 1; a socket that was there is dropped
  // (its connection ends, it reports nothing more).
  EZprotocol& CreateSocket(int64_t index, bool raw);
  // Closes the socket at the index and frees the number.
  void FreeSocket(int64_t index);

  // ---- SocketGroups ----
  const std::vector<QMSocketGroup*>& SocketGroups() const { return groups_; }
  // The checks before a group for socket numbers F..L on port P opens, in order: the message
  // to report, or an empty text when the group may open.
  std::string CheckNewGroup(int64_t F, int64_t L, int64_t P) const;
  // Opens the group (after CheckNewGroup) and returns the machine's address as text. A port
  // that cannot be listened on gives the listen-error notice; the group stays.
  std::string OpenSocketGroup(int64_t F, int64_t L, int64_t P, bool raw);
  // Closes the group with exactly the numbers F..L: stops listening, closes its members and
  // removes it. False when no group has that range.
  bool CloseSocketGroup(int64_t F, int64_t L);

  // The game window's close: every group stops listening and every socket is closed.
  void CloseAll();

  // The address that listening reports: the first IPv4 address of an active interface other
  // than the loopback, else 127.0.0.1.
  static std::string LocalAddressText();

private:
  friend class EZprotocol;
  friend class QMSocketGroup;

  // Puts an accepted connection at the lowest free index of beginid..endid; its index or -1.
  int64_t registerInRange(EZprotocol& socket, int64_t beginid, int64_t endid);
  // Empties the entry at index MyIDnum - 1 if it holds this socket.
  void releaseNumber(EZprotocol& socket);
  // Called by a dying socket: no entry may keep pointing at it.
  void forget(EZprotocol& socket);

  SocketListener& listener_;
  std::array<QPointer<EZprotocol>, kSocketCount> sockets_{};
  std::vector<QMSocketGroup*> groups_;
};

} // namespace qm
