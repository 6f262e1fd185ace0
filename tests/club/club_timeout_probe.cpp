// Measures how long a club request keeps the player waiting when the server
// is dead (nothing listening), unanswered (connection never accepted), silent
// (accepts, never answers) or slow (dribbles its reply). Not a test: it prints
// wall-clock times with the client's default limits.
//   club_timeout_probe

#include <QCoreApplication>
#include <chrono>
#include <cstdio>
#include <string>

#include "TestHttpServer.h"
#include "WaitingClub.h"
#include "club/ClubClient.h"

namespace {

using braxo::ClubClient;
using braxo::HttpResult;
using braxo::testing::CannedResponse;
using braxo::testing::TestHttpServer;

void Measure(const char* label, ClubClient& client, const std::string& address) {
  const auto start = std::chrono::steady_clock::now();
  const HttpResult result = testing::WaitForPlain(client, address, {{"gid", "76"}, {"stat1", "1"}});
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start);
  std::printf("%-44s %6lld ms  %s\n", label, static_cast<long long>(elapsed.count()),
              std::string(braxo::HttpErrorName(result.error)).c_str());
}

}  // namespace

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  const braxo::HttpLimits limits;
  std::printf("limits: connect %lld ms, overall %lld ms, read after a tournament read %lld ms\n",
              static_cast<long long>(limits.connect_timeout.count()),
              static_cast<long long>(limits.overall_timeout.count()),
              static_cast<long long>(braxo::kClubReadTimeout.count()));

  TestHttpServer silent([](const braxo::testing::RecordedRequest&) {
    CannedResponse response;
    response.mode = CannedResponse::Mode::kSilent;
    return response;
  });
  TestHttpServer slow([](const braxo::testing::RecordedRequest&) {
    CannedResponse response;
    response.mode = CannedResponse::Mode::kDribble;
    response.delay = std::chrono::milliseconds(1000);
    response.body = std::string(30, 'x') + "$ ok#";
    return response;
  });
  TestHttpServer late([](const braxo::testing::RecordedRequest&) {
    CannedResponse response;
    response.mode = CannedResponse::Mode::kDelayed;
    response.delay = std::chrono::milliseconds(3500);
    response.body = "$ ok#";
    return response;
  });
  TestHttpServer endless_head([](const braxo::testing::RecordedRequest&) {
    CannedResponse response;
    response.mode = CannedResponse::Mode::kEndlessHeader;
    return response;
  });
  TestHttpServer trickling_head([](const braxo::testing::RecordedRequest&) {
    CannedResponse response;
    response.mode = CannedResponse::Mode::kEndlessHeader;
    response.delay = std::chrono::milliseconds(50);
    return response;
  });
  TestHttpServer endless_body([](const braxo::testing::RecordedRequest&) {
    CannedResponse response;
    response.mode = CannedResponse::Mode::kEndlessChunked;
    return response;
  });
  const braxo::testing::UnansweredListener unanswered;
  const std::string dead =
      "http://127.0.0.1:" + std::to_string(braxo::testing::UnusedPort()) + "/stat";

  for (int round = 0; round < 2; ++round) {
    ClubClient client;
    if (round == 1) {
      client.SetReadTimeout(braxo::kClubReadTimeout);
      std::printf("-- after the first tournament or statistics read (read time-out set)\n");
    } else {
      std::printf("-- before any tournament or statistics read (no read time-out)\n");
    }
    Measure("dead server (refused)", client, dead);
    Measure("unanswered connect (backlog full)", client, unanswered.Url("stat"));
    Measure("silent server (accepts, never answers)", client, silent.Url("stat"));
    Measure("slow server (1 byte/s, 35-byte body)", client, slow.Url("stat"));
    Measure("late server (answers after 3.5 s)", client, late.Url("stat"));
    Measure("header line that never ends (fast)", client, endless_head.Url("stat"));
    Measure("header line that trickles (1 byte/50 ms)", client, trickling_head.Url("stat"));
    Measure("chunked body that never ends", client, endless_body.Url("stat"));
  }
  std::printf("bytes the endless servers got out: head %lld, trickle %lld, body %lld\n",
              static_cast<long long>(endless_head.bytes_sent()),
              static_cast<long long>(trickling_head.bytes_sent()),
              static_cast<long long>(endless_body.bytes_sent()));
  return 0;
}
