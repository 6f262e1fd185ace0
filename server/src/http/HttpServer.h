// A small HTTP/1.1 server on Boost.Beast: keep-alive, a body limit, a header
// limit, an idle time-out before a request starts and a read time-out once it
// has, and caps on open connections in all and per client address. The
// handler runs on one of the worker threads and must be safe to call from
// several at once; it may answer later, from any thread.
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

// Sends the reply to one request; call it exactly once, from any thread.
using HttpResponder = std::function<void(HttpResponse)>;
// Answers a request, before it returns or later (a request that waits for
// something slow hands `respond` on and frees the worker).
using HttpHandler = std::function<void(const HttpRequest&, HttpResponder respond)>;

// A request the server refused before any handler saw it: one the HTTP
// parser refused (status 400, 413 or 431), or a connection over a cap (503;
// closed without an answer when refused at its start).
struct HttpRefusal {
  std::string remote_address;  // the peer
  std::string client_address;  // the address it counted against, when not the peer
  int status = 0;
  std::string reason;
};
using HttpRefusalLog = std::function<void(const HttpRefusal&)>;

// The client address a balancer's X-Forwarded-For names: its last address
// (the one the balancer added; earlier ones come from the client and may be
// made up), in its normal written form; empty when it is no IP address.
std::string ForwardedClientAddress(const std::string& forwarded_for);

// 16, or four per processor on larger machines.
int DefaultWorkerThreads();

struct HttpLimits {
  std::size_t body_limit = 16 * 1024;
  std::size_t header_limit = 8 * 1024;
  std::chrono::milliseconds idle_timeout{30000};
  std::chrono::milliseconds read_timeout{5000};
  int max_connections = 512;
  // Open connections per client address: one address cannot fill the cap.
  int max_connections_per_address = 32;
  // Balancers whose connections count against the client address their
  // X-Forwarded-For names (its last address); anyone else's header is ignored.
  std::vector<std::string> trusted_proxies;
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

  // Told of every refused request (call before Run); may run on any worker.
  void OnRefusal(HttpRefusalLog log);
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
