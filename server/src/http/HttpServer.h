// A small HTTP/1.1 server on Boost.Beast: keep-alive, a body limit, a header
// limit, an idle time-out before a request starts and a read time-out once it
// has, and a cap on open connections. The handler runs on one of the worker
// threads and must be safe to call from several at once.
#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace braxo::club {

struct HttpRequest {
  std::string method;
  std::string target;
  std::string body;
  std::string cookie;          // the Cookie header, or empty
  std::string remote_address;  // the peer's IP address
  std::string forwarded_for;   // the X-Forwarded-For header, or empty
};

struct HttpResponse {
  int status = 200;
  std::string content_type = "text/plain";
  std::string body;
  std::vector<std::pair<std::string, std::string>> headers;
};

using HttpHandler = std::function<HttpResponse(const HttpRequest&)>;

// 16, or four per processor on larger machines.
int DefaultWorkerThreads();

struct HttpLimits {
  std::size_t body_limit = 16 * 1024;
  std::size_t header_limit = 8 * 1024;
  std::chrono::milliseconds idle_timeout{30000};
  std::chrono::milliseconds read_timeout{5000};
  int max_connections = 512;
  // Workers wait on the database's sync while others serve reads.
  int threads = DefaultWorkerThreads();
};

class HttpServer {
 public:
  HttpServer(HttpHandler handler, HttpLimits limits);
  ~HttpServer();
  HttpServer(const HttpServer&) = delete;
  HttpServer& operator=(const HttpServer&) = delete;

  // Binds and listens; port 0 takes a free port. Throws std::runtime_error.
  void Listen(const std::string& host, std::uint16_t port);
  std::uint16_t port() const;

  // SIGTERM and SIGINT stop the server (call before Run).
  void StopOnSignals();
  // Serves on the worker threads until Stop; returns when they have finished.
  void Run();
  // Stops accepting and ends every connection; safe from any thread.
  void Stop();

  // The server's state, shared with its connections.
  struct Impl;

 private:
  std::unique_ptr<Impl> impl_;
};

}  // namespace braxo::club
