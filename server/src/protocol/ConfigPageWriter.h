// The configuration page the game reads at start-up (club/ConfigPage.h):
// where the club's services are, whether the tournament and the chat are
// open, the links and the announcement.
#pragma once

#include <string>

namespace braxo::club {

// What the operator sets on the configuration page.
struct ConfigPageSettings {
  std::string public_url;  // ends with "/"
  std::string ftp_url;
  bool tournament_available = true;
  bool chat_available = true;
  bool announcement_show = false;
  std::string announcement_text, announcement_text2, announcement_link;
  std::string download_link, store_link;
};

// The page (UTF-8): the service addresses scrambled as the game unscrambles
// them, the pause keys, the links and the announcement.
std::string WriteConfigPage(const ConfigPageSettings& settings);

}  // namespace braxo::club
