// The club addresses built into the program. They are made at build time from
// the CMake cache option BRAXO_CLUB_BASE_URL and kept only in scrambled form:
//   configuration page  <base>config     (kConfigKey)
//   tournament and chat <base>topten     (kConfigKey, default of top_ten_address)
//   usage statistics    <base>stat       (kConfigKey, default of stat_address)
//   account service     <base>account    (kAccountKey, default of account_address)
//   members' photos     <base>photos/    (kAccountKey, folder; nick + ".jpg" follows)
// and the two web sites of the help page from BRAXO_HELP_MIRROR_1 and
// BRAXO_HELP_MIRROR_2 (kConfigKey, without a trailing "/").
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "storage/SettingsFile.h"

namespace braxo {

std::string_view BuiltinConfigPageAddress();
std::string_view BuiltinTopTenAddress();
std::string_view BuiltinStatAddress();
std::string_view BuiltinAccountAddress();
std::string_view BuiltinPhotoFolderAddress();
std::string_view BuiltinHelpMirror1();
std::string_view BuiltinHelpMirror2();

// The plain (UTF-8) form of a scrambled address.
std::string UnscrambleAddress(std::string_view scrambled, std::uint16_t key);

// The address of the configuration page: the environment variable
// BRAXO_CONFIG_URL when it is set and not empty (tests, and players who host
// their own club), otherwise the built-in one.
std::string ConfigPageAddress();

// The two help sites in plain form, without a trailing "/".
std::array<std::string, 2> HelpMirrorAddresses();

// The built-in defaults and the kConfigKey unscrambling that LoadSettings needs.
SettingsHooks ClubSettingsHooks();

}  // namespace braxo
