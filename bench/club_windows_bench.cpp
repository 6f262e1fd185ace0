// How long the club windows hold the game when they draw their lists: the
// world top ten table (the table, the game count and the own results: three
// requests) and the chat (one request), against the real braxo-club holding
// ten entries and ten messages, and side by side against a loopback server
// that answers at once with the same lists (the transport and the drawing
// alone).
#include <benchmark/benchmark.h>

#include <QApplication>
#include <QEventLoop>
#include <cstdlib>
#include <memory>
#include <string>

#include "BenchClub.h"
#include "ClubServerProcess.h"
#include "TestHttpServer.h"
#include "WaitingClub.h"
#include "club/ClubAccess.h"
#include "dialogs/ChatWindow.h"
#include "dialogs/TopTenTableWindow.h"
#include "ui/Drawing.h"

namespace braxo {
namespace {

std::unique_ptr<testing::ClubServerProcess> real_club;
std::unique_ptr<testing::TestHttpServer> canned_club;
std::unique_ptr<PictureStore> pictures;

// The passport's player has his own results in the table.
struct Club : bench::Club {
  explicit Club(const std::string& base_url) : bench::Club(base_url, "Player3") {}
};

std::string BaseUrl(const benchmark::State& state) {
  return state.range(0) == 0 ? real_club->BaseUrl() : canned_club->Url("");
}

void BM_TopTenTableRedraw(benchmark::State& state) {
  Club club(BaseUrl(state));
  PlatformChoice platform = PlatformChoice::kWindows;
  TopTenTableWindow window(club.access, club.settings.passport, platform, 0, *pictures, nullptr,
                           nullptr);
  bench::TimeReads(
      state,
      [&] {
        window.DrawTable();
        while (window.ReadingClub()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return window.TableTexts().size() >= 40;
      },
      "the table did not arrive");
}
BENCHMARK(BM_TopTenTableRedraw)->Arg(0)->Arg(1)->ArgName("canned")->Unit(benchmark::kMillisecond);

void BM_ChatListRedraw(benchmark::State& state) {
  Club club(BaseUrl(state));
  ChatWindow window(club.access, club.settings.passport, 0, *pictures, nullptr, nullptr);
  bench::TimeReads(
      state,
      [&] {
        window.DrawMessages();
        while (window.ReadingClub()) QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        return window.MessageTexts().size() == 30;
      },
      "the chat did not arrive");
}
BENCHMARK(BM_ChatListRedraw)->Arg(0)->Arg(1)->ArgName("canned")->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace braxo

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  braxo::RegisterEmbeddedFonts();
  braxo::pictures = std::make_unique<braxo::PictureStore>();
  // The chat allows one message per address every ten seconds by default.
  const std::string config = std::string(std::getenv("TMPDIR") ? std::getenv("TMPDIR") : "/tmp") +
                             "/braxo-club-windows-bench.conf";
  if (FILE* f = std::fopen(config.c_str(), "w")) {
    std::fputs("limit.chat_messages = 1000/10\nlimit.tournament_writes = 1000/3600\n", f);
    std::fclose(f);
  }
  braxo::real_club = std::make_unique<braxo::testing::ClubServerProcess>(
      std::vector<std::string>{"--config", config});
  std::string table, own, count, chat;
  {
    braxo::Club club(braxo::real_club->BaseUrl());
    for (int i = 0; i < 10; ++i) {
      const std::string nick = "Player" + std::to_string(i);
      if (!club.waiting.WriteTopTenEntry(nick, "Oslo", "1-035", "W", 3000 + 100 * i, 76, "#",
                                         "#") ||
          !club.waiting.WriteTopTenEntry(nick, "Oslo", "1-035", "W", i + 1, braxo::kChatTableId,
                                         "12:00:00_01.01.2026_Braxo", "Hello_from_" + nick)) {
        std::fprintf(stderr, "could not fill the club\n");
        return 1;
      }
    }
    braxo::ClubClient raw;
    const std::string topten = braxo::real_club->BaseUrl() + "topten";
    table = braxo::testing::WaitForList(raw, topten, {"gid=76"}).body;
    count = braxo::testing::WaitForList(raw, topten, {"rgid=76"}).body;
    own = braxo::testing::WaitForPlain(raw, topten,
                                       {{"gid", "76"}, {"nick", "Player3"}, {"city", "Oslo"}})
              .body;
    chat = braxo::testing::WaitForList(raw, topten, {"gid=100"}).body;
  }
  braxo::canned_club = std::make_unique<braxo::testing::TestHttpServer>(
      [&](const braxo::testing::RecordedRequest& r) {
        braxo::testing::CannedResponse response;
        if (r.body.rfind("rgid=", 0) == 0)
          response.body = count;
        else if (r.body.find("nick=") != std::string::npos)
          response.body = own;
        else if (r.body == "gid=100")
          response.body = chat;
        else
          response.body = table;
        return response;
      });
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  benchmark::Shutdown();
  braxo::canned_club.reset();
  braxo::real_club.reset();
  std::remove(config.c_str());
  return 0;
}
