// Ports that do nothing: the champions file is fine, no window opens, and
// every club operation fails; and a club session for the game. For tests,
// benchmarks and tools that drive the game without a world around it.
#pragma once

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
  void DrawAccountLamp(int) override {}
  void ShowMenuButtons() override {}
  void ShowOnlineIcons() override {}
  void RefreshLanguage() override {}
  void SetHandCursor(bool) override {}
  void SetTimerInterval(int) override {}
  void StartTimer() override {}
  void StopTimer() override {}
  void DrawBackground() override {}
  void CloseWindow() override {}
  void Start() override {}
  void Play(const std::string&) override {}
  void Release() override {}
  void ShowPasswordWindow(int) override {}
  bool AskYesNo(const std::string&) override { return false; }
  void ShowNotice(const Notice&) override {}
  void ShowError(const std::string&) override {}
  void ShowAccountWindow() override {}
  void ShowTopTenEntryWindow() override {}
  void ShowTopTenTableWindow() override {}
  void ShowChatWindow() override {}
  void ShowStatisticsWindow() override {}
  void ShowInfoWindow() override {}
  void OpenWebPage(const std::string&) override {}
  void LoadSettings() override {}
  void SaveSettings() override {}
  ChampionsStatus CheckChampionsFile() override { return ChampionsStatus::kOk; }
  std::string DeveloperMarker() override { return ""; }
  int ChampionsThreshold() override { return 0; }
  void AddChampion(const std::string&, int) override {}
  void ReadAnnouncements(std::function<void()> arrived) override { arrived(); }
  std::optional<Notice> StartupAnnouncement() override { return std::nullopt; }
  void CountStart() override {}
  bool LoginFromUserFile() override { return false; }
  bool RegisterRatedGame() override { return false; }
  RatedSave SaveRatedResult(int) override { return RatedSave::kFailed; }
  void CountFinishedGame(const std::array<int, 12>&) override {}
  bool CreditKezs(int) override { return false; }
  bool ReadKezsBalance() override { return false; }
  bool TopTenAvailable() override { return false; }
  bool ChatAvailable() override { return false; }
  void ImAnClick() override {}
  void ImGPClick() override {}

  ClubSession session;
};

}  // namespace braxo::testing
