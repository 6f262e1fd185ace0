#include "club/BuiltinAddresses.h"

#include <cstdlib>

#include "club/Scramble.h"
#include "storage/TextFile.h"

namespace braxo {

std::string UnscrambleAddress(std::string_view scrambled, std::uint16_t key) {
  return Cp1251ToUtf8(UnscrambleText(scrambled, key));
}

std::string ConfigPageAddress() {
  const char* override_address = std::getenv("BRAXO_CONFIG_URL");
  if (override_address != nullptr && *override_address != '\0') return override_address;
  return UnscrambleAddress(BuiltinConfigPageAddress(), kConfigKey);
}

std::array<std::string, 2> HelpMirrorAddresses() {
  return {UnscrambleAddress(BuiltinHelpMirror1(), kConfigKey),
          UnscrambleAddress(BuiltinHelpMirror2(), kConfigKey)};
}

SettingsHooks ClubSettingsHooks() {
  SettingsHooks hooks;
  hooks.default_top_ten_address = std::string(BuiltinTopTenAddress());
  hooks.default_stat_address = std::string(BuiltinStatAddress());
  hooks.unscramble_address = [](const std::string& scrambled) {
    return UnscrambleAddress(scrambled, kConfigKey);
  };
  return hooks;
}

}  // namespace braxo
