// How long the club's requests hold the window: a login, and one rated
// game's two steps (registration and result), against the real braxo-club
// and, side by side, against a loopback server that answers at once with
// canned replies (the transport alone).
#include <benchmark/benchmark.h>

#include <QCoreApplication>
#include <cstdlib>
#include <memory>
#include <string>

#include "ClubGameClient.h"
#include "ClubServerProcess.h"
#include "TestHttpServer.h"
#include "WaitingClub.h"
#include "club/ClubAccess.h"
#include "club/Scramble.h"

namespace braxo {
namespace {

struct Club {
  ClubClient client;
  ClubServiceState services;
  Settings settings;
  ClubAccess access{client, services, settings};
  // The same operations, each waited for.
  testing::WaitingClubAccess waiting{access};
  ClubSession session;
};

std::unique_ptr<testing::ClubServerProcess> real_club;
std::unique_ptr<testing::TestHttpServer> canned_club;

// The player Ann, logged in, on the real club (range 0) or the canned one (1).
std::unique_ptr<Club> Connect(bool real) {
  auto club = std::make_unique<Club>();
  if (real) {
    setenv("BRAXO_CONFIG_URL", (real_club->BaseUrl() + "config").c_str(), 1);
    ApplyRemoteConfig(testing::WaitForConfigPage(), club->settings, club->services);
  } else {
    club->services.account_address = ScrambleText(canned_club->Url("account"), kAccountKey);
  }
  club->session.current_user = club->waiting.LoginAccount("Ann", "secret12").user;
  return club;
}

void BM_Login(benchmark::State& state) {
  auto club = Connect(state.range(0) == 0);
  for (auto _ : state) {
    if (!club->waiting.LoginAccount("Ann", "secret12").ok) state.SkipWithError("login failed");
  }
}
BENCHMARK(BM_Login)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("canned")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

void BM_RatedGameSteps(benchmark::State& state) {
  auto club = Connect(state.range(0) == 0);
  for (auto _ : state) {
    if (!club->waiting.RegisterRatedGame(club->session) ||
        club->waiting.SaveRatedResult(club->session, 4000) != RatedSave::kSaved)
      state.SkipWithError("rated game failed");
  }
}
BENCHMARK(BM_RatedGameSteps)
    ->Arg(0)
    ->Arg(1)
    ->ArgName("canned")
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime();

}  // namespace
}  // namespace braxo

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  braxo::real_club = std::make_unique<braxo::testing::ClubServerProcess>();
  // Canned replies: a login record, a game record whose rated-games count keeps the
  // registration and the result consistent, "ok" for every save.
  braxo::canned_club = std::make_unique<braxo::testing::TestHttpServer>(
      [](const braxo::testing::RecordedRequest& r) {
        braxo::testing::CannedResponse response;
        if (r.body.find("label0=0") != std::string::npos)
          response.body = "$Rome Italy 1-020 W ann@mail.it 21.06.2020 xxx xxx xxx 0 0 0$";
        else if (r.body.find("xxxbrbest=0") != std::string::npos)
          response.body = "$1 4000 4001 0 #$";
        else
          response.body = "$ok";
        return response;
      });
  {
    braxo::Club setup;
    setenv("BRAXO_CONFIG_URL", (braxo::real_club->BaseUrl() + "config").c_str(), 1);
    braxo::ApplyRemoteConfig(braxo::testing::WaitForConfigPage(), setup.settings, setup.services);
    if (setup.waiting.CreateAccount(braxo::testing::TestMember("Ann", "secret12")) != 0) return 1;
  }
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  braxo::canned_club.reset();
  braxo::real_club.reset();
  return 0;
}
