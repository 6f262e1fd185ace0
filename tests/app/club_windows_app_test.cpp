// The club windows as the game opens them through its dialogs: modal, over
// the main window, against the real braxo-club, with the passport window
// behind their passport buttons and the settings the application keeps in
// its real files.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
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
#include "game/InterfaceLanguage.h"

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
    services_.LoadSettings();
    dialogs_.AttachClub(services_);
  }
  Settings& settings() { return services_.MutableSettings(); }

  testing::ClubServerProcess server_;
  ClubConnection club_{server_.BaseUrl()};  // another player's machine
  testing::DataFolder folder_;
  PictureStore pictures_;
  QWidget main_window_;
  InterfaceLanguage language_;
  AppDialogs dialogs_{main_window_, language_, pictures_};
  AppServices services_{main_window_, dialogs_, pictures_, language_, folder_.paths()};
};

TEST_F(ClubWindowsAppTest, TableWindowWithThePassportWindowBehindItsButton) {
  ASSERT_TRUE(club_.waiting.WriteTopTenEntry("Bob", "Paris", "1-015", "M", 4000, 76, "#", "#"));
  std::vector<std::string> seen;
  ModalScript script([&](QWidget& modal) {
    if (auto* info = qobject_cast<PassportWindow*>(&modal)) {
      seen.push_back("passport");
      info->CityField().setText("Bergen");
      info->OkButton().click();
      return false;
    }
    if (auto* table = qobject_cast<TopTenTableWindow*>(&modal)) {
      if (!seen.empty() && seen.back() == "passport") {
        seen.push_back("table again");
        table->OkButton().click();
        return true;
      }
      // The window shows before its reads come back; the script looks once
      // they have.
      if (table->ReadingClub()) return false;
      seen.push_back("table");
      EXPECT_NE(Find(table->TableTexts(), "Bob"), nullptr);
      EXPECT_EQ(table->parentWidget(), &main_window_);
      // The passport window opens from its own event loop, not inside
      // this step (a timer does not fire again while its handler runs).
      QMetaObject::invokeMethod(&table->PassportButton(), &QPushButton::click,
                                Qt::QueuedConnection);
    }
    return false;
  });
  dialogs_.ShowTopTenTableWindow();
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(seen, (std::vector<std::string>{"table", "passport", "table again"}));
  EXPECT_EQ(settings().passport.city, "Bergen");
}

TEST_F(ClubWindowsAppTest, ResultWindowHandsThePlaceBackToTheGame) {
  ModalScript script([&](QWidget& modal) {
    auto* result = qobject_cast<TopTenEntryWindow*>(&modal);
    if (!result) return false;
    // Send, then Close once the club has answered.
    if (!result->Sent() && !result->Sending()) result->SendButton().click();
    if (result->Sending()) return false;
    result->CloseButton().click();
    return true;
  });
  const std::optional<int> place = dialogs_.ShowTopTenEntryWindow(3500);
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(place, 1);
  EXPECT_EQ(club_.waiting.ReadTopTen(76).entries[0].score, 3500);
}

TEST_F(ClubWindowsAppTest, IncognitoMeetsThePassportWindowFirst) {
  settings().passport = TournamentPassport();
  std::vector<std::string> seen;
  ModalScript script([&](QWidget& modal) {
    if (auto* info = qobject_cast<PassportWindow*>(&modal)) {
      seen.push_back("passport");
      info->NickField().setText("Ann");
      info->OkButton().click();
      return false;
    }
    if (auto* result = qobject_cast<TopTenEntryWindow*>(&modal); result && !seen.empty()) {
      if (!result->Sent() && !result->Sending()) result->SendButton().click();
      if (result->Sending()) return false;
      seen.push_back("result");
      result->CloseButton().click();
      return true;
    }
    return false;
  });
  dialogs_.ShowTopTenEntryWindow(3500);
  EXPECT_TRUE(script.finished());
  EXPECT_EQ(seen, (std::vector<std::string>{"passport", "result"}));
  EXPECT_EQ(club_.waiting.ReadTopTen(76).entries[0].nick, "Ann");
}

TEST_F(ClubWindowsAppTest, ChatAndStatisticsWindows) {
  ModalScript chat_script([&](QWidget& modal) {
    auto* chat = qobject_cast<ChatWindow*>(&modal);
    if (!chat) return false;
    if (!chat->WaitingForTick() && !chat->Sending()) {
      chat->InputLine().setText("Hello there");
      chat->EnvelopeButton().click();
    }
    // Closed once the message is out.
    if (chat->Sending()) return false;
    chat->CloseButton().click();
    return true;
  });
  dialogs_.ShowChatWindow();
  EXPECT_TRUE(chat_script.finished());
  EXPECT_EQ(club_.waiting.ReadTopTen(kChatTableId).entries[0].message, "Hello_there");

  settings().like_sent = false;
  services_.SaveSettings();
  ModalScript stat_script([&](QWidget& modal) {
    auto* stat = qobject_cast<StatisticsWindow*>(&modal);
    if (!stat) return false;
    // The window shows before its totals come; the like waits for them.
    EXPECT_TRUE(QTest::qWaitFor([stat] { return !stat->ReadingClub(); }, 10000));
    stat->LikeButton().click();
    EXPECT_TRUE(QTest::qWaitFor([stat] { return !stat->SendingLike(); }, 10000));
    stat->OkButton().click();
    return true;
  });
  dialogs_.ShowStatisticsWindow();
  EXPECT_TRUE(stat_script.finished());
  EXPECT_TRUE(settings().like_sent);
  // Saved at once: the next run reads it from the file.
  InterfaceLanguage next_run_language;
  AppServices next_run(main_window_, dialogs_, pictures_, next_run_language, folder_.paths());
  next_run.LoadSettings();
  EXPECT_TRUE(next_run.CurrentSettings().like_sent);
  EXPECT_EQ(club_.waiting.ReadUsageStatistics().stats.last_like_nick, "Ann");
}

}  // namespace
}  // namespace braxo
