#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QWidget>
#include <cstdlib>

#include "TestHttpServer.h"
#include "app/AppServices.h"
#include "club/BuiltinAddresses.h"
#include "club/Scramble.h"
#include "game/NullPorts.h"
#include "storage/TextFile.h"

namespace braxo {
namespace {

using testing::CannedResponse;
using testing::RecordedRequest;
using testing::TestHttpServer;

// A club that serves its configuration page and counts usage reports.
class StartUpTest : public ::testing::Test {
 protected:
  StartUpTest()
      : server_([this](const RecordedRequest& request) {
          CannedResponse response;
          if (request.target == "/config") {
            response.body = config_page_;
            if (silent_config_) response.mode = CannedResponse::Mode::kSilent;
          } else
            response.body = "stat$+ok#";
          return response;
        }) {
    paths_.data_directory = dir_.path().toStdString() + "/";
    paths_.settings_file = paths_.data_directory + "Braxo.ini";
    paths_.champions_file = paths_.data_directory + "Braxo.clb";
    paths_.user_file = dir_.path().toStdString() + "/KezUser.kez";
    setenv("BRAXO_CONFIG_URL", server_.Url("config").c_str(), 1);
  }
  ~StartUpTest() override { unsetenv("BRAXO_CONFIG_URL"); }

  void WriteChampions(std::string_view marker) {
    std::array<ChampionEntry, kChampionEntryCount> entries;
    for (int i = 0; i < kChampionEntryCount; ++i) entries[i] = {"Player", 9000 - 500 * i};
    ASSERT_TRUE(WriteLinesAtomic(paths_.champions_file, NewChampionsTable(entries, 0, marker)));
  }
  // A complete settings file whose statistics address is `stat_path` on the
  // test club, and whose first flag says whether the unique start was counted.
  void WriteSettings(bool unique_start_counted, const std::string& stat_path) {
    const std::string stat = ScrambleText(server_.Url(stat_path), kConfigKey);
    const std::string top_ten = ScrambleText(server_.Url("topten"), kConfigKey);
    ASSERT_TRUE(WriteLinesAtomic(
        paths_.settings_file,
        {"<# X1, X2>", unique_start_counted ? "RL" : "#L", "<# Name>", "Ann", "<# Server: Path>",
         top_ten, "<# Server: Nick>", "Ann", "<# Server: Country>", "1-001", "<# Server: City>",
         "Oslo", "<# Server: Sex>", "W", "<# Server: Stat>", stat}));
  }

  // Creation and first paint of the main window, as the program runs them,
  // then the event loop until the club steps have run.
  void StartUp() {
    QWidget window;
    testing::NullPorts quiet;
    PictureStore pictures;
    InterfaceLanguage language;
    AppServices services(window, quiet, pictures, language, paths_);
    services.SetConfigPageLimits(page_limits_);
    FixedRandom random(1);
    GameState state({quiet, services.Sound(), quiet, services.Storage(), services.Club(),
                     services.Session(), language},
                    random, services.HelpMirrors());
    state.Start();
    state.Paint();
    club_started_at_first_paint_ = state.ClubStarted();
    QElapsedTimer waited;
    waited.start();
    while (!state.ClubStarted() && waited.elapsed() < 10000)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ASSERT_TRUE(state.ClubStarted());
    // The start's report goes out without waiting; its outcome and the
    // settings' save come with its reply.
    while (services.ReportsInFlight() && waited.elapsed() < 10000)
      QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    ASSERT_FALSE(services.ReportsInFlight());
    account_state_ = state.Session().account_state;
    unique_after_ = services.CurrentSettings().unique_start_counted;
  }

  std::vector<std::string> Summary() const {
    std::vector<std::string> out;
    for (const RecordedRequest& r : server_.Requests()) out.push_back(r.method + " " + r.target);
    return out;
  }

