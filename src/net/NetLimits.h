#pragma once
// The fixed limits that keep a hostile peer from making the player hold unbounded memory, and the
// error codes the player reports for conditions of its own. See docs/network.md.
#include <QAbstractSocket>
#include <cstdint>

namespace qm {

// A command frame whose declared identifier and data lengths together exceed this closes the
// connection with an error event (kFrameTooLargeError).
inline constexpr int64_t kMaxFrameBytes = int64_t(64) * 1024 * 1024;

// A URL fetch keeps at most this many bytes of the answer (header and body); a longer answer
// ends the fetch with -3.
inline constexpr int64_t kMaxFetchBytes = int64_t(64) * 1024 * 1024;

// SocketError after a frame beyond kMaxFrameBytes.
inline constexpr int64_t kFrameTooLargeError = QAbstractSocket::DatagramTooLargeError;

// SocketError (or URLError) for a port outside 0..65535, which no connection can use.
inline constexpr int64_t kBadPortError = QAbstractSocket::SocketAddressNotAvailableError;

} // namespace qm
