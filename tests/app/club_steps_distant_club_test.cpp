// The game's club steps against the real braxo-club behind a proxy that puts
// a round trip between them, through the real main window: the window keeps
// running while a step waits, the board takes no click meanwhile, the club
// sees the requests in the order the steps make them, Esc and a close give a
// step up, and a club that never answers ends in the usual message.
#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <fstream>
#include <sstream>

#include "ClubGameClient.h"
#include "ClubGameKit.h"
#include "ClubServerProcess.h"
#include "DelayingProxy.h"
#include "club/ClubAccess.h"

namespace braxo {
namespace {

using namespace std::chrono_literals;

// The club behind the proxy: the configuration page, the account, top-ten and
// statistics addresses all name the proxy.
struct DistantClub {
  // `config_nearby`: the configuration page is read from the club itself
  // (a club whose services never answer in time still gives its page).
  explicit DistantClub(std::chrono::milliseconds round_trip, bool config_nearby = false)
      : proxy(0, round_trip),
        club({"--public-url", proxy.BaseUrl()}),
        config((config_nearby ? club.BaseUrl() : proxy.BaseUrl()) + "config") {
    proxy.SetTargetPort(static_cast<std::uint16_t>(club.Port()));
  }

  // What the club did, one entry per request, from its request log: the
  // method, the path and the request's kind.
  std::vector<std::string> Requests() const {
    std::ifstream log(club.DataDir() + "/server.log");
    std::vector<std::string> requests;
    std::string line;
    while (std::getline(log, line)) {
      std::istringstream words(line);
      std::string when, from, method, path, kind;
      if (!(words >> when >> from >> method >> path >> kind)) continue;
      if (method != "GET" && method != "POST") continue;
      requests.push_back(method + " " + path + " " + kind);
    }
    return requests;
  }

