#include "app/AppDialogs.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include "club/BuiltinAddresses.h"
#include "dialogs/AccountWindow.h"
#include "dialogs/ChatWindow.h"
#include "dialogs/NoticeWindow.h"
#include "dialogs/PassportWindow.h"
#include "dialogs/TopTenEntryWindow.h"

namespace braxo {

AppDialogs::AppDialogs(QWidget& window, const InterfaceLanguage& language, PictureStore& pictures,
                       UrlOpener open_url)
    : window_(window), language_(language), pictures_(pictures), open_url_(std::move(open_url)) {}

AppDialogs::~AppDialogs() = default;

PasswordWindow* AppDialogs::EnsurePasswordWindow() {
  if (!password_window_ && player_name_ != nullptr)
    password_window_ =
        std::make_unique<PasswordWindow>(language_, *player_name_, pictures_, &window_);
  return password_window_.get();
}

InfoWindow* AppDialogs::EnsureInfoWindow() {
  if (!info_window_ && champions_ != nullptr) {
    // The about page's web pages and mail address are those of our club, on
    // the site that serves the configuration page.
    info_window_ = std::make_unique<InfoWindow>(
        language_, *champions_, pictures_,
        InfoContactsFromClubAddress(QString::fromStdString(ConfigPageAddress())), &window_);
    if (options_ != nullptr) info_window_->AttachOptions(options_, options_changed_);
  }
  return info_window_.get();
}

void AppDialogs::AttachOptions(Options* options, std::function<void()> changed) {
  options_ = options;
  options_changed_ = std::move(changed);
  if (info_window_) info_window_->AttachOptions(options_, options_changed_);
}

bool AppDialogs::AskModePassword(GameMode mode, const std::string& password) {
  PasswordWindow* window = EnsurePasswordWindow();
  return window != nullptr && window->AskModePassword(mode, password);
}

std::optional<std::string> AppDialogs::AskChampionName() {
  PasswordWindow* window = EnsurePasswordWindow();
  if (window == nullptr) return std::nullopt;
  return window->AskChampionName();
}

bool AppDialogs::AskYesNo(const std::string& question) {
  return QMessageBox::question(&window_, window_.windowTitle(), QString::fromStdString(question),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void AppDialogs::ShowNotice(const Notice& notice) { braxo::ShowNotice(&window_, notice); }

void AppDialogs::ShowUnavailable(const std::string& what) {
  ShowNotice({what + " " + language_.Text(MsgId::MsgLinkUnavailable), "", ""});
}

std::optional<AccountState> AppDialogs::ShowAccountWindow(AccountWindowPurpose purpose,
                                                          bool game_in_progress) {
  if (!club_) {
    // Before a new game the account window is the game's own step, not the
    // player's request: without it the game simply starts unrated.
    if (purpose == AccountWindowPurpose::kAccountIcon)
      ShowUnavailable(language_.Text(MsgId::MsgMyAccount));
    return std::nullopt;
  }
  ClubWindowParts parts{language_, club_->Account(), pictures_,
                        [this](const Notice& notice) { ShowNotice(notice); }};
  AccountWindow window(std::move(parts), purpose, game_in_progress, &window_);
  return window.Execute();
}

void AppDialogs::ShowPassportWindow(QWidget* parent) {
  if (!club_) return;
  PassportWindow window(club_->MutableSettings().passport, Language(), pictures_, parent,
                        DesktopPassportStart(club_->Session()));
  window.Execute();
}

void AppDialogs::ShowTopTenTableWindow() {
  if (!club_) return ShowNotice({language_.Text(MsgId::MsgTopTenUnavailable), "", ""});
  TopTenTableWindow window(
      club_->Access(), club_->CurrentSettings().passport, platform_, Language(), pictures_,
      [this](QWidget* parent) { ShowPassportWindow(parent); }, &window_, &top_ten_shown_);
  window.Execute();
}

std::optional<int> AppDialogs::ShowTopTenEntryWindow(int score) {
  if (!club_) return std::nullopt;
  TopTenEntryWindow window(
      club_->Access(), club_->CurrentSettings().passport, score, Language(), pictures_,
      [this](QWidget* parent) { ShowPassportWindow(parent); }, &window_);
  return window.Execute();
}

void AppDialogs::ShowChatWindow() {
  if (!club_) return ShowUnavailable(language_.Text(MsgId::MsgChatTitle));
  ChatWindow window(
      club_->Access(), club_->CurrentSettings().passport, Language(), pictures_,
      [this](QWidget* parent) { ShowPassportWindow(parent); }, &window_);
  window.Execute();
}

void AppDialogs::ShowStatisticsWindow() {
  if (!club_) return ShowUnavailable(language_.Text(MsgId::MsgStatistics));
  AppServices& services = *club_;
  StatisticsWindow window(
      services.Access(), services.MutableSettings(), [&services] { services.SaveSettings(); },
      last_statistics_, Language(), pictures_, &window_);
  window.Execute();
}

void AppDialogs::ShowError(const std::string& message) {
  QMessageBox::critical(&window_, window_.windowTitle(), QString::fromStdString(message));
}

void AppDialogs::ShowInfoWindow(InfoPage page, const LanguageStepper& step_language) {
  if (InfoWindow* window = EnsureInfoWindow()) window->Execute(page, step_language);
}

void AppDialogs::OpenWebPage(const std::string& address) {
  const QUrl url(QString::fromStdString(address));
  if (url.scheme() != "http" && url.scheme() != "https") return;
  if (!open_url_(url)) ShowNotice({language_.Text(MsgId::MsgNoBrowser), "", address});
}

}  // namespace braxo
