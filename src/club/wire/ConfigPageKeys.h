// The keys of the configuration page, which the club writes and the game
// reads at start-up (ConfigPage.h, Announcements.h). Each is followed by one
// character, "=" on the club's page, and its value up to the next "#".
#pragma once

#include <string_view>

namespace braxo::wire::config_key {

// Present (with any value) while the operator pauses the tournament or the chat.
inline constexpr std::string_view kTopTenPause = "WTGamesPause";
inline constexpr std::string_view kChatPause = "CTGamesPause";
// The service addresses, scrambled.
inline constexpr std::string_view kTopTenAddress = "WTGamesPatt";
inline constexpr std::string_view kStatAddress = "StatPath";
inline constexpr std::string_view kAccountAddress = "AccPath";
inline constexpr std::string_view kPhotoFolder = "PhotoPath";
inline constexpr std::string_view kPhotoUpload = "FtpPath";
// The links to the game's downloads.
inline constexpr std::string_view kDownloadLink = "DownLoad_Link_Braxo";
inline constexpr std::string_view kStoreLink = "Google_Play_Link_Braxo";
// The announcement: shown flag, two texts, a link and a fifth value.
inline constexpr std::string_view kAnnouncement = "NewsBraxo2.5";

}  // namespace braxo::wire::config_key
