// A real HTTP/1.1 server on 127.0.0.1 for the club tests. It runs on its own
// threads (one per connection) with plain sockets, records every request and
// answers what the test's handler says, including not answering at all.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "club/ClubClient.h"

namespace braxo::testing {

struct RecordedRequest {
  std::string method;
  std::string target;                                        // path and query as sent
  std::vector<std::pair<std::string, std::string>> headers;  // names lower-cased
  std::string body;

  // The value of the first header of that (lower-case) name, or "" when absent.
  std::string Header(std::string_view name) const;
  bool HasHeader(std::string_view name) const;
};

struct CannedResponse {
  enum class Mode {
    kAnswer,       // send the whole response at once
    kDelayed,      // wait `delay`, then send it
    kDribble,      // send the head, then the body one byte per `delay`
    kSilent,       // read the request and never answer (until the client goes)
    kCloseAtOnce,  // close the connection without answering
    // A status line, then one header line that never ends: filler bytes as
    // fast as the client takes them (one byte per `delay` when that is set),
    // up to `endless_cap`.
    kEndlessHeader,
    // A chunked body that never ends, up to `endless_cap`.
    kEndlessChunked,
  };
  int status = 200;
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
  Mode mode = Mode::kAnswer;
  std::chrono::milliseconds delay{0};
  std::int64_t endless_cap = std::int64_t{512} << 20;
  // Without it the body's end is the end of the connection.
  bool send_length = true;
};

// A reply of `mode` with `body`, after `delay` where the mode waits.
inline CannedResponse Respond(CannedResponse::Mode mode, std::string body = {},
                              std::chrono::milliseconds delay = std::chrono::milliseconds{0}) {
  CannedResponse response;
  response.mode = mode;
  response.body = std::move(body);
  response.delay = delay;
  return response;
}

// Short bounds keep the failure tests quick; the relations between them are
// what the tests rely on, not their exact values.
inline HttpLimits TestLimits() {
  HttpLimits limits;
  limits.connect_timeout = std::chrono::milliseconds{500};
  limits.overall_timeout = std::chrono::milliseconds{3000};
  return limits;
}

class TestHttpServer {
 public:
  using Handler = std::function<CannedResponse(const RecordedRequest&)>;

  explicit TestHttpServer(Handler handler);
  ~TestHttpServer();
  TestHttpServer(const TestHttpServer&) = delete;
  TestHttpServer& operator=(const TestHttpServer&) = delete;

  std::uint16_t port() const { return port_; }
  std::string Url(std::string_view path) const;  // "http://127.0.0.1:<port>/" + path

  std::vector<RecordedRequest> Requests() const;
  int connection_count() const { return connections_.load(); }
  // Connections the server still holds open.
  int open_connection_count() const;
  // Bytes sent so far on every connection (heads and bodies).
  std::int64_t bytes_sent() const { return bytes_sent_.load(); }

  // Answers every request with `body` and status 200.
  static Handler Always(std::string body);

 private:
  void AcceptLoop();
  void Serve(int fd);
  // Sends `head`, then `piece` again and again until the client goes, the
  // server stops or `cap` bytes have gone out, waiting `delay` before each.
  void SendEndless(int fd, const std::string& head, const std::string& piece, std::int64_t cap,
                   std::chrono::milliseconds delay);
  bool Sleep(std::chrono::milliseconds duration) const;

  Handler handler_;
  int listen_fd_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> connections_{0};
  std::atomic<std::int64_t> bytes_sent_{0};
  mutable std::mutex mutex_;
  std::vector<RecordedRequest> requests_;
  std::vector<int> open_fds_;
  std::vector<std::thread> threads_;
  std::vector<std::thread::id> finished_;  // threads_ that have ended
  std::thread acceptor_;
};

// A port on 127.0.0.1 with nothing listening: connections are refused.
std::uint16_t UnusedPort();

// A listener that never accepts, its backlog already full, so that a new
// connection attempt is neither accepted nor refused (the connect hangs).
class UnansweredListener {
 public:
  UnansweredListener();
  ~UnansweredListener();
  UnansweredListener(const UnansweredListener&) = delete;
  UnansweredListener& operator=(const UnansweredListener&) = delete;
  std::string Url(std::string_view path) const;

 private:
  int listen_fd_ = -1;
  std::uint16_t port_ = 0;
  std::vector<int> fillers_;
};

}  // namespace braxo::testing
