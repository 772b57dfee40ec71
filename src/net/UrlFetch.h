#pragma once
// FetchURL's HTTP/1.0 GET over a plain TCP connection. The call blocks the game without serving
// any event until the answer is complete or the time limit runs out.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "net/NetLimits.h"

namespace qm {

struct FetchTarget {
  std::string host;
  int64_t port = 80;
  std::string path = "/";
};

// Host, port and path of an "http://" URL (any letter case, surrounding blanks ignored); none
// for any other URL. A missing, zero or unreadable port is 80; a missing path is "/".
std::optional<FetchTarget> ParseFetchURL(std::string_view url);

// The request bytes: request line, Host, Connection and User-Agent lines, the empty line.
std::string FetchRequest(const FetchTarget& target);

// Fetches the URL and returns the body of the answer (the bytes after the first empty line),
// or an empty text on failure. UrlContentsErr becomes the status of the answer's first line (0
// without one), or: -1 not an http:// URL, -2 not connected in time (a refused connection
// included), -3 answer still arriving at the time limit or longer than maxKeep bytes, or the
// platform's code of another connection failure. The time limit (timeout seconds and one tick
// of 1/60 s) covers connecting and reading together.
std::string _GETURL(const std::string& url, int64_t timeout, int64_t& UrlContentsErr,
                    int64_t maxKeep = kMaxFetchBytes);

} // namespace qm
