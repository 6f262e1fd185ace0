// The club windows as the game opens them through its dialogs: modal, over
// the main window, against the real braxo-club, with the passport window
// behind their passport buttons and the settings the application keeps in
// its real files.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTimer>
#include <functional>

#include "ClubGameKit.h"
#include "app/AppDialogs.h"
#include "app/AppServices.h"
#include "dialogs/ChatWindow.h"
#include "dialogs/ClubWindowKit.h"
#include "dialogs/PassportWindow.h"
#include "dialogs/StatisticsWindow.h"
#include "dialogs/TopTenEntryWindow.h"
#include "dialogs/TopTenTableWindow.h"
#include "game/LevelGenerator.h"
#include "game/NullPorts.h"

namespace braxo {
namespace {

using dialogs_test::ClubConnection;
using dialogs_test::Find;

// Plays the player's part in whatever modal windows open: every few
// milliseconds `step` gets the window on top and returns true once the
// script is over. Any window still open after five seconds is closed, so a
// test cannot hang.
class ModalScript {
 public:
  explicit ModalScript(std::function<bool(QWidget&)> step) : step_(std::move(step)) {
    clock_.start();
    timer_.setInterval(5);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* modal = QApplication::activeModalWidget();
      if (clock_.elapsed() > 5000) {
        timed_out_ = true;
        if (modal) modal->close();
        return;
      }
      if (modal && !finished_) finished_ = step_(*modal);
    });
    timer_.start();
  }
  bool finished() const { return finished_ && !timed_out_; }

 private:
  std::function<bool(QWidget&)> step_;
  QTimer timer_;
  QElapsedTimer clock_;
  bool finished_ = false;
  bool timed_out_ = false;
};

class ClubWindowsAppTest : public ::testing::Test {
 protected:
  // The settings file holds the club's addresses and the passport of Ann of
  // Oslo; the like was sent in an earlier run.
  ClubWindowsAppTest() {
    folder_.Write(server_.BaseUrl());
    game_ptr_ = &game_;
    services_.LoadSettings();
    dialogs_.AttachClub(services_);
  }
  Settings& settings() { return services_.MutableSettings(); }

  testing::ClubServerProcess server_;
  ClubConnection club_{server_.BaseUrl()};  // another player's machine
  testing::DataFolder folder_;
  PictureStore pictures_;
  QWidget main_window_;
  GameState* game_ptr_ = nullptr;
  AppDialogs dialogs_{main_window_, game_ptr_, pictures_};
  AppServices services_{main_window_, dialogs_, pictures_, game_ptr_, folder_.paths()};
  testing::NullPorts ports_;
  FixedRandom random_{3};
  GameState game_{{ports_, ports_, ports_, ports_, ports_, ports_.session}, random_, {"", ""}};
};

TEST_F(ClubWindowsAppTest, TableWindowWithThePassportWindowBehindItsButton) {
  ASSERT_TRUE(club_.access.WriteTopTenEntry("Bob", "Paris", "1-015", "M", 4000, 76, "#", "#"));
  std::vector<std::string> seen;
  ModalScript script([&](QWidget& modal) {
    if (auto* info = qobject_cast<PassportWindow*>(&modal)) {
      seen.push_back("passport");
      info->Edit2().setText("Bergen");
      info->Button1().click();
      return false;
    }
    if (auto* table = qobject_cast<TopTenTableWindow*>(&modal)) {
      if (!seen.empty() && seen.back() == "passport") {
        seen.push_back("table again");
        table->Button1().click();
        return true;
      }
      seen.push_back("table");
      EXPECT_NE(Find(table->TableTexts(), "Bob"), nullptr);
      EXPECT_EQ(table->parentWidget(), &main_window_);
      // The passport window opens from its own event loop, not inside
      // this step (a timer does not fire again while its handler runs).
      QMetaObject::invokeMethod(&table->Button2(), &QPushButton::click, Qt::QueuedConnection);
    }
    return false;
  });
  dialogs_.ShowTopTenTableWindow();
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(seen, (std::vector<std::string>{"table", "passport", "table again"}));
  EXPECT_EQ(settings().Passport.City, "Bergen");
}

TEST_F(ClubWindowsAppTest, ResultWindowHandsThePlaceBackToTheGame) {
  game_.TopTenScore = 3500;
  game_.TopTenPlace = -1;
  ModalScript script([&](QWidget& modal) {
    auto* result = qobject_cast<TopTenEntryWindow*>(&modal);
    if (!result) return false;
    result->Button1().click();
    result->Button3().click();
    return true;
  });
  dialogs_.ShowTopTenEntryWindow();
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(game_.TopTenPlace, 1);
  EXPECT_EQ(club_.access.ReadTopTen(76).entries[0].Score, 3500);
}

TEST_F(ClubWindowsAppTest, IncognitoMeetsThePassportWindowFirst) {
  settings().Passport = TournamentPassport();
  game_.TopTenScore = 3500;
  game_.TopTenPlace = -1;
  std::vector<std::string> seen;
  ModalScript script([&](QWidget& modal) {
    if (auto* info = qobject_cast<PassportWindow*>(&modal)) {
      seen.push_back("passport");
      info->Edit1().setText("Ann");
      info->Button1().click();
      return false;
    }
    if (auto* result = qobject_cast<TopTenEntryWindow*>(&modal); result && !seen.empty()) {
      seen.push_back("result");
      result->Button1().click();
      result->Button3().click();
      return true;
    }
    return false;
  });
  dialogs_.ShowTopTenEntryWindow();
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(seen, (std::vector<std::string>{"passport", "result"}));
  EXPECT_EQ(club_.access.ReadTopTen(76).entries[0].Nick, "Ann");
}

TEST_F(ClubWindowsAppTest, ChatAndStatisticsWindows) {
  ModalScript chat_script([&](QWidget& modal) {
    auto* chat = qobject_cast<ChatWindow*>(&modal);
    if (!chat) return false;
    chat->Edit1().setText("Hello there");
    chat->EnvelopeButton().click();
    chat->Button1().click();
    return true;
  });
  dialogs_.ShowChatWindow();
  EXPECT_TRUE(chat_script.finished());
  EXPECT_EQ(club_.access.ReadTopTen(kChatTableId).entries[0].R10, "Hello_there");

  settings().LikeSent = false;
  services_.SaveSettings();
  ModalScript stat_script([&](QWidget& modal) {
    auto* stat = qobject_cast<StatisticsWindow*>(&modal);
    if (!stat) return false;
    stat->Button2().click();
    stat->Button1().click();
    return true;
  });
  dialogs_.ShowStatisticsWindow();
  EXPECT_TRUE(stat_script.finished());
  EXPECT_TRUE(settings().LikeSent);
  // Saved at once: the next run reads it from the file.
  GameState* no_game = nullptr;
  AppServices next_run(main_window_, dialogs_, pictures_, no_game, folder_.paths());
  next_run.LoadSettings();
  EXPECT_TRUE(next_run.CurrentSettings().LikeSent);
  EXPECT_EQ(club_.access.ReadUsageStatistics().stat.Stat4, "Ann");
}

}  // namespace
}  // namespace braxo
