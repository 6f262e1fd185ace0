#include "http/HttpServer.h"

#include <algorithm>
#include <boost/asio/dispatch.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/post.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/strand.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/version.hpp>
#include <list>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>
#include <unordered_map>

namespace braxo::club {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

class HttpConnection;

// A connection waiting for its next request, with the address it counts
// against (which changes only while it is busy).
struct IdleConnection {
  std::weak_ptr<HttpConnection> connection;
  std::string address;
};

struct HttpServer::Impl {
  HttpHandler handler;
  HttpLimits limits;
  HttpRefusalLog refusal_log;

  // The open connections, counted in all and per client address, and those
  // waiting for their next request, the longest waiting first. Before the
  // io_context: connections still queued in it count down when it is
  // destroyed.
  std::mutex mutex;
  int connections = 0;
  std::unordered_map<std::string, int> per_address;
  std::list<IdleConnection> idle;

  asio::io_context ioc;
  tcp::acceptor acceptor{ioc};
  std::optional<asio::signal_set> signals;
  std::uint16_t port = 0;

  void Accept();
  bool IsTrustedProxy(const std::string& address) const {
    return std::find(limits.trusted_proxies.begin(), limits.trusted_proxies.end(), address) !=
           limits.trusted_proxies.end();
  }
  // Counts a new connection from `address`, closing the oldest idle ones to
  // make room when a cap is reached or near; a refusal's reason when there is
  // none to be had.
  std::optional<std::string> Admit(const std::string& address);
  // Counts `connection` against `address` from now on (a balancer's
  // connection carrying a request of that client); false when that address
  // is at its cap and has no idle connection to give up.
  bool CountAgainst(HttpConnection& connection, const std::string& address);
  void Release(HttpConnection& connection);
  void MarkIdle(const std::shared_ptr<HttpConnection>& connection);
  // False when the connection was chosen to be closed while it waited.
  bool MarkBusy(HttpConnection& connection);
  // The oldest idle connection (of `address` when given), taken off the idle
  // list and told to close; the caller drops it once the mutex is free.
  std::shared_ptr<HttpConnection> CloseOldestIdle(const std::string* address);
  void Log(const HttpRefusal& refusal) const {
    if (refusal_log) refusal_log(refusal);
  }
};

class HttpConnection : public std::enable_shared_from_this<HttpConnection> {
 public:
  HttpConnection(tcp::socket socket, HttpServer::Impl& server, std::string peer)
      : stream_(std::move(socket)),
        server_(server),
        peer_address_(peer),
        counted_address_(std::move(peer)) {
    beast::error_code ec;
    stream_.socket().set_option(tcp::no_delay(true), ec);
  }
  ~HttpConnection() { server_.Release(*this); }
  HttpConnection(const HttpConnection&) = delete;
  HttpConnection& operator=(const HttpConnection&) = delete;

  void Start() { WaitForRequest(); }
  // From any thread: closes the connection on its own strand.
  void CloseSoon() {
    asio::post(stream_.get_executor(), [self = shared_from_this()] { self->Close(); });
  }

 private:
  friend struct HttpServer::Impl;

  // An idle connection waits for the first byte of its next request at most
  // the idle time-out (and less when the club is short of connections); from
  // then on the whole request must arrive within the read time-out, so a slow
  // client holds no worker and no connection long.
  void WaitForRequest() {
    if (buffer_.size() > 0) return ReadRequest();
    server_.MarkIdle(shared_from_this());
    stream_.expires_after(server_.limits.idle_timeout);
    stream_.async_read_some(buffer_.prepare(4096),
                            [self = shared_from_this()](beast::error_code ec, std::size_t n) {
                              if (!self->server_.MarkBusy(*self) || ec) return self->Close();
                              self->buffer_.commit(n);
                              self->ReadRequest();
                            });
  }

  void ReadRequest() {
    parser_.emplace();
    parser_->body_limit(server_.limits.body_limit);
    parser_->header_limit(static_cast<std::uint32_t>(server_.limits.header_limit));
    stream_.expires_after(server_.limits.read_timeout);
    http::async_read(
        stream_, buffer_, *parser_,
        [self = shared_from_this()](beast::error_code ec, std::size_t) { self->OnRead(ec); });
  }

