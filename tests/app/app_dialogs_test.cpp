// The game's own windows as the dialogs open them: built when first opened,
// not at start, with what they were given before.
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>
#include <functional>
#include <vector>

#include "app/AppDialogs.h"
#include "dialogs/InfoWindow.h"
#include "dialogs/NoticeWindow.h"
#include "dialogs/PasswordWindow.h"
#include "game/InterfaceLanguage.h"
#include "storage/OptionsFile.h"

namespace braxo {
namespace {

// Plays the player's part in the modal window that opens next: `step` gets
// it once; a window still open after five seconds is closed, so a test
// cannot hang.
void OnNextModal(const std::function<void(QWidget&)>& step) {
  auto* timer = new QTimer;
  auto clock = std::make_shared<QElapsedTimer>();
  clock->start();
  QObject::connect(timer, &QTimer::timeout, [timer, clock, step] {
    QWidget* modal = QApplication::activeModalWidget();
    if (modal == nullptr && clock->elapsed() < 5000) return;
    timer->stop();
    timer->deleteLater();
    if (modal != nullptr && clock->elapsed() < 5000) step(*modal);
    if (modal != nullptr && modal->isVisible()) modal->close();
  });
  timer->start(5);
}

class AppDialogsTest : public ::testing::Test {
 protected:
  QTemporaryDir folder_;
  QWidget main_window_;
  InterfaceLanguage language_;
  PictureStore pictures_;
  AppDialogs dialogs_{main_window_, language_, pictures_};
  std::string player_name_ = "Ann";
  ChampionsFile champions_{folder_.filePath("Braxo.clb").toStdString()};
};

TEST_F(AppDialogsTest, WindowsAreBuiltWhenFirstOpenedWithWhatTheyWereGivenBefore) {
  Options options;
  int saves = 0;
  dialogs_.CreateWindows(player_name_, champions_);
  dialogs_.AttachOptions(&options, [&] { ++saves; });
  EXPECT_FALSE(dialogs_.InfoWindowBuilt());
  EXPECT_FALSE(dialogs_.PasswordWindowBuilt());

  // The options page of a window built only now changes the options given
  // before it existed, and saves them.
  bool saw_options_page = false;
  OnNextModal([&](QWidget& modal) {
    auto* window = qobject_cast<InfoWindow*>(&modal);
    ASSERT_NE(window, nullptr);
    saw_options_page = window->CasualModeBox().isVisible();
    QTest::mouseClick(&window->CasualModeBox(), Qt::LeftButton, {},
                      QPoint(8, window->CasualModeBox().height() / 2));
  });
  dialogs_.ShowInfoWindow(InfoPage::kOptions, [](int) {});
  EXPECT_TRUE(dialogs_.InfoWindowBuilt());
  EXPECT_TRUE(saw_options_page);
  EXPECT_TRUE(options.casual_mode);
  EXPECT_EQ(saves, 1);
  EXPECT_FALSE(dialogs_.PasswordWindowBuilt());

  OnNextModal([](QWidget& modal) {
    auto* window = qobject_cast<PasswordWindow*>(&modal);
    ASSERT_NE(window, nullptr);
    window->EntryField().setText(QStringLiteral("secret"));
    window->OkButton().click();
  });
  EXPECT_TRUE(dialogs_.AskModePassword(GameMode::kExtra, "secret"));
  EXPECT_TRUE(dialogs_.PasswordWindowBuilt());
}

TEST_F(AppDialogsTest, BeforeTheirDataIsGivenTheWindowsAreNotOpened) {
  // Any window that opens is recorded and closed at once.
  bool opened = false;
  QTimer guard;
  QObject::connect(&guard, &QTimer::timeout, [&opened] {
    if (QWidget* modal = QApplication::activeModalWidget()) {
      opened = true;
      modal->close();
    }
  });
  guard.start(5);
  EXPECT_FALSE(dialogs_.AskModePassword(GameMode::kSuper, "secret"));
  EXPECT_FALSE(dialogs_.AskChampionName().has_value());
  dialogs_.ShowInfoWindow(InfoPage::kAbout, [](int) {});
  EXPECT_FALSE(opened);
  EXPECT_FALSE(dialogs_.PasswordWindowBuilt());
  EXPECT_FALSE(dialogs_.InfoWindowBuilt());
}

TEST_F(AppDialogsTest, ClubWindowsWithoutAClubSayItInThePlayersLanguage) {
  language_.Set(1);  // not English
  std::vector<QString> said;
  const auto record = [&said](QWidget& modal) {
    auto* notice = qobject_cast<NoticeWindow*>(&modal);
    ASSERT_NE(notice, nullptr);
    said.push_back(notice->MessageLabel().text());
  };
  OnNextModal(record);
  dialogs_.ShowTopTenTableWindow();
  OnNextModal(record);
  dialogs_.ShowChatWindow();
  ASSERT_EQ(said.size(), 2u);
  EXPECT_EQ(said[0].toStdString(), language_.Text(MsgId::MsgTopTenUnavailable));
  EXPECT_NE(said[0].toStdString(), MessageText(MsgId::MsgTopTenUnavailable, 0));
  EXPECT_NE(said[1].indexOf(QString::fromStdString(language_.Text(MsgId::MsgChatTitle))), -1);
}

// A web page goes to the browser; when none can be opened the player is
// told so, in the game's language, with the address to open by hand.
TEST_F(AppDialogsTest, AWebPageThatNoBrowserOpensIsSaidWithItsAddress) {
  struct Case {
    const char* label;
    bool browser_opens;
    std::string address;
    bool tried;
    bool said;
  };
  const std::string help = "http://127.0.0.1:8676/help/ru.html";
  const Case cases[] = {
      {"a browser opens", true, help, true, false},
      {"no browser", false, help, true, true},
      {"not a web address", false, "file:///etc/passwd", false, false},
  };
  language_.Set(1);  // not English
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    std::vector<QUrl> tried;
    AppDialogs dialogs(main_window_, language_, pictures_, [&](const QUrl& url) {
      tried.push_back(url);
      return c.browser_opens;
    });
    // Any window that opens is recorded and closed; the guard ends with the
    // case.
    std::vector<std::pair<QString, QString>> said;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&said] {
      QWidget* modal = QApplication::activeModalWidget();
      if (modal == nullptr) return;
      auto* notice = qobject_cast<NoticeWindow*>(modal);
      said.emplace_back(notice ? notice->MessageLabel().text() : QStringLiteral("?"),
                        notice ? notice->LinkLabel().text() : QString());
      modal->close();
    });
    guard.start(5);
    dialogs.OpenWebPage(c.address);
    QTest::qWait(20);
    ASSERT_EQ(tried.size(), c.tried ? 1u : 0u);
    if (c.tried) {
      EXPECT_EQ(tried[0].toString().toStdString(), c.address);
    }
    ASSERT_EQ(said.size(), c.said ? 1u : 0u);
    if (c.said) {
      EXPECT_EQ(said[0].first.toStdString(), language_.Text(MsgId::MsgNoBrowser));
      EXPECT_NE(said[0].second.indexOf(QString::fromStdString(c.address)), -1);
    }
  }
}

}  // namespace
}  // namespace braxo
