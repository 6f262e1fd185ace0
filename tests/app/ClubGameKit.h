// The game as main() builds it — the real main window, the real files in a
// temporary data folder, the real club code — for tests that play through the
// window against a club on loopback. The club windows do not exist yet: the
// account window's part is played by the test (a player who picks the rated
// game), and the questions and notices are recorded instead of shown, so
// that nothing can wait for a click that never comes.
#pragma once

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <QTest>
#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/AppServices.h"
#include "club/Scramble.h"
#include "storage/ChampionsFile.h"
#include "storage/TextFile.h"
#include "storage/UserFile.h"
#include "ui/ImageControl.h"
#include "ui/MainWindow.h"
#include "ui/SkinnedButton.h"

namespace braxo::testing {

// The player's answers in place of the club windows and message boxes.
class ScriptedDialogs : public DialogPort {
 public:
  // The account state the account window leaves when the game opens it.
  AccountState account_state_chosen = AccountState::kRated;
  std::vector<std::string> shown;  // questions, notices and errors, in order

  bool AskModePassword(GameMode mode, const std::string&) override {
    shown.push_back(mode == GameMode::kSuper ? "password 1" : "password 0");
    return false;
  }
  std::optional<std::string> AskChampionName() override {
    shown.push_back("password 2");
    return std::nullopt;
  }
  bool AskYesNo(const std::string& question) override {
    shown.push_back("ask " + question);
    return false;
  }
  void ShowNotice(const Notice& notice) override {
    shown.push_back("notice " + notice.message + "|" + notice.second);
  }
  void ShowError(const std::string& message) override { shown.push_back("error " + message); }
  std::optional<AccountState> ShowAccountWindow(AccountWindowPurpose, bool) override {
    shown.push_back("account window");
    return account_state_chosen;
  }
  // Plays the result window's part for the score, when a test gives one.
  std::function<std::optional<int>(int score)> top_ten_entry;
  std::optional<int> ShowTopTenEntryWindow(int score) override {
    shown.push_back("top ten entry");
    return top_ten_entry ? top_ten_entry(score) : std::nullopt;
  }
  void ShowTopTenTableWindow() override {}
  void ShowChatWindow() override {}
  void ShowStatisticsWindow() override {}
  void ShowInfoWindow(InfoPage, const LanguageStepper&) override {}
  void OpenWebPage(const std::string&) override {}
};

// While alive, the game finds the club through this configuration page
// address.
class ConfigAddress {
 public:
  explicit ConfigAddress(const std::string& url) { setenv("BRAXO_CONFIG_URL", url.c_str(), 1); }
  ~ConfigAddress() { unsetenv("BRAXO_CONFIG_URL"); }
  ConfigAddress(const ConfigAddress&) = delete;
  ConfigAddress& operator=(const ConfigAddress&) = delete;
};

// A data folder: the champions table (scores no game of a test reaches, so
// the name window never opens), a complete settings file whose tournament and
// statistics addresses are on the club, and optionally the user file.
class DataFolder {
 public:
  DataFolder() {
    paths_.data_directory = dir_.path().toStdString() + "/game/";
    std::filesystem::create_directories(paths_.data_directory);
    paths_.settings_file = paths_.data_directory + "Braxo.ini";
    paths_.champions_file = paths_.data_directory + "Braxo.clb";
    paths_.user_file = dir_.path().toStdString() + "/KezUser.kez";
  }
  void Write(const std::string& club_base_url) {
    std::array<ChampionEntry, kChampionEntryCount> entries;
    for (int i = 0; i < kChampionEntryCount; ++i) entries[i] = {"Player", 99000 - 500 * i};
    ASSERT_TRUE(WriteLinesAtomic(paths_.champions_file, NewChampionsTable(entries, 0, "rel")));
    const std::string stat = ScrambleText(club_base_url + "stat", kConfigKey);
    const std::string top_ten = ScrambleText(club_base_url + "topten", kConfigKey);
    ASSERT_TRUE(WriteLinesAtomic(
        paths_.settings_file,
        {"<# X1, X2>", "RL", "<# Name>", "Ann", "<# Server: Path>", top_ten, "<# Server: Nick>",
         "Ann", "<# Server: Country>", "1-001", "<# Server: City>", "Oslo", "<# Server: Sex>", "W",
         "<# Server: Stat>", stat}));
  }
  void WriteUser(const std::string& nick, const std::string& password) {
    ASSERT_TRUE(WriteUserFile(paths_.user_file, nick, ScramblePassword(password)));
  }
  const DataPaths& paths() const { return paths_; }

