#include "app/AppDialogs.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include "club/BuiltinAddresses.h"
#include "dialogs/AccountWindow.h"
#include "dialogs/ChatWindow.h"
#include "dialogs/NoticeWindow.h"
#include "dialogs/PassportWindow.h"
#include "dialogs/StatisticsWindow.h"
#include "dialogs/TopTenEntryWindow.h"

namespace braxo {

AppDialogs::AppDialogs(QWidget& window, GameState*& game, PictureStore& pictures)
    : window_(window), game_(game), pictures_(pictures) {}

AppDialogs::~AppDialogs() = default;

void AppDialogs::CreateWindows(GameState& game, std::string& player_name,
                               const ChampionsFile& champions) {
  password_window_ = std::make_unique<PasswordWindow>(game, player_name, pictures_, &window_);
  // The about page's web pages and mail address are those of our club, on
  // the site that serves the configuration page.
  info_window_ = std::make_unique<InfoWindow>(
      game, champions, pictures_,
      InfoContactsFromClubAddress(QString::fromStdString(ConfigPageAddress())), &window_);
}

void AppDialogs::ShowPasswordWindow(int role) {
  if (!password_window_ || !game_) return;
  game_->PasswordWindowRole = role;
  password_window_->Execute();
}

bool AppDialogs::AskYesNo(const std::string& question) {
  return QMessageBox::question(&window_, window_.windowTitle(), QString::fromStdString(question),
                               QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes;
}

void AppDialogs::ShowNotice(const Notice& notice) { braxo::ShowNotice(&window_, notice); }

void AppDialogs::ShowUnavailable(const std::string& what) {
  if (!game_) return;
  ShowNotice({what + " " + game_->Text(MsgId::MsgLinkUnavailable), "", ""});
}

void AppDialogs::ShowAccountWindow() {
  if (!game_) return;
  if (!club_) {
    // Before a new game the account window is the game's own step, not the
    // player's request: without it the game simply starts unrated.
    if (game_->AccountWindowRole == 0) ShowUnavailable(game_->Text(MsgId::MsgMyAccount));
    return;
  }
  ClubWindowParts parts{*game_,
                        club_->Access(),
                        club_->ServiceState(),
                        club_->UserFilePath(),
                        pictures_,
                        [this](const Notice& notice) { ShowNotice(notice); }};
  AccountWindow window(std::move(parts), &window_);
  window.Execute();
}

void AppDialogs::ShowPassportWindow(QWidget* parent) {
  if (!club_) return;
  PassportWindow window(club_->MutableSettings().Passport, Language(), pictures_, parent);
  window.Execute();
}

void AppDialogs::ShowTopTenTableWindow() {
  if (!club_) return ShowUnavailable("World Top Ten");
  TopTenTableWindow window(
      club_->Access(), club_->CurrentSettings().Passport, platform_, Language(), pictures_,
      [this](QWidget* parent) { ShowPassportWindow(parent); }, &window_);
  window.Execute();
}

void AppDialogs::ShowTopTenEntryWindow() {
  if (!club_ || !game_) return;
  TopTenEntryWindow window(
      club_->Access(), club_->CurrentSettings().Passport, game_->TopTenScore, game_->TopTenPlace,
      Language(), pictures_, [this](QWidget* parent) { ShowPassportWindow(parent); }, &window_);
  window.Execute();
}

void AppDialogs::ShowChatWindow() {
  if (!club_) {
    if (game_) ShowUnavailable(game_->Text(MsgId::MsgChatTitle));
    return;
  }
  ChatWindow window(
      club_->Access(), club_->CurrentSettings().Passport, Language(), pictures_,
      [this](QWidget* parent) { ShowPassportWindow(parent); }, &window_);
  window.Execute();
}

void AppDialogs::ShowStatisticsWindow() {
  if (!club_) {
    if (game_) ShowUnavailable(game_->Text(MsgId::MsgStatistics));
    return;
  }
  AppServices& services = *club_;
  StatisticsWindow window(
      services.Access(), services.MutableSettings(), [&services] { services.SaveSettings(); },
      Language(), pictures_, &window_);
  window.Execute();
}

void AppDialogs::ShowError(const std::string& message) {
  QMessageBox::critical(&window_, window_.windowTitle(), QString::fromStdString(message));
}

void AppDialogs::ShowInfoWindow() {
  if (info_window_) info_window_->Execute();
}

void AppDialogs::OpenWebPage(const std::string& address) {
  const QUrl url(QString::fromStdString(address));
  if (url.scheme() == "http" || url.scheme() == "https") QDesktopServices::openUrl(url);
}

}  // namespace braxo
