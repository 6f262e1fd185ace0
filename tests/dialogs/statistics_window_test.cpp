// The statistics window, a real window offscreen against the real
// braxo-club (a fresh database for each test), and against clubs that
// refuse, stay silent or answer garbage.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include "ClubWindowKit.h"
#include "club/UsageStatistics.h"
#include "dialogs/StatisticsWindow.h"
#include "i18n/MessageCatalogue.h"

namespace braxo {
namespace {

using dialogs_test::ClubConnection;
using dialogs_test::FailingClub;
using dialogs_test::Failure;
using dialogs_test::FailureName;
using testing::CannedResponse;
using testing::ClubServerProcess;
using testing::RecordedRequest;
using testing::TestHttpServer;

// Waits until the window's totals and like have been answered.
bool Answered(const StatisticsWindow& window) {
  return QTest::qWaitFor([&window] { return !window.ReadingClub() && !window.SendingLike(); },
                         10000);
}

// The answers a player gives to the nick question, in order; the question
// after the last one counts as cancelled.
struct ScriptedNickBox {
  std::vector<QString> answers;
  std::vector<QString> defaults_offered;
  StatisticsWindow::NickAsker Asker() {
    return [this](QWidget*, const QString&, const QString& default_value) {
      defaults_offered.push_back(default_value);
      if (answers.empty()) return default_value;
      const QString answer = answers.front();
      answers.erase(answers.begin());
      return answer;
    };
  }
};

class StatisticsWindowTest : public ::testing::Test {
 protected:
  std::unique_ptr<StatisticsWindow> Open() {
    auto window = std::make_unique<StatisticsWindow>(
        club_.access, club_.settings, [this] { ++saves_; }, last_, 0, pictures_, nullptr,
        nick_box_.Asker());
    window->show();
    window->PrepareShowing();
    EXPECT_TRUE(Answered(*window));
    return window;
  }
  std::vector<QString> Values(StatisticsWindow& window) {
    std::vector<QString> out;
    for (int row = 0; row < kStatRows; ++row) out.push_back(window.Cell(1, row));
    return out;
  }