  QTemporaryDir dir_;
  DataPaths paths_;
  std::string config_page_ = "Braxo club configuration page\n";
  bool silent_config_ = false;
  TestHttpServer server_;
  AccountState account_state_ = AccountState::kNobody;
  bool unique_after_ = false;
  HttpLimits page_limits_ = ConfigPageLimits();
  bool club_started_at_first_paint_ = false;
};

TEST_F(StartUpTest, FirstRunWithoutSettingsOnlyReadsTheConfigurationPage) {
  WriteChampions("rel");
  StartUp();
  // Without a complete settings file the run has no club addresses.
  EXPECT_EQ(Summary(), std::vector<std::string>{"GET /config"});
  // The settings written at the start are complete, so the next run has them.
  const auto lines = ReadLines(paths_.settings_file);
  ASSERT_TRUE(lines);
  EXPECT_EQ(lines->size(), 16u);
  EXPECT_EQ(account_state_, AccountState::kNobody);
}

TEST_F(StartUpTest, CompleteSettingsSendTheStartReport) {
  struct Case {
    const char* name;
    bool unique_counted;
    const char* unique_flag;
  };
  for (const Case& c :
       {Case{"known installation", true, "0"}, Case{"new installation", false, "1"}}) {
    SCOPED_TRACE(c.name);
    QTemporaryDir dir;
    paths_.settings_file = dir.path().toStdString() + "/Braxo.ini";
    paths_.champions_file = dir.path().toStdString() + "/Braxo.clb";
    const size_t before = server_.Requests().size();
    WriteChampions("rel");
    WriteSettings(c.unique_counted, "stat");
    StartUp();
    const auto requests = server_.Requests();
    ASSERT_EQ(requests.size(), before + 2);
    EXPECT_EQ(requests[before].method + " " + requests[before].target, "GET /config");
    const RecordedRequest& report = requests[before + 1];
    EXPECT_EQ(report.method + " " + report.target, "POST /stat");
    EXPECT_EQ(report.body, std::string("gid=76&stat1=1&stat2=") + c.unique_flag);
    EXPECT_EQ(report.Header("user-agent"), "PlavoKeyStamp");
    EXPECT_TRUE(unique_after_);  // the report succeeded
    // The start-up saves the settings after the report.
    const auto lines = ReadLines(paths_.settings_file);
    ASSERT_TRUE(lines);
    EXPECT_EQ((*lines)[1], "RL");
  }
}

TEST_F(StartUpTest, ConfigurationPageMovesTheStatisticsAddress) {
  WriteChampions("rel");
  WriteSettings(true, "stat");
  config_page_ += "StatPath=" + ScrambleText(server_.Url("stat2"), kConfigKey) + "#\n";
  StartUp();
  EXPECT_EQ(Summary(), (std::vector<std::string>{"GET /config", "POST /stat2"}));
}

TEST_F(StartUpTest, DeveloperMarkerKeepsTheStartReportBack) {
  WriteChampions("qzx");
  WriteSettings(true, "stat");
  StartUp();
  EXPECT_EQ(Summary(), std::vector<std::string>{"GET /config"});
}

TEST_F(StartUpTest, DeadClubLeavesAPlayableGame) {
  // Nothing listens at the configuration address: the start-up goes on
  // without a club and without asking anything of the player.
  setenv("BRAXO_CONFIG_URL", "http://127.0.0.1:1/config", 1);
  WriteChampions("rel");
  WriteSettings(true, "stat");
  StartUp();
  EXPECT_EQ(account_state_, AccountState::kNobody);
  // The report went to the statistics address from the file all the same.
  EXPECT_EQ(Summary(), std::vector<std::string>{"POST /stat"});
}

TEST_F(StartUpTest, SilentClubIsGivenUpAndTheStartGoesOn) {
  // The club takes the request for its page and never answers: the start-up
  // gives up on it, runs without the remote configuration and still sends
  // the start report to the address from the file.
  silent_config_ = true;
  WriteChampions("rel");
  WriteSettings(true, "stat");
  StartUp();
  EXPECT_EQ(Summary(), (std::vector<std::string>{"GET /config", "POST /stat"}));
  EXPECT_EQ(account_state_, AccountState::kNobody);
}

TEST_F(StartUpTest, HelpGoesToTheTwoBuiltInSites) {
  QWidget window;
  testing::NullPorts quiet;
  PictureStore pictures;
  InterfaceLanguage language;
  AppServices services(window, quiet, pictures, language, paths_);
  EXPECT_EQ(services.HelpMirrors(), HelpMirrorAddresses());
  EXPECT_NE(services.HelpMirrors()[0], services.HelpMirrors()[1]);
}

TEST_F(StartUpTest, TitleScreenDoesNotWaitForASilentClub) {
  // The first paint (settings, title screen, champions check) is over long
  // before the page's bound; the club steps run when that bound runs out.
  silent_config_ = true;
  page_limits_.connect_timeout = std::chrono::milliseconds(1500);
  page_limits_.header_timeout = std::chrono::milliseconds(1500);
  page_limits_.overall_timeout = std::chrono::milliseconds(1500);
  WriteChampions("rel");
  WriteSettings(true, "stat");
  StartUp();
  // The first paint returned with the page still on its way.
  EXPECT_FALSE(club_started_at_first_paint_);
  EXPECT_EQ(Summary(), (std::vector<std::string>{"GET /config", "POST /stat"}));
}

// The sound output opens only once the window has shown its first frame (it
// would slow it), at the latest after a second, and never once released.
TEST_F(StartUpTest, TheSoundOutputWaitsForTheWindowsFirstFrame) {
  enum class Window { kShown, kNeverShown, kReleasedBeforeShown };
  struct Case {
    const char* name;
    Window window;
    bool begun;
  };
  // clang-format off
  const Case cases[] = {
      {"shown",                  Window::kShown,                true},
      {"never shown",            Window::kNeverShown,           true},
      {"released before shown",  Window::kReleasedBeforeShown,  false},
  };
  // clang-format on
  for (const Case& c : cases) {
    QWidget window;
    window.resize(200, 100);
    testing::NullPorts quiet;
    PictureStore pictures;
    InterfaceLanguage language;
    AppServices services(window, quiet, pictures, language, paths_);
    services.Sound().Start();
    services.Sound().Play("SClick1");  // waits for the output
    QCoreApplication::processEvents();
    EXPECT_FALSE(services.SoundOutputBegun()) << c.name << ": before the first frame";
    if (c.window == Window::kShown) window.show();
    if (c.window == Window::kReleasedBeforeShown) services.Sound().Release();
    QElapsedTimer waited;
    waited.start();
    while (!services.SoundOutputBegun() && waited.elapsed() < 3000)
      QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    EXPECT_EQ(services.SoundOutputBegun(), c.begun) << c.name;
    if (c.window == Window::kShown) {
      EXPECT_LT(waited.elapsed(), 1000) << c.name;
    }
    services.Sound().Release();
  }
}

}  // namespace
}  // namespace braxo
