#include "AccountScene.h"

#include <QApplication>
#include <cstdio>
#include <exception>

#include "ClubServerProcess.h"
#include "club/ClubAccess.h"
#include "club/ClubClient.h"
#include "club/Scramble.h"
#include "dialogs/AccountWindow.h"
#include "game/NullPorts.h"

namespace braxo {
namespace {

struct Member {
  const char* nick;
  const char* city;
  const char* country;
  char sex;
  int score;
};

constexpr Member kMembers[] = {
    {"Marta", "Bergen", "1-035", 'W', 5200},  {"Kenji", "Osaka", "2-020", 'M', 4700},
    {"Lucia", "Cordoba", "4-001", 'W', 3900}, {"Tom_B", "Leeds", "1-048", 'M', 3100},
    {"Ines", "Porto", "1-037", 'W', 2500},
};  // five: the club takes no more new accounts from one address a day
constexpr char kPassword[] = "scene42";

bool AddMember(ClubAccess& club, const Member& member) {
  MemberAccount user;
  user.Nick = member.nick;
  user.Pw = kPassword;
  user.PwC = ScramblePassword(kPassword);
  user.City = member.city;
  user.Country2 = member.country;
  user.Country1 = std::string(CountryCode::Parse(member.country)->Info().server_name);
  user.Sex = member.sex;
  user.EMail = std::string(member.nick) + "@example.org";
  user.DateR = "14.03.2026";
  user.R01 = user.R02 = user.R03 = "xxx";
  if (club.CreateAccount(user) != 0) return false;
  ClubSession session;
  const LoginReply login = club.LoginAccount(member.nick, kPassword);
  if (!login.ok) return false;
  session.current_user = login.user;
  session.current_user.Pw = kPassword;
  session.account_state = AccountState::kRated;
  return club.RegisterRatedGame(session) &&
         club.SaveRatedResult(session, member.score) == RatedSave::kSaved;
}

}  // namespace

bool RenderAccountScene(PictureStore& pictures, const QDir& out) {
  try {
    testing::ClubServerProcess server;
    ClubClient client;
    ClubServiceState services;
    services.AccountAddress = ScrambleText(server.BaseUrl() + "account", kAccountKey);
    services.PhotoAddress = ScrambleText(server.BaseUrl() + "photos/", kAccountKey);
    Settings settings;
    ClubAccess club(client, services, settings);
    for (const Member& member : kMembers) {
      if (!AddMember(club, member)) {
        std::fprintf(stderr, "the club did not take %s\n", member.nick);
        return false;
      }
    }
    PersonalInfo chairman;
    chairman.Name1 = "Marta";
    chairman.Name2 = "Lind";
    chairman.About = "Five boards before breakfast";
    chairman.WebSite = "https://marta.example.org";
    club.SavePersonalInfo("Marta", chairman);

    testing::NullPorts world;
    const LoginReply login = club.LoginAccount("Kenji", kPassword);
    if (!login.ok) return false;
    world.session.current_user = login.user;
    world.session.current_user.Pw = kPassword;
    world.session.current_user.PwC = ScramblePassword(kPassword);
    world.session.account_state = AccountState::kLoggedIn;

    ClubWindowParts parts{world.language, world.session,       club, services, "",
                          pictures,       [](const Notice&) {}};
    AccountWindow window(std::move(parts), AccountWindowPurpose::kPreGameCheck,
                         /*game_in_progress=*/false, nullptr);
    window.show();
    QApplication::processEvents();
    bool ok = window.grab().save(out.filePath("account.png"));
    window.PageControl1().setCurrentIndex(kPageTopTen);
    QApplication::processEvents();
    ok = window.grab().save(out.filePath("account-top10.png")) && ok;
    return ok;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "no club for the account scene: %s\n", error.what());
    return false;
  }
}

}  // namespace braxo