  testing::DelayingProxy proxy;
  testing::ClubServerProcess club;
  testing::ConfigAddress config;
};

// Ann logged in from her user file, on level 1 of the first game.
void StartLoggedIn(testing::GameWindow& window) {
  window.Start();
  QTRY_COMPARE_WITH_TIMEOUT(window.services().Session().account_state, AccountState::kLoggedIn,
                            10000);
  window.LeaveTitle();
}

// Ann's record as the club keeps it.
GameRecord ClubRecordOfAnn() {
  testing::GameClient other_machine;
  const GameRecordReply record = other_machine.access().ReadGameRecord("Ann", "secret12");
  EXPECT_TRUE(record.ok);
  return record.record;
}

std::vector<std::string> From(const std::vector<std::string>& all, std::size_t first) {
  return {all.begin() + static_cast<std::ptrdiff_t>(std::min(first, all.size())), all.end()};
}

void PrepareAnn(testing::DataFolder& folder, const DistantClub& distant) {
  testing::GameClient other_machine;
  ASSERT_EQ(other_machine.access().CreateAccount(testing::TestMember("Ann", "secret12")), 0);
  folder.Write(distant.proxy.BaseUrl());
  folder.WriteUser("Ann", "secret12");
}

TEST(ClubStepsDistantClubTest, TheBoardWaitsForTheRegistrationAndTheClubSeesTheStepsInOrder) {
  DistantClub distant(150ms);
  testing::DataFolder folder;
  PrepareAnn(folder, distant);
  testing::GameWindow window(folder.paths());
  StartLoggedIn(window);
  const std::size_t before = distant.Requests().size();

  window.ClickNewNormalGame(/*wait_for_club=*/false);
  ASSERT_EQ(window.game().PendingClubStep(), ClubStep::kRegisteringRatedGame);
  // The old game's pair is under the pointer; the click must not take it.
  QTest::mousePress(&window.window().BoardImage(), Qt::LeftButton, {}, QPoint(50, 50));
  QTest::keyClick(&window.window(), Qt::Key_Right);
  EXPECT_EQ(window.game().Selection(), BoardCell{});
  EXPECT_FALSE(window.game().ClockRunning());
  EXPECT_EQ(window.game().PendingClubStep(), ClubStep::kRegisteringRatedGame);
  window.WaitForClub();
  ClubSession& session = window.services().Session();
  ASSERT_TRUE(session.rated_game_open);
  EXPECT_EQ(window.game().Selection(), BoardCell{});

  window.PlayWholeGame();
  QTRY_COMPARE_WITH_TIMEOUT(session.account_state, AccountState::kLoggedIn, 15000);
  EXPECT_FALSE(session.rated_game_open);
  EXPECT_EQ(window.dialogs().shown, (std::vector<std::string>{"account window", "top ten entry"}));

  // The registration, then the end of the game: the report, the result.
  EXPECT_EQ(From(distant.Requests(), before),
            (std::vector<std::string>{"POST /account game-read", "POST /account game-save",
                                      "POST /stat stat-finished", "POST /account game-read",
                                      "POST /account game-save"}));
  const GameRecord record = ClubRecordOfAnn();
  EXPECT_EQ(record.rated_games, 1);
  EXPECT_EQ(record.best_score, window.game().Score());
}

TEST(ClubStepsDistantClubTest, EscGivesTheRegistrationUpAndTheNewGameStartsOffTheRating) {
  DistantClub distant(300ms);
  testing::DataFolder folder;
  PrepareAnn(folder, distant);
  testing::GameWindow window(folder.paths());
  StartLoggedIn(window);
  const std::size_t before = distant.Requests().size();

  window.ClickNewNormalGame(/*wait_for_club=*/false);
  ASSERT_EQ(window.game().PendingClubStep(), ClubStep::kRegisteringRatedGame);
  QTest::keyClick(&window.window(), Qt::Key_Escape);
  EXPECT_FALSE(window.game().WaitingForClub());
  ClubSession& session = window.services().Session();
  EXPECT_FALSE(session.rated_game_open);
  EXPECT_EQ(session.account_state, AccountState::kLoggedIn);
  EXPECT_EQ(window.dialogs().shown,
            (std::vector<std::string>{"account window", "notice The game is not on the rating!|"}));
  EXPECT_EQ(window.LampHint(), "The game is not on the rating!");
  // The new game is there and takes clicks.
  EXPECT_EQ(window.game().Level(), 1);
  QTest::mousePress(&window.window().BoardImage(), Qt::LeftButton, {}, QPoint(50, 50));
  EXPECT_EQ(window.game().Selection(), (BoardCell{1, 1, 1}));

  // Nothing of the step follows: no record is written, the club counts no game.
  QTest::qWait(1500);
  for (const std::string& request : From(distant.Requests(), before))
    EXPECT_NE(request, "POST /account game-save");
  EXPECT_EQ(ClubRecordOfAnn().rated_games, 0);
  EXPECT_EQ(window.dialogs().shown.size(), 2u);
}

TEST(ClubStepsDistantClubTest, ClosingTheWindowWhileTheResultIsSavedSaysItIsNotWritten) {
  DistantClub distant(300ms);
  testing::DataFolder folder;
  PrepareAnn(folder, distant);
  auto window = std::make_unique<testing::GameWindow>(folder.paths());
  StartLoggedIn(*window);
  window->ClickNewNormalGame();
  ASSERT_TRUE(window->services().Session().rated_game_open);
  window->PlayWholeGame();
  ASSERT_EQ(window->game().PendingClubStep(), ClubStep::kSavingRatedResult);
  const std::size_t before = distant.Requests().size();

  window->window().close();
  EXPECT_EQ(window->dialogs().shown,
            (std::vector<std::string>{"account window",
                                      "notice Unable to write the result of the game!|"}));
  window.reset();
  QTest::qWait(1500);
  // The registration stands; the result never reached the club.
  for (const std::string& request : From(distant.Requests(), before))
    EXPECT_NE(request, "POST /account game-save");
  const GameRecord record = ClubRecordOfAnn();
  EXPECT_EQ(record.rated_games, 1);
  EXPECT_EQ(record.best_score, 0);
}

// The services answer only after 20 s: the registration ends after the
// request's overall bound with the message of a club that cannot be reached,
// and the game starts off the rating.
TEST(ClubStepsDistantClubTest, ARegistrationNeverAnsweredEndsInTheConnectionMessage) {
  DistantClub distant(20000ms, /*config_nearby=*/true);
  testing::DataFolder folder;
  folder.Write(distant.proxy.BaseUrl());
  testing::GameWindow window(folder.paths());
  window.Start();
  window.LeaveTitle();
  QElapsedTimer waited;
  waited.start();
  window.ClickNewNormalGame(/*wait_for_club=*/false);
  ASSERT_EQ(window.game().PendingClubStep(), ClubStep::kRegisteringRatedGame);
  window.WaitForClub(15000);
  const std::int64_t bound_ms = ClubClient().limits().overall_timeout.count();
  EXPECT_GE(waited.elapsed(), bound_ms);
  EXPECT_LT(waited.elapsed(), bound_ms + 3000);
  EXPECT_EQ(
      window.dialogs().shown,
      (std::vector<std::string>{
          "account window", "notice Could not connect to server!|The game is not on the rating!"}));
  EXPECT_FALSE(window.services().Session().rated_game_open);
  EXPECT_EQ(window.game().Level(), 1);
  EXPECT_TRUE(window.game().GameGoingOn());
}

}  // namespace
}  // namespace braxo
