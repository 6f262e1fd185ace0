// What a distant club costs the player: the real braxo-club (a fresh database
// holding five rated members) behind a loopback proxy that adds a round trip
// of 0, 50, 150 or 300 ms (the argument). Measured: the account window from
// its creation until it is mapped and until it holds the member's data, the
// world top ten table
// drawn (three requests), the pre-game check of a rated game (its
// registration) and the end of a rated game (the result saved, the balance
// read back). Built from the same source against another tree, it gives the
// figures of both side by side; the pages read without waiting exist only in
// trees that define BRAXO_BENCH_PAGES_IN_BACKGROUND, the game's club steps run
// as the game runs them now (tied to an owner, the event loop running) only in
// trees that define BRAXO_BENCH_CLUB_STEPS_WITHOUT_WAITING, the account window
// that fills after it is shown in trees that define
// BRAXO_BENCH_WINDOWS_FILL_IN_BACKGROUND.
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QObject>
#include <QWindow>
#include <chrono>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "BenchClub.h"
#include "ClubServerProcess.h"
#include "DelayingProxy.h"
#include "club/AccountWorkflow.h"
#include "club/ClubAccess.h"
#include "dialogs/AccountWindow.h"
#include "dialogs/TopTenTableWindow.h"
#include "game/NullPorts.h"
#include "ui/Drawing.h"

namespace braxo {
namespace {

using bench::Club;
using bench::kMemberPassword;
std::unique_ptr<testing::ClubServerProcess> club_server;
std::unique_ptr<PictureStore> pictures;

void RoundTrips(benchmark::internal::Benchmark* benchmark) {
  benchmark->ArgName("rtt_ms")->Unit(benchmark::kMillisecond)->UseRealTime();
  for (int round_trip : {0, 50, 150, 300}) benchmark->Arg(round_trip);
}

std::chrono::milliseconds RoundTrip(const benchmark::State& state) {
  return std::chrono::milliseconds(state.range(0));
}

void LogIn(testing::WaitingClubAccess& access, ClubSession& session) {
  session.current_user = access.LoginAccount("Kenji", kMemberPassword).user;
  session.current_user.password = kMemberPassword;
  session.account_state = AccountState::kRated;
}

// Kenji logged in, with the account workflow, on the club behind a proxy
// adding the benchmark's round trip.
struct MemberBehindProxy {
  explicit MemberBehindProxy(const benchmark::State& state)
      : proxy(static_cast<std::uint16_t>(club_server->Port()), RoundTrip(state)),
        club(proxy.BaseUrl()) {
    world.session.current_user = club.waiting.LoginAccount("Kenji", kMemberPassword).user;
    world.session.current_user.password = kMemberPassword;
  }
  void CountConnections(benchmark::State& state) const {
    state.counters["connections"] =
        benchmark::Counter(proxy.connection_count(), benchmark::Counter::kAvgIterations);
  }
  testing::DelayingProxy proxy;
  Club club;
  testing::NullPorts world;
  AccountWorkflow account{club.access, world.session, ""};
};

// Runs the event loop until `window` is on the screen.
void WaitUntilMapped(QWidget& window) {
  while (window.windowHandle() == nullptr || !window.windowHandle()->isExposed())
    QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
}

// From the click (the window's creation) until the window is mapped
// (counter mapped_ms) and until it holds the club's data (the time). Where the
// window reads the club before it is shown, the two are the same.
void BM_AccountWindowFilled(benchmark::State& state) {
  MemberBehindProxy member(state);
  double mapped_ms = 0;
  for (auto _ : state) {
    member.world.session.account_state = AccountState::kLoggedIn;
    const auto click = std::chrono::steady_clock::now();
    AccountWindow window(
        ClubWindowParts{member.world.language, member.account, *pictures, [](const Notice&) {}},
        AccountWindowPurpose::kAccountIcon, /*game_in_progress=*/false, nullptr);
    window.show();
    WaitUntilMapped(window);
    mapped_ms +=
        std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - click).count();
#ifdef BRAXO_BENCH_WINDOWS_FILL_IN_BACKGROUND
    while (window.ReadingClub()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
#endif
    if (!window.ClubData().top_ten.ok) state.SkipWithError("the club did not answer");
  }
  state.counters["mapped_ms"] = benchmark::Counter(mapped_ms, benchmark::Counter::kAvgIterations);
  member.CountConnections(state);
}

#ifdef BRAXO_BENCH_PAGES_IN_BACKGROUND
// The account window's pages read without waiting: the independent reads
// side by side, then the dependent ones.
void BM_AccountPagesInBackground(benchmark::State& state) {
  MemberBehindProxy member(state);
  member.world.session.account_state = AccountState::kLoggedIn;
  for (auto _ : state) {
    QObject window;
    std::optional<AccountPages> pages;
    member.account.ReadPagesInBackground(&window, [&pages](AccountPages read) { pages = read; });
    while (!pages) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (!pages->top_ten.ok) state.SkipWithError("the club did not answer");
  }
  member.CountConnections(state);
}
BENCHMARK(BM_AccountPagesInBackground)->Apply(RoundTrips);
#endif

void BM_TopTenTableDrawn(benchmark::State& state) {
  testing::DelayingProxy proxy(static_cast<std::uint16_t>(club_server->Port()), RoundTrip(state));
  Club club(proxy.BaseUrl());
  PlatformChoice platform = PlatformChoice::kWindows;
  bench::TimeReads(
      state,
      [&] {
        TopTenTableWindow window(club.access, club.settings.passport, platform, 0, *pictures,
                                 nullptr, nullptr);
        window.DrawTable();
        return !window.TableTexts().empty();
      },
      "the table did not arrive");
  state.counters["connections"] =
      benchmark::Counter(proxy.connection_count(), benchmark::Counter::kAvgIterations);
}

void BM_PreGameCheck(benchmark::State& state) {
  testing::DelayingProxy proxy(static_cast<std::uint16_t>(club_server->Port()), RoundTrip(state));
  Club club(proxy.BaseUrl());
  ClubSession session;
  LogIn(club.waiting, session);
  for (auto _ : state) {
    if (!club.waiting.RegisterRatedGame(session)) state.SkipWithError("registration refused");
  }
}

void BM_EndOfRatedGame(benchmark::State& state) {
  testing::DelayingProxy proxy(static_cast<std::uint16_t>(club_server->Port()), RoundTrip(state));
  Club club(proxy.BaseUrl());
  ClubSession session;
  LogIn(club.waiting, session);
  for (auto _ : state) {
    state.PauseTiming();
    const bool open = club.waiting.RegisterRatedGame(session);
    state.ResumeTiming();
    if (!open || club.waiting.SaveRatedResult(session, 10) != RatedSave::kSaved ||
        !club.waiting.ReadKezsBalance(session))
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
  LogIn(club.waiting, session);
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
  LogIn(club.waiting, session);
  for (auto _ : state) {
    state.PauseTiming();
    const bool open = club.waiting.RegisterRatedGame(session);
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
  if (!braxo::bench::FillClub(braxo::club_server->BaseUrl())) return EXIT_FAILURE;
  braxo::pictures = std::make_unique<braxo::PictureStore>();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  braxo::pictures.reset();
  braxo::club_server.reset();
  return EXIT_SUCCESS;
}
