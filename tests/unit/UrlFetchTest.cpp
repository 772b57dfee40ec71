// FetchURL against a small HTTP server on its own thread (the fetch blocks the test's thread and
// serves no events): URL parsing, the request bytes, the outcome codes and the size limit.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "net/NetLimits.h"
#include "net/SocketCommands.h"
#include "net/UrlFetch.h"
#include "unit/NetTestPeer.h"

namespace qm::test {
namespace {

// A listening socket on 127.0.0.1 with a free port; backlog as given.
int listenLocal(int backlog, int64_t& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{};
  addr.sin_family = AF_INET;
  addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  addr.sin_port = 0;
  ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
  ::listen(fd, backlog);
  socklen_t len = sizeof addr;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&addr), &len);
  port = ntohs(addr.sin_port);
  return fd;
}

bool readable(int fd, int ms) {
  pollfd p{fd, POLLIN, 0};
  return ::poll(&p, 1, ms) > 0;
}

// Answers one request, then closes the connection or keeps it open without a word more.
class HttpServer {
public:
  enum class After { Close, Stall };

  explicit HttpServer(std::string answer, After after = After::Close) {
    fd_ = listenLocal(4, port_);
    thread_ = std::thread([this, answer = std::move(answer), after] { serve(answer, after); });
  }
  ~HttpServer() {
    stop_ = true;
    thread_.join();
    ::close(fd_);
  }
  int64_t port() const { return port_; }
  std::string url(const std::string& path = "") const {
    return "http://127.0.0.1:" + std::to_string(port_) + path;
  }
  std::string request() {
    std::lock_guard<std::mutex> lock(mutex_);
    return request_;
  }

private:
  void serve(const std::string& answer, After after) {
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    const auto timeUp = [&] { return stop_ || std::chrono::steady_clock::now() > until; };
    while (!readable(fd_, 20))
      if (timeUp()) return;
    const int client = ::accept(fd_, nullptr, nullptr);
    std::string got;
    while (got.find("\r\n\r\n") == std::string::npos && !timeUp()) {
      if (!readable(client, 20)) continue;
      char buffer[4096];
      const ssize_t n = ::recv(client, buffer, sizeof buffer, 0);
      if (n <= 0) break;
      got.append(buffer, size_t(n));
    }
    {
      std::lock_guard<std::mutex> lock(mutex_);
      request_ = got;
    }
    for (size_t sent = 0; sent < answer.size();) {
      const ssize_t n = ::send(client, answer.data() + sent, answer.size() - sent, MSG_NOSIGNAL);
      if (n <= 0) break;
      sent += size_t(n);
    }
    if (after == After::Stall)
      while (!timeUp()) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    ::close(client);
  }

  int fd_ = -1;
  int64_t port_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::mutex mutex_;
  std::string request_;
};