  ClubServerProcess server_;
  ClubConnection club_{server_.BaseUrl()};
  PictureStore pictures_;
  ScriptedNickBox nick_box_;
  LastUsageStats last_;
  int saves_ = 0;
};

TEST_F(StatisticsWindowTest, CountsOfStartsAndFinishedGamesThenOneLikePerInstallation) {
  const std::string stat = club_.settings.stat_address.plain;
  ASSERT_TRUE(CountStart(club_.client, stat, 76, true));
  ASSERT_TRUE(CountStart(club_.client, stat, 76, false));
  ASSERT_TRUE(CountStart(club_.client, stat, 76, false));
  const std::array<int, 12> normal = {1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const std::array<int, 12> extra = {0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  const std::array<int, 12> super = {0, 0, 1, 0, 0, 0, 0, 0, 0, 0, 0, 0};
  for (const auto& flags : {normal, normal, extra, super, super, super})
    ASSERT_TRUE(CountFinishedGame(club_.client, stat, 76, flags));
  club_.settings.like_sent = false;
  club_.settings.passport.nick = "Ann";

  auto window = Open();
  EXPECT_EQ(window->Cell(0, 0), "Number of starts:");
  EXPECT_EQ(window->Cell(0, 4), "Played games Normal:");
  EXPECT_EQ(window->Cell(0, 6), "Played games Super:");
  EXPECT_EQ(Values(*window), (std::vector<QString>{"3", "1", "0", "", "2", "1", "3"}));
  ASSERT_TRUE(window->LikeButton().isEnabled());
  EXPECT_EQ(window->LikeButton().text(), "I like this game!");

  window->LikeButton().click();
  ASSERT_TRUE(Answered(*window));
  EXPECT_TRUE(nick_box_.defaults_offered.empty()) << "a named player is not asked";
  EXPECT_FALSE(window->LikeButton().isEnabled());
  EXPECT_EQ(window->Cell(1, 2), "1");
  EXPECT_EQ(window->Cell(1, 3), "Ann");
  EXPECT_TRUE(club_.settings.like_sent);
  EXPECT_EQ(saves_, 1);

  // Read again: the club counted it; the installation does not like twice.
  auto again = Open();
  EXPECT_EQ(again->Cell(1, 2), "1");
  EXPECT_EQ(again->Cell(1, 3), "Ann");
  EXPECT_FALSE(again->LikeButton().isEnabled());
  again->LikeClicked();
  EXPECT_FALSE(again->SendingLike());
  EXPECT_EQ(club_.access.ReadUsageStatistics().stats.likes, 1);
  EXPECT_EQ(saves_, 1);
}

TEST_F(StatisticsWindowTest, IncognitoIsAskedForANickUntilOneIsAccepted) {
  club_.settings.like_sent = false;
  nick_box_.answers = {"A", "bad nick", "Пётр"};
  auto window = Open();
  window->LikeButton().click();
  ASSERT_TRUE(Answered(*window));
  EXPECT_EQ(nick_box_.defaults_offered,
            (std::vector<QString>{"Incognito", "Incognito", "Incognito"}));
  EXPECT_EQ(club_.settings.passport.nick, "Пётр");
  EXPECT_EQ(window->Cell(1, 3), "Пётр");
  EXPECT_EQ(club_.access.ReadUsageStatistics().stats.last_like_nick, "Пётр");
  EXPECT_TRUE(club_.settings.like_sent);
}

TEST_F(StatisticsWindowTest, ACancelledQuestionLikesAsIncognito) {
  club_.settings.like_sent = false;
  auto window = Open();
  window->LikeButton().click();
  ASSERT_TRUE(Answered(*window));
  EXPECT_EQ(nick_box_.defaults_offered.size(), 1u);
  EXPECT_EQ(club_.settings.passport.nick, "Incognito");
  EXPECT_EQ(window->Cell(1, 3), "Incognito");
}

TEST_F(StatisticsWindowTest, LikeSentInAnEarlierRunDisablesTheButton) {
  club_.settings.like_sent = true;
  auto window = Open();
  EXPECT_FALSE(window->LikeButton().isEnabled());
}

class StatisticsFailureTest : public ::testing::TestWithParam<Failure> {
 protected:
  std::string BaseUrl() const { return failing_.BaseUrl(); }
  FailingClub failing_{GetParam(), "$1 2 three 4*"};
  PictureStore pictures_;
};

TEST_P(StatisticsFailureTest, NoConnectInTheFirstCellAndAFailedLikeChangesNothing) {
  ClubConnection club(BaseUrl());
  club.settings.like_sent = false;
  club.settings.passport.nick = "Ann";
  int saves = 0;
  LastUsageStats last;
  StatisticsWindow window(
      club.access, club.settings, [&saves] { ++saves; }, last, 0, pictures_, nullptr);
  window.show();
  window.PrepareShowing();
  ASSERT_TRUE(Answered(window));
  EXPECT_EQ(window.Cell(1, 0), kNoConnect);
  for (int row = 1; row < kStatRows; ++row) EXPECT_EQ(window.Cell(1, row), "") << row;
  ASSERT_TRUE(window.LikeButton().isEnabled()) << "the button follows LikeSent alone";

  window.LikeButton().click();
  ASSERT_TRUE(Answered(window));
  EXPECT_TRUE(window.LikeButton().isEnabled());
  EXPECT_FALSE(club.settings.like_sent);
  EXPECT_EQ(saves, 0);
  EXPECT_EQ(window.Cell(1, 3), "");
  window.OkButton().click();
  EXPECT_FALSE(window.isVisible());
}

INSTANTIATE_TEST_SUITE_P(Clubs, StatisticsFailureTest,
                         ::testing::Values(Failure::kRefused, Failure::kSilent, Failure::kGarbage),
                         FailureName);

TEST(StatisticsLikes, TheLikesCellAfterALike) {
  EXPECT_EQ(LikesAfterLike("0"), "1");
  EXPECT_EQ(LikesAfterLike("41"), "42");
  EXPECT_EQ(LikesAfterLike(""), "");
  EXPECT_EQ(LikesAfterLike(kNoConnect), kNoConnect);
}

// A like that reaches the club while reading failed: the button, the nick,
// LikeSent and the save all follow, and the likes cell stays empty.
TEST(StatisticsLikes, ALikeAfterAFailedReadStillCounts) {
  TestHttpServer club_server([](const RecordedRequest& request) {
    CannedResponse r;
    r.body = request.body.find("stat3") != std::string::npos ? "$ ok#" : "garbage";
    return r;
  });
  ClubConnection club(club_server.Url(""));
  club.settings.like_sent = false;
  club.settings.passport.nick = "Ann";
  PictureStore pictures;
  int saves = 0;
  LastUsageStats last;
  StatisticsWindow window(
      club.access, club.settings, [&saves] { ++saves; }, last, 0, pictures, nullptr);
  window.PrepareShowing();
  ASSERT_TRUE(Answered(window));
  EXPECT_EQ(window.Cell(1, 0), kNoConnect);
  window.LikeClicked();
  ASSERT_TRUE(Answered(window));
  EXPECT_FALSE(window.LikeButton().isEnabled());
  EXPECT_EQ(window.Cell(1, 2), "");
  EXPECT_EQ(window.Cell(1, 3), "Ann");
  EXPECT_TRUE(club.settings.like_sent);
  EXPECT_EQ(saves, 1);
}

}  // namespace
}  // namespace braxo
