// The settings file "Braxo.ini" and the language digit kept in the champions
// file "Braxo.clb" (line 12, byte 1).
#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace braxo {

// A club service address in both forms: the scrambled one kept in the
// settings file, and the plain one (UTF-8) that requests are sent to.
struct ServiceAddress {
  std::string scrambled;
  std::string plain;
};

// The player's tournament identity. Texts are UTF-8 in memory and
// Windows-1251 in the file.
struct TournamentPassport {
  std::string nick = "Incognito";      // at most 12 characters of the 8-bit code page
  std::string country_code = "1-001";  // a CountryCode
  std::string city = "Moscow";         // at most 15 characters of the 8-bit code page
  char sex = 'M';                      // 'M' or 'W'
};

struct Settings {
  int language_index = 0;  // 0 to 9
  // The start report goes out as a new installation while this is clear.
  bool unique_start_counted = true;
  // The "like" has been sent from this installation.
  bool like_sent = true;
  // The name first offered for the champions table, UTF-8.
  std::string player_name;
  ServiceAddress top_ten_address;  // the tournament and chat service
  TournamentPassport passport;
  ServiceAddress stat_address;  // the usage statistics service
};

// The two files; the application decides their directory.
struct SettingsPaths {
  std::string settings_file;   // Braxo.ini
  std::string champions_file;  // Braxo.clb
};

// What the settings file needs from the club layer, which storage does not
// depend on: the built-in scrambled addresses and how a scrambled address
// from the file becomes its plain form.
struct SettingsHooks {
  std::string default_top_ten_address;
  std::string default_stat_address;
  std::function<std::string(const std::string& scrambled)> unscramble_address;
};

enum class LoadOutcome {
  kNoFile,        // missing, unreadable, or fewer than 16 lines: defaults only
  kStoppedEarly,  // a value failed its test; it and every later value kept the default
  kComplete,      // every value was taken: the caller applies the remote configuration
};

// Scrambled addresses longer than this, from the file or the configuration
// page, are not addresses; they fail their test.
inline constexpr std::size_t kMaxScrambledAddressBytes = 1024;

// Reads the language digit (ChampionsFile::ReadLanguageDigit), sets the defaults (the plain address
// forms and player_name are left as they are) and takes the file's values in order until the first
// one that fails its test. Never fails loudly.
LoadOutcome LoadSettings(const SettingsPaths& paths, const SettingsHooks& hooks,
                         Settings& settings);

struct SaveOutcome {
  bool champions_file_updated = false;
  bool settings_file_written = false;
};

// Puts language_index into the champions file (ChampionsFile::WriteLanguageDigit:
// only an intact, writable table is ever rewritten) and rewrites the settings
// file completely (WriteFileAtomic). A write-protected settings file (see
// IsWritable in DataPaths.h) is left as it is, and so is the file when a text
// cannot be converted to the 8-bit code page. Line breaks inside values are
// written as spaces so that the file keeps its 16 lines.
SaveOutcome SaveSettings(const SettingsPaths& paths, const Settings& settings);

// The sixteen lines SaveSettings writes, or nothing when a text cannot be
// converted to the 8-bit code page.
std::optional<std::vector<std::string>> SettingsLines(const Settings& settings);

// The settings of a new installation, as the game ships them beside its
// champions table: the start not yet counted, no like sent, the built-in
// addresses (scrambled; their plain forms come when the file is read).
Settings NewInstallationSettings(const SettingsHooks& hooks);

}  // namespace braxo
