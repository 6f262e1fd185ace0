// The statistics window against the real braxo-club behind a loopback proxy
// that adds a round trip: the window shows the last figures at once and fills
// when the reply comes, asks nothing twice, sends one like per press, and a
// window closed while its request runs hears nothing of it.
#include <gtest/gtest.h>

#include <QTest>
#include <chrono>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>

#include "ClubServerProcess.h"
#include "ClubWindowKit.h"
#include "DelayingProxy.h"
#include "club/UsageStatistics.h"
#include "dialogs/StatisticsWindow.h"
#include "i18n/MessageCatalogue.h"

namespace braxo {
namespace {

using namespace std::chrono_literals;
using dialogs_test::ClubConnection;

std::string ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

int Occurrences(const std::string& text, const std::string& piece) {
  int count = 0;
  for (std::size_t at = text.find(piece); at != std::string::npos; at = text.find(piece, at + 1))
    ++count;
  return count;
}

class StatisticsWindowDistantClubTest : public ::testing::Test {
 protected:
  // Two starts counted; the player "Ann" has not liked the game yet; the
  // club behind a proxy adding `round_trip`.
  void SetUpClub(std::chrono::milliseconds round_trip) {
    ClubConnection setup(club_.BaseUrl());
    ASSERT_TRUE(CountStart(setup.client, setup.settings.stat_address.plain, 76, true));
    ASSERT_TRUE(CountStart(setup.client, setup.settings.stat_address.plain, 76, false));
    proxy_ = std::make_unique<testing::DelayingProxy>(static_cast<std::uint16_t>(club_.Port()),
                                                      round_trip);
    player_ = std::make_unique<ClubConnection>(proxy_->BaseUrl());
    player_->settings.like_sent = false;
    player_->settings.passport.nick = "Ann";
  }
  std::unique_ptr<StatisticsWindow> Open() {
    auto window = std::make_unique<StatisticsWindow>(
        player_->access, player_->settings, [this] { ++saves_; }, last_, 0, pictures_, nullptr);
    window->show();
    window->PrepareShowing();
    return window;
  }
  static bool Answered(const StatisticsWindow& window) {
    return QTest::qWaitFor([&window] { return !window.ReadingClub() && !window.SendingLike(); },
                           10000);
  }
  // The club's log, every line written (the server is restarted for it).
  std::string ClubLog() {
    club_.Restart();
    return ReadAll(club_.DataDir() + "/server.log");
  }
  static QString Text(MsgId id) { return QString::fromStdString(MessageText(id, 0)); }

  testing::ClubServerProcess club_;
  std::unique_ptr<testing::DelayingProxy> proxy_;
  std::unique_ptr<ClubConnection> player_;
  PictureStore pictures_;
  LastUsageStats last_;
  int saves_ = 0;
};

TEST_F(StatisticsWindowDistantClubTest, ShowsTheLastFiguresAtOnceAndFillsWhenTheReplyComes) {
  ASSERT_NO_FATAL_FAILURE(SetUpClub(300ms));
  UsageStats shown_before;
  shown_before.starts = 41;
  shown_before.likes = 7;
  shown_before.last_like_nick = "Bo";
  last_ = shown_before;

  auto window = Open();
  // Before any reply: the last figures, the loading note, the like waiting.
  EXPECT_TRUE(window->isVisible());
  EXPECT_TRUE(window->ReadingClub());
  EXPECT_EQ(window->Cell(1, 0), "41");
  EXPECT_EQ(window->Cell(1, 2), "7");
  EXPECT_EQ(window->Cell(1, 3), "Bo");
  EXPECT_EQ(window->SinceNote().text(), Text(MsgId::MsgClubLoading));
  EXPECT_FALSE(window->LikeButton().isEnabled());

  ASSERT_TRUE(Answered(*window));
  EXPECT_EQ(window->Cell(1, 0), "2");
  EXPECT_EQ(window->Cell(1, 1), "1");
  EXPECT_EQ(window->Cell(1, 2), "0");
  EXPECT_EQ(window->Cell(1, 3), "");
  EXPECT_EQ(window->SinceNote().text(), Text(MsgId::MsgStatisticSince));
  EXPECT_TRUE(window->LikeButton().isEnabled());
  ASSERT_TRUE(last_.has_value());
  EXPECT_EQ(last_->starts, 2);

  // The next window starts from what this one read.
  window.reset();
  auto next = Open();
  EXPECT_TRUE(next->ReadingClub());
  EXPECT_EQ(next->Cell(1, 0), "2");
}

TEST_F(StatisticsWindowDistantClubTest, ARefreshOrASecondPressWhileARequestRunsSendsNoCopy) {
  ASSERT_NO_FATAL_FAILURE(SetUpClub(150ms));
  const std::string before = ClubLog();
  auto window = Open();
  window->PrepareShowing();  // while the window's read runs
  window->LikeClicked();     // the like waits for the totals
  EXPECT_FALSE(window->SendingLike());
  window->PrepareShowing();
  ASSERT_TRUE(Answered(*window));

  window->LikeButton().click();
  EXPECT_TRUE(window->SendingLike());
  EXPECT_FALSE(window->LikeButton().isEnabled());
  window->LikeButton().click();
  window->LikeClicked();
  ASSERT_TRUE(Answered(*window));
  EXPECT_EQ(window->Cell(1, 2), "1");
  EXPECT_EQ(window->Cell(1, 3), "Ann");
  EXPECT_TRUE(player_->settings.like_sent);
  EXPECT_EQ(saves_, 1);
  window.reset();

  const std::string log = ClubLog().substr(before.size());
  EXPECT_EQ(Occurrences(log, " stat-read "), 1) << log;
  EXPECT_EQ(Occurrences(log, " stat-like "), 1) << log;
}

// Which request is out when the window closes.
enum class OutWhenClosed { kTheRead, kTheLike };

class StatisticsWindowClosedTest : public StatisticsWindowDistantClubTest,
                                   public ::testing::WithParamInterface<OutWhenClosed> {};

TEST_P(StatisticsWindowClosedTest, AWindowClosedWhileItsRequestRunsHearsNoReply) {
  ASSERT_NO_FATAL_FAILURE(SetUpClub(300ms));
  auto window = Open();
  if (GetParam() == OutWhenClosed::kTheLike) {
    ASSERT_TRUE(Answered(*window));
    last_.reset();
    window->LikeButton().click();
    ASSERT_TRUE(window->SendingLike());
  } else {
    ASSERT_TRUE(window->ReadingClub());
  }
  window.reset();
  // Long enough for the reply that was asked for to have come back.
  QTest::qWait(1500);
  EXPECT_FALSE(last_.has_value()) << "no figures reached the closed window's opener";
  EXPECT_FALSE(player_->settings.like_sent);
  EXPECT_EQ(saves_, 0);
}

INSTANTIATE_TEST_SUITE_P(Requests, StatisticsWindowClosedTest,
                         ::testing::Values(OutWhenClosed::kTheRead, OutWhenClosed::kTheLike),
                         [](const ::testing::TestParamInfo<OutWhenClosed>& info) {
                           return info.param == OutWhenClosed::kTheRead ? "TheRead" : "TheLike";
                         });

}  // namespace
}  // namespace braxo
