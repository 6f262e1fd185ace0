#include "http/HttpServer.h"

#include <algorithm>
#include <atomic>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/signal_set.hpp>
#include <boost/asio/strand.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <boost/beast/version.hpp>
#include <optional>
#include <stdexcept>
#include <thread>

namespace braxo::club {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using tcp = asio::ip::tcp;

struct HttpServer::Impl {
  HttpHandler handler;
  HttpLimits limits;
  // Before the io_context: connections still queued in it count down when it is destroyed.
  std::atomic<int> connections{0};
  asio::io_context ioc;
  tcp::acceptor acceptor{ioc};
  std::optional<asio::signal_set> signals;
  std::uint16_t port = 0;

  void Accept();
};

namespace {

class Connection : public std::enable_shared_from_this<Connection> {
 public:
  Connection(tcp::socket socket, HttpServer::Impl& server)
      : stream_(std::move(socket)), server_(server) {
    beast::error_code ec;
    const auto endpoint = stream_.socket().remote_endpoint(ec);
    if (!ec) remote_address_ = endpoint.address().to_string();
    stream_.socket().set_option(tcp::no_delay(true), ec);
  }
  ~Connection() { --server_.connections; }

  void Start() { WaitForRequest(); }

 private:
  // An idle connection waits for the first byte of its next request at most
  // the idle time-out; from then on the whole request must arrive within the
  // read time-out, so a slow client holds no worker and no connection long.
  void WaitForRequest() {
    if (buffer_.size() > 0) return ReadRequest();
    stream_.expires_after(server_.limits.idle_timeout);
    stream_.async_read_some(buffer_.prepare(4096),
                            [self = shared_from_this()](beast::error_code ec, std::size_t n) {
                              if (ec) return self->Close();
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
    if (ec == http::error::body_limit) return SendError(413, "request body too large");
    if (ec == http::error::header_limit) return SendError(431, "request header too large");
    if (ec == http::error::end_of_stream || ec == beast::error::timeout ||
        ec == asio::error::connection_reset || ec == asio::error::operation_aborted ||
        ec == asio::error::eof)
      return Close();
    if (ec) return SendError(400, "bad request");

    auto& req = parser_->get();
    HttpRequest request;
    request.method = std::string(req.method_string());
    request.target = std::string(req.target());
    request.body = std::move(req.body());
    if (const auto it = req.find(http::field::cookie); it != req.end())
      request.cookie = std::string(it->value());
    request.remote_address = remote_address_;
    if (const auto it = req.find("X-Forwarded-For"); it != req.end())
      request.forwarded_for = std::string(it->value());
    const bool keep_alive = req.keep_alive();
    const unsigned version = req.version();

    HttpResponse reply;
    try {
      reply = server_.handler(request);
    } catch (const std::exception&) {
      reply = HttpResponse{500, "text/plain", "no", {}};
    }
    Send(std::move(reply), keep_alive, version);
  }

  void SendError(int status, const char* text) {
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
  std::string remote_address_;
};

}  // namespace

int DefaultWorkerThreads() {
  return static_cast<int>(std::max(16u, 4 * std::thread::hardware_concurrency()));
}

void HttpServer::Impl::Accept() {
  acceptor.async_accept(asio::make_strand(ioc), [this](beast::error_code ec, tcp::socket socket) {
    if (ec == asio::error::operation_aborted || !acceptor.is_open()) return;
    if (!ec) {
      if (connections.load() >= limits.max_connections) {
        beast::error_code ignored;
        socket.close(ignored);
      } else {
        ++connections;
        std::make_shared<Connection>(std::move(socket), *this)->Start();
      }
    }
    Accept();
  });
}

HttpServer::HttpServer(HttpHandler handler, HttpLimits limits) : impl_(std::make_unique<Impl>()) {
  impl_->handler = std::move(handler);
  impl_->limits = limits;
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
