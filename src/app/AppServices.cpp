#include "app/AppServices.h"

#include <sys/resource.h>
#include <unistd.h>

#include <QDesktopServices>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QMetaObject>
#include <QPointer>
#include <QProgressBar>
#include <QProgressDialog>
#include <QTimer>
#include <QUrl>
#include <QWindow>
#include <chrono>
#include <filesystem>
#include <functional>
#include <utility>

#include "audio/SdlAudioBackend.h"
#include "club/BuiltinAddresses.h"
#include "club/UsageStatistics.h"
#include "club/WebLink.h"
#include "club/wire/WireConstants.h"
#include "storage/TextFile.h"
#include "storage/UserFile.h"

namespace braxo {

// The sound output begins at the latest this long after the game asked for
// it, should the window never be painted.
constexpr std::chrono::milliseconds kLatestSoundStart{1000};

// Calls `shown` once, from the event loop, after `window` was first exposed
// on the screen and painted (the expose is painted while it is handled).
class FirstFrameWatch : public QObject {
 public:
  FirstFrameWatch(QWidget& window, std::function<void()> shown)
      : window_(window), shown_(std::move(shown)) {
    window_.installEventFilter(this);
    WatchNativeWindow();
  }
  ~FirstFrameWatch() override {
    window_.removeEventFilter(this);
    if (native_ != nullptr) native_->removeEventFilter(this);
  }
  FirstFrameWatch(const FirstFrameWatch&) = delete;
  FirstFrameWatch& operator=(const FirstFrameWatch&) = delete;

  bool eventFilter(QObject* watched, QEvent* event) override {
    if (watched == &window_ && event->type() == QEvent::Show) WatchNativeWindow();
    if (watched == native_ && event->type() == QEvent::Expose && !called_) {
      called_ = true;
      QMetaObject::invokeMethod(this, shown_, Qt::QueuedConnection);
    }
    return false;
  }

 private:
  // The native window exists once the widget has been shown.
  void WatchNativeWindow() {
    if (native_ != nullptr || window_.windowHandle() == nullptr) return;
    native_ = window_.windowHandle();
    native_->installEventFilter(this);
  }