TEST(UrlFetchTest, UrlsGiveHostPortAndPath) {
  struct Case {
    const char* url;
    const char* host;
    int64_t port;
    const char* path;
  };
  const std::vector<Case> cases = {
      {"http://server", "server", 80, "/"},
      {"http://server/", "server", 80, "/"},
      {"HTTP://server:8080/a/b?c=1", "server", 8080, "/a/b?c=1"},
      {"hTtP://Server.Example:81", "Server.Example", 81, "/"},
      {"  http://h:82/x \r\n", "h", 82, "/x"},
      {"http://h:0/x", "h", 80, "/x"},
      {"http://h:abc/x", "h", 80, "/x"},
      {"http://h:/x", "h", 80, "/x"},
      {"http://h:-5", "h", 80, "/"},
      {"http://h:8080abc/x", "h", 8080, "/x"},
      {"http://h:1:2/x", "h", 1, "/x"},
      {"http://h/a:b", "h", 80, "/a:b"},
      {"http://", "", 80, "/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.url);
    const auto target = ParseFetchURL(c.url);
    ASSERT_TRUE(target);
    EXPECT_EQ(target->host, c.host);
    EXPECT_EQ(target->port, c.port);
    EXPECT_EQ(target->path, c.path);
  }
  for (const char* url : {"", "ftp://h/", "http:/h", "https://h/", "www.example.com", "http:"}) {
    EXPECT_FALSE(ParseFetchURL(url)) << url;
  }
}

TEST(UrlFetchTest, TheRequestIsExactAndTheBodyFollowsTheFirstEmptyLine) {
  HttpServer server("HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\n\r\nline 1\r\n\r\nline 3");
  int64_t err = 99;
  const std::string url = "HTTP://127.0.0.1:" + std::to_string(server.port()) + "/a/b?c=1";
  EXPECT_EQ(_GETURL(url, 5, err), "line 1\r\n\r\nline 3");
  EXPECT_EQ(err, 200);
  EXPECT_EQ(server.request(), "GET /a/b?c=1 HTTP/1.0\r\n"
                              "Host: 127.0.0.1\r\n"
                              "Connection: close\r\n"
                              "User-Agent: Quillmark\r\n"
                              "\r\n");
}

TEST(UrlFetchTest, AnswersAreReturnedWhateverTheirStatus) {
  struct Case {
    const char* name;
    std::string answer;
    int64_t status;
    std::string body;
  };
  const std::vector<Case> cases = {
      {"a 404 page", "HTTP/1.0 404 Not Found\r\n\r\n<h1>missing</h1>", 404, "<h1>missing</h1>"},
      {"no empty line: all header", "HTTP/1.1 301 Moved\r\nLocation: x", 301, ""},
      {"status line alone", "HTTP/1.0 204", 204, ""},
      {"no status field", "HTTP/1.0\r\n\r\nbody", 0, "body"},
      {"two spaces: the second field is empty", "HTTP/1.0  200 OK\r\n\r\nb", 0, "b"},
      {"nothing at all", "", 0, ""},
      {"binary body", std::string("HTTP/1.0 200 OK\r\n\r\n\x00\xFF\x01", 22), 200,
       std::string("\x00\xFF\x01", 3)},
      {"bare line feeds do not end the header", "HTTP/1.0 200 OK\n\nbody", 200, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    HttpServer server(c.answer);
    int64_t err = 99;
    EXPECT_EQ(_GETURL(server.url("/"), 5, err), c.body);
    EXPECT_EQ(err, c.status);
  }
}

TEST(UrlFetchTest, FailuresGiveTheirCodes) {
  int64_t err = 0;
  EXPECT_EQ(_GETURL("ftp://127.0.0.1/", 5, err), "");
  EXPECT_EQ(err, -1);

  // Nobody listens: refused at once, reported as not connected.
  const int64_t closed = freePort();
  const auto start = std::chrono::steady_clock::now();
  EXPECT_EQ(_GETURL("http://127.0.0.1:" + std::to_string(closed) + "/", 5, err), "");
  EXPECT_EQ(err, -2);
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(2));

  EXPECT_EQ(_GETURL("http://127.0.0.1:70000/", 5, err), "");
  EXPECT_EQ(err, kBadPortError);
}

TEST(UrlFetchTest, TheTimeLimitCoversConnectingAndReading) {
  // Connecting never completes: a listening socket whose backlog is full drops new attempts.
  {
    int64_t port = 0;
    const int fd = listenLocal(0, port);
    std::vector<int> fillers;
    for (int i = 0; i < 3; ++i) {
      const int c = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK, 0);
      sockaddr_in addr{};
      addr.sin_family = AF_INET;
      addr.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
      addr.sin_port = htons(uint16_t(port));
      ::connect(c, reinterpret_cast<sockaddr*>(&addr), sizeof addr);
      fillers.push_back(c);
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
    int64_t err = 0;
    const auto start = std::chrono::steady_clock::now();
    // A limit of 0 seconds allows about one tick.
    EXPECT_EQ(_GETURL("http://127.0.0.1:" + std::to_string(port) + "/", 0, err), "");
    EXPECT_EQ(err, -2);
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(500));
    for (int c : fillers) ::close(c);
    ::close(fd);
  }
  // Connected, but the answer never ends.
  {
    HttpServer server("HTTP/1.0 200 OK\r\n\r\npartial", HttpServer::After::Stall);
    int64_t err = 0;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(_GETURL(server.url("/"), 1, err), "");
    EXPECT_EQ(err, -3);
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(1000));
    EXPECT_LT(took, std::chrono::milliseconds(3000));
  }
}

TEST(UrlFetchTest, AnswersBeyondTheKeptSizeGiveMinusThree) {
  const std::string body(5000, 'b');
  const std::string answer = "HTTP/1.0 200 OK\r\n\r\n" + body;
  {
    HttpServer server(answer);
    int64_t err = 0;
    EXPECT_EQ(_GETURL(server.url("/"), 5, err, int64_t(answer.size())), body);
    EXPECT_EQ(err, 200);
  }
  {
    HttpServer server(answer);
    int64_t err = 0;
    EXPECT_EQ(_GETURL(server.url("/"), 5, err, int64_t(answer.size()) - 1), "");
    EXPECT_EQ(err, -3);
  }
}

TEST(UrlFetchTest, FetchURLTakesTheUrlAndAnOptionalTimeLimit) {
  HttpServer server("HTTP/1.0 200 OK\r\n\r\nhello");
  int64_t err = 0;
  ValueArgs one{server.url("/")};
  EXPECT_EQ(NetScript::FetchURL(one, err), "hello");
  EXPECT_EQ(err, 200);

  // A stopped game fetches nothing.
  for (int stop : {1, 2}) {
    ValueArgs two{server.url("/"), 3.0};
    err = 7;
    EXPECT_EQ(NetScript::FetchURL(two.stopAtEvaluation(stop), err), "");
    EXPECT_EQ(err, 7);
  }
  ValueArgs bad{std::string("gopher://x"), 3.0};
  EXPECT_EQ(NetScript::FetchURL(bad, err), "");
  EXPECT_EQ(err, -1);
}

} // namespace
} // namespace qm::test
