// A whole rated game through the real main window against the real
// braxo-club: the start-up login from the user file, the registration at the
// pre-game check, the five levels, and the new rating on the club.
#include <gtest/gtest.h>

#include "ClubGameClient.h"
#include "ClubGameKit.h"
#include "ClubServerProcess.h"
#include "club/ClubAccess.h"

namespace braxo {
namespace {

TEST(RatedGameClubTest, AWholeRatedGameChangesTheRatingOnTheClub) {
  testing::ClubServerProcess club;
  const testing::ConfigAddress config(club.BaseUrl() + "config");

  // Another machine reads the player's record afterwards.
  testing::GameClient other_machine;
  testing::WaitingClubAccess& other = other_machine.access();
  ASSERT_EQ(other.CreateAccount(testing::TestMember("Ann", "secret12")), 0);

  testing::DataFolder folder;
  folder.Write(club.BaseUrl());
  folder.WriteUser("Ann", "secret12");
  testing::GameWindow window(folder.paths());
  window.Start();
  ClubSession& session = window.services().Session();
  QTRY_COMPARE_WITH_TIMEOUT(session.account_state, AccountState::kLoggedIn, 5000);
  window.LeaveTitle();
  EXPECT_EQ(window.LampHint(), "The game is not on the rating!");

  window.ClickNewNormalGame();
  ASSERT_TRUE(session.rated_game_open);
  EXPECT_EQ(window.LampHint(), "There is a game on the rating!");
  window.PlayWholeGame();
  QTRY_COMPARE_WITH_TIMEOUT(session.account_state, AccountState::kLoggedIn, 10000);
  EXPECT_FALSE(session.rated_game_open);
  EXPECT_EQ(window.dialogs().shown, (std::vector<std::string>{"account window", "top ten entry"}));

  const int score = window.game().Score();
  const GameRecordReply record = other.ReadGameRecord("Ann", "secret12");
  ASSERT_TRUE(record.ok);
  EXPECT_EQ(record.record.rated_games, 1);
  EXPECT_EQ(record.record.best_score, score);
  EXPECT_DOUBLE_EQ(record.record.rating, score + 1.0);
  EXPECT_EQ(other.ReadRatingPlace(record.record.rating), 1);
}

}  // namespace
}  // namespace braxo
