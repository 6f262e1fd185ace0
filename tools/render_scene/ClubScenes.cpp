#include "ClubScenes.h"

#include <QApplication>
#include <string>

#include "TestHttpServer.h"
#include "club/ClubAccess.h"
#include "club/ClubClient.h"
#include "dialogs/ChatWindow.h"
#include "dialogs/TopTenTableWindow.h"

namespace braxo {
namespace {

using testing::CannedResponse;
using testing::RecordedRequest;

// Entries as the club sends them: place, table, score, nick, country, city,
// sex, version, time stamp, text.
constexpr const char* kWindowsTable =
    "$1 76 5820 Marta 1-043 Sevilla W 2.7 # #*"
    "$2 76 5610 Kenji 2-020 Osaka M 2.7 # #*"
    "$3 76 5530 Olga 1-001 Kazan W 2.7 # #*"
    "$4 76 5475 Lucas 4-003 Recife M 2.7 # #*"
    "$5 76 5390 Emma 1-016 Bremen W 2.7 # #*"
    "$6 76 5310 Noah 3-034 Denver M 2.7 # #*"
    "$7 76 5240 Aroha 5-011 Nelson W 2.7 # #*"
    "$8 76 5175 Kwame 6-021 Kumasi M 2.7 # #*"
    "$9 76 5080 Ingrid 1-035 Bergen W 2.7 # #*"
    "$10 76 4995 Tomas 1-010 Brno M 2.7 # #*";
constexpr const char* kOwnResults =
    "$6 76 5310 Noah 3-034 Denver M 2.7 # #*"
    "$14 76 4720 Noah 3-034 Denver M 2.7 # #*";
constexpr const char* kChat =
    "$1 100 7 Noah 3-034 Denver M 2.7 18:42:10_14.03.2026_Braxo Good_luck_everyone!*"
    "$2 100 6 Olga 1-001 Kazan W 2.7 18:40:55_14.03.2026_Braxo Level_5_in_Super_mode,_finally!*"
    "$3 100 5 Kenji 2-020 Osaka M 2.7 18:37:02_14.03.2026_Braxo Which_board_is_the_hardest?*"
    "$4 100 4 Marta 1-043 Sevilla W 2.7 18:30:41_14.03.2026_Braxo 5820_today_:)*"
    "$5 100 3 Emma 1-016 Bremen W 2.7 18:21:17_14.03.2026_Braxo Hello_from_Bremen!*"
    "$6 100 2 Kwame 6-021 Kumasi M 2.7 18:15:09_14.03.2026_Braxo Nice_new_tiles*"
    "$7 100 1 Aroha 5-011 Nelson W 2.7 18:02:33_14.03.2026_Braxo Kia_ora!*";

CannedResponse Answer(const RecordedRequest& request) {
  CannedResponse response;
  const std::string& body = request.body;
  if (body.rfind("rgid=", 0) == 0) {
    response.body = "$1284";
  } else if (body.find("nick=") != std::string::npos) {
    response.body = kOwnResults;
  } else if (body == "gid=100") {
    response.body = kChat;
  } else {
    response.body = kWindowsTable;
  }
  return response;
}

}  // namespace

bool RenderClubWindows(const QDir& out, PictureStore& pictures) {
  testing::TestHttpServer club(Answer);
  ClubClient client;
  ClubServiceState services;
  Settings settings;
  settings.top_ten_address.plain = club.Url("topten");
  ClubAccess access(client, services, settings);
  settings.passport.nick = "Noah";
  settings.passport.city = "Denver";
  settings.passport.country_code = "3-034";

  PlatformChoice platform = PlatformChoice::kWindows;
  TopTenTableWindow table(access, settings.passport, platform, 0, pictures, nullptr, nullptr);
  table.DrawTable();
  table.show();
  QApplication::processEvents();
  bool ok = table.grab().save(out.filePath("top-ten.png"));
  table.hide();

  ChatWindow chat(access, settings.passport, 0, pictures, nullptr, nullptr);
  chat.PrepareShowing();
  chat.InputLine().setText(QStringLiteral("See you in the tournament"));
  chat.show();
  chat.InputLine().deselect();
  QApplication::processEvents();
  ok = chat.grab().save(out.filePath("chat.png")) && ok;
  chat.hide();
  return ok;
}

}  // namespace braxo
