// A TCP proxy on 127.0.0.1 that puts a chosen round trip between a client and
// a server on loopback, as a distant club would: the first bytes of each new
// connection wait one extra round trip (the handshake a real network costs
// before anything can be sent), and every byte crossing waits half a round
// trip in its direction. Plain C++ and POSIX; a thread per direction of each
// connection, which is plenty for benchmarks and tests.
#pragma once

#include <atomic>
#include <chrono>
#include <cstdint>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace braxo::testing {

class DelayingProxy {
 public:
  // Listens on a free port at once; connects each client to
  // 127.0.0.1:`target_port`. Throws std::runtime_error when it cannot listen.
  DelayingProxy(std::uint16_t target_port, std::chrono::milliseconds round_trip);
  ~DelayingProxy();  // closes every connection
  DelayingProxy(const DelayingProxy&) = delete;
  DelayingProxy& operator=(const DelayingProxy&) = delete;

  // Connects the clients that come from now on to `target_port` (a club
  // started after the proxy, told the proxy's address as its own).
  void SetTargetPort(std::uint16_t target_port) { target_port_ = target_port; }
  std::uint16_t port() const { return port_; }
  std::string BaseUrl() const;  // "http://127.0.0.1:PORT/"
  // Connections accepted so far.
  int connection_count() const { return connections_.load(); }

 private:
  struct Connection;

  void AcceptLoop();
  void Serve(int client_fd);
  void ReapFinished();

  std::atomic<std::uint16_t> target_port_;
  std::chrono::milliseconds round_trip_;
  int listen_fd_ = -1;
  std::uint16_t port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<int> connections_{0};
  std::mutex mutex_;
  std::list<std::unique_ptr<Connection>> open_;
  std::thread acceptor_;
};

}  // namespace braxo::testing
