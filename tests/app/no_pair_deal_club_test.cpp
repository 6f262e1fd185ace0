// A deal without a single pair, in the real window against the real
// braxo-club: the game is over at once, the board says so with the score and
// the way on, and the finished game reaches the club's usage report.
#include <gtest/gtest.h>

#include "ClubGameClient.h"
#include "ClubGameKit.h"
#include "ClubServerProcess.h"
#include "club/ClubAccess.h"
#include "ui/BoardRenderer.h"

namespace braxo {
namespace {

// Two different tiles at the two ends of the first row: both free, no pair.
void DealNoPair(int, Board& board) {
  board.SetCode({1, 1, 1}, "s1");
  board.SetCode({1, 1, 6}, "k1");
}

TEST(NoPairDealClubTest, IsLostAtOnceSaidOnTheBoardAndCountedByTheClub) {
  testing::ClubServerProcess club;
  const testing::ConfigAddress config(club.BaseUrl() + "config");
  testing::DataFolder folder;
  folder.Write(club.BaseUrl());
  testing::GameWindow window(folder.paths(), DealNoPair);
  window.Start();
  QTRY_VERIFY_WITH_TIMEOUT(window.game().ClubStarted(), 5000);
  window.LeaveTitle();

  // At once: no tick of the clock is waited for.
  EXPECT_FALSE(window.game().GameGoingOn());
  EXPECT_EQ(window.game().Message(), BoardMessage::kNoPairDealt);
  const BoardOverlay overlay = window.window().Overlay();
  ASSERT_EQ(overlay.message.size(), 3);
  EXPECT_EQ(overlay.message[0].toStdString(), "This deal has no pair: game over");
  EXPECT_EQ(overlay.message[1].toStdString(), "Score: 5000");
  EXPECT_EQ(overlay.message[2].toStdString(), "Start a new game with a button on the left");
  // The message's plate covers the middle of the board image.
  const QColor middle = window.window().BoardImage().Image().pixelColor(60, 212);
  EXPECT_LT(middle.red() + middle.green() + middle.blue(), 200) << middle.name().toStdString();

  testing::GameClient reader_machine;
  const auto normal_games = [&] {
    const UsageStatisticsReply reply = reader_machine.access().ReadUsageStatistics();
    return reply.ok ? reply.stats.finished_games_by_flag[0] : -1;
  };
  QTRY_COMPARE_WITH_TIMEOUT(normal_games(), 1, 5000);

  // The next game starts from the menu as the message says.
  window.ClickNewNormalGame();
  EXPECT_EQ(window.game().Message(), BoardMessage::kNoPairDealt);
  QTRY_COMPARE_WITH_TIMEOUT(normal_games(), 2, 5000);
}

}  // namespace
}  // namespace braxo
