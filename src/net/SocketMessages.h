#pragma once
// The messages of the socket commands and functions, word for word as scripts report them.
#include <cstdint>
#include <string>
#include <string_view>

namespace qm::SocketMessages {

inline constexpr const char* kCantSendToDirect = "Can't send commands to direct sockets.";
inline constexpr const char* kCantWriteToCommand = "Can't write to command sockets.";
inline constexpr const char* kInvalidGroupRange = "Invalid socket group range.";
inline constexpr const char* kGroupConflict = "New socket group conflicts with existing group.";
inline constexpr const char* kGroupMembersExist = "Socket group members must not exist already.";
// Message boxes, not script errors.
inline constexpr const char* kGroupFull = "Socket Group Fatal Error";
inline constexpr const char* kListenError = "Listen error!";

// "Invalid socket number: " + the number as given (already formatted).
inline std::string InvalidSocketNumber(std::string_view number) {
  return "Invalid socket number: " + std::string(number);
}
// Tried to access uninitialized socket ID "n".
inline std::string UninitializedSocket(std::string_view number) {
  return "Tried to access uninitialized socket ID \"" + std::string(number) + "\".";
}
inline std::string SocketDoesntExist(int64_t number) {
  return "Socket doesn't exist: " + std::to_string(number);
}
inline std::string InvalidPortNumber(int64_t port) {
  return "Invalid port number: " + std::to_string(port);
}

} // namespace qm::SocketMessages
