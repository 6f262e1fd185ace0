// Load on one club at its limits, for bench/club_storm.sh (usage there):
//   club_storm_driver storm  PORT SECONDS  table-read latency alone, then during
//                                          a storm of 256 concurrent logins,
//                                          each a full password hash
//   club_storm_driver mixed  PORT SECONDS PERMILLE COOKIE
//                                          the mixed club workload on 64
//                                          connections (from 64 addresses)
//                                          with PERMILLE logins per
//                                          1000 requests; latency of the others
//   club_storm_driver attack PORT SECONDS  512 connections from 127.0.66.6 (a
//                                          third idle, a third with slow
//                                          headers, a third kept alive), and a
//                                          player on 127.0.55.5 asking for a
//                                          table on a new connection each time
// The club's member "Bench" (password bench123) must exist. Each mode prints
// one line of "name=value" figures. Every request gives up after 6 s (the
// game's limit) and counts as failed.
#include <algorithm>
#include <atomic>
#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/write.hpp>
#include <boost/beast/core.hpp>
#include <boost/beast/http.hpp>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <mutex>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace asio = boost::asio;
namespace beast = boost::beast;
namespace http = beast::http;
using Clock = std::chrono::steady_clock;

int port = 0;

// One keep-alive connection from `source`; any failure closes it, and the
// next request opens a new one.
class Client {
 public:
  explicit Client(std::string source = "127.0.0.1", bool fresh_each_time = false)
      : source_(std::move(source)), fresh_(fresh_each_time) {}

  // The status, or 0 when the request failed or took over 6 s.
  int Post(const std::string& path, const std::string& body, const std::string& cookie = {}) {
    if (stream_ && fresh_) stream_.reset();
    req_ = {http::verb::post, path, 11};
    req_.set(http::field::host, "127.0.0.1");
    req_.set(http::field::content_type, "application/x-www-form-urlencoded");
    if (!cookie.empty()) req_.set(http::field::cookie, cookie);
    req_.body() = body;
    req_.prepare_payload();
    res_ = {};
    buffer_.clear();
    int status = 0;
    const auto read = [this, &status] {
      http::async_write(*stream_, req_, [this, &status](beast::error_code ec, std::size_t) {
        if (ec) return;
        http::async_read(*stream_, buffer_, res_,
                         [this, &status](beast::error_code e, std::size_t) {
                           if (!e) status = res_.result_int();
                         });
      });
    };
    // Every step of the exchange within the game's 6 s.
    const bool connect = !stream_;
    if (connect) {
      stream_ = std::make_unique<beast::tcp_stream>(ioc_);
      beast::error_code ec;
      stream_->socket().open(asio::ip::tcp::v4(), ec);
      stream_->socket().bind({asio::ip::make_address(source_), 0}, ec);
    }
    stream_->expires_after(std::chrono::seconds(6));
    if (connect) {
      stream_->async_connect(asio::ip::tcp::endpoint(asio::ip::make_address("127.0.0.1"),
                                                     static_cast<unsigned short>(port)),
                             [read](beast::error_code ec) {
                               if (!ec) read();
                             });
    } else {
      read();
    }
    ioc_.restart();
    ioc_.run();
    if (status == 0 || !res_.keep_alive()) stream_.reset();
    return status;
  }

 private:
  std::string source_;
  bool fresh_;
  asio::io_context ioc_;
  std::unique_ptr<beast::tcp_stream> stream_;
  http::request<http::string_body> req_;
  http::response<http::string_body> res_;
  beast::flat_buffer buffer_;
};

