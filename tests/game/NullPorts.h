// Ports that do nothing: the champions file is fine, no window opens, every
// club operation fails and a club step never ends; and a club session and an interface language
// for the game. For tests, benchmarks and tools that drive the game without a
// world around it.
#pragma once

#include "game/GameState.h"
#include "game/InterfaceLanguage.h"
#include "game/Ports.h"

namespace braxo::testing {

struct NullPorts : ViewPort, SoundPort, DialogPort, StoragePort, ClubPort {
  void RenderBoard() override {}
  void DrawBurst(int, int, int) override {}
  void ShowTitleLayout() override {}
  void SetCaption(const std::string&) override {}
  void DrawTitleScreen(bool) override {}
  void ShowBoardLayout() override {}
  void DrawStatusPanel(int) override {}
  void DrawAccountLamp(AccountState) override {}
  void ShowMenuButtons() override {}
  void ShowOnlineIcons() override {}
  void RefreshLanguage() override {}
  void SetHandCursor(bool) override {}
  void SetTimerInterval(int) override {}
  void StartTimer() override {}
  void StopTimer() override {}
  void CloseWindow() override {}
  void ShakeTile(const BoardCell&) override {}
  void Start() override {}
  void Play(const std::string&) override {}
  void Release() override {}
  bool AskModePassword(GameMode, const std::string&) override { return false; }
  std::optional<std::string> AskChampionName() override { return std::nullopt; }
  bool AskYesNo(const std::string&) override { return false; }
  void ShowNotice(const Notice&) override {}
  void ShowError(const std::string&) override {}
  std::optional<AccountState> ShowAccountWindow(AccountWindowPurpose, bool) override {
    return std::nullopt;
  }
  std::optional<int> ShowTopTenEntryWindow(int) override { return std::nullopt; }
  void ShowTopTenTableWindow() override {}
  void ShowChatWindow() override {}
  void ShowStatisticsWindow() override {}
  void ShowInfoWindow(InfoPage, const LanguageStepper&) override {}
  void OpenWebPage(const std::string&) override {}
  void LoadSettings() override {}
  void SaveSettings() override {}
  ChampionsCheck CheckChampionsFile() override { return ChampionsCheck::kOk; }
  std::string DeveloperMarker() override { return ""; }
  int ChampionsThreshold() override { return 0; }
  void AddChampion(const std::string&, int) override {}
  Options CurrentOptions() override { return options; }
  bool WriteSavedGame(const std::string&) override { return false; }
  std::optional<std::string> ReadSavedGame() override { return std::nullopt; }
  void RemoveSavedGame() override {}
  Options options;
  void ReadAnnouncements(std::function<void()> arrived) override { arrived(); }
  std::optional<Notice> StartupAnnouncement() override { return std::nullopt; }
  void CountStart() override {}
  bool LoginFromUserFile() override { return false; }
  // The club steps never end: the flow waits until it stops waiting.
  void RegisterRatedGame(std::function<void(bool)>) override {}
  void SaveRatedResult(int, std::function<void(RatedSave)>) override {}
  void CreditKezs(int, std::function<void(bool)>) override {}
  void ReadKezsBalance(std::function<void(bool)>) override {}
  void CancelClubStep() override {}
  void CountFinishedGame(const std::array<int, 12>&) override {}
  bool TopTenAvailable() override { return false; }
  bool ChatAvailable() override { return false; }
  void DownloadNewVersion() override {}
  void OpenStorePage() override {}

  ClubSession session;
  InterfaceLanguage language;
  GamePorts Ports() { return GamePorts{*this, *this, *this, *this, *this, session, language}; }
};

}  // namespace braxo::testing
