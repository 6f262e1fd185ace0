// The game's files, sound and club as the flow's ports see them.
#pragma once

#include <QPointer>
#include <QProgressDialog>
#include <QWidget>
#include <functional>
#include <future>
#include <map>
#include <memory>
#include <optional>
#include <vector>

#include "audio/SoundTable.h"
#include "club/AccountWorkflow.h"
#include "club/Announcements.h"
#include "club/ClubAccess.h"
#include "club/ClubClient.h"
#include "club/ClubSession.h"
#include "club/ConfigPage.h"
#include "game/GameState.h"
#include "game/InterfaceLanguage.h"
#include "storage/ChampionsFile.h"
#include "storage/DataPaths.h"
#include "storage/SettingsFile.h"
#include "ui/Pictures.h"

namespace braxo {

class FirstFrameWatch;

class AppServices : public StoragePort, public SoundPort, public ClubPort {
 public:
  // The settings carry `language`: it is set when they are read and saved
  // with them. It must outlive this object.
  AppServices(QWidget& window, DialogPort& dialogs, PictureStore& pictures,
              InterfaceLanguage& language);
  // The same with the files at `paths` (tests use a temporary folder).
  AppServices(QWidget& window, DialogPort& dialogs, PictureStore& pictures,
              InterfaceLanguage& language, DataPaths paths);
  ~AppServices() override;
  AppServices(const AppServices&) = delete;
  AppServices& operator=(const AppServices&) = delete;

  StoragePort& Storage() { return *this; }
  SoundPort& Sound() { return *this; }
  // Whether the sound output has begun to open (it waits for the window's
  // first frame after Start()).
  bool SoundOutputBegun() const { return sound_start_.valid() || sound_ready_; }
  ClubPort& Club() { return *this; }
  std::array<std::string, 2> HelpMirrors() const;
  bool HasStoreLink() const { return !news_.store_link.empty(); }
  const Settings& CurrentSettings() const { return settings_; }
  // The settings the champion-name window writes player_name into.
  Settings& MutableSettings() { return settings_; }
  // The options the options page changes; SaveOptions writes them.
  Options& MutableOptions() { return options_; }
  void SaveOptions();
  // The saved game's file: in the data folder, beside the settings, so that a
  // portable copy keeps its own game and two copies never share one.
  std::string SavedGamePath() const { return paths_.data_directory + kSavedGameFileName; }
  const ChampionsFile& Champions() const { return champions_; }
  // The club session of the run, the club's operations over the shared
  // client and the member's account workflow on them (with the run's user
  // file), for the flow and for the club windows.
  ClubSession& Session() { return session_; }
  ClubAccess& Access() { return access_; }
  AccountWorkflow& Account() { return account_; }
  // Runs when the configuration page has arrived or failed, before the game
  // hears of it (the store icon waits for the page's store link).
  void SetConfigPageListener(std::function<void()> listener) {
    on_config_page_ = std::move(listener);
  }
  // The bounds of the start-up's configuration page (tests shorten them).
  void SetConfigPageLimits(const HttpLimits& limits) { config_page_limits_ = limits; }

  // --- StoragePort ---
  void LoadSettings() override;
  void SaveSettings() override;
  ChampionsCheck CheckChampionsFile() override { return champions_.CheckChampionsFile(); }
  std::string DeveloperMarker() override { return champions_.DeveloperMarker(); }
  int ChampionsThreshold() override { return champions_.ChampionsThreshold(); }
  void AddChampion(const std::string& name, int score) override;
  Options CurrentOptions() override { return options_; }
  bool WriteSavedGame(const std::string& text) override;
  std::optional<std::string> ReadSavedGame() override;
  void RemoveSavedGame() override;

  // --- SoundPort ---
  // Opens the audio device and decodes the sounds on a worker thread; the
  // window does not wait for it. Sounds played before it is done play, in
  // order, when it is.
  void Start() override;
  void Play(const std::string& name) override;
  void Release() override;