  void OnRead(beast::error_code ec) {
    if (ec == http::error::body_limit) return Refuse(413, "request body too large");
    if (ec == http::error::header_limit) return Refuse(431, "request header too large");
    if (ec == http::error::end_of_stream || ec == beast::error::timeout ||
        ec == asio::error::connection_reset || ec == asio::error::operation_aborted ||
        ec == asio::error::eof)
      return Close();
    if (ec) return Refuse(400, "bad request");

    auto& req = parser_->get();
    HttpRequest request;
    request.method = std::string(req.method_string());
    request.target = std::string(req.target());
    request.body = std::move(req.body());
    if (const auto it = req.find(http::field::cookie); it != req.end())
      request.cookie = std::string(it->value());
    request.remote_address = peer_address_;
    if (const auto it = req.find("X-Forwarded-For"); it != req.end())
      request.forwarded_for = std::string(it->value());
    const bool keep_alive = req.keep_alive();
    const unsigned version = req.version();

    if (server_.IsTrustedProxy(peer_address_)) {
      const std::string client = ForwardedClientAddress(request.forwarded_for);
      if (!client.empty() && !server_.CountAgainst(*this, client))
        return Refuse(503, "too many connections from this address");
    }

    auto respond = [self = shared_from_this(), keep_alive, version](HttpResponse reply) {
      // Back on the connection's strand, whichever thread answered.
      asio::dispatch(self->stream_.get_executor(),
                     [self, reply = std::move(reply), keep_alive, version]() mutable {
                       self->Send(std::move(reply), keep_alive, version);
                     });
    };
    try {
      server_.handler(request, respond);
    } catch (const std::exception&) {
      respond(HttpResponse{500, "text/plain", "no", {}});
    }
  }

  void Refuse(int status, const char* text) {
    std::string counted;
    {
      const std::lock_guard lock(server_.mutex);
      if (counted_address_ != peer_address_) counted = counted_address_;
    }
    server_.Log({peer_address_, counted, status, text});
    Send(HttpResponse{status, "text/plain", text, {}}, false, 11);
  }

  void Send(HttpResponse reply, bool keep_alive, unsigned version) {
    response_ = {};
    response_.version(version);
    response_.result(static_cast<http::status>(reply.status));
    response_.set(http::field::server, "braxo-club");
    response_.set(http::field::content_type, reply.content_type);
    for (const auto& [name, value] : reply.headers) response_.insert(name, value);
    response_.body() = std::move(reply.body);
    response_.keep_alive(keep_alive);
    response_.prepare_payload();
    stream_.expires_after(server_.limits.read_timeout);
    http::async_write(stream_, response_,
                      [self = shared_from_this(), keep_alive](beast::error_code ec, std::size_t) {
                        if (ec || !keep_alive) return self->Close();
                        self->WaitForRequest();
                      });
  }

  void Close() {
    beast::error_code ec;
    stream_.socket().shutdown(tcp::socket::shutdown_both, ec);
    stream_.socket().close(ec);
  }

