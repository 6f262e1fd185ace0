// The remote configuration page: how its keys are read, and how it steers the
// club services at start-up. Plain C++; fetching the page is in ClubClient.h.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "club/wire/WireConstants.h"
#include "storage/SettingsFile.h"

namespace braxo {

// The page's text as UTF-8, or nothing when the fetch failed. A start-up
// fetches the page once and hands the same text to every reader.
using ConfigPageText = std::optional<std::string>;

// The club service state that is not a setting, owned by the application.
struct ClubServiceState {
  // The account service address, scrambled with kAccountKey for the whole run;
  // empty until the remote configuration is applied.
  std::string account_address;
  // The members' photo folder ("PhotoPath") and the photo upload address
  // ("FtpPath") from the configuration page, scrambled with kAccountKey; empty
  // when the page has none (photos then come from the built-in folder).
  std::string photo_address;
  std::string ftp_address;
  bool top_ten_available = false;
  bool chat_available = false;
  int game_id = wire::kGameId;
  // Put directly in front of the per-game field names of the account service.
  std::string game_field_prefix = std::string(wire::kGameFieldPrefix);
};

// The value of the first occurrence of `key` anywhere in the page (case-
// sensitive, not anchored to line starts). It starts one character after the
// key, whatever that character is, and runs up to, not including, the next
// "#", or to the end of the page. Nothing when the key is absent.
std::optional<std::string> FindConfigValue(std::string_view page, std::string_view key);

// Where that value starts in the page: the byte after the key and the one
// (UTF-8) character that follows it. Nothing when the key is absent.
std::optional<std::size_t> FindConfigValueStart(std::string_view page, std::string_view key);

// The tournament part of the page: `result` is "old", "pause" or a scrambled
// address (kConfigKey). A failed fetch gives "old" with the chat available.
// A "WTGamesPatt" value that cannot be a scrambled address (empty, or holding
// characters outside the 64-character table once surrounding white space is
// dropped) counts as absent: "old".
struct TopTenConfig {
  std::string result;
  bool chat_available = true;
};
TopTenConfig FetchTopTenConfig(const ConfigPageText& page);

// The scrambled "StatPath" (kConfigKey) and "AccPath" (kAccountKey) values, or
// empty when the fetch failed, the key is absent or its value cannot be a
// scrambled address (as above).
std::string FetchStatConfig(const ConfigPageText& page);
std::string FetchAccountConfig(const ConfigPageText& page);
// The same for "PhotoPath" and "FtpPath" (both kAccountKey).
std::string FetchPhotoConfig(const ConfigPageText& page);
std::string FetchFtpConfig(const ConfigPageText& page);

// Runs the three readers in order and updates the service state: a paused
// tournament becomes unavailable, "old" keeps the stored address, a new address
// replaces both forms of top_ten_address; a StatPath replaces both forms of
// stat_address; account_address becomes the built-in default, replaced by an
// AccPath when there is one; a PhotoPath and an FtpPath are kept as they come.
// Call it only after a complete settings load.
void ApplyRemoteConfig(const ConfigPageText& page, Settings& settings, ClubServiceState& services);

}  // namespace braxo