  // --- ClubPort ---
  void ReadAnnouncements(std::function<void()> arrived) override;
  std::optional<Notice> StartupAnnouncement() override;
  // The usage reports go out tied to an owner that lives as long as this
  // object; the start's outcome is written into the settings, and they are
  // saved, once its reply is in.
  void CountStart() override;
  bool LoginFromUserFile() override { return account_.LogInFromUserFile(); }
  // The club steps run tied to one step object: a new step or a cancel
  // drops the one before, with its requests.
  void RegisterRatedGame(std::function<void(bool)> done) override;
  void SaveRatedResult(int score, std::function<void(RatedSave)> done) override;
  void CreditKezs(int amount, std::function<void(bool)> done) override;
  void ReadKezsBalance(std::function<void(bool)> done) override;
  void CancelClubStep() override;
  void CountFinishedGame(const std::array<int, 12>& flags) override;
  // Usage reports sent whose reply (or failure) has not come yet.
  bool ReportsInFlight() const { return reports_in_flight_ > 0; }
  // Runs `settled` once, from the event loop, when the last report in flight
  // has ended (main lets the reports of a closing window finish this way).
  void WhenReportsSettled(std::function<void()> settled);
  bool TopTenAvailable() override { return services_.top_ten_available; }
  bool ChatAvailable() override { return services_.chat_available; }
  void DownloadNewVersion() override;
  // The download of the new version to `path`, behind a progress window,
  // modal to the main window, with a Cancel button (DownloadNewVersion after
  // the save dialog). Returns at once; `done` (when given) runs once from
  // the event loop with the outcome: kCancelled after the Cancel button, or
  // at once when a download is already running (that one goes on).
  void DownloadPackage(const std::string& path, std::function<void(HttpError)> done = {});
  // The progress window while a download runs (for tests).
  QWidget* ActiveProgressWindow() const;
  void OpenStorePage() override;

 private:
  int Language() const { return language_.Index(); }
  void ApplyRemoteConfigOnce();
  // A fresh owner for the next club step's requests.
  QObject* NewClubStep();
  void StartSoundOutput();
  void FinishSoundStart();
  void ReportEnded();

  QWidget& window_;
  DialogPort& dialogs_;
  PictureStore& pictures_;
  InterfaceLanguage& language_;
  DataPaths paths_;
  ChampionsFile champions_;
  Settings settings_;
  Options options_;
  SoundTable sounds_;
  std::unique_ptr<QObject> sound_context_;
  std::future<std::optional<std::string>> sound_start_;
  bool sound_requested_ = false;
  bool sound_ready_ = false;
  std::unique_ptr<FirstFrameWatch> first_frame_watch_;
  std::vector<std::string> pending_sounds_;
  ClubClient client_;
  ConfigPageText config_page_;
  HttpLimits config_page_limits_ = ConfigPageLimits();
  std::unique_ptr<BackgroundGet> config_fetch_;
  bool config_page_settled_ = false;
  std::optional<LoadOutcome> settings_outcome_;
  bool remote_config_applied_ = false;
  std::function<void()> on_config_page_;
  ClubServiceState services_;
  StartupNews news_;
  ClubSession session_;
  ClubAccess access_;
  AccountWorkflow account_;
  // Owns the requests of the club step under way; after the client, so that
  // it goes first.
  std::unique_ptr<QObject> club_step_;
  // Owns the usage reports in flight: a new club step or a cancel leaves
  // them alone.
  std::unique_ptr<QObject> reports_ = std::make_unique<QObject>();
  int reports_in_flight_ = 0;
  std::function<void()> on_reports_settled_;
  std::string download_file_name_;
  // The download under way and its progress window; both go when it ends.
  std::unique_ptr<BackgroundDownload> download_;
  QPointer<QProgressDialog> progress_;
};

}  // namespace braxo
