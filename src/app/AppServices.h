// The game's files, sound and club as the flow's ports see them.
#pragma once

#include <QWidget>
#include <memory>

#include "audio/SoundTable.h"
#include "club/Announcements.h"
#include "club/ClubAccess.h"
#include "club/ClubClient.h"
#include "club/ClubSession.h"
#include "club/ConfigPage.h"
#include "game/GameState.h"
#include "storage/ChampionsFile.h"
#include "storage/DataPaths.h"
#include "storage/SettingsFile.h"
#include "ui/Pictures.h"

namespace braxo {

class AppServices : public StoragePort, public SoundPort, public ClubPort {
 public:
  // `game` is filled in once the game exists; the services read the
  // language and the game id from it.
  AppServices(QWidget& window, DialogPort& dialogs, PictureStore& pictures, GameState*& game);
  // The same with the files at `paths` (tests use a temporary folder).
  AppServices(QWidget& window, DialogPort& dialogs, PictureStore& pictures, GameState*& game,
              DataPaths paths);
  ~AppServices() override;

  StoragePort& Storage() { return *this; }
  SoundPort& Sound() { return *this; }
  ClubPort& Club() { return *this; }
  std::array<std::string, 2> HelpMirrors() const;
  bool HasStoreLink() const { return !news_.StoreLink.empty(); }
  const Settings& CurrentSettings() const { return settings_; }
  // The settings the champion-name window writes PlayerName into.
  Settings& MutableSettings() { return settings_; }
  const ChampionsFile& Champions() const { return champions_; }
  // The club session of the run and the club's operations over the shared
  // client, for the flow and for the club windows.
  ClubSession& Session() { return session_; }
  ClubAccess& Access() { return access_; }
  // The user file from CurrentUser's Nick and PwC (the account window's save
  // and delete buttons); UserFileSaved follows. False when the file could not
  // be written or removed.
  bool SaveUserFile();
  bool DeleteUserFile();
  // The club's addresses as the configuration page left them (the account
  // windows' photo upload).
  const ClubServiceState& ServiceState() const { return services_; }
  const std::string& UserFilePath() const { return paths_.user_file; }

  // --- StoragePort ---
  void LoadSettings() override;
  void SaveSettings() override;
  ChampionsStatus CheckChampionsFile() override;
  std::string DeveloperMarker() override { return champions_.DeveloperMarker(); }
  int ChampionsThreshold() override { return champions_.ChampionsThreshold(); }
  void AddChampion(const std::string& name, int score) override;

  // --- SoundPort ---
  void Start() override;
  void Play(const std::string& name) override { sounds_.PlaySoundEffect(name); }
  void Release() override { sounds_.FreeSound(); }

  // --- ClubPort ---
  void ReadAnnouncements() override;
  std::optional<Notice> StartupAnnouncement() override;
  void CountStart() override;
  bool LoginFromUserFile() override;
  bool RegisterRatedGame() override { return access_.RegisterRatedGame(session_); }
  RatedSave SaveRatedResult(int score) override { return access_.SaveRatedResult(session_, score); }
  void CountFinishedGame(const std::array<int, 12>& flags) override;
  bool CreditKezs(int amount) override { return access_.CreditKezs(session_, amount); }
  bool ReadKezsBalance() override { return access_.ReadKezsBalance(session_); }
  bool TopTenAvailable() override { return services_.TopTenAvailable; }
  bool ChatAvailable() override { return services_.ChatAvailable; }
  void ImAnClick() override;
  void ImGPClick() override;

 private:
  int Language() const { return game_ ? game_->LanguageIndex : settings_.LanguageIndex; }

  QWidget& window_;
  DialogPort& dialogs_;
  PictureStore& pictures_;
  GameState*& game_;
  DataPaths paths_;
  ChampionsFile champions_;
  Settings settings_;
  SoundTable sounds_;
  ClubClient client_;
  ConfigPageText config_page_;
  ClubServiceState services_;
  StartupNews news_;
  ClubSession session_;
  ClubAccess access_;
  std::string download_file_name_;
};

}  // namespace braxo
