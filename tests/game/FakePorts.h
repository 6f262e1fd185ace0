// Recording fakes for every port of the game flow. Every call is written to
// one shared log, so a test can check what happened and in which order.
#pragma once

#include <gtest/gtest.h>

#include <deque>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "game/GameState.h"
#include "game/Ports.h"

namespace braxo::testing {

class FakeWorld : public ViewPort,
                  public SoundPort,
                  public DialogPort,
                  public StoragePort,
                  public ClubPort {
 public:
  std::vector<std::string> log;

  // --- Behaviour the test sets ---
  std::deque<bool> yes_no_answers;  // AskYesNo pops one; "no" when empty
  // The player's answer to a mode's password (refused without one).
  std::function<bool(GameMode mode, const std::string& password)> on_mode_password;
  // The champion's confirmed name (none without one: the window was closed).
  std::function<std::optional<std::string>()> on_champion_name;
  std::function<void()> on_yes_no;  // runs while the question is open
  // The account state the account window leaves (it does not open without one).
  std::function<std::optional<AccountState>(AccountWindowPurpose purpose, bool game_in_progress)>
      on_account_window;
  // The place the result window wrote the score at (none without one).
  std::function<std::optional<int>(int score)> on_top_ten_entry_window;
  ChampionsCheck champions_check = ChampionsCheck::kOk;
  std::string developer_marker = "abc";
  int champions_threshold = 1000000;
  std::optional<Notice> announcement;
  bool login_ok = false;
  // ReadAnnouncements keeps the arrival for the test to run later.
  bool hold_config_page = false;
  std::function<void()> page_arrival;
  // The club steps wait for the test: FinishClubStep ends the one under way
  // with these outcomes, read when it ends.
  bool register_ok = true;
  std::deque<RatedSave> save_rated_results;  // SaveRatedResult pops one; kSaved when empty
  bool credit_ok = true;
  bool top_ten_available = false;
  bool chat_available = false;

  // --- ViewPort ---
  void RenderBoard() override { Log("RenderBoard"); }
  void DrawBurst(int frame, int x, int y) override {
    Log("DrawBurst " + std::to_string(frame) + " " + std::to_string(x) + "," + std::to_string(y));
  }
  void ShowTitleLayout() override { Log("ShowTitleLayout"); }
  void SetCaption(const std::string& caption) override { Log("SetCaption " + caption); }
  void DrawTitleScreen(bool first) override {
    Log(first ? "DrawTitleScreen first" : "DrawTitleScreen step");
  }
  void ShowBoardLayout() override { Log("ShowBoardLayout"); }
  void DrawStatusPanel(int n) override { Log("DrawStatusPanel " + std::to_string(n)); }
  void DrawAccountLamp(AccountState state) override {
    Log("DrawAccountLamp " + std::to_string(static_cast<int>(state)));
  }
  void ShowMenuButtons() override { Log("ShowMenuButtons"); }
  void ShowOnlineIcons() override { Log("ShowOnlineIcons"); }
  void RefreshLanguage() override { Log("RefreshLanguage"); }
  void SetHandCursor(bool hand) override {
    hand_cursor = hand;
    Log(hand ? "Cursor hand" : "Cursor arrow");
  }
  void SetTimerInterval(int ms) override { Log("TimerInterval " + std::to_string(ms)); }
  void StartTimer() override { Log("StartTimer"); }
  void StopTimer() override { Log("StopTimer"); }
  void CloseWindow() override { Log("CloseWindow"); }
  void ShakeTile(const BoardCell& cell) override {
    Log("ShakeTile " + std::to_string(cell.layer) + "," + std::to_string(cell.row) + "," +
        std::to_string(cell.column));
  }
  bool hand_cursor = false;

  // --- SoundPort ---
  void Start() override { Log("Sound start"); }
  void Play(const std::string& name) override { Log("Play " + name); }
  void Release() override { Log("Sound release"); }

  // --- DialogPort ---
  // The password window logs its role: 0 Extra, 1 Super, 2 champion's name.
  bool AskModePassword(GameMode mode, const std::string& password) override {
    Log(mode == GameMode::kSuper ? "PasswordWindow 1" : "PasswordWindow 0");
    return on_mode_password && on_mode_password(mode, password);
  }
  std::optional<std::string> AskChampionName() override {
    Log("PasswordWindow 2");
    return on_champion_name ? on_champion_name() : std::nullopt;
  }
  bool AskYesNo(const std::string& question) override {
    Log("AskYesNo " + question);
    if (on_yes_no) on_yes_no();
    if (yes_no_answers.empty()) return false;
    const bool answer = yes_no_answers.front();
    yes_no_answers.pop_front();
    return answer;
  }
  void ShowNotice(const Notice& notice) override {
    Log("Notice " + notice.message + "|" + notice.second + "|" + notice.link);
  }
  void ShowError(const std::string& message) override { Log("Error " + message); }
  std::optional<AccountState> ShowAccountWindow(AccountWindowPurpose purpose,
                                                bool game_in_progress) override {
    Log("AccountWindow");
    account_windows.push_back({purpose, game_in_progress});
    return on_account_window ? on_account_window(purpose, game_in_progress) : std::nullopt;
  }
  std::optional<int> ShowTopTenEntryWindow(int score) override {
    Log("TopTenEntryWindow");
    top_ten_entry_scores.push_back(score);
    return on_top_ten_entry_window ? on_top_ten_entry_window(score) : std::nullopt;
  }
  void ShowTopTenTableWindow() override { Log("TopTenTableWindow"); }
  void ShowChatWindow() override { Log("ChatWindow"); }
  void ShowStatisticsWindow() override { Log("StatisticsWindow"); }
  void ShowInfoWindow(InfoPage page, const LanguageStepper& step_language) override {
    Log("InfoWindow");
    info_pages.push_back(page);
    info_window_stepper = step_language;
  }
  void OpenWebPage(const std::string& address) override { Log("OpenWebPage " + address); }

  // --- StoragePort ---
  void LoadSettings() override { Log("LoadSettings"); }
  void SaveSettings() override { Log("SaveSettings"); }
  ChampionsCheck CheckChampionsFile() override {
    Log("CheckChampionsFile");
    return champions_check;
  }
  std::string DeveloperMarker() override { return developer_marker; }
  int ChampionsThreshold() override {
    Log("ChampionsThreshold");
    return champions_threshold;
  }
  void AddChampion(const std::string& name, int score) override {
    Log("AddChampion " + name + " " + std::to_string(score));
  }
  Options CurrentOptions() override { return options; }
  bool WriteSavedGame(const std::string& text) override {
    Log("WriteSavedGame");
    saved_game = text;
    return true;
  }
  std::optional<std::string> ReadSavedGame() override {
    Log("ReadSavedGame");
    return saved_game;
  }
  void RemoveSavedGame() override {
    Log("RemoveSavedGame");
    saved_game.reset();
  }
  Options options;
  // The saved game's file: none when there is no file.
  std::optional<std::string> saved_game;

  // --- ClubPort ---
  // The page arrives at once unless the test holds it back in `page_arrival`.
  void ReadAnnouncements(std::function<void()> arrived) override {
    Log("ReadAnnouncements");
    if (hold_config_page)
      page_arrival = std::move(arrived);
    else
      arrived();
  }
  std::optional<Notice> StartupAnnouncement() override { return announcement; }
  void CountStart() override { Log("CountStart"); }
  bool LoginFromUserFile() override {
    Log("LoginFromUserFile");
    return login_ok;
  }
  void RegisterRatedGame(std::function<void(bool)> done) override {
    Log("RegisterRatedGame");
    BeginStep([this, done = std::move(done)] { done(register_ok); });
  }
  void SaveRatedResult(int score, std::function<void(RatedSave)> done) override {
    Log("SaveRatedResult " + std::to_string(score));
    BeginStep([this, done = std::move(done)] {
      RatedSave saved = RatedSave::kSaved;
      if (!save_rated_results.empty()) {
        saved = save_rated_results.front();
        save_rated_results.pop_front();
      }
      done(saved);
    });
  }
  void CountFinishedGame(const std::array<int, 12>& flags) override {
    std::string text;
    for (int f : flags) text += std::to_string(f);
    Log("CountFinishedGame " + text);
  }
  void CreditKezs(int amount, std::function<void(bool)> done) override {
    Log("CreditKezs " + std::to_string(amount));
    BeginStep([this, done = std::move(done)] { done(credit_ok); });
  }
  void ReadKezsBalance(std::function<void(bool)> done) override {
    Log("ReadKezsBalance");
    BeginStep([done = std::move(done)] { done(true); });
  }
  void CancelClubStep() override {
    Log("CancelClubStep");
    club_step_.reset();
  }
  bool ClubStepPending() const { return club_step_.has_value(); }
  // Ends the club step under way as the club would; false when none is.
  bool FinishClubStep() {
    if (!club_step_) return false;
    std::function<void()> finish = std::move(*club_step_);
    club_step_.reset();
    finish();
    return true;
  }
  // Ends club steps until none is left (a step may begin the next one).
  void FinishClubSteps() {
    for (int steps = 0; FinishClubStep();)
      if (++steps > 100) {
        ADD_FAILURE() << "club steps never end";
        return;
      }
  }
  bool TopTenAvailable() override { return top_ten_available; }
  bool ChatAvailable() override { return chat_available; }
  void DownloadNewVersion() override { Log("DownloadNewVersion"); }
  void OpenStorePage() override { Log("OpenStorePage"); }

  // What the windows were opened with, in order.
  struct AccountWindowOpening {
    AccountWindowPurpose purpose;
    bool game_in_progress;
  };
  std::vector<AccountWindowOpening> account_windows;
  std::vector<int> top_ten_entry_scores;
  std::vector<InfoPage> info_pages;
  LanguageStepper info_window_stepper;

  ClubSession session;
  InterfaceLanguage language;
  GamePorts Ports() { return GamePorts{*this, *this, *this, *this, *this, session, language}; }

  // Entries of the log that start with `prefix`, in order.
  std::vector<std::string> Only(const std::string& prefix) const {
    std::vector<std::string> out;
    for (const std::string& entry : log)
      if (entry.rfind(prefix, 0) == 0) out.push_back(entry);
    return out;
  }
  void Clear() { log.clear(); }

 private:
  void Log(std::string entry) { log.push_back(std::move(entry)); }
  // The flow runs one club step at a time.
  void BeginStep(std::function<void()> finish) {
    if (club_step_) ADD_FAILURE() << "a club step began while another was under way";
    club_step_ = std::move(finish);
  }
  std::optional<std::function<void()>> club_step_;
};

}  // namespace braxo::testing