  beast::tcp_stream stream_;
  HttpServer::Impl& server_;
  beast::flat_buffer buffer_{64 * 1024};
  std::optional<http::request_parser<http::string_body>> parser_;
  http::response<http::string_body> response_;
  const std::string peer_address_;
  // Guarded by the server's mutex.
  std::string counted_address_;
  std::optional<std::list<IdleConnection>::iterator> idle_position_;
  bool closing_ = false;
};

std::string ForwardedClientAddress(const std::string& forwarded_for) {
  const size_t comma = forwarded_for.rfind(',');
  std::string last = forwarded_for.substr(comma == std::string::npos ? 0 : comma + 1);
  last.erase(0, last.find_first_not_of(" \t"));
  last.erase(last.find_last_not_of(" \t") + 1);
  beast::error_code ec;
  const auto address = asio::ip::make_address(last, ec);
  return ec ? std::string() : address.to_string();
}

int DefaultWorkerThreads() {
  return static_cast<int>(std::max(16u, 4 * std::thread::hardware_concurrency()));
}

std::optional<std::string> HttpServer::Impl::Admit(const std::string& address) {
  std::shared_ptr<HttpConnection> closed[2];
  const std::lock_guard lock(mutex);
  // A balancer carries every client: only its requests' addresses count.
  if (!IsTrustedProxy(address) && per_address[address] >= limits.max_connections_per_address) {
    closed[0] = CloseOldestIdle(&address);
    if (!closed[0]) {
      if (per_address[address] == 0) per_address.erase(address);
      return "too many connections from this address";
    }
  }
  // Near the cap the connection that has waited longest for a request gives
  // way to the new one, long before the cap turns anyone away.
  if (connections >= limits.max_connections - std::max(1, limits.max_connections / 8))
    closed[1] = CloseOldestIdle(nullptr);
  if (connections >= limits.max_connections && !closed[0] && !closed[1])
    return "too many connections";
  ++connections;
  ++per_address[address];
  return std::nullopt;
  // `closed` is dropped after the lock: a connection's last owner runs its
  // destructor, which takes the lock.
}

bool HttpServer::Impl::CountAgainst(HttpConnection& connection, const std::string& address) {
  std::shared_ptr<HttpConnection> closed;
  const std::lock_guard lock(mutex);
  if (connection.counted_address_ == address) return true;
  if (per_address[address] >= limits.max_connections_per_address) {
    closed = CloseOldestIdle(&address);
    if (!closed) {
      if (per_address[address] == 0) per_address.erase(address);
      return false;
    }
  }
  if (--per_address[connection.counted_address_] <= 0)
    per_address.erase(connection.counted_address_);
  connection.counted_address_ = address;
  ++per_address[address];
  return true;
}

void HttpServer::Impl::Release(HttpConnection& connection) {
  const std::lock_guard lock(mutex);
  --connections;
  if (--per_address[connection.counted_address_] <= 0)
    per_address.erase(connection.counted_address_);
  if (connection.idle_position_) idle.erase(*connection.idle_position_);
  connection.idle_position_.reset();
}

void HttpServer::Impl::MarkIdle(const std::shared_ptr<HttpConnection>& connection) {
  const std::lock_guard lock(mutex);
  if (connection->closing_ || connection->idle_position_) return;
  connection->idle_position_ =
      idle.insert(idle.end(), IdleConnection{connection, connection->counted_address_});
}

bool HttpServer::Impl::MarkBusy(HttpConnection& connection) {
  const std::lock_guard lock(mutex);
  if (connection.idle_position_) idle.erase(*connection.idle_position_);
  connection.idle_position_.reset();
  return !connection.closing_;
}

std::shared_ptr<HttpConnection> HttpServer::Impl::CloseOldestIdle(const std::string* address) {
  for (auto it = idle.begin(); it != idle.end(); ++it) {
    if (address && it->address != *address) continue;
    // An expired one is being destroyed and takes itself off the list. One
    // locked here is handed to the caller, never dropped under the lock.
    std::shared_ptr<HttpConnection> connection = it->connection.lock();
    if (!connection) continue;
    idle.erase(it);
    connection->idle_position_.reset();
    connection->closing_ = true;
    connection->CloseSoon();
    return connection;
  }
  return nullptr;
}

void HttpServer::Impl::Accept() {
  acceptor.async_accept(asio::make_strand(ioc), [this](beast::error_code ec, tcp::socket socket) {
    if (ec == asio::error::operation_aborted || !acceptor.is_open()) return;
    if (!ec) {
      const auto endpoint = socket.remote_endpoint(ec);
      const std::string address = ec ? std::string() : endpoint.address().to_string();
      if (const auto refused = Admit(address)) {
        beast::error_code ignored;
        socket.close(ignored);
        Log({address, {}, 503, *refused});
      } else {
        std::make_shared<HttpConnection>(std::move(socket), *this, address)->Start();
      }
    }
    Accept();
  });
}

HttpServer::HttpServer(HttpHandler handler, HttpLimits limits) : impl_(std::make_unique<Impl>()) {
  impl_->handler = std::move(handler);
  impl_->limits = std::move(limits);
}

HttpServer::~HttpServer() { Stop(); }

void HttpServer::Listen(const std::string& host, std::uint16_t port) {
  beast::error_code ec;
  const auto address = asio::ip::make_address(host, ec);
  if (ec) throw std::runtime_error("not an IP address: " + host);
  const tcp::endpoint endpoint(address, port);
  auto& acceptor = impl_->acceptor;
  acceptor.open(endpoint.protocol(), ec);
  if (!ec) acceptor.set_option(asio::socket_base::reuse_address(true), ec);
  if (!ec) acceptor.bind(endpoint, ec);
  if (!ec) acceptor.listen(asio::socket_base::max_listen_connections, ec);
  if (ec)
    throw std::runtime_error("cannot listen on " + host + ":" + std::to_string(port) + ": " +
                             ec.message());
  impl_->port = acceptor.local_endpoint().port();
  impl_->Accept();
}

std::uint16_t HttpServer::port() const { return impl_->port; }

void HttpServer::OnRefusal(HttpRefusalLog log) { impl_->refusal_log = std::move(log); }

void HttpServer::StopOnSignals() {
  impl_->signals.emplace(impl_->ioc, SIGTERM, SIGINT);
  impl_->signals->async_wait([this](beast::error_code ec, int) {
    if (!ec) Stop();
  });
}

void HttpServer::Run() {
  std::vector<std::thread> threads;
  for (int i = 1; i < impl_->limits.threads; ++i)
    threads.emplace_back([this] { impl_->ioc.run(); });
  impl_->ioc.run();
  for (auto& t : threads) t.join();
}

void HttpServer::Stop() { impl_->ioc.stop(); }

}  // namespace braxo::club
