// Every dialog of the game built for real on the offscreen platform (the club
// windows against a real braxo-club started for the world) and filled as it
// is before it shows, in the world's language: for tests that look at every
// window at once.
#pragma once

#include <QTemporaryDir>
#include <QTest>
#include <QUrl>
#include <functional>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "ClubServerProcess.h"
#include "club/AccountWorkflow.h"
#include "dialogs/AccountWindow.h"
#include "dialogs/ChatWindow.h"
#include "dialogs/ClubWindowKit.h"
#include "dialogs/DialogTestKit.h"
#include "dialogs/InfoWindow.h"
#include "dialogs/NoticeWindow.h"
#include "dialogs/PassportWindow.h"
#include "dialogs/PasswordWindow.h"
#include "dialogs/PersonalInfoWindow.h"
#include "dialogs/StatisticsWindow.h"
#include "dialogs/TopTenEntryWindow.h"
#include "dialogs/TopTenTableWindow.h"
#include "game/LevelGenerator.h"
#include "game/NullPorts.h"
#include "i18n/Language.h"
#include "storage/ChampionsFile.h"
#include "storage/TextFile.h"

namespace braxo::dialogs_test {

// Builds a window in a language and fills it as it is before it shows; the
// windows are kept until the end of the case.
class WindowWorld {
 public:
  WindowWorld()
      : club_(server_.BaseUrl()),
        account_(club_.access, game_.game().Session(), dir_.filePath("KezUser.kez").toStdString()) {
    club_.services.photo_address =
        ScrambleText(server_.BaseUrl() + "photos/", kAccountKey);  // the account pages' photos
    WriteLinesAtomic(champions_path_, NewChampionsTable({}, 0, "rel"));
  }

  InterfaceLanguage& language() { return game_.language(); }
  ClubConnection& club() { return club_; }
  AccountWorkflow& account() { return account_; }
  PictureStore& pictures() { return pictures_; }
  TournamentPassport& passport() { return passport_; }
  const std::string& champions_path() const { return champions_path_; }
  ClubWindowParts Parts() {
    return {game_.language(),
            account_,
            pictures_,
            [](const Notice&) {},
            [](const QUrl&) { return true; },
            [](QWidget*) { return QString(); }};
  }
  std::string& player_name() { return player_name_; }

