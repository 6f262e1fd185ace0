#include "protocol/ConfigPageWriter.h"

#include <string_view>

#include "club/Scramble.h"
#include "club/wire/ConfigPageKeys.h"

namespace braxo::club {
namespace {

// One line of the page: the key, "=", the value and the "#" that ends it.
std::string Line(std::string_view key, std::string_view value) {
  std::string line(key);
  line += '=';
  line += value;
  line += "#\n";
  return line;
}

}  // namespace

std::string WriteConfigPage(const ConfigPageSettings& s) {
  using namespace wire::config_key;
  std::string page;
  if (!s.tournament_available) page += Line(kTopTenPause, "");
  if (!s.chat_available) page += Line(kChatPause, "");
  page += Line(kTopTenAddress, ScrambleText(s.public_url + "topten", kConfigKey));
  page += Line(kStatAddress, ScrambleText(s.public_url + "stat", kConfigKey));
  page += Line(kAccountAddress, ScrambleText(s.public_url + "account", kAccountKey));
  page += Line(kPhotoFolder, ScrambleText(s.public_url + "photos/", kAccountKey));
  page += Line(kPhotoUpload, ScrambleText(s.ftp_url, kAccountKey));
  if (!s.download_link.empty()) page += Line(kDownloadLink, s.download_link);
  if (!s.store_link.empty()) page += Line(kStoreLink, s.store_link);
  // The announcement's five values, each ended by "#".
  page +=
      Line(kAnnouncement, std::string(s.announcement_show ? "Y" : "N") + "#" + s.announcement_text +
                              "#" + s.announcement_text2 + "#" + s.announcement_link + "#0");
  return page;
}

}  // namespace braxo::club
