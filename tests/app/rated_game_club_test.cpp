// A whole rated game through the real main window against the real
// braxo-club: the start-up login from the user file, the registration at the
// pre-game check, the five levels, and the new rating on the club.
#include <gtest/gtest.h>

#include "ClubGameKit.h"
#include "ClubServerProcess.h"
#include "club/ClubAccess.h"

namespace braxo {
namespace {

TEST(RatedGameClubTest, AWholeRatedGameChangesTheRatingOnTheClub) {
  testing::ClubServerProcess club;
  const testing::ConfigAddress config(club.BaseUrl() + "config");

  // Another machine reads the player's record afterwards.
  ClubClient other_client;
  ClubServiceState other_services;
  Settings other_settings;
  ApplyRemoteConfig(FetchConfigPage(), other_settings, other_services);
  ClubAccess other(other_client, other_services, other_settings);
  TKezUser ann;
  ann.Nick = "Ann";
  ann.Pw = "secret12";
  ann.City = "Rome";
  ann.Country1 = "Italy";
  ann.Country2 = "1-020";
  ann.Sex = 'W';
  ann.EMail = "ann@mail.it";
  ann.DateR = "21.06.2020";
  ann.R01 = ann.R02 = ann.R03 = "xxx";
  ASSERT_EQ(other.CreateAccount(ann), 0);

  testing::DataFolder folder;
  folder.Write(club.BaseUrl());
  folder.WriteUser("Ann", "secret12");
  testing::GameWindow window(folder.paths());
  window.Start();
  ClubSession& session = window.services().Session();
  QTRY_COMPARE_WITH_TIMEOUT(session.AccountState, kAccountLoggedIn, 5000);
  window.LeaveTitle();
  EXPECT_EQ(window.LampHint(), "The game is not on the rating!");

  window.ClickNewNormalGame();
  ASSERT_TRUE(session.RatedGameOpen);
  EXPECT_EQ(window.LampHint(), "There is a game on the rating!");
  window.PlayWholeGame();
  QTRY_COMPARE_WITH_TIMEOUT(session.AccountState, kAccountLoggedIn, 10000);
  EXPECT_FALSE(session.RatedGameOpen);
  EXPECT_EQ(window.dialogs().shown, (std::vector<std::string>{"account window", "top ten entry"}));

  const int score = window.game().Score;
  const GameRecordReply record = other.ReadGameRecord("Ann", "secret12");
  ASSERT_TRUE(record.ok);
  EXPECT_EQ(record.record.Kon, 1);
  EXPECT_EQ(record.record.Best, score);
  EXPECT_DOUBLE_EQ(record.record.Rating, score + 1.0);
  EXPECT_EQ(other.ReadRatingPlace(record.record.Rating), 1);
}

}  // namespace
}  // namespace braxo