// Latencies in milliseconds, from several threads.
class Latencies {
 public:
  void Add(double ms, bool ok) {
    const std::lock_guard lock(mutex_);
    values_.push_back(ms);
    if (!ok) ++failed_;
  }
  double Percentile(double p) {
    const std::lock_guard lock(mutex_);
    if (values_.empty()) return 0;
    std::sort(values_.begin(), values_.end());
    return values_[std::min(values_.size() - 1, static_cast<std::size_t>(p * values_.size()))];
  }
  std::size_t count() {
    const std::lock_guard lock(mutex_);
    return values_.size();
  }
  std::size_t failed() {
    const std::lock_guard lock(mutex_);
    return failed_;
  }

 private:
  std::mutex mutex_;
  std::vector<double> values_;
  std::size_t failed_ = 0;
};

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

template <typename Work>
void ForSeconds(int seconds, int threads, Work work) {
  const auto end = Clock::now() + std::chrono::seconds(seconds);
  std::vector<std::thread> pool;
  for (int i = 0; i < threads; ++i)
    pool.emplace_back([&, i] {
      while (Clock::now() < end) work(i);
    });
  for (auto& t : pool) t.join();
}

const char kLogin[] = "nick=Bench&pw=bench123&label0=0";

// Table reads on 8 connections, timed one by one.
void TableReads(int seconds, Latencies& latencies) {
  std::vector<std::unique_ptr<Client>> readers;
  for (int i = 0; i < 8; ++i) readers.push_back(std::make_unique<Client>());
  ForSeconds(seconds, 8, [&](int i) {
    const auto start = Clock::now();
    const int status = readers[i]->Post("/topten", "gid=76");
    latencies.Add(Ms(Clock::now() - start), status == 200);
  });
}

void Storm(int seconds) {
  Latencies alone, during;
  TableReads(seconds, alone);
  std::atomic<bool> stop{false};
  std::atomic<long> logged_in{0}, busy{0}, failed{0};
  std::vector<std::thread> storm;
  for (int i = 0; i < 256; ++i)
    storm.emplace_back([&, i] {
      Client client("127.0." + std::to_string(1 + i / 200) + "." + std::to_string(1 + i % 200));
      while (!stop) {
        const int status = client.Post("/account", kLogin);
        ++(status == 200 ? logged_in : status == 503 ? busy : failed);
        // A busy club is asked again a moment later, as its reply says.
        if (status == 503) std::this_thread::sleep_for(std::chrono::milliseconds(100));
      }
    });
  std::this_thread::sleep_for(std::chrono::milliseconds(500));  // the storm is on
  TableReads(seconds, during);
  stop = true;
  for (auto& t : storm) t.join();
  std::printf(
      "reads_alone=%zu p99_alone_ms=%.2f reads_during=%zu failed_during=%zu p99_during_ms=%.2f "
      "ratio=%.2f logins_ok=%ld logins_busy=%ld logins_failed=%ld\n",
      alone.count(), alone.Percentile(0.99), during.count(), during.failed(),
      during.Percentile(0.99), during.Percentile(0.99) / std::max(0.001, alone.Percentile(0.99)),
      logged_in.load(), busy.load(), failed.load());
}

