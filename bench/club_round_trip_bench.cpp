// What a distant club costs the player: the real braxo-club (a fresh database
// holding five rated members) behind a loopback proxy that adds a round trip
// of 0, 50, 150 or 300 ms (the argument). Measured: the account window from
// its creation until it holds the member's data, the world top ten table
// drawn (three requests), the pre-game check of a rated game (its
// registration) and the end of a rated game (the result saved, the balance
// read back). Built from the same source against another tree, it gives the
// figures of both side by side; the pages read without waiting exist only in
// trees that define BRAXO_BENCH_PAGES_IN_BACKGROUND, the game's club steps run
// as the game runs them now (tied to an owner, the event loop running) only in
// trees that define BRAXO_BENCH_CLUB_STEPS_WITHOUT_WAITING.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QObject>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "ClubServerProcess.h"
#include "DelayingProxy.h"
#include "club/AccountWorkflow.h"
#include "club/ClubAccess.h"
#include "club/Scramble.h"
#include "dialogs/AccountWindow.h"
#include "dialogs/TopTenTableWindow.h"
#include "game/NullPorts.h"
#include "ui/Drawing.h"

namespace braxo {
namespace {

constexpr char kPassword[] = "bench42";
std::unique_ptr<testing::ClubServerProcess> club_server;
std::unique_ptr<PictureStore> pictures;

struct Club {
  explicit Club(const std::string& base_url) {
    services.account_address = ScrambleText(base_url + "account", kAccountKey);
    services.photo_address = ScrambleText(base_url + "photos/", kAccountKey);
    settings.top_ten_address.plain = base_url + "topten";
    settings.passport.nick = "Kenji";
    settings.passport.city = "Oslo";
  }
  ClubClient client;
  ClubServiceState services;
  Settings settings;
  ClubAccess access{client, services, settings};
};

bool FillClub() {
  Club club(club_server->BaseUrl());
  const char* nicks[] = {"Marta", "Kenji", "Lucia", "Tom_B", "Ines"};
  int score = 5000;
  for (const char* nick : nicks) {
    MemberAccount user;
    user.nick = nick;
    user.password = kPassword;
    user.scrambled_password = ScramblePassword(kPassword);
    user.city = "Oslo";
    user.country_code = "1-035";
    user.country_name = "Norway";
    user.email = std::string(nick) + "@example.org";
    user.registered_on = "14.03.2026";
    user.reserved_r01 = user.reserved_r02 = user.reserved_r03 = "xxx";
    if (club.access.CreateAccount(user) != 0) return false;
    ClubSession session;
    session.current_user = club.access.LoginAccount(nick, kPassword).user;
    session.current_user.password = kPassword;
    session.account_state = AccountState::kRated;
    if (!club.access.RegisterRatedGame(session) ||
        club.access.SaveRatedResult(session, score) != RatedSave::kSaved)
      return false;
    score -= 700;
  }
  return true;
}

void RoundTrips(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgName("rtt_ms")->Unit(benchmark::kMillisecond)->UseRealTime();
  for (int round_trip : {0, 50, 150, 300}) benchmark->Arg(round_trip);
}

std::chrono::milliseconds RoundTrip(const benchmark::State& state) {
  return std::chrono::milliseconds(state.range(0));
}

void LogIn(ClubAccess& access, ClubSession& session) {
  session.current_user = access.LoginAccount("Kenji", kPassword).user;
  session.current_user.password = kPassword;
  session.account_state = AccountState::kRated;
}

void BM_AccountWindowFilled(benchmark::State& state) {
  testing::DelayingProxy proxy(static_cast<std::uint16_t>(club_server->Port()), RoundTrip(state));
  Club club(proxy.BaseUrl());
  testing::NullPorts world;
  AccountWorkflow account(club.access, world.session, "");
  world.session.current_user = club.access.LoginAccount("Kenji", kPassword).user;
  world.session.current_user.password = kPassword;
  for (auto _ : state) {
    world.session.account_state = AccountState::kLoggedIn;
    AccountWindow window(ClubWindowParts{world.language, account, *pictures, [](const Notice&) {}},
                         AccountWindowPurpose::kAccountIcon, /*game_in_progress=*/false, nullptr);
    if (!window.ClubData().top_ten.ok) state.SkipWithError("the club did not answer");
  }
  state.counters["connections"] =
      benchmark::Counter(proxy.connection_count(), benchmark::Counter::kAvgIterations);
}

#ifdef BRAXO_BENCH_PAGES_IN_BACKGROUND
// The account window's pages read without waiting: the independent reads
// side by side, then the dependent ones.
void BM_AccountPagesInBackground(benchmark::State& state) {
  testing::DelayingProxy proxy(static_cast<std::uint16_t>(club_server->Port()), RoundTrip(state));
  Club club(proxy.BaseUrl());
  testing::NullPorts world;
  AccountWorkflow account(club.access, world.session, "");
  world.session.current_user = club.access.LoginAccount("Kenji", kPassword).user;
  world.session.current_user.password = kPassword;
  world.session.account_state = AccountState::kLoggedIn;
  for (auto _ : state) {
    QObject window;
    std::optional<AccountPages> pages;
    account.ReadPagesInBackground(&window, [&pages](AccountPages read) { pages = read; });
    while (!pages) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!pages->top_ten.ok) state.SkipWithError("the club did not answer");
  }
  state.counters["connections"] =
      benchmark::Counter(proxy.connection_count(), benchmark::Counter::kAvgIterations);
}
BENCHMARK(BM_AccountPagesInBackground)->Apply(RoundTrips);
#endif

void BM_TopTenTableDrawn(benchmark::State& state) {
  testing::DelayingProxy proxy(static_cast<std::uint16_t>(club_server->Port()), RoundTrip(state));
  Club club(proxy.BaseUrl());
  PlatformChoice platform = PlatformChoice::kWindows;
  for (auto _ : state) {
    TopTenTableWindow window(club.access, club.settings.passport, platform, 0, *pictures, nullptr,
                             nullptr);
    window.DrawTable();
    if (window.TableTexts().empty()) state.SkipWithError("the table did not arrive");
  }
  state.counters["connections"] =
      benchmark::Counter(proxy.connection_count(), benchmark::Counter::kAvgIterations);
}

void BM_PreGameCheck(benchmark::State& state) {
  testing::DelayingProxy proxy(static_cast<std::uint16_t>(club_server->Port()), RoundTrip(state));
  Club club(proxy.BaseUrl());
  ClubSession session;
  LogIn(club.access, session);
  for (auto _ : state) {
    if (!club.access.RegisterRatedGame(session)) state.SkipWithError("registration refused");
  }
}

void BM_EndOfRatedGame(benchmark::State& state) {
  testing::DelayingProxy proxy(static_cast<std::uint16_t>(club_server->Port()), RoundTrip(state));
  Club club(proxy.BaseUrl());
  ClubSession session;
  LogIn(club.access, session);
  for (auto _ : state) {
    state.PauseTiming();
    const bool open = club.access.RegisterRatedGame(session);
    state.ResumeTiming();
    if (!open || club.access.SaveRatedResult(session, 10) != RatedSave::kSaved ||
        !club.access.ReadKezsBalance(session))
      state.SkipWithError("the result was not saved");
  }
}

#ifdef BRAXO_BENCH_CLUB_STEPS_WITHOUT_WAITING
// Runs the event loop until `finished`.
template <typename Finished>
void RunUntil(const Finished& finished) {
  while (!finished()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void BM_PreGameCheckWithoutWaiting(benchmark::State& state) {
  testing::DelayingProxy proxy(static_cast<std::uint16_t>(club_server->Port()), RoundTrip(state));
  Club club(proxy.BaseUrl());
  ClubSession session;
  LogIn(club.access, session);
  for (auto _ : state) {
    QObject step;
    std::optional<bool> registered;
    club.access.RegisterRatedGame(&step, session, [&](bool ok) { registered = ok; });
    RunUntil([&] { return registered.has_value(); });
    if (!*registered) state.SkipWithError("registration refused");
  }
}

void BM_EndOfRatedGameWithoutWaiting(benchmark::State& state) {
  testing::DelayingProxy proxy(static_cast<std::uint16_t>(club_server->Port()), RoundTrip(state));
  Club club(proxy.BaseUrl());
  ClubSession session;
  LogIn(club.access, session);
  for (auto _ : state) {
    state.PauseTiming();
    const bool open = club.access.RegisterRatedGame(session);
    state.ResumeTiming();
    QObject step;
    std::optional<RatedSave> saved;
    club.access.SaveRatedResult(&step, session, 10, [&](RatedSave result) { saved = result; });
    RunUntil([&] { return saved.has_value(); });
    std::optional<bool> balance;
    club.access.ReadKezsBalance(&step, session, [&](bool read) { balance = read; });
    RunUntil([&] { return balance.has_value(); });
    if (!open || *saved != RatedSave::kSaved || !*balance)
      state.SkipWithError("the result was not saved");
  }
}

BENCHMARK(BM_PreGameCheckWithoutWaiting)->Apply(RoundTrips);
BENCHMARK(BM_EndOfRatedGameWithoutWaiting)->Apply(RoundTrips);
#endif

BENCHMARK(BM_AccountWindowFilled)->Apply(RoundTrips);
BENCHMARK(BM_TopTenTableDrawn)->Apply(RoundTrips);
BENCHMARK(BM_PreGameCheck)->Apply(RoundTrips);
BENCHMARK(BM_EndOfRatedGame)->Apply(RoundTrips);

}  // namespace
}  // namespace braxo

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  braxo::RegisterEmbeddedFonts();
  braxo::club_server = std::make_unique<braxo::testing::ClubServerProcess>();
  if (!braxo::FillClub()) return EXIT_FAILURE;
  braxo::pictures = std::make_unique<braxo::PictureStore>();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  braxo::pictures.reset();
  braxo::club_server.reset();
  return EXIT_SUCCESS;
}
