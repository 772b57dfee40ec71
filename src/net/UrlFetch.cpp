#include "net/UrlFetch.h"

#include <QByteArray>
#include <QTcpSocket>
#include <algorithm>
#include <chrono>
#include <climits>

#include "interpreter/Numbers.h"

namespace qm {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

std::string_view trimmed(std::string_view s) {
  while (!s.empty() && isBlank(s.front())) s.remove_prefix(1);
  while (!s.empty() && isBlank(s.back())) s.remove_suffix(1);
  return s;
}

bool startsWithHttp(std::string_view s) {
  constexpr std::string_view kScheme = "http://";
  if (s.size() < kScheme.size()) return false;
  for (size_t i = 0; i < kScheme.size(); ++i) {
    char c = s[i];
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
    if (c != kScheme[i]) return false;
  }
  return true;
}

// Field k (0-based) of the line split at every single space, as the platform's field functions
// split; empty when there is none.
std::string_view spaceField(std::string_view line, size_t k) {
  for (size_t i = 0; i < k; ++i) {
    const size_t space = line.find(' ');
    if (space == std::string_view::npos) return {};
    line.remove_prefix(space + 1);
  }
  return line.substr(0, line.find(' '));
}

} // namespace

std::optional<FetchTarget> ParseFetchURL(std::string_view url) {
  const std::string_view u = trimmed(url);
  if (!startsWithHttp(u)) return std::nullopt;
  const std::string_view rest = u.substr(7);
  const size_t slash = rest.find('/');
  const std::string_view hostport = rest.substr(0, slash);
  FetchTarget target;
  target.path = slash == std::string_view::npos ? "/" : std::string(rest.substr(slash));
  const size_t colon = hostport.find(':');
  target.host = std::string(hostport.substr(0, colon));
  target.port = 0;
  if (colon != std::string_view::npos)
    target.port = truncToInt64(leadingNumber(hostport.substr(colon + 1)));
  if (target.port < 1) target.port = 80;
  return target;
}

std::string FetchRequest(const FetchTarget& target) {
  return "GET " + target.path + " HTTP/1.0\r\nHost: " + target.host +
         "\r\nConnection: close\r\nUser-Agent: Quillmark\r\n\r\n";
}

std::string _GETURL(const std::string& url, int64_t timeout, int64_t& UrlContentsErr,
                    int64_t maxKeep) {
  const std::optional<FetchTarget> target = ParseFetchURL(url);
  if (!target) {
    UrlContentsErr = -1;
    return {};
  }
  using Clock = std::chrono::steady_clock;
  // Time limits beyond a few months are as good as none; clamping keeps the clock arithmetic
  // in range.
  const int64_t seconds = std::clamp<int64_t>(timeout, -1, int64_t(1) << 24);
  const Clock::time_point deadline =
      Clock::now() + std::chrono::seconds(seconds) + std::chrono::microseconds(16667);
  const auto remainingMs = [&deadline]() -> int {
    const auto left =
        std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return int(std::clamp<int64_t>(left, 0, INT_MAX));
  };

  if (target->port > 65535) {
    UrlContentsErr = kBadPortError;
    return {};
  }

  // Blocking calls only: no event is served while the fetch runs.
  QTcpSocket socket;
  socket.connectToHost(QString::fromStdString(target->host), quint16(target->port));
  if (!socket.waitForConnected(remainingMs())) {
    const QAbstractSocket::SocketError error = socket.error();
    // Qt's code for a refused connection is 0, which cannot stand for a failure here: it
    // counts as not connected in time.
    if (error == QAbstractSocket::SocketTimeoutError ||
        error == QAbstractSocket::ConnectionRefusedError ||
        error == QAbstractSocket::UnknownSocketError)
      UrlContentsErr = -2;
    else
      UrlContentsErr = int64_t(error);
    socket.abort();
    return {};
  }

  const std::string request = FetchRequest(*target);
  socket.write(request.data(), qint64(request.size()));

  QByteArray answer;
  for (;;) {
    answer += socket.readAll();
    if (answer.size() > maxKeep) {
      UrlContentsErr = -3;
      socket.abort();
      return {};
    }
    if (socket.state() != QAbstractSocket::ConnectedState) break; // the server closed
    const int ms = remainingMs();
    if (ms <= 0) {
      UrlContentsErr = -3;
      socket.abort();
      return {};
    }
    if (socket.bytesToWrite() > 0) socket.waitForBytesWritten(ms);
    else socket.waitForReadyRead(ms);
  }
  answer += socket.readAll();
  socket.abort();
  if (answer.size() > maxKeep) {
    UrlContentsErr = -3;
    return {};
  }

  const std::string_view text(answer.constData(), size_t(answer.size()));
  const size_t split = text.find("\r\n\r\n");
  const std::string_view header = text.substr(0, split);
  const std::string_view statusLine = header.substr(0, header.find_first_of("\r\n"));
  UrlContentsErr = truncToInt64(leadingNumber(spaceField(statusLine, 1)));
  if (split == std::string_view::npos) return {};
  return std::string(text.substr(split + 4));
}

} // namespace qm
