#include "DelayingProxy.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <stdexcept>
#include <utility>

namespace braxo::testing {

using Clock = std::chrono::steady_clock;

namespace {

struct Piece {
  Clock::time_point deliver_at;
  std::string bytes;  // empty: the sending side closed
};

bool SendAll(int fd, const std::string& bytes) {
  size_t sent = 0;
  while (sent < bytes.size()) {
    const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

void NoDelay(int fd) {
  const int on = 1;
  ::setsockopt(fd, IPPROTO_TCP, TCP_NODELAY, &on, sizeof on);
}

}  // namespace

// One direction of a connection: a reader stamps each piece with its time of
// delivery, a writer hands it on at that time, so that pieces in flight
// overlap as they would on a long line.
struct Direction {
  int from = -1;
  int to = -1;
  Clock::duration delay{};
  Clock::time_point not_before{};  // the first bytes of a fresh connection
  std::mutex mutex;
  std::condition_variable arrived;
  std::deque<Piece> queue;
  std::thread reader;
  std::thread writer;
};

struct DelayingProxy::Connection {
  int client_fd = -1;
  int server_fd = -1;
  Direction up;    // client to server
  Direction down;  // server to client
  std::atomic<int> threads_done{0};
};

namespace {

void ReadSide(Direction& direction, std::atomic<int>& done) {
  char buffer[16 * 1024];
  while (true) {
    const ssize_t n = ::recv(direction.from, buffer, sizeof buffer, 0);
    Piece piece;
    piece.deliver_at = std::max(Clock::now() + direction.delay, direction.not_before);
    if (n > 0) piece.bytes.assign(buffer, static_cast<size_t>(n));
    {
      std::lock_guard lock(direction.mutex);
      direction.queue.push_back(std::move(piece));
    }
    direction.arrived.notify_one();
    if (n <= 0) break;
  }
  ++done;
}

void WriteSide(Direction& direction, const std::atomic<bool>& stopping, std::atomic<int>& done) {
  while (true) {
    Piece piece;
    {
      std::unique_lock lock(direction.mutex);
      direction.arrived.wait(lock, [&] { return stopping.load() || !direction.queue.empty(); });
      if (stopping) break;
      piece = std::move(direction.queue.front());
      direction.queue.pop_front();
      if (direction.arrived.wait_until(lock, piece.deliver_at, [&] { return stopping.load(); }))
        break;
    }
    if (piece.bytes.empty()) {
      ::shutdown(direction.to, SHUT_WR);
      break;
    }
    if (!SendAll(direction.to, piece.bytes)) {
      // The receiver is gone: stop reading what it would have got.
      ::shutdown(direction.from, SHUT_RDWR);
      break;
    }
  }
  ++done;
}

}  // namespace

DelayingProxy::DelayingProxy(std::uint16_t target_port, std::chrono::milliseconds round_trip)
    : target_port_(target_port), round_trip_(round_trip) {
  listen_fd_ = ::socket(AF_INET, SOCK_STREAM, 0);
  if (listen_fd_ < 0) throw std::runtime_error("proxy: no socket");
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (::bind(listen_fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listen_fd_, 128) != 0 ||
      ::getsockname(listen_fd_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    ::close(listen_fd_);
    throw std::runtime_error("proxy: cannot listen");
  }
  port_ = ntohs(address.sin_port);
  acceptor_ = std::thread([this] { AcceptLoop(); });
}

DelayingProxy::~DelayingProxy() {
  stopping_ = true;
  acceptor_.join();
  ::close(listen_fd_);
  std::lock_guard lock(mutex_);
  for (auto& connection : open_) {
    ::shutdown(connection->client_fd, SHUT_RDWR);
    ::shutdown(connection->server_fd, SHUT_RDWR);
    for (Direction* direction : {&connection->up, &connection->down}) {
      { std::lock_guard direction_lock(direction->mutex); }
      direction->arrived.notify_all();
    }
  }
  for (auto& connection : open_) {
    for (Direction* direction : {&connection->up, &connection->down}) {
      direction->reader.join();
      direction->writer.join();
    }
    ::close(connection->client_fd);
    ::close(connection->server_fd);
  }
}

std::string DelayingProxy::BaseUrl() const {
  return "http://127.0.0.1:" + std::to_string(port_) + "/";
}

void DelayingProxy::AcceptLoop() {
  while (!stopping_) {
    pollfd waiting{listen_fd_, POLLIN, 0};
    if (::poll(&waiting, 1, 50) <= 0) {
      ReapFinished();
      continue;
    }
    const int client_fd = ::accept(listen_fd_, nullptr, nullptr);
    if (client_fd < 0) continue;
    Serve(client_fd);
  }
}

void DelayingProxy::Serve(int client_fd) {
  const Clock::time_point opened = Clock::now();
  const int server_fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in target{};
  target.sin_family = AF_INET;
  target.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  target.sin_port = htons(target_port_.load());
  if (server_fd < 0 ||
      ::connect(server_fd, reinterpret_cast<sockaddr*>(&target), sizeof target) != 0) {
    if (server_fd >= 0) ::close(server_fd);
    ::close(client_fd);
    return;
  }
  ++connections_;
  NoDelay(client_fd);
  NoDelay(server_fd);
  auto connection = std::make_unique<Connection>();
  connection->client_fd = client_fd;
  connection->server_fd = server_fd;
  const Clock::duration half = round_trip_ / 2;
  connection->up.from = client_fd;
  connection->up.to = server_fd;
  connection->up.delay = half;
  // The client could not have sent before its handshake took a round trip.
  connection->up.not_before = opened + round_trip_ + half;
  connection->down.from = server_fd;
  connection->down.to = client_fd;
  connection->down.delay = half;
  Connection* raw = connection.get();
  for (Direction* direction : {&raw->up, &raw->down}) {
    direction->reader = std::thread([direction, raw] { ReadSide(*direction, raw->threads_done); });
    direction->writer = std::thread(
        [this, direction, raw] { WriteSide(*direction, stopping_, raw->threads_done); });
  }
  std::lock_guard lock(mutex_);
  open_.push_back(std::move(connection));
}

void DelayingProxy::ReapFinished() {
  std::lock_guard lock(mutex_);
  for (auto it = open_.begin(); it != open_.end();) {
    Connection& connection = **it;
    if (connection.threads_done.load() < 4) {
      ++it;
      continue;
    }
    for (Direction* direction : {&connection.up, &connection.down}) {
      direction->reader.join();
      direction->writer.join();
    }
    ::close(connection.client_fd);
    ::close(connection.server_fd);
    it = open_.erase(it);
  }
}

}  // namespace braxo::testing