void Mixed(int seconds, int permille, const std::string& cookie) {
  Latencies others, logins;
  std::atomic<long> counter{0};
  std::vector<std::unique_ptr<Client>> clients;
  // 64 players, each from an address of its own.
  for (int i = 0; i < 64; ++i)
    clients.push_back(std::make_unique<Client>("127.0.1." + std::to_string(i + 1)));
  const auto start_all = Clock::now();
  ForSeconds(seconds, 64, [&](int i) {
    thread_local std::mt19937 random(std::random_device{}());
    const long n = ++counter;
    const int r = static_cast<int>(random() % 1000) + 1;
    Client& c = *clients[i];
    const auto start = Clock::now();
    int status = 0;
    bool login = false;
    if (r <= 400) {
      status = c.Post("/topten", "gid=76");
    } else if (r <= 600) {
      status = c.Post("/stat", "gid=76");
    } else if (r <= 700) {
      status = c.Post("/topten", "gid=100");
    } else if (r <= 780) {
      status = c.Post("/topten", "rgid=76");
    } else if (r <= 830) {
      status = c.Post("/account", "xxxbrkon=0");
    } else if (r <= 880) {
      status = c.Post("/stat", "gid=76&stat1=1&stat2=0");
    } else if (r <= 930) {
      status = c.Post("/topten",
                      "gid=76&nick=Bench" + std::to_string(n % 1000) +
                          "&city=Moscow&country=1-001&score=" + std::to_string(random() % 19000) +
                          "&R7=M&R8=2.7&R9=%23&R10=%23*");
    } else if (r <= 1000 - permille) {
      status = c.Post("/account",
                      "nick=Bench&labelinfosave=0&namei=N" + std::to_string(n) +
                          "&name2=B&about=Fast&telephone=1&emailo=b@x.ru&website=w&skype=s&ok=o"
                          "&vk=v&telegram=t&facebook=f&twitter=t&instagramm=i&youtube=y",
                      cookie);
    } else {
      login = true;
      status = c.Post("/account", kLogin);
    }
    (login ? logins : others).Add(Ms(Clock::now() - start), status == 200);
  });
  const double elapsed = std::chrono::duration<double>(Clock::now() - start_all).count();
  std::printf(
      "requests_per_s=%.0f others=%zu others_failed=%zu p50_others_ms=%.2f p99_others_ms=%.2f "
      "logins=%zu logins_failed=%zu p99_logins_ms=%.2f\n",
      static_cast<double>(others.count() + logins.count()) / elapsed, others.count(),
      others.failed(), others.Percentile(0.5), others.Percentile(0.99), logins.count(),
      logins.failed(), logins.Percentile(0.99));
}

void Attack(int seconds) {
  asio::io_context ioc;
  std::vector<std::unique_ptr<asio::ip::tcp::socket>> held;
  std::vector<std::unique_ptr<Client>> kept;
  for (int i = 0; i < 512; ++i) {
    if (i % 3 == 2) {
      kept.push_back(std::make_unique<Client>("127.0.66.6"));
      kept.back()->Post("/topten", "gid=76");
      continue;
    }
    auto socket = std::make_unique<asio::ip::tcp::socket>(ioc);
    boost::system::error_code ec;
    socket->open(asio::ip::tcp::v4(), ec);
    socket->bind({asio::ip::make_address("127.0.66.6"), 0}, ec);
    socket->connect({asio::ip::make_address("127.0.0.1"), static_cast<unsigned short>(port)}, ec);
    if (i % 3 == 1)
      asio::write(*socket, asio::buffer(std::string("POST /topten HTTP/1.1\r\n")), ec);
    held.push_back(std::move(socket));
  }
  Latencies player;
  Client client("127.0.55.5", /*fresh_each_time=*/true);
  ForSeconds(seconds, 1, [&](int) {
    const auto start = Clock::now();
    const int status = client.Post("/topten", "gid=76");
    player.Add(Ms(Clock::now() - start), status == 200);
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  });
  const std::size_t tries = player.count();
  std::printf("player_tries=%zu player_ok=%zu success_percent=%.1f p99_ms=%.2f\n", tries,
              tries - player.failed(),
              tries ? 100.0 * static_cast<double>(tries - player.failed()) / tries : 0.0,
              player.Percentile(0.99));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: club_storm_driver storm|mixed|attack PORT SECONDS [...]\n");
    return 2;
  }
  const std::string mode = argv[1];
  port = std::atoi(argv[2]);
  const int seconds = std::atoi(argv[3]);
  if (mode == "storm") {
    Storm(seconds);
  } else if (mode == "mixed" && argc >= 6) {
    Mixed(seconds, std::atoi(argv[4]), argv[5]);
  } else if (mode == "attack") {
    Attack(seconds);
  } else {
    std::fprintf(stderr, "unknown mode or missing arguments\n");
    return 2;
  }
  return 0;
}