  QWidget& window_;
  std::function<void()> shown_;
  QPointer<QWindow> native_;
  bool called_ = false;
};

AppServices::AppServices(QWidget& window, DialogPort& dialogs, PictureStore& pictures,
                         InterfaceLanguage& language)
    : AppServices(window, dialogs, pictures, language, ResolveDataPaths()) {}

AppServices::AppServices(QWidget& window, DialogPort& dialogs, PictureStore& pictures,
                         InterfaceLanguage& language, DataPaths paths)
    : window_(window),
      dialogs_(dialogs),
      pictures_(pictures),
      language_(language),
      paths_(std::move(paths)),
      champions_(paths_.champions_file),
      sounds_(std::make_unique<SdlAudioBackend>()),
      sound_context_(std::make_unique<QObject>()),
      access_(client_, services_, settings_),
      account_(access_, session_, paths_.user_file) {
  RemoveStaleTemporaries(paths_.data_directory, {kSettingsFileName, kChampionsFileName,
                                                 kOptionsFileName, kSavedGameFileName});
  RemoveStaleTemporaries(ParentDirectory(paths_.data_directory), {kUserFileName});
}

AppServices::~AppServices() {
  download_.reset();
  delete progress_.data();
  // The worker uses the sound table; it ends before the table goes.
  if (sound_start_.valid()) sound_start_.wait();
}

std::array<std::string, 2> AppServices::HelpMirrors() const { return HelpMirrorAddresses(); }

void AppServices::LoadSettings() {
  settings_outcome_ = braxo::LoadSettings({paths_.settings_file, paths_.champions_file},
                                          ClubSettingsHooks(), settings_);
  language_.Set(settings_.language_index);
  // A damaged options file gives the defaults, as a missing one does; the
  // next change on the options page writes a sound one.
  options_ = LoadOptions(OptionsFilePath(paths_.data_directory)).options;
  ApplyRemoteConfigOnce();
}

void AppServices::SaveOptions() {
  braxo::SaveOptions(OptionsFilePath(paths_.data_directory), options_);
}

bool AppServices::WriteSavedGame(const std::string& text) {
  return WriteFileAtomic(SavedGamePath(), text);
}

std::optional<std::string> AppServices::ReadSavedGame() {
  std::error_code error;
  if (!std::filesystem::exists(std::filesystem::symlink_status(SavedGamePath(), error)))
    return std::nullopt;
  // Something is there: what cannot be read as a small file is refused as a
  // damaged save.
  return ReadSmallFile(SavedGamePath(), 64 * 1024).value_or(std::string());
}

void AppServices::RemoveSavedGame() {
  std::error_code error;
  // A folder in the save's place is not ours to remove.
  if (std::filesystem::is_regular_file(std::filesystem::symlink_status(SavedGamePath(), error)) ||
      std::filesystem::is_symlink(std::filesystem::symlink_status(SavedGamePath(), error)))
    std::filesystem::remove(SavedGamePath(), error);
}

void AppServices::ApplyRemoteConfigOnce() {
  // The remote configuration steers the club only after a complete settings
  // file, and only once both the settings and the page are in; the page read
  // at start-up serves every reader of this run.
  if (remote_config_applied_ || !config_page_settled_ || !settings_outcome_) return;
  remote_config_applied_ = true;
  if (*settings_outcome_ == LoadOutcome::kComplete)
    ApplyRemoteConfig(config_page_, settings_, services_);
}

void AppServices::SaveSettings() {
  settings_.language_index = language_.Index();
  braxo::SaveSettings({paths_.settings_file, paths_.champions_file}, settings_);
}

void AppServices::AddChampion(const std::string& name, int score) {
  champions_.AddChampion(name, score);
}

void AppServices::Start() {
  if (sound_requested_) return;
  sound_requested_ = true;
  // Opening the output loads the sound libraries and decodes every sound;
  // on a busy machine that would slow the window's first frame, so it begins
  // once the window has painted and shown it (or after a second, should it
  // never paint). Plays wait in order until the output is ready.
  first_frame_watch_ = std::make_unique<FirstFrameWatch>(window_, [this] { StartSoundOutput(); });
  QTimer::singleShot(kLatestSoundStart, sound_context_.get(), [this] { StartSoundOutput(); });
}

void AppServices::StartSoundOutput() {
  first_frame_watch_.reset();
  if (sound_start_.valid() || sound_ready_) return;
  if (!sound_requested_) return;  // released before it began
  // The bytes are taken here (the resource index is not shared between
  // threads); opening the device and decoding run on a worker while the
  // game goes on.
  std::map<std::string, std::vector<std::uint8_t>, std::less<>> bytes;
  for (std::string_view name : kSoundNames) {
    const QByteArray data =
        pictures_.Bytes(QString::fromUtf8(name.data(), static_cast<qsizetype>(name.size())));
    bytes.emplace(std::string(name), std::vector<std::uint8_t>(data.begin(), data.end()));
  }
  sound_start_ = std::async(std::launch::async, [this, bytes = std::move(bytes)] {
    // Decoding yields to the window's first paint on a busy machine.
    ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
    std::optional<std::string> error = sounds_.InitSound([&bytes](std::string_view name) {
      const auto found = bytes.find(name);
      return found == bytes.end() ? std::vector<std::uint8_t>() : found->second;
    });
    QMetaObject::invokeMethod(
        sound_context_.get(), [this] { FinishSoundStart(); }, Qt::QueuedConnection);
    return error;
  });
}

void AppServices::FinishSoundStart() {
  if (sound_ready_ || !sound_start_.valid()) return;
  const std::optional<std::string> error = sound_start_.get();
  sound_ready_ = true;
  if (error)
    QMessageBox::warning(&window_, QStringLiteral("Braxo"), QString::fromStdString(*error));
  for (const std::string& name : pending_sounds_) sounds_.PlaySoundEffect(name);
  pending_sounds_.clear();
}

void AppServices::Play(const std::string& name) {
  if (sound_ready_) {
    sounds_.PlaySoundEffect(name);
  } else if (sound_requested_) {
    if (pending_sounds_.size() < kSoundNames.size()) pending_sounds_.push_back(name);
  }
}

void AppServices::Release() {
  sound_requested_ = false;
  first_frame_watch_.reset();
  if (sound_start_.valid()) sound_start_.wait();
  sounds_.FreeSound();
}

void AppServices::ReadAnnouncements(std::function<void()> arrived) {
  // The title screen shows and runs while the page is on its way; whatever
  // the club does, the wait ends within the page's bounds.
  config_fetch_ = FetchConfigPageInBackground(
      config_page_limits_, [this, arrived = std::move(arrived)](ConfigPageText page) {
        config_page_ = std::move(page);
        config_page_settled_ = true;
        braxo::ReadAnnouncements(config_page_, news_);
        ApplyRemoteConfigOnce();
        if (on_config_page_) on_config_page_();
        arrived();
      });
}

std::optional<Notice> AppServices::StartupAnnouncement() {
  if (!news_.announcement.shown) return std::nullopt;
  return Notice{news_.announcement.main_text, news_.announcement.second_text,
                IsSafeWebLink(news_.announcement.link) ? news_.announcement.link : std::string()};
}

QObject* AppServices::NewClubStep() {
  // The step before has ended (its callback may be running now): what it
  // still holds goes once the event loop is back.
  if (club_step_) club_step_.release()->deleteLater();
  club_step_ = std::make_unique<QObject>();
  return club_step_.get();
}

void AppServices::CancelClubStep() { club_step_.reset(); }

void AppServices::RegisterRatedGame(std::function<void(bool)> done) {
  access_.RegisterRatedGame(NewClubStep(), session_, std::move(done));
}

void AppServices::SaveRatedResult(int score, std::function<void(RatedSave)> done) {
  access_.SaveRatedResult(NewClubStep(), session_, score, std::move(done));
}

void AppServices::CreditKezs(int amount, std::function<void(bool)> done) {
  access_.CreditKezs(NewClubStep(), session_, amount, std::move(done));
}

void AppServices::ReadKezsBalance(std::function<void(bool)> done) {
  access_.ReadKezsBalance(NewClubStep(), session_, std::move(done));
}

void AppServices::CountStart() {
  ++reports_in_flight_;
  CountStartOfRun(client_, reports_.get(), wire::kGameId, settings_, [this](bool changed) {
    // The flow saved the settings when it sent the report; the confirmed
    // unique start is saved now, so that a run that ends later keeps it too.
    if (changed) SaveSettings();
    ReportEnded();
  });
}

void AppServices::CountFinishedGame(const std::array<int, 12>& flags) {
  ++reports_in_flight_;
  braxo::CountFinishedGame(client_, reports_.get(), settings_.stat_address.plain, wire::kGameId,
                           flags, [this](bool) { ReportEnded(); });
}

void AppServices::ReportEnded() {
  if (--reports_in_flight_ > 0 || !on_reports_settled_) return;
  std::function<void()> settled = std::move(on_reports_settled_);
  on_reports_settled_ = nullptr;
  settled();
}

void AppServices::WhenReportsSettled(std::function<void()> settled) {
  if (reports_in_flight_ > 0) {
    on_reports_settled_ = std::move(settled);
    return;
  }
  QMetaObject::invokeMethod(reports_.get(), std::move(settled), Qt::QueuedConnection);
}

void AppServices::DownloadNewVersion() {
  const DownloadPlan plan = PlanDownload(news_.download_link, download_file_name_);
  if (!plan.available) {
    dialogs_.ShowNotice({"Braxo " + MessageText(MsgId::MsgApkUnavailable, Language()), "", ""});
    return;
  }
  download_file_name_ = plan.file_name;
  const QString proposed = QDir(QString::fromStdString(paths_.data_directory))
                               .filePath(QString::fromStdString(plan.file_name));
  const QString path = QFileDialog::getSaveFileName(
      &window_, QString(), proposed,
      QStringLiteral("*.%1").arg(QString::fromStdString(plan.extension)));
  if (path.isEmpty()) return;
  DownloadPackage(path.toStdString());
}

void AppServices::DownloadPackage(const std::string& path, std::function<void(HttpError)> done) {
  if (download_) {
    // One download at a time; a second click leaves the running one alone.
    if (done)
      QMetaObject::invokeMethod(
          reports_.get(), [done = std::move(done)] { done(HttpError::kCancelled); },
          Qt::QueuedConnection);
    return;
  }
  progress_ = new QProgressDialog(QStringLiteral("Braxo"),
                                  QString::fromStdString(MessageText(MsgId::MsgCancel, Language())),
                                  0, 0, &window_);
  // Set on the bar itself: the dialog's own setValue handles events when it
  // is modal, and the download's callbacks run no event loop of their own.
  auto* bar = new QProgressBar(progress_);
  bar->setRange(0, 0);
  progress_->setBar(bar);
  // Shown at once and modal, whether or not the server tells the length: the
  // main window takes no input while the download runs.
  progress_->setWindowModality(Qt::WindowModal);
  progress_->setMinimumDuration(0);
  progress_->setAutoClose(false);
  progress_->setAutoReset(false);
  const auto end = [this, done](HttpError error) {
    // From the download's own callback, which lets it be destroyed, or from
    // the Cancel button's signal, which runs outside the download; the
    // window goes once the event loop is back.
    download_.reset();
    if (progress_) {
      progress_->hide();
      progress_->deleteLater();
      progress_ = nullptr;
    }
    if (done) done(error);
  };
  QObject::connect(progress_, &QProgressDialog::canceled, progress_,
                   [end] { end(HttpError::kCancelled); });
  download_ = std::make_unique<BackgroundDownload>(
      news_.download_link, path,
      [bar](std::int64_t received, std::int64_t total) {
        if (total <= 0) return;
        if (bar->maximum() != 100) bar->setRange(0, 100);
        bar->setValue(static_cast<int>(received * 100 / total));
      },
      end);
  progress_->show();
}

QWidget* AppServices::ActiveProgressWindow() const { return progress_.data(); }

void AppServices::OpenStorePage() {
  if (const auto link = StoreLinkToOpen(news_.store_link))
    QDesktopServices::openUrl(QUrl(QString::fromStdString(*link)));
}

}  // namespace braxo
