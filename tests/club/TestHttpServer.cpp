#include "TestHttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <stdexcept>

namespace braxo::testing {
namespace {

std::string Lower(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

std::string Trim(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t')) text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t')) text.remove_suffix(1);
  return std::string(text);
}

int ListenOnLoopback(int backlog, std::uint16_t& port) {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) throw std::runtime_error("socket");
  const int one = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &one, sizeof one);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(fd, backlog) != 0) {
    ::close(fd);
    throw std::runtime_error("bind/listen");
  }
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  port = ntohs(address.sin_port);
  return fd;
}

bool SendAll(int fd, std::string_view data) {
  while (!data.empty()) {
    const ssize_t n = ::send(fd, data.data(), data.size(), MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    data.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

const char* Reason(int status) {
  switch (status) {
    case 200:
      return "OK";
    case 302:
      return "Found";
    case 404:
      return "Not Found";
    case 500:
      return "Internal Server Error";
    default:
      return "Status";
  }
}

}  // namespace

std::string RecordedRequest::Header(std::string_view name) const {
  for (const auto& [key, value] : headers) {
    if (key == name) return value;
  }
  return {};
}

bool RecordedRequest::HasHeader(std::string_view name) const {
  return std::any_of(headers.begin(), headers.end(),
                     [name](const auto& header) { return header.first == name; });
}

TestHttpServer::TestHttpServer(Handler handler) : handler_(std::move(handler)) {
  listen_fd_ = ListenOnLoopback(64, port_);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

TestHttpServer::~TestHttpServer() {
  stopping_ = true;
  ::shutdown(listen_fd_, SHUT_RDWR);
  acceptor_.join();
  {
    std::lock_guard lock(mutex_);
    for (int fd : open_fds_) ::shutdown(fd, SHUT_RDWR);
  }
  // No new threads appear once the acceptor has stopped.
  for (std::thread& thread : threads_) thread.join();
  ::close(listen_fd_);
}

std::string TestHttpServer::Url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/" + std::string(path);
}

std::vector<RecordedRequest> TestHttpServer::Requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

TestHttpServer::Handler TestHttpServer::Always(std::string body) {
  return [body = std::move(body)](const RecordedRequest&) {
    CannedResponse response;
    response.body = body;
    return response;
  };
}

void TestHttpServer::AcceptLoop() {
  while (!stopping_) {
    const int fd = ::accept4(listen_fd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) {
      if (errno == EINTR) continue;
      return;
    }
    const int one = 1;
    ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
    ++connections_;
    std::lock_guard lock(mutex_);
    // Threads whose connection has ended are joined here, so that a long
    // benchmark does not run out of threads.
    for (auto it = threads_.begin(); it != threads_.end();) {
      if (std::find(finished_.begin(), finished_.end(), it->get_id()) == finished_.end()) {
        ++it;
        continue;
      }
      it->join();
      it = threads_.erase(it);
    }
    finished_.clear();
    open_fds_.push_back(fd);
    threads_.emplace_back([this, fd] {
      Serve(fd);
      std::lock_guard done(mutex_);
      finished_.push_back(std::this_thread::get_id());
    });
  }
}

bool TestHttpServer::Sleep(std::chrono::milliseconds duration) const {
  const auto end = std::chrono::steady_clock::now() + duration;
  while (!stopping_ && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return !stopping_;
}

void TestHttpServer::Serve(int fd) {
  std::string buffer;
  char chunk[4096];
  const auto receive_more = [&]() -> bool {
    const ssize_t n = ::recv(fd, chunk, sizeof chunk, 0);
    if (n <= 0) return false;
    buffer.append(chunk, static_cast<size_t>(n));
    return true;
  };
  bool open = true;
  while (open && !stopping_) {
    size_t head_end;
    while ((head_end = buffer.find("\r\n\r\n")) == std::string::npos) {
      if (!receive_more()) {
        open = false;
        break;
      }
    }
    if (!open) break;

    RecordedRequest request;
    const std::string head = buffer.substr(0, head_end);
    buffer.erase(0, head_end + 4);
    size_t line_end = head.find("\r\n");
    const std::string request_line = head.substr(0, line_end);
    const size_t space1 = request_line.find(' ');
    const size_t space2 = request_line.find(' ', space1 + 1);
    request.method = request_line.substr(0, space1);
    request.target = request_line.substr(space1 + 1, space2 - space1 - 1);
    size_t content_length = 0;
    while (line_end != std::string::npos) {
      const size_t start = line_end + 2;
      line_end = head.find("\r\n", start);
      const std::string line =
          head.substr(start, line_end == std::string::npos ? line_end : line_end - start);
      const size_t colon = line.find(':');
      if (colon == std::string::npos) continue;
      std::string name = Lower(line.substr(0, colon));
      std::string value = Trim(line.substr(colon + 1));
      if (name == "content-length") content_length = std::stoul(value);
      request.headers.emplace_back(std::move(name), std::move(value));
    }
    while (buffer.size() < content_length) {
      if (!receive_more()) {
        open = false;
        break;
      }
    }
    if (!open) break;
    request.body = buffer.substr(0, content_length);
    buffer.erase(0, content_length);

    CannedResponse response = handler_(request);
    {
      std::lock_guard lock(mutex_);
      requests_.push_back(std::move(request));
    }

    using Mode = CannedResponse::Mode;
    if (response.mode == Mode::kCloseAtOnce) break;
    if (response.mode == Mode::kSilent) {
      // Hold the connection until the client gives up or the server stops.
      while (receive_more()) {
      }
      break;
    }
    if (response.mode == Mode::kDelayed && !Sleep(response.delay)) break;
    if (response.mode == Mode::kEndlessHeader) {
      // With a delay the line trickles in a byte at a time.
      SendEndless(fd, "HTTP/1.1 200 OK\r\nX-Filler: ",
                  std::string(response.delay.count() > 0 ? 1 : 16384, 'x'), response.endless_cap,
                  response.delay);
      break;
    }
    if (response.mode == Mode::kEndlessChunked) {
      SendEndless(fd, "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n",
                  "4000\r\n" + std::string(0x4000, 'y') + "\r\n", response.endless_cap,
                  response.delay);
      break;
    }

    std::string out =
        "HTTP/1.1 " + std::to_string(response.status) + " " + Reason(response.status) + "\r\n";
    for (const auto& [name, value] : response.headers) out += name + ": " + value + "\r\n";
    if (response.send_length)
      out += "Content-Length: " + std::to_string(response.body.size()) + "\r\n\r\n";
    else
      out += "Connection: close\r\n\r\n";
    if (response.mode == Mode::kDribble) {
      if (!SendAll(fd, out)) break;
      for (char c : response.body) {
        if (!Sleep(response.delay) || !SendAll(fd, std::string_view(&c, 1))) {
          open = false;
          break;
        }
      }
    } else {
      out += response.body;
      open = SendAll(fd, out);
    }
    if (!response.send_length) break;
  }
  ::shutdown(fd, SHUT_RDWR);
  std::lock_guard lock(mutex_);
  open_fds_.erase(std::remove(open_fds_.begin(), open_fds_.end(), fd), open_fds_.end());
  ::close(fd);
}

void TestHttpServer::SendEndless(int fd, const std::string& head, const std::string& piece,
                                 std::int64_t cap, std::chrono::milliseconds delay) {
  if (!SendAll(fd, head)) return;
  bytes_sent_ += static_cast<std::int64_t>(head.size());
  std::int64_t sent = 0;
  while (!stopping_ && sent < cap) {
    if (delay.count() > 0 && !Sleep(delay)) return;
    if (!SendAll(fd, piece)) return;
    sent += static_cast<std::int64_t>(piece.size());
    bytes_sent_ += static_cast<std::int64_t>(piece.size());
  }
}

int TestHttpServer::open_connection_count() const {
  std::lock_guard lock(mutex_);
  return static_cast<int>(open_fds_.size());
}

std::uint16_t UnusedPort() {
  std::uint16_t port = 0;
  const int fd = ListenOnLoopback(1, port);
  ::close(fd);
  return port;
}

UnansweredListener::UnansweredListener() {
  listen_fd_ = ListenOnLoopback(0, port_);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(port_);
  // Fill the accept queue with connections nobody accepts; once it is full
  // the kernel drops further connection requests instead of answering them.
  for (int i = 0; i < 4; ++i) {
    const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0);
    ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    fillers_.push_back(fd);
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(50));
}

UnansweredListener::~UnansweredListener() {
  for (int fd : fillers_) ::close(fd);
  ::close(listen_fd_);
}

std::string UnansweredListener::Url(std::string_view path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/" + std::string(path);
}

}  // namespace braxo::testing
