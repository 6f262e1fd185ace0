// The flow's windows and questions on the desktop: the notice, password,
// information, club account, world top ten, chat and statistics windows,
// message boxes for the questions, the web browser for pages. Until the club
// is attached, the club's windows say, when the player opens them from an
// icon, that the service is unavailable; opened by the game itself they are
// skipped.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "app/AppServices.h"
#include "dialogs/InfoWindow.h"
#include "dialogs/NoticeWindow.h"
#include "dialogs/PasswordWindow.h"
#include "dialogs/StatisticsWindow.h"
#include "dialogs/TopTenTableWindow.h"
#include "game/InterfaceLanguage.h"
#include "game/Ports.h"
#include "storage/ChampionsFile.h"
#include "ui/Pictures.h"

namespace braxo {

class AppDialogs : public DialogPort {
 public:
  // The windows' texts follow `language`; it and `pictures` must outlive
  // this object.
  // `open_url` opens a web page in the desktop's browser and says whether
  // one could be opened.
  AppDialogs(QWidget& window, const InterfaceLanguage& language, PictureStore& pictures,
             UrlOpener open_url = OpenWithDesktop);
  ~AppDialogs() override;
  AppDialogs(const AppDialogs&) = delete;
  AppDialogs& operator=(const AppDialogs&) = delete;

  // What the password and information windows work with: `player_name` is
  // the settings' name and `champions` the champions table; both must stay
  // alive as long as the windows may be shown. The windows themselves are
  // built when first opened (the title screen does not wait for them) and
  // then live until this object goes, before the main window, their parent.
  void CreateWindows(std::string& player_name, const ChampionsFile& champions) {
    player_name_ = &player_name;
    champions_ = &champions;
  }
  // The club the account, tournament, chat and statistics windows work with,
  // with the settings that hold the passport and like_sent; until it is given,
  // those windows are skipped before a new game or after a completed mode and
  // unavailable from the icons.
  void AttachClub(AppServices& services) { club_ = &services; }
  // The play options the options page changes, and what saves them.
  void AttachOptions(Options* options, std::function<void()> changed);

  // Whether the password or information window has been built yet.
  bool PasswordWindowBuilt() const { return password_window_ != nullptr; }
  bool InfoWindowBuilt() const { return info_window_ != nullptr; }

  bool AskModePassword(GameMode mode, const std::string& password) override;
  std::optional<std::string> AskChampionName() override;
  bool AskYesNo(const std::string& question) override;
  void ShowNotice(const Notice& notice) override;
  void ShowError(const std::string& message) override;
  std::optional<AccountState> ShowAccountWindow(AccountWindowPurpose purpose,
                                                bool game_in_progress) override;
  std::optional<int> ShowTopTenEntryWindow(int score) override;
  void ShowTopTenTableWindow() override;
  void ShowChatWindow() override;
  void ShowStatisticsWindow() override;
  void ShowInfoWindow(InfoPage page, const LanguageStepper& step_language) override;
  // An http or https address in the browser; when no browser opens, a
  // notice says so with the address to open by hand.
  void OpenWebPage(const std::string& address) override;

 private:
  // "<what> is temporarily unavailable!" in the current language.
  void ShowUnavailable(const std::string& what);
  // The passport window over `parent`, modal.
  void ShowPassportWindow(QWidget* parent);
  int Language() const { return language_.Index(); }
  // The windows, built on first use; null before CreateWindows.
  PasswordWindow* EnsurePasswordWindow();
  InfoWindow* EnsureInfoWindow();

  QWidget& window_;
  const InterfaceLanguage& language_;
  PictureStore& pictures_;
  UrlOpener open_url_;
  std::unique_ptr<PasswordWindow> password_window_;
  std::unique_ptr<InfoWindow> info_window_;
  // What the last statistics window read, shown by the next one at once.
  LastUsageStats last_statistics_;
  std::string* player_name_ = nullptr;
  const ChampionsFile* champions_ = nullptr;
  Options* options_ = nullptr;
  std::function<void()> options_changed_;
  AppServices* club_ = nullptr;
  // The table window's platform, kept for the run.
  PlatformChoice platform_ = PlatformChoice::kWindows;
  // The top-ten tables the last window showed, for the next one to start from.
  TopTenTablesShown top_ten_shown_;
};

}  // namespace braxo
