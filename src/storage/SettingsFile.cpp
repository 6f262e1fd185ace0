#include "storage/SettingsFile.h"

#include <sys/stat.h>

#include <array>
#include <optional>
#include <vector>

#include "i18n/CountryCatalogue.h"
#include "storage/ChampionsFile.h"
#include "storage/DataPaths.h"
#include "storage/TextFile.h"

namespace braxo {
namespace {

constexpr size_t kSettingsLineCount = 16;
constexpr size_t kNameLength = 12;
constexpr size_t kNickLength = 12;
constexpr size_t kCityLength = 15;

// Renaming a temporary file over the target ignores the target's own
// permissions, so a write-protected file has to be recognised first.
bool IsWriteProtected(const std::string& path) {
  struct stat info {};
  return ::stat(path.c_str(), &info) == 0 && !IsWritable(path);
}

// One line of the file: a line break inside would shift every later line.
std::string LineText(std::string bytes) {
  for (char& c : bytes) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return bytes;
}

// Nothing when the text cannot be converted: the file is then not written.
std::optional<std::string> FileText(const std::string& utf8) {
  std::optional<std::string> bytes = TryUtf8ToCp1251(utf8);
  if (!bytes) return std::nullopt;
  return LineText(std::move(*bytes));
}

std::optional<std::vector<std::string>> ReadSettingsLines(const std::string& path) {
  std::optional<std::vector<std::string>> lines = ReadLines(path);
  if (!lines) lines = ReadLines(path);
  return lines;
}

// Step by step, each value only when every earlier one was taken.
bool TakeServerValues(const std::vector<std::string>& lines, const SettingsHooks& hooks,
                      Settings& settings) {
  const auto line = [&lines](size_t number) -> const std::string& { return lines[number - 1]; };

  if (line(6).empty() || line(6).size() > kMaxScrambledAddressBytes) return false;
  settings.top_ten_address.scrambled = line(6);
  if (hooks.unscramble_address) {
    settings.top_ten_address.plain = hooks.unscramble_address(line(6));
  }

  if (line(8).empty()) return false;
  settings.passport.nick = Cp1251ToUtf8(line(8).substr(0, kNickLength));

  if (line(10).size() != 5) return false;
  if (IsValidCountryCode(line(10))) settings.passport.country_code = line(10);

  if (line(12).empty()) return false;
  settings.passport.city = Cp1251ToUtf8(line(12).substr(0, kCityLength));

  if (line(14).empty()) return false;
  settings.passport.sex = line(14)[0] == 'W' ? 'W' : 'M';

  if (line(16).empty() || line(16).size() > kMaxScrambledAddressBytes) return false;
  settings.stat_address.scrambled = line(16);
  if (hooks.unscramble_address) {
    settings.stat_address.plain = hooks.unscramble_address(line(16));
  }
  return true;
}

}  // namespace

LoadOutcome LoadSettings(const SettingsPaths& paths, const SettingsHooks& hooks,
                         Settings& settings) {
  settings.language_index = ChampionsFile(paths.champions_file).ReadLanguageDigit();

  settings.unique_start_counted = true;
  settings.like_sent = true;
  settings.top_ten_address.scrambled = hooks.default_top_ten_address;
  settings.stat_address.scrambled = hooks.default_stat_address;
  settings.passport = TournamentPassport{};

  const std::optional<std::vector<std::string>> lines = ReadSettingsLines(paths.settings_file);
  if (!lines || lines->size() < kSettingsLineCount) return LoadOutcome::kNoFile;

  const std::string& flags = (*lines)[1];
  if (flags.size() < 2) return LoadOutcome::kStoppedEarly;
  settings.unique_start_counted = flags[0] == 'R';
  settings.like_sent = flags[1] == 'L';

  // The name window takes 12 characters, and the champions table has room
  // for as many.
  settings.player_name =
      (*lines)[3].empty() ? "Incognito" : Cp1251ToUtf8((*lines)[3].substr(0, kNameLength));

  return TakeServerValues(*lines, hooks, settings) ? LoadOutcome::kComplete
                                                   : LoadOutcome::kStoppedEarly;
}

SaveOutcome SaveSettings(const SettingsPaths& paths, const Settings& settings) {
  SaveOutcome outcome;

  const ChampionsFile champions(paths.champions_file);
  outcome.champions_file_updated = champions.ReadLanguageDigit() != settings.language_index &&
                                   champions.WriteLanguageDigit(settings.language_index);

  if (IsWriteProtected(paths.settings_file)) return outcome;
  const std::optional<std::vector<std::string>> lines = SettingsLines(settings);
  if (!lines) return outcome;
  outcome.settings_file_written = WriteLinesAtomic(paths.settings_file, *lines);
  return outcome;
}

std::optional<std::vector<std::string>> SettingsLines(const Settings& settings) {
  std::string flags;
  flags += settings.unique_start_counted ? 'R' : '#';
  flags += settings.like_sent ? 'L' : '#';
  const std::optional<std::string> name = FileText(settings.player_name);
  const std::optional<std::string> nick = FileText(settings.passport.nick);
  const std::optional<std::string> city = FileText(settings.passport.city);
  if (!name || !nick || !city) return std::nullopt;
  return std::vector<std::string>{
      "<# X1, X2>",
      flags,
      "<# Name>",
      *name,
      "<# Server: Path>",
      LineText(settings.top_ten_address.scrambled),
      "<# Server: Nick>",
      *nick,
      "<# Server: Country>",
      LineText(settings.passport.country_code),
      "<# Server: City>",
      *city,
      "<# Server: Sex>",
      LineText(std::string(1, settings.passport.sex)),
      "<# Server: Stat>",
      LineText(settings.stat_address.scrambled),
  };
}

Settings NewInstallationSettings(const SettingsHooks& hooks) {
  Settings settings;
  settings.unique_start_counted = false;
  settings.like_sent = false;
  settings.top_ten_address.scrambled = hooks.default_top_ten_address;
  settings.stat_address.scrambled = hooks.default_stat_address;
  return settings;
}

}  // namespace braxo
