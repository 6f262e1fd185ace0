#include "club/ConfigPage.h"

#include "club/BuiltinAddresses.h"
#include "club/Scramble.h"
#include "club/wire/ConfigPageKeys.h"

namespace braxo {
namespace {

bool IsUtf8Continuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

// A scrambled address goes into the settings file as one line; a value with a
// line break or other stray bytes would shift or spoil that file, and could
// never name a server anyway.
std::string ScrambledAddressValue(const std::optional<std::string>& value) {
  if (!value) return {};
  std::string_view text = *value;
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  if (text.size() > kMaxScrambledAddressBytes || !IsText64(text)) return {};
  return std::string(text);
}

}  // namespace

std::optional<size_t> FindConfigValueStart(std::string_view page, std::string_view key) {
  const size_t key_pos = page.find(key);
  if (key_pos == std::string_view::npos) return std::nullopt;
  size_t start = key_pos + key.size();
  // One character is skipped, which in UTF-8 may be several bytes.
  if (start < page.size()) {
    ++start;
    while (start < page.size() && IsUtf8Continuation(page[start])) ++start;
  }
  return start;
}

std::optional<std::string> FindConfigValue(std::string_view page, std::string_view key) {
  const std::optional<size_t> start = FindConfigValueStart(page, key);
  if (!start) return std::nullopt;
  const size_t end = page.find('#', *start);
  return std::string(page.substr(*start, end == std::string_view::npos ? end : end - *start));
}

TopTenConfig FetchTopTenConfig(const ConfigPageText& page) {
  if (!page) return {"old", true};
  TopTenConfig config;
  config.chat_available = page->find(wire::config_key::kChatPause) == std::string::npos;
  if (page->find(wire::config_key::kTopTenPause) != std::string::npos) {
    config.result = "pause";
    return config;
  }
  config.result = ScrambledAddressValue(FindConfigValue(*page, wire::config_key::kTopTenAddress));
  if (config.result.empty()) config.result = "old";
  return config;
}

std::string FetchStatConfig(const ConfigPageText& page) {
  if (!page) return {};
  return ScrambledAddressValue(FindConfigValue(*page, wire::config_key::kStatAddress));
}

std::string FetchAccountConfig(const ConfigPageText& page) {
  if (!page) return {};
  return ScrambledAddressValue(FindConfigValue(*page, wire::config_key::kAccountAddress));
}

std::string FetchPhotoConfig(const ConfigPageText& page) {
  if (!page) return {};
  return ScrambledAddressValue(FindConfigValue(*page, wire::config_key::kPhotoFolder));
}

std::string FetchFtpConfig(const ConfigPageText& page) {
  if (!page) return {};
  return ScrambledAddressValue(FindConfigValue(*page, wire::config_key::kPhotoUpload));
}

void ApplyRemoteConfig(const ConfigPageText& page, Settings& settings, ClubServiceState& services) {
  const TopTenConfig top_ten = FetchTopTenConfig(page);
  if (top_ten.result == "pause") {
    services.top_ten_available = false;
  } else {
    services.top_ten_available = true;
    if (top_ten.result != "old") {
      settings.top_ten_address.scrambled = top_ten.result;
      settings.top_ten_address.plain = UnscrambleAddress(top_ten.result, kConfigKey);
    }
  }
  services.chat_available = top_ten.chat_available;

  const std::string stat = FetchStatConfig(page);
  if (!stat.empty()) {
    settings.stat_address.scrambled = stat;
    settings.stat_address.plain = UnscrambleAddress(stat, kConfigKey);
  }

  services.account_address = std::string(BuiltinAccountAddress());
  std::string account = FetchAccountConfig(page);
  if (!account.empty()) services.account_address = std::move(account);
  services.photo_address = FetchPhotoConfig(page);
  services.ftp_address = FetchFtpConfig(page);
}

}  // namespace braxo
