// A completed rated game through the real main window against the real
// braxo-club, with the real world top ten result window: the result is
// entered, found in the table at its place, and the reward is credited once
// and the balance read back.
#include <gtest/gtest.h>

#include <QTest>

#include "ClubGameClient.h"
#include "ClubGameKit.h"
#include "ClubServerProcess.h"
#include "club/ClubAccess.h"
#include "dialogs/TopTenEntryWindow.h"

namespace braxo {
namespace {

TEST(TopTenRewardClubTest, FirstPlaceEarnsTwentyFiveKezsOnceAndTheBalanceIsReadBack) {
  testing::ClubServerProcess club;
  const testing::ConfigAddress config(club.BaseUrl() + "config");

  // Another machine: creates the account and looks at the club afterwards.
  testing::GameClient other_machine;
  testing::WaitingClubAccess& other = other_machine.access();
  ASSERT_EQ(other.CreateAccount(testing::TestMember("Ann", "secret12")), 0);
  const std::optional<std::int32_t> balance_before = other.ReadKezsBalance("Ann");
  ASSERT_TRUE(balance_before.has_value());

  testing::DataFolder folder;
  folder.Write(club.BaseUrl());  // the passport: Ann of Oslo
  folder.WriteUser("Ann", "secret12");
  testing::GameWindow window(folder.paths());
  int window_place = 0;
  window.dialogs().top_ten_entry = [&window, &window_place](int score) {
    TopTenEntryWindow entry(
        window.services().Access(), window.services().CurrentSettings().passport, score,
        window.language().Index(), window.pictures(), nullptr, nullptr,
        [](QWidget*, const Notice& notice) { ADD_FAILURE() << "notice " << notice.message; });
    entry.show();
    EXPECT_FALSE(entry.PrepareShowing());
    entry.SendButton().click();
    EXPECT_TRUE(QTest::qWaitFor([&entry] { return !entry.Sending(); }, 10000));
    window_place = entry.Place().value_or(-1);
    entry.CloseButton().click();
    return entry.Place();
  };
  window.Start();
  ClubSession& session = window.services().Session();
  QTRY_COMPARE_WITH_TIMEOUT(session.account_state, AccountState::kLoggedIn, 5000);
  window.LeaveTitle();
  window.ClickNewNormalGame();
  ASSERT_TRUE(session.rated_game_open);
  window.PlayWholeGame();
  QTRY_COMPARE_WITH_TIMEOUT(session.account_state, AccountState::kLoggedIn, 10000);

  EXPECT_EQ(window_place, 1);
  const int score = window.game().Score();
  EXPECT_EQ(window.dialogs().shown, (std::vector<std::string>{"account window", "top ten entry",
                                                              "notice You get 25 Kezs!!!|"}));
  EXPECT_EQ(session.current_user.kezs_balance, *balance_before + 25);
  EXPECT_EQ(other.ReadKezsBalance("Ann"), *balance_before + 25);

  // The place earns one credit: asking again is refused and changes nothing.
  EXPECT_FALSE(testing::WaitingClubAccess(window.services().Access()).CreditKezs(session, 25));
  EXPECT_FALSE(testing::WaitingClubAccess(window.services().Access()).CreditKezs(session, 10));
  EXPECT_EQ(other.ReadKezsBalance("Ann"), *balance_before + 25);

  const TableReply table = other.ReadTopTen(76);
  ASSERT_TRUE(table.ok);
  EXPECT_EQ(table.entries[0].nick, "Ann");
  EXPECT_EQ(table.entries[0].city, "Oslo");
  EXPECT_EQ(table.entries[0].score, score);
  EXPECT_EQ(table.entries[0].place, 1);
  EXPECT_EQ(table.entries[1].nick, "#");
}

}  // namespace
}  // namespace braxo
