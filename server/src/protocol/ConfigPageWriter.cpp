#include "protocol/ConfigPageWriter.h"

#include "club/Scramble.h"

namespace braxo::club {

std::string WriteConfigPage(const ConfigPageSettings& s) {
  std::string page;
  if (!s.tournament_available) page += "WTGamesPause=#\n";
  if (!s.chat_available) page += "CTGamesPause=#\n";
  page += "WTGamesPatt=" + ScrambleText(s.public_url + "topten", kConfigKey) + "#\n";
  page += "StatPath=" + ScrambleText(s.public_url + "stat", kConfigKey) + "#\n";
  page += "AccPath=" + ScrambleText(s.public_url + "account", kAccountKey) + "#\n";
  page += "PhotoPath=" + ScrambleText(s.public_url + "photos/", kAccountKey) + "#\n";
  page += "FtpPath=" + ScrambleText(s.ftp_url, kAccountKey) + "#\n";
  if (!s.download_link.empty()) page += "DownLoad_Link_Braxo=" + s.download_link + "#\n";
  if (!s.store_link.empty()) page += "Google_Play_Link_Braxo=" + s.store_link + "#\n";
  page += std::string("NewsBraxo2.5=") + (s.announcement_show ? "Y" : "N") + "#" +
          s.announcement_text + "#" + s.announcement_text2 + "#" + s.announcement_link + "#0#\n";
  return page;
}

}  // namespace braxo::club