 private:
  QTemporaryDir dir_;
  DataPaths paths_;
};

// Every level one free pair, taken with two clicks.
inline void DealOneFreePair(int, Board& board) {
  board.SetCode({1, 1, 1}, "s1");
  board.SetCode({1, 1, 6}, "s1");
}

// The main window, the services and the game, wired as main() wires them;
// every level is dealt by `dealer` (by default one free pair).
class GameWindow {
 public:
  explicit GameWindow(const DataPaths& paths, LevelDealer dealer = DealOneFreePair)
      : window_(pictures_, language_),
        services_(window_, dialogs_, pictures_, language_, paths),
        game_({window_, services_.Sound(), dialogs_, services_.Storage(), services_.Club(),
               services_.Session(), language_},
              random_, services_.HelpMirrors(), std::move(dealer)) {
    window_.SetGame(&game_);
  }
  ~GameWindow() { window_.SetGame(nullptr); }

  // Creation and the first paint (the start-up login runs in it).
  void Start() {
    game_.Start();
    window_.show();
    QTRY_VERIFY_WITH_TIMEOUT(game_.OnTitleScreen() && window_.TickTimer().interval() == 10, 5000);
  }
  void LeaveTitle() {
    QTest::mouseClick(&window_.BoardImage(), Qt::LeftButton, {}, QPoint(400, 300));
  }
  // The first menu button: a new Normal game, through the pre-game check;
  // unless told not to, waits for its club step to end.
  void ClickNewNormalGame(bool wait_for_club = true) {
    for (SkinnedButton* button : window_.findChildren<SkinnedButton*>()) {
      if (button->geometry().topLeft() == QPoint(5, 90)) {
        QTest::mouseClick(button, Qt::LeftButton);
        if (wait_for_club) WaitForClub();
        return;
      }
    }
    ADD_FAILURE() << "no menu button at (5, 90)";
  }
  // Until no club step of the flow is under way.
  void WaitForClub(int timeout_ms = 15000) {
    QTRY_VERIFY_WITH_TIMEOUT(!game_.WaitingForClub(), timeout_ms);
  }
  // Takes each level's pair and waits for the clock to see the cleared
  // board, on to level 5; the end of the game begins inside the last tick
  // and its club steps run on from the event loop.
  void PlayWholeGame() {
    for (int level = 1; level <= 5; ++level) {
      ASSERT_EQ(game_.Level(), level);
      QTest::mousePress(&window_.BoardImage(), Qt::LeftButton, {}, QPoint(50, 50));
      QTest::mousePress(&window_.BoardImage(), Qt::LeftButton, {}, QPoint(400, 50));
      QTRY_VERIFY_WITH_TIMEOUT(game_.GameBoard().IsBoardCleared() && !game_.ClockRunning(), 5000);
      if (level < 5) QTest::mousePress(&window_.BoardImage(), Qt::LeftButton, {}, QPoint(200, 200));
    }
  }
  // The account icon's hint tells the lamp's colour.
  std::string LampHint() {
    for (ImageControl* control : window_.findChildren<ImageControl*>()) {
      if (control->geometry() == QRect(111, 5, 48, 48)) return control->toolTip().toStdString();
    }
    return "no account icon";
  }

  GameState& game() { return game_; }
  MainWindow& window() { return window_; }
  InterfaceLanguage& language() { return language_; }
  AppServices& services() { return services_; }
  ScriptedDialogs& dialogs() { return dialogs_; }
  PictureStore& pictures() { return pictures_; }

 private:
  PictureStore pictures_;
  InterfaceLanguage language_;
  MainWindow window_;
  ScriptedDialogs dialogs_;
  AppServices services_;
  FixedRandom random_{1};
  GameState game_;
};

}  // namespace braxo::testing
