// What a distant club costs the player: the real braxo-club (a fresh database
// holding five rated members) behind a loopback proxy that adds a round trip
// of 0, 50, 150 or 300 ms (the argument). Measured: the account window from
// its creation until it is mapped and until it holds the member's data, the
// world top ten table
// drawn (three requests), the pre-game check of a rated game (its
// registration) and the end of a rated game (the result saved, the balance
// read back), the tournament windows (the table, the entry window's Send, the
// chat) from the click until mapped and until filled. Built from the same
// source against another tree, it gives the figures of both side by side; the
// pages read without waiting exist only in trees that define
// BRAXO_BENCH_PAGES_IN_BACKGROUND, the game's club steps run as the game runs
// them now (tied to an owner, the event loop running) only in trees that
// define BRAXO_BENCH_CLUB_STEPS_WITHOUT_WAITING, the account window that fills
// after it is shown in trees that define BRAXO_BENCH_WINDOWS_FILL_IN_BACKGROUND,
// the statistics window that fills after it is shown and the personal
// information window's save that returns at once in trees that define
// BRAXO_BENCH_STATISTICS_AND_INFO_WITHOUT_WAITING (each beside the waiting read
// or save that the window made before).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <QObject>
#include <QWindow>
#include <chrono>
#include <cstdio>
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
#include "dialogs/ChatWindow.h"
#include "dialogs/PersonalInfoWindow.h"
#include "dialogs/StatisticsWindow.h"
#include "dialogs/TopTenEntryWindow.h"
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
        while (window.ReadingClub()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return !window.TableTexts().empty();
      },
      "the table did not arrive");
  state.counters["connections"] =
      benchmark::Counter(proxy.connection_count(), benchmark::Counter::kAvgIterations);
}

