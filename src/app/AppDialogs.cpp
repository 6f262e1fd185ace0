#include "app/AppDialogs.h"

#include <QDesktopServices>
#include <QMessageBox>
#include <QUrl>

#include "club/BuiltinAddresses.h"
#include "dialogs/TFAcc1.h"
#include "dialogs/TFormLink.h"

namespace braxo {

AppDialogs::AppDialogs(QWidget& window, GameState*& game, PictureStore& pictures)
    : window_(window), game_(game), pictures_(pictures) {}

AppDialogs::~AppDialogs() = default;

void AppDialogs::CreateWindows(GameState& game, std::string& player_name,
                               const ChampionsFile& champions) {
  password_window_ = std::make_unique<TFormPw>(game, player_name, pictures_, &window_);
  // The about page's web pages and mail address are those of our club, on
  // the site that serves the configuration page.
  info_window_ = std::make_unique<TForm4>(
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
  TFAcc1 window(std::move(parts), &window_);
  window.Execute();
}

void AppDialogs::ShowTopTenTableWindow() { ShowUnavailable("World Top Ten"); }

void AppDialogs::ShowChatWindow() {
  if (game_) ShowUnavailable(game_->Text(MsgId::MsgChatTitle));
}

void AppDialogs::ShowStatisticsWindow() {
  if (game_) ShowUnavailable(game_->Text(MsgId::MsgStatistics));
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
