#include "AccountScene.h"

#include <QApplication>
#include <cstdio>
#include <exception>

#include "ClubServerProcess.h"
#include "club/AccountWorkflow.h"
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
  user.nick = member.nick;
  user.password = kPassword;
  user.scrambled_password = ScramblePassword(kPassword);
  user.city = member.city;
  user.country_code = member.country;
  user.country_name = std::string(CountryCode::Parse(member.country)->Info().server_name);
  user.sex = member.sex;
  user.email = std::string(member.nick) + "@example.org";
  user.registered_on = "14.03.2026";
  user.reserved_r01 = user.reserved_r02 = user.reserved_r03 = "xxx";
  if (club.CreateAccount(user) != 0) return false;
  ClubSession session;
  const LoginReply login = club.LoginAccount(member.nick, kPassword);
  if (!login.ok) return false;
  session.current_user = login.user;
  session.current_user.password = kPassword;
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
    services.account_address = ScrambleText(server.BaseUrl() + "account", kAccountKey);
    services.photo_address = ScrambleText(server.BaseUrl() + "photos/", kAccountKey);
    Settings settings;
    ClubAccess club(client, services, settings);
    for (const Member& member : kMembers) {
      if (!AddMember(club, member)) {
        std::fprintf(stderr, "the club did not take %s\n", member.nick);
        return false;
      }
    }
    PersonalInfo chairman;
    chairman.first_name = "Marta";
    chairman.last_name = "Lind";
    chairman.about = "Five boards before breakfast";
    chairman.website = "https://marta.example.org";
    club.SavePersonalInfo("Marta", chairman);

    testing::NullPorts world;
    const LoginReply login = club.LoginAccount("Kenji", kPassword);
    if (!login.ok) return false;
    world.session.current_user = login.user;
    world.session.current_user.password = kPassword;
    world.session.current_user.scrambled_password = ScramblePassword(kPassword);
    world.session.account_state = AccountState::kLoggedIn;

    AccountWorkflow account(club, world.session, "");
    ClubWindowParts parts{world.language, account, pictures, [](const Notice&) {}};
    AccountWindow window(std::move(parts), AccountWindowPurpose::kPreGameCheck,
                         /*game_in_progress=*/false, nullptr);
    window.show();
    QApplication::processEvents();
    bool ok = window.grab().save(out.filePath("account.png"));
    window.PageTabs().setCurrentIndex(kPageTopTen);
    QApplication::processEvents();
    ok = window.grab().save(out.filePath("account-top10.png")) && ok;
    return ok;
  } catch (const std::exception& error) {
    std::fprintf(stderr, "no club for the account scene: %s\n", error.what());
    return false;
  }
}

}  // namespace braxo