 private:
  QTemporaryDir dir_;
  testing::ClubServerProcess server_;
  ClubConnection club_;
  dialogs_test::TestGame game_;
  AccountWorkflow account_;
  PictureStore pictures_;
  TournamentPassport passport_ = MakePassport("Ann", "Oslo", "1-035", 'W');
  std::string champions_path_ = dir_.filePath("Braxo.clb").toStdString();
  std::string player_name_ = "Ann";
};

using Windows = std::vector<std::unique_ptr<QWidget>>;

template <typename Window>
Window& Shown(Windows& windows, std::unique_ptr<Window> window) {
  Window& shown = *window;
  shown.show();
  windows.push_back(std::move(window));
  return shown;
}

struct WindowCase {
  const char* name;
  std::function<void(WindowWorld& world, int language, Windows& windows)> open;
};

inline void PrintTo(const WindowCase& c, std::ostream* out) { *out << c.name; }

inline std::vector<WindowCase> WindowCases() {
  return {
      {"Account",
       [](WindowWorld& world, int, Windows& windows) {
         Shown(windows, std::make_unique<AccountWindow>(
                            world.Parts(), AccountWindowPurpose::kAccountIcon, false, nullptr));
       }},
      {"PersonalInfo",
       [](WindowWorld& world, int, Windows& windows) {
         Shown(windows, std::make_unique<PersonalInfoWindow>(world.Parts(), false, nullptr));
       }},
      {"TopTenTable",
       [](WindowWorld& world, int language, Windows& windows) {
         static PlatformChoice platform = PlatformChoice::kWindows;
         Shown(windows,
               std::make_unique<TopTenTableWindow>(world.club().access, world.passport(), platform,
                                                   language, world.pictures(), nullptr, nullptr))
             .DrawTable();
       }},
      {"TopTenEntry",
       [](WindowWorld& world, int language, Windows& windows) {
         Shown(windows, std::make_unique<TopTenEntryWindow>(
                            world.club().access, world.passport(), 1234, language, world.pictures(),
                            nullptr, nullptr, [](QWidget*, const Notice&) {}))
             .PrepareShowing();
       }},
      {"Passport",
       [](WindowWorld& world, int language, Windows& windows) {
         Shown(windows, std::make_unique<PassportWindow>(world.passport(), language,
                                                         world.pictures(), nullptr));
       }},
      {"Chat",
       [](WindowWorld& world, int language, Windows& windows) {
         Shown(windows, std::make_unique<ChatWindow>(world.club().access, world.passport(),
                                                     language, world.pictures(), nullptr, nullptr,
                                                     [](QWidget*, const Notice&) {}))
             .PrepareShowing();
       }},
      {"Statistics",
       [](WindowWorld& world, int language, Windows& windows) {
         static LastUsageStats last;
         StatisticsWindow& window = Shown(
             windows, std::make_unique<StatisticsWindow>(
                          world.club().access, world.club().settings, [] {}, last, language,
                          world.pictures(), nullptr,
                          [](QWidget*, const QString&, const QString& value) { return value; }));
         window.PrepareShowing();
         // Measured filled: the note under the grid is the reading's until then.
         ASSERT_TRUE(QTest::qWaitFor([&window] { return !window.ReadingClub(); }, 10000));
       }},
      {"Passwords",
       [](WindowWorld& world, int, Windows& windows) {
         // The mode passwords and the champion's name share one window.
         for (PasswordPrompt prompt :
              {PasswordPrompt::kExtraPassword, PasswordPrompt::kSuperPassword,
               PasswordPrompt::kChampionName}) {
           auto window = std::make_unique<PasswordWindow>(world.language(), world.player_name(),
                                                          world.pictures(), nullptr);
           window->Prepare(prompt, "secret1");
           Shown(windows, std::move(window));
         }
       }},
      {"Information",
       [](WindowWorld& world, int, Windows& windows) {
         static ChampionsFile champions(world.champions_path());
         static Options options;
         for (InfoPage page : {InfoPage::kAbout, InfoPage::kOptions, InfoPage::kChampions}) {
           auto window = std::make_unique<InfoWindow>(
               world.language(), champions, world.pictures(),
               InfoContacts{{QUrl("https://club.example.org/"), QUrl("https://club.example.org/")},
                            QUrl("mailto:club@club.example.org")},
               nullptr, [](const QUrl&) { return true; });
           window->AttachOptions(&options, [] {});
           window->Prepare(page, [](int) {});
           Shown(windows, std::move(window));
         }
       }},
      {"Notices",
       [](WindowWorld& world, int, Windows& windows) {
         using enum MsgId;
         for (MsgId id : {MsgTopTenUnavailable, MsgChatUnavailable, MsgCannotConnect,
                          MsgGameNotOnRating, MsgResultNotWritten, MsgMessageNotSent,
                          MsgAccountCreated, MsgNickTaken, MsgAccountNotCreated, MsgLoginFailed,
                          MsgCopied, MsgPhotoFormat, MsgPhotoUploadFailed, MsgPhotoUploaded}) {
           Shown(windows, std::make_unique<NoticeWindow>(Notice{world.language().Text(id), "", ""},
                                                         nullptr));
         }
         const std::string help = "http://127.0.0.1:8676/help/" +
                                  std::string(Language(world.language().Index()).code) + ".html";
         Shown(windows, std::make_unique<NoticeWindow>(
                            Notice{world.language().Text(MsgNoBrowser), "", help}, nullptr));
       }},
  };
}

}  // namespace braxo::dialogs_test
