// The usage reports as the game's services send them: at once, each on its
// own, the start's outcome saved only once the club confirmed it.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>
#include <QWidget>
#include <array>
#include <string>
#include <vector>

#include "TestHttpServer.h"
#include "app/AppServices.h"
#include "club/Scramble.h"
#include "game/NullPorts.h"
#include "storage/ChampionsFile.h"
#include "storage/TextFile.h"

namespace braxo {
namespace {

using testing::CannedResponse;
using testing::RecordedRequest;
using testing::Respond;
using testing::TestHttpServer;

// A club that answers every report after a while, so that the test sees the
// report in flight.
class UsageReportsTest : public ::testing::Test {
 protected:
  UsageReportsTest()
      : server_([](const RecordedRequest&) {
          return Respond(CannedResponse::Mode::kDelayed, "$ ok#", std::chrono::milliseconds(300));
        }) {
    const std::string dir = dir_.path().toStdString() + "/";
    paths_ = {dir, dir + "Braxo.ini", dir + "Braxo.clb", dir + "KezUser.kez"};
    std::array<ChampionEntry, kChampionEntryCount> entries;
    for (int i = 0; i < kChampionEntryCount; ++i) entries[i] = {"Player", 99000 - 500 * i};
    EXPECT_TRUE(WriteLinesAtomic(paths_.champions_file, NewChampionsTable(entries, 0, "rel")));
    // A complete settings file of an installation whose unique start was
    // never confirmed ('#' in the first flag).
    EXPECT_TRUE(WriteLinesAtomic(
        paths_.settings_file,
        {"<# X1, X2>", "#L", "<# Name>", "Ann", "<# Server: Path>",
         ScrambleText(server_.Url("topten"), kConfigKey), "<# Server: Nick>", "Ann",
         "<# Server: Country>", "1-001", "<# Server: City>", "Oslo", "<# Server: Sex>", "W",
         "<# Server: Stat>", ScrambleText(server_.Url("stat"), kConfigKey)}));
    window_.resize(200, 100);
  }

  // The first flag of the settings file as it is on disk.
  char UniqueStartFlag() const {
    const std::optional<std::string> text = ReadSmallFile(paths_.settings_file, 64 * 1024);
    const std::size_t line = text ? text->find('\n') : std::string::npos;
    return line == std::string::npos || line + 1 >= text->size() ? '?' : (*text)[line + 1];
  }
  std::vector<std::string> Bodies() const {
    std::vector<std::string> bodies;
    for (const RecordedRequest& request : server_.Requests()) bodies.push_back(request.body);
    return bodies;
  }

  QTemporaryDir dir_;
  DataPaths paths_;
  TestHttpServer server_;
  QWidget window_;
  testing::NullPorts quiet_;
  PictureStore pictures_;
  InterfaceLanguage language_;
};

TEST_F(UsageReportsTest, TheUniqueStartIsSavedOnlyOnceTheClubConfirmedIt) {
  AppServices services(window_, quiet_, pictures_, language_, paths_);
  services.LoadSettings();
  ASSERT_FALSE(services.CurrentSettings().unique_start_counted);
  ASSERT_EQ(UniqueStartFlag(), '#');

  services.CountStart();
  // The flow saves the settings right after sending the report.
  services.SaveSettings();
  EXPECT_TRUE(services.ReportsInFlight());
  EXPECT_FALSE(services.CurrentSettings().unique_start_counted);
  QTRY_COMPARE_WITH_TIMEOUT(server_.Requests().size(), std::size_t{1}, 2000);
  EXPECT_EQ(UniqueStartFlag(), '#');

  QTRY_VERIFY_WITH_TIMEOUT(!services.ReportsInFlight(), 3000);
  EXPECT_TRUE(services.CurrentSettings().unique_start_counted);
  EXPECT_EQ(UniqueStartFlag(), 'R');
  EXPECT_EQ(Bodies(), std::vector<std::string>{"gid=76&stat1=1&stat2=1"});
}

TEST_F(UsageReportsTest, AFinishedGamesReportOutlivesTheNextGamesClubSteps) {
  AppServices services(window_, quiet_, pictures_, language_, paths_);
  services.LoadSettings();
  services.CountFinishedGame({1});
  // The next game's pre-game check, then its cancel, while the report is out.
  bool registered_ran = false;
  services.RegisterRatedGame([&registered_ran](bool) { registered_ran = true; });
  services.CancelClubStep();
  services.CountFinishedGame({0, 1});
  int settled = 0;
  services.WhenReportsSettled([&settled] { ++settled; });
  EXPECT_EQ(settled, 0);
  QTRY_COMPARE_WITH_TIMEOUT(settled, 1, 3000);
  EXPECT_FALSE(services.ReportsInFlight());
  EXPECT_FALSE(registered_ran);
  std::vector<std::string> bodies = Bodies();
  std::sort(bodies.begin(), bodies.end());
  EXPECT_EQ(bodies, (std::vector<std::string>{
                        "gid=76&R1=0&R2=1&R3=0&R4=0&R5=0&R6=0&R7=0&R8=0&R9=0&R10=0&R11=0&R12=0",
                        "gid=76&R1=1&R2=0&R3=0&R4=0&R5=0&R6=0&R7=0&R8=0&R9=0&R10=0&R11=0&R12=0"}));
  // Nothing in flight: the listener runs at once, from the event loop.
  services.WhenReportsSettled([&settled] { ++settled; });
  EXPECT_EQ(settled, 1);
  QTRY_COMPARE_WITH_TIMEOUT(settled, 2, 1000);
}

}  // namespace
}  // namespace braxo
