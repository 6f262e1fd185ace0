// The real braxo-club under the loads that used to lock it: a storm of
// logins that each need a password hash, and one address holding as many
// connections as it can (idle, with slow headers, kept alive), with a
// legitimate client on another loopback address beside them.
#include <gtest/gtest.h>

#include <atomic>
#include <boost/asio/connect.hpp>
#include <boost/asio/ip/tcp.hpp>
#include <boost/asio/read.hpp>
#include <boost/asio/write.hpp>
#include <chrono>
#include <fstream>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "ClubServerProcess.h"
#include "ServerTestKit.h"
#include "club/FormBody.h"

namespace braxo::club {
namespace {

namespace asio = boost::asio;
using braxo::testing::ClubServerProcess;
using test::LoopbackClient;
using test::ReadAll;
using test::Reply;

std::string LoginBody(const std::string& nick, const std::string& pw = "secret1") {
  return ListFormBody({"nick=" + nick, "pw=" + pw, "label0=0"});
}

std::string TableRead() { return ListFormBody({"gid=76"}); }

// A club with the settings `conf` on a fresh SQLite database.
std::unique_ptr<ClubServerProcess> StartClub(const test::TempFolder& folder,
                                             const std::string& conf) {
  const std::string path = folder.path() + "/club.conf";
  std::ofstream(path) << conf;
  return std::make_unique<ClubServerProcess>(std::vector<std::string>{"--config", path});
}

// A raw connection from `source` that sends `bytes` and then holds on.
std::unique_ptr<asio::ip::tcp::socket> OpenFrom(asio::io_context& ioc, int port,
                                                const std::string& source,
                                                const std::string& bytes) {
  auto socket = std::make_unique<asio::ip::tcp::socket>(ioc);
  socket->open(asio::ip::tcp::v4());
  socket->bind({asio::ip::make_address(source), 0});
  socket->connect({asio::ip::make_address("127.0.0.1"), static_cast<unsigned short>(port)});
  if (!bytes.empty()) asio::write(*socket, asio::buffer(bytes));
  return socket;
}

// The status of the reply `socket` gets, or 0 when it is closed without one.
int StatusOf(asio::ip::tcp::socket& socket) {
  std::string head;
  boost::system::error_code ec;
  char chunk[256];
  while (head.find("\r\n") == std::string::npos) {
    const std::size_t n = socket.read_some(asio::buffer(chunk), ec);
    if (ec) break;
    head.append(chunk, n);
  }
  if (head.rfind("HTTP/1.1 ", 0) != 0 || head.size() < 12) return 0;
  return std::stoi(head.substr(9, 3));
}

std::string Address(int n) {
  return "127.0." + std::to_string(1 + n / 250) + "." + std::to_string(1 + n % 250);
}

// Slow hashes on one thread, nothing known without a hash: every login of
// the storm waits for its hash, and the queue fills.
constexpr char kSlowHashes[] =
    "password_memory_kib = 65536\npassword_passes = 4\npassword_hashes_at_once = 1\n"
    "password_hash_queue = 6\nverified_password_minutes = 0\nlimit.logins = 100000/60\n"
    "limit.failed_logins = 100000/60\nlog_requests = false\n";

TEST(ClubLoad, TableReadsAreAnsweredWhileALoginStormWaitsForItsHashes) {
  test::TempFolder folder;
  const auto club = StartClub(folder, kSlowHashes);
  ASSERT_EQ(LoopbackClient(club->Port()).Post("/account", test::CreateAccountBody("Member")).body,
            "ok");

  constexpr int kLogins = 64;
  std::atomic<int> logged_in{0}, busy{0}, other{0}, finished{0};
  std::mutex bad_mutex;
  std::vector<Reply> bad_busy;
  std::vector<std::thread> storm;
  for (int i = 0; i < kLogins; ++i)
    storm.emplace_back([&, i] {
      const Reply r =
          LoopbackClient(club->Port(), Address(i)).Post("/account", LoginBody("Member"));
      if (r.status == 200 && r.body.rfind("$Paris ", 0) == 0) {
        ++logged_in;
      } else if (r.status == 503) {
        ++busy;
        // The game's reader takes it as a refused login; the header says
        // when to ask again.
        if (r.body != "no" || r.retry_after != "1") {
          const std::lock_guard lock(bad_mutex);
          bad_busy.push_back(r);
        }
      } else {
        ++other;
      }
      ++finished;
    });

  // Reads on the workers while the logins wait for the one hashing thread:
  // each is answered, and all of them before the storm is over.
  LoopbackClient reader(club->Port(), "127.0.200.1");
  int reads = 0;
  for (; reads < 20; ++reads) {
    const Reply r = reader.Post("/topten", TableRead());
    ASSERT_EQ(r.status, 200);
    ASSERT_EQ(r.body, "");
  }
  const int finished_after_reads = finished.load();
  for (auto& t : storm) t.join();

  EXPECT_LT(finished_after_reads, kLogins);
  EXPECT_EQ(logged_in + busy + other, kLogins);
  EXPECT_EQ(other.load(), 0);
  // One hashing, six waiting: the rest of the burst is turned away at once.
  EXPECT_GE(logged_in.load(), 1);
  EXPECT_GE(busy.load(), kLogins / 2);
  EXPECT_TRUE(bad_busy.empty()) << bad_busy.front().status << " " << bad_busy.front().body;
  // A busy club forgot nothing: a login now gets in.
  EXPECT_EQ(
      LoopbackClient(club->Port(), "127.0.200.2").Post("/account", LoginBody("Member")).status,
      200);
}

TEST(ClubLoad, AGameRecordWithAKnownPasswordNeverWaitsBehindTheHashes) {
  test::TempFolder folder;
  std::string conf = kSlowHashes;
  conf.replace(conf.find("verified_password_minutes = 0"), 29, "verified_password_minutes = 10");
  const auto club = StartClub(folder, conf);
  LoopbackClient member(club->Port(), "127.0.200.3");
  ASSERT_EQ(member.Post("/account", test::CreateAccountBody("Member")).body, "ok");

  // A storm of wrong passwords, each a hash.
  std::atomic<int> finished{0};
  std::vector<std::thread> storm;
  for (int i = 0; i < 32; ++i)
    storm.emplace_back([&, i] {
      LoopbackClient(club->Port(), Address(i)).Post("/account", LoginBody("Member", "wrong1"));
      ++finished;
    });
  // The creator's password is known: its record reads need no hash.
  for (int i = 0; i < 10; ++i) {
    const Reply r =
        member.Post("/account", ListFormBody({"nick=Member", "pw=secret1", "xxxbrbest=0"}));
    ASSERT_EQ(r.status, 200);
    ASSERT_EQ(r.body.rfind("$0 0 ", 0), 0u) << r.body;
  }
  const int finished_after_reads = finished.load();
  for (auto& t : storm) t.join();
  EXPECT_LT(finished_after_reads, 32);
}

// What one address holds open, in each of the ways that used to fill the cap.
enum class Hold { kIdle, kSlowHeaders, kKeptAlive };

TEST(ClubLoad, OneAddressCannotLockOutTheOthers) {
  test::TempFolder folder;
  const auto club = StartClub(folder,
                              "max_connections = 64\nmax_connections_per_address = 8\n"
                              "log_requests = false\n");
  for (const Hold hold : {Hold::kIdle, Hold::kSlowHeaders, Hold::kKeptAlive}) {
    SCOPED_TRACE(static_cast<int>(hold));
    asio::io_context ioc;
    std::vector<std::unique_ptr<asio::ip::tcp::socket>> attack;
    std::vector<std::unique_ptr<LoopbackClient>> kept;
    for (int i = 0; i < 200; ++i) {
      if (hold == Hold::kKeptAlive) {
        kept.push_back(std::make_unique<LoopbackClient>(club->Port(), "127.0.66.6"));
        try {
          kept.back()->Post("/topten", TableRead());
        } catch (const std::exception&) {
          // A connection over the cap is closed: the attack goes on.
        }
      } else {
        attack.push_back(
            OpenFrom(ioc, club->Port(), "127.0.66.6",
                     hold == Hold::kIdle ? "" : "POST /topten HTTP/1.1\r\nHost: x\r\n"));
      }
    }
    // A player on another address is served, each time on a new connection.
    for (int i = 0; i < 20; ++i) {
      const Reply r = LoopbackClient(club->Port(), "127.0.55.5").Post("/topten", TableRead());
      EXPECT_EQ(r.status, 200);
    }
  }
}

TEST(ClubLoad, OnlyTheTrustedBalancersForwardedAddressCounts) {
  test::TempFolder folder;
  const auto club = StartClub(folder,
                              "max_connections_per_address = 4\ntrusted_proxies = 127.0.7.7\n"
                              "log_requests = false\n");
  const auto request = [](const std::string& client) {
    return "POST /topten HTTP/1.1\r\nHost: x\r\nX-Forwarded-For: 10.9.9.9, " + client +
           "\r\nContent-Type: application/x-www-form-urlencoded\r\nContent-Length: " +
           std::to_string(TableRead().size()) + "\r\n\r\n" + TableRead();
  };
  asio::io_context ioc;
  // Through the balancer: four connections of one client, each left in the
  // middle of its second request, and beside them many more for others.
  std::vector<std::unique_ptr<asio::ip::tcp::socket>> held;
  for (int i = 0; i < 4; ++i) {
    held.push_back(OpenFrom(ioc, club->Port(), "127.0.7.7", request("10.1.1.1")));
    ASSERT_EQ(StatusOf(*held.back()), 200);
    asio::write(*held.back(), asio::buffer(std::string("POST /topten HTTP/1.1\r\n")));
  }
  for (int i = 0; i < 8; ++i) {
    held.push_back(
        OpenFrom(ioc, club->Port(), "127.0.7.7", request("10.2.2." + std::to_string(i))));
    EXPECT_EQ(StatusOf(*held.back()), 200) << i;
  }
  // A fifth for the same client is refused; the balancer's own address is
  // never capped.
  auto fifth = OpenFrom(ioc, club->Port(), "127.0.7.7", request("10.1.1.1"));
  EXPECT_EQ(StatusOf(*fifth), 503);

  // Anyone else's header is ignored: its connections count against its own
  // address, four of them at most while busy.
  std::vector<std::unique_ptr<asio::ip::tcp::socket>> untrusted;
  for (int i = 0; i < 4; ++i) {
    untrusted.push_back(
        OpenFrom(ioc, club->Port(), "127.0.8.8", request("10.3.3." + std::to_string(i))));
    EXPECT_EQ(StatusOf(*untrusted.back()), 200) << i;
    asio::write(*untrusted.back(), asio::buffer(std::string("POST /topten HTTP/1.1\r\n")));
  }
  std::this_thread::sleep_for(std::chrono::milliseconds(100));  // their bytes have arrived
  auto fifth_untrusted = OpenFrom(ioc, club->Port(), "127.0.8.8", request("10.4.4.4"));
  EXPECT_EQ(StatusOf(*fifth_untrusted), 0);  // closed at once
}

TEST(ClubLoad, RequestsRefusedBeforeTheRoutesAreLogged) {
  test::TempFolder folder;
  std::string log;
  {
    const auto club =
        StartClub(folder, "max_connections_per_address = 1\nbody_limit_bytes = 1024\n");
    asio::io_context ioc;
    struct Case {
      std::string bytes;
      int status;
    };
    // clang-format off
    const Case cases[] = {
        {"GARBAGE\x01\r\n\r\n", 400},
        {"POST /topten HTTP/1.1\r\nHost: x\r\nContent-Length: 5000\r\n\r\n", 413},
        {"GET /config HTTP/1.1\r\nHost: x\r\nX-Long: " + std::string(9000, 'a') + "\r\n\r\n", 431},
    };
    // clang-format on
    for (const Case& c : cases) {
      auto socket =
          OpenFrom(ioc, club->Port(), "127.0.44." + std::to_string(c.status % 100), c.bytes);
      EXPECT_EQ(StatusOf(*socket), c.status) << c.bytes.substr(0, 20);
    }
    // Over the cap of one address: closed at once, and said in the log.
    auto busy = OpenFrom(ioc, club->Port(), "127.0.44.5", "POST /topten HTTP/1.1\r\n");
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    auto over = OpenFrom(ioc, club->Port(), "127.0.44.5", "GET /config HTTP/1.1\r\n\r\n");
    EXPECT_EQ(StatusOf(*over), 0);
    club->Restart();  // a SIGTERM: every line is written
    log = ReadAll(club->DataDir() + "/server.log");
  }
  for (const char* line : {"127.0.44.0 - - refused 400 0B", "127.0.44.13 - - refused 413 0B",
                           "127.0.44.31 - - refused 431 0B",
                           "127.0.44.5 - - refused 503 0B 0us too many connections from this "
                           "address"})
    EXPECT_NE(log.find(line), std::string::npos) << line << "\n" << log;
  for (const char ch : log) {
    const auto c = static_cast<unsigned char>(ch);
    EXPECT_TRUE(ch == '\n' || (c >= 0x20 && c < 0x7F)) << "byte " << int(c);
  }
}

}  // namespace
}  // namespace braxo::club