// Runs the event loop until `finished`.
template <typename Finished>
void RunEventsUntil(const Finished& finished) {
  while (!finished()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

double MillisecondsSince(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// The tournament windows as the player opens them: from the click (the
// window's creation) until it is mapped (counter mapped_ms) and until it
// holds the club's answer (the time). The table: its three reads; the entry
// window: the click on Send until the place is drawn (counter send_ms); the
// chat: its list.
void BM_TopTenTableWindow(benchmark::State& state) {
  testing::DelayingProxy proxy(static_cast<std::uint16_t>(club_server->Port()), RoundTrip(state));
  Club club(proxy.BaseUrl());
  PlatformChoice platform = PlatformChoice::kWindows;
  double mapped_ms = 0;
  for (auto _ : state) {
    const auto click = std::chrono::steady_clock::now();
    TopTenTableWindow window(club.access, club.settings.passport, platform, 0, *pictures, nullptr,
                             nullptr);
    window.DrawTable();
    window.show();
    WaitUntilMapped(window);
    mapped_ms += MillisecondsSince(click);
    RunEventsUntil([&window] { return !window.ReadingClub(); });
    if (!window.View().top || !window.View().top->ok) state.SkipWithError("no table");
  }
  state.counters["mapped_ms"] = benchmark::Counter(mapped_ms, benchmark::Counter::kAvgIterations);
  state.counters["connections"] =
      benchmark::Counter(proxy.connection_count(), benchmark::Counter::kAvgIterations);
}

void BM_TopTenEntryWindow(benchmark::State& state) {
  testing::DelayingProxy proxy(static_cast<std::uint16_t>(club_server->Port()), RoundTrip(state));
  // A nick no member holds: anyone may enter under it.
  Club club(proxy.BaseUrl(), "Visitor");
  double mapped_ms = 0;
  double send_ms = 0;
  for (auto _ : state) {
    const auto click = std::chrono::steady_clock::now();
    TopTenEntryWindow window(
        club.access, club.settings.passport, 1000, 0, *pictures, nullptr, nullptr,
        [&state](QWidget*, const Notice&) { state.SkipWithError("the entry was refused"); });
    window.PrepareShowing();
    window.show();
    WaitUntilMapped(window);
    mapped_ms += MillisecondsSince(click);
    const auto send = std::chrono::steady_clock::now();
    window.SendButton().click();
    RunEventsUntil([&window] { return !window.Sending(); });
    send_ms += MillisecondsSince(send);
    if (!window.Place()) state.SkipWithError("no place");
  }
  state.counters["mapped_ms"] = benchmark::Counter(mapped_ms, benchmark::Counter::kAvgIterations);
  state.counters["send_ms"] = benchmark::Counter(send_ms, benchmark::Counter::kAvgIterations);
}

void BM_ChatWindow(benchmark::State& state) {
  testing::DelayingProxy proxy(static_cast<std::uint16_t>(club_server->Port()), RoundTrip(state));
  Club club(proxy.BaseUrl());
  double mapped_ms = 0;
  for (auto _ : state) {
    const auto click = std::chrono::steady_clock::now();
    ChatWindow window(club.access, club.settings.passport, 0, *pictures, nullptr, nullptr);
    window.PrepareShowing();
    window.show();
    WaitUntilMapped(window);
    mapped_ms += MillisecondsSince(click);
    RunEventsUntil([&window] { return !window.ReadingClub(); });
    if (window.MessageTexts().size() != 30) state.SkipWithError("the chat did not arrive");
  }
  state.counters["mapped_ms"] = benchmark::Counter(mapped_ms, benchmark::Counter::kAvgIterations);
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

#ifdef BRAXO_BENCH_STATISTICS_AND_INFO_WITHOUT_WAITING
double Since(std::chrono::steady_clock::time_point start) {
  return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
      .count();
}

// The statistics window as it opens now: from the click (the window's
// creation) until it is mapped (counter mapped_ms) and until it holds the
// club's figures (the time).
void BM_StatisticsWindowFilled(benchmark::State& state) {
  testing::DelayingProxy proxy(static_cast<std::uint16_t>(club_server->Port()), RoundTrip(state));
  Club club(proxy.BaseUrl());
  club.settings.stat_address.plain = proxy.BaseUrl() + "stat";
  club.settings.like_sent = true;
  LastUsageStats last;
  double mapped_ms = 0;
  for (auto _ : state) {
    const auto click = std::chrono::steady_clock::now();
    StatisticsWindow window(club.access, club.settings, {}, last, 0, *pictures, nullptr);
    window.PrepareShowing();
    window.show();
    WaitUntilMapped(window);
    mapped_ms += Since(click);
    while (window.ReadingClub()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (window.Cell(1, 0) == QString::fromLatin1(kNoConnect))
      state.SkipWithError("the club did not answer");
  }
  state.counters["mapped_ms"] = benchmark::Counter(mapped_ms, benchmark::Counter::kAvgIterations);
}

// The statistics window as it opened before: the figures read (waiting)
// before the window is shown, so mapped and filled are one moment.
void BM_StatisticsWindowAfterWaitingRead(benchmark::State& state) {
  testing::DelayingProxy proxy(static_cast<std::uint16_t>(club_server->Port()), RoundTrip(state));
  Club club(proxy.BaseUrl());
  club.settings.stat_address.plain = proxy.BaseUrl() + "stat";
  for (auto _ : state) {
    if (!club.access.ReadUsageStatistics().ok) state.SkipWithError("the club did not answer");
    QWidget window;
    window.resize(410, 365);
    window.show();
    WaitUntilMapped(window);
  }
}

// "Update info" now: from the click until the window takes input again
// (counter returned_ms) and until the club confirmed the texts (the time).
void BM_PersonalInfoSaved(benchmark::State& state) {
  MemberBehindProxy member(state);
  member.world.session.account_state = AccountState::kLoggedIn;
  PersonalInfoWindow window(
      ClubWindowParts{member.world.language, member.account, *pictures, [](const Notice&) {}},
      false, nullptr);
  window.show();
  WaitUntilMapped(window);
  double returned_ms = 0;
  int round = 0;
  for (auto _ : state) {
    window.InfoField(2).setText(QString("about %1").arg(++round));
    const auto click = std::chrono::steady_clock::now();
    window.UpdateInfo();
    returned_ms += Since(click);
    while (window.SavingInfo()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    if (window.UpdateInfoButton().isEnabled()) state.SkipWithError("the save was refused");
  }
  state.counters["returned_ms"] =
      benchmark::Counter(returned_ms, benchmark::Counter::kAvgIterations);
}

// "Update info" before: the save and its read-back waited for in the click.
void BM_PersonalInfoSavedWaiting(benchmark::State& state) {
  MemberBehindProxy member(state);
  member.world.session.account_state = AccountState::kLoggedIn;
  int round = 0;
  for (auto _ : state) {
    PersonalInfo typed;
    typed.about = "about " + std::to_string(++round);
    if (!member.account.SavePersonalInfo(typed)) state.SkipWithError("the save was refused");
  }
}

BENCHMARK(BM_StatisticsWindowFilled)->Apply(RoundTrips);
BENCHMARK(BM_StatisticsWindowAfterWaitingRead)->Apply(RoundTrips);
BENCHMARK(BM_PersonalInfoSaved)->Apply(RoundTrips);
BENCHMARK(BM_PersonalInfoSavedWaiting)->Apply(RoundTrips);
#endif

BENCHMARK(BM_AccountWindowFilled)->Apply(RoundTrips);
BENCHMARK(BM_TopTenTableDrawn)->Apply(RoundTrips);
BENCHMARK(BM_TopTenTableWindow)->Apply(RoundTrips);
BENCHMARK(BM_TopTenEntryWindow)->Apply(RoundTrips);
BENCHMARK(BM_ChatWindow)->Apply(RoundTrips);
BENCHMARK(BM_PreGameCheck)->Apply(RoundTrips);
BENCHMARK(BM_EndOfRatedGame)->Apply(RoundTrips);

}  // namespace
}  // namespace braxo

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  braxo::RegisterEmbeddedFonts();
  // The entries and chat messages of the tournament windows' benchmarks
  // come faster than the club's limits allow by default.
  const std::string config = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
                             "/braxo-club-round-trip-bench.conf";
  if (FILE* f = std::fopen(config.c_str(), "w")) {
    std::fputs("limit.chat_messages = 1000/10\nlimit.tournament_writes = 100000/3600\n", f);
    std::fclose(f);
  }
  braxo::club_server = std::make_unique<braxo::testing::ClubServerProcess>(
      std::vector<std::string>{"--config", config});
  if (!braxo::bench::FillClub(braxo::club_server->BaseUrl())) return EXIT_FAILURE;
  {
    // Ten chat messages, so the chat window has a whole list to draw.
    braxo::bench::Club club(braxo::club_server->BaseUrl());
    for (int i = 1; i <= 10; ++i) {
      if (!club.access.WriteTopTenEntry("Guest" + std::to_string(i), "Oslo", "1-035", "W", i,
                                        braxo::kChatTableId, "12:00:00_01.01.2026_Braxo",
                                        "Hello")) {
        std::fprintf(stderr, "could not fill the chat\n");
        return EXIT_FAILURE;
      }
    }
  }
  braxo::pictures = std::make_unique<braxo::PictureStore>();
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  braxo::pictures.reset();
  braxo::club_server.reset();
  std::remove(config.c_str());
  return EXIT_SUCCESS;
}
