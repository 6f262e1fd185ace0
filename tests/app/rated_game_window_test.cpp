// A rated game through the real main window against a recording club: the
// start-up login from the user file, the registration at the pre-game check
// and the result at the end, each request in order with its exact body.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <mutex>

#include "ClubGameKit.h"
#include "TestHttpServer.h"
#include "club/ReplyRules.h"

namespace braxo {
namespace {

using testing::CannedResponse;
using testing::RecordedRequest;
using testing::TestHttpServer;

class RatedGameWindowTest : public ::testing::Test {
 protected:
  RatedGameWindowTest()
      : club_([this](const RecordedRequest& request) {
          std::lock_guard<std::mutex> lock(mutex_);
          CannedResponse response;
          if (request.target == "/config") {
            response.body = "AccPath=" + ScrambleText(club_.Url("account"), kAccountKey) + "#\n";
          } else if (request.target == "/stat") {
            response.body = "$ ok#";
          } else if (request.body.find("label0=0") != std::string::npos) {
            response.body = login_reply_;
          } else if (request.body.find("xxxbrbest=0") != std::string::npos && !records_.empty()) {
            response.body = records_.front();
            records_.pop_front();
          } else if (request.body.find("xxxbrkon=") != std::string::npos) {
            response.body = "$ok";
          }
          return response;
        }) {
    setenv("BRAXO_CONFIG_URL", club_.Url("config").c_str(), 1);
    folder_.Write(club_.Url(""));
  }
  ~RatedGameWindowTest() override { unsetenv("BRAXO_CONFIG_URL"); }

  std::vector<std::string> Summary() const {
    std::vector<std::string> out;
    for (const RecordedRequest& r : club_.Requests())
      out.push_back(r.method + " " + r.target + (r.body.empty() ? "" : " " + r.body));
    return out;
  }

  std::mutex mutex_;
  std::string login_reply_ = "$Genova Italy 1-020 W jnoble@mail.it 21.06.2020 xxx xxx xxx 5 0 0$";
  std::deque<std::string> records_ = {"$3 3000 2003 0 #$", "$4 3000 1504 0 #$"};
  TestHttpServer club_;
  testing::DataFolder folder_;
};

TEST_F(RatedGameWindowTest, StartUpLoginThenARatedGameToTheEnd) {
  // The stored password holds a space, "#" and "$"; a city with "no" in it.
  folder_.WriteUser("Ann", "my pw#1$x");
  testing::GameWindow window(folder_.paths());
  window.Start();
  QTRY_COMPARE_WITH_TIMEOUT(window.services().Session().account_state, AccountState::kLoggedIn,
                            5000);
  EXPECT_EQ(window.services().Session().current_user.city, "Genova");
  EXPECT_TRUE(window.services().Session().user_file_saved);

  window.LeaveTitle();
  EXPECT_EQ(window.LampHint(), "The game is not on the rating!");  // yellow

  window.ClickNewNormalGame();
  EXPECT_EQ(window.dialogs().shown, std::vector<std::string>{"account window"});
  EXPECT_TRUE(window.services().Session().rated_game_open);
  EXPECT_EQ(window.LampHint(), "There is a game on the rating!");  // green

  window.PlayWholeGame();
  QTRY_VERIFY_WITH_TIMEOUT(window.services().Session().account_state == AccountState::kLoggedIn,
                           5000);
  EXPECT_FALSE(window.services().Session().rated_game_open);
  const int score = window.game().Score();
  EXPECT_GT(score, 5000);

  const std::string rating = FormatClubNumber(1504 + score / 4.0);
  // The finished game's report goes out, without waiting, together with the
  // result's read: it reaches the club after the registration, before or
  // after that read. The club steps' own order is exact.
  std::vector<std::string> summary = Summary();
  const std::string finished_report =
      "POST /stat gid=76&R1=1&R2=0&R3=0&R4=0&R5=0&R6=0&R7=0&R8=0&R9=0&R10=0&R11=0&R12=0";
  const auto report = std::find(summary.begin(), summary.end(), finished_report);
  ASSERT_NE(report, summary.end());
  EXPECT_GE(report - summary.begin(), 5);
  summary.erase(report);
  EXPECT_EQ(std::count(summary.begin(), summary.end(), finished_report), 0);
  // The start's report goes out the same way, beside the start-up login.
  const std::string start_report = "POST /stat gid=76&stat1=1&stat2=0";
  const auto start = std::find(summary.begin(), summary.end(), start_report);
  ASSERT_NE(start, summary.end());
  EXPECT_GE(start - summary.begin(), 1);
  summary.erase(start);
  EXPECT_EQ(summary,
            (std::vector<std::string>{
                "GET /config",
                "POST /account nick=Ann&pw=my-pw-1-x&label0=0",
                "POST /account nick=Ann&pw=my-pw-1-x&xxxbrbest=0",
                "POST /account nick=Ann&pw=my-pw-1-x&xxxbrkon=4&xxxbrbest=3000&xxxbrrating=1504"
                "&xxxbrR1=0&xxxbrR2=#",
                "POST /account nick=Ann&pw=my-pw-1-x&xxxbrbest=0",
                "POST /account nick=Ann&pw=my-pw-1-x&xxxbrkon=4&xxxbrbest=" +
                    std::to_string(score) + "&xxxbrrating=" + rating + "&xxxbrR1=0&xxxbrR2=#",
            }));
  EXPECT_EQ(window.dialogs().shown, (std::vector<std::string>{"account window", "top ten entry"}));
  EXPECT_EQ(window.LampHint(), "The game is not on the rating!");
}

TEST_F(RatedGameWindowTest, AProxyPageAtStartUpLogsNobodyIn) {
  login_reply_ = "<html><body>502 Bad gateway: no upstream</body></html>";
  folder_.WriteUser("Ann", "pw");
  testing::GameWindow window(folder_.paths());
  window.Start();
  QTRY_VERIFY_WITH_TIMEOUT(club_.Requests().size() == 3, 5000);
  QTest::qWait(50);
  EXPECT_EQ(window.services().Session().account_state, AccountState::kNobody);
  EXPECT_EQ(window.services().Session().current_user.city, "#");
  window.LeaveTitle();
  EXPECT_EQ(window.LampHint(), "You are not logged in to your account!");  // red
}

// The account window's save and delete buttons: the file holds current_user's
// nick and scrambled password, never the plain one, and user_file_saved follows.
TEST_F(RatedGameWindowTest, UserFileFollowsTheAccountWindowsButtons) {
  testing::GameWindow window(folder_.paths());
  ClubSession& session = window.services().Session();
  session.current_user.nick = "Анна";
  session.current_user.password = "pw 1";
  session.current_user.scrambled_password = ScramblePassword("pw 1");
  ASSERT_TRUE(window.services().Account().SaveUserFile());
  EXPECT_TRUE(session.user_file_saved);
  const auto stored = ReadUserFile(folder_.paths().user_file);
  ASSERT_TRUE(stored);
  EXPECT_EQ(stored->nick, "Анна");
  EXPECT_EQ(stored->scrambled_password, ScramblePassword("pw 1"));
  const auto lines = ReadLines(folder_.paths().user_file);
  ASSERT_TRUE(lines);
  for (const std::string& line : *lines) EXPECT_EQ(line.find("pw 1"), std::string::npos);

  ASSERT_TRUE(window.services().Account().DeleteUserFile());
  EXPECT_FALSE(session.user_file_saved);
  EXPECT_FALSE(ReadUserFile(folder_.paths().user_file));
}

}  // namespace
}  // namespace braxo
