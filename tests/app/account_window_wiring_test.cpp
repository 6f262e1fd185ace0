// The account window as main() wires it: the real main window, AppDialogs and
// AppServices against the real braxo-club. The account icon opens it for
// browsing and logging in; the pre-game check opens it with the rating
// switch, which decides whether the new game is rated.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDeadlineTimer>
#include <QTest>
#include <QTimer>
#include <memory>

#include "ClubGameClient.h"
#include "ClubGameKit.h"
#include "ClubServerProcess.h"
#include "app/AppDialogs.h"
#include "club/ClubAccess.h"
#include "dialogs/AccountWindow.h"

namespace braxo {
namespace {

// Runs `action` on the account window once it is open and has read the
// club, then closes it. The test looks for it until then, for at most ten
// seconds.
void WhenAccountWindowOpens(std::function<void(AccountWindow&)> action, bool* seen) {
  auto* poll = new QTimer;
  auto deadline = std::make_shared<QDeadlineTimer>(10000);
  QObject::connect(poll, &QTimer::timeout, [poll, deadline, action, seen] {
    auto* window = qobject_cast<AccountWindow*>(QApplication::activeModalWidget());
    if ((!window || window->ReadingClub()) && !deadline->hasExpired()) return;
    poll->stop();
    poll->deleteLater();
    if (!window) return;
    *seen = true;
    action(*window);
    window->OkButton().click();
  });
  poll->start(20);
}

TEST(AccountWindowWiring, IconAndPreGameCheckOpenTheAccountWindow) {
  testing::ClubServerProcess club;
  const testing::ConfigAddress config(club.BaseUrl() + "config");
  {
    testing::GameClient setup;
    MemberAccount ann = testing::TestMember("Ann", "secret12");
    ann.city = "Rome";
    ASSERT_EQ(setup.access().CreateAccount(ann), 0);
  }
  testing::DataFolder folder;
  folder.Write(club.BaseUrl());
  folder.WriteUser("Ann", "secret12");

  PictureStore pictures;
  InterfaceLanguage language;
  MainWindow window(pictures, language);
  AppDialogs dialogs(window, language, pictures);
  AppServices services(window, dialogs, pictures, language, folder.paths());
  FixedRandom random(1);
  GameState game({window, services.Sound(), dialogs, services.Storage(), services.Club(),
                  services.Session(), language},
                 random, services.HelpMirrors(), [](int, Board& board) {
                   board.SetCode({1, 1, 1}, "s1");
                   board.SetCode({1, 1, 6}, "s1");
                 });
  window.SetGame(&game);
  dialogs.AttachClub(services);
  game.Start();
  window.show();
  ClubSession& session = services.Session();
  QTRY_COMPARE_WITH_TIMEOUT(session.account_state, AccountState::kLoggedIn, 5000);
  QTest::mouseClick(&window.BoardImage(), Qt::LeftButton, {}, QPoint(400, 300));
  ASSERT_FALSE(game.OnTitleScreen());

  // The account icon: the member's data, no rating switch.
  bool seen = false;
  WhenAccountWindowOpens(
      [&](AccountWindow& account) {
        EXPECT_EQ(account.NickField().text(), "Ann");
        EXPECT_EQ(account.CityField().text(), "Rome");
        EXPECT_FALSE(account.RatedGameSwitch().isEnabled());
        EXPECT_EQ(account.ClubData().members_count, 1);
      },
      &seen);
  game.OpenAccount();
  EXPECT_TRUE(seen);
  EXPECT_EQ(session.account_state, AccountState::kLoggedIn);

  // The pre-game check: the switch is ticked, so the new game is rated.
  seen = false;
  WhenAccountWindowOpens(
      [&](AccountWindow& account) {
        ASSERT_TRUE(account.RatedGameSwitch().isEnabled());
        account.RatedGameSwitch().click();
      },
      &seen);
  game.StartNormalGame();
  EXPECT_TRUE(seen);
  QTRY_VERIFY_WITH_TIMEOUT(!game.WaitingForClub(), 10000);
  EXPECT_EQ(session.account_state, AccountState::kRated);
  EXPECT_TRUE(session.rated_game_open);
  // The main window redrew its account lamp from the state the window left.
  std::string lamp_hint = "no account icon";
  for (ImageControl* control : window.findChildren<ImageControl*>()) {
    if (control->geometry() == QRect(111, 5, 48, 48)) lamp_hint = control->toolTip().toStdString();
  }
  EXPECT_EQ(lamp_hint, "There is a game on the rating!");
  window.SetGame(nullptr);
}

}  // namespace
}  // namespace braxo
