#include "storage/SettingsFile.h"

#include "i18n/CountryCatalogue.h"

#include <sys/stat.h>

#include <array>
#include <optional>
#include <vector>

#include "storage/DataPaths.h"
#include "storage/TextFile.h"

namespace braxo {
namespace {

constexpr size_t kSettingsLineCount = 16;
constexpr size_t kChampionsLineCount = 12;
constexpr size_t kLanguageLine = 12;
constexpr size_t kNickLength = 12;
constexpr size_t kCityLength = 15;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

// Renaming a temporary file over the target ignores the target's own
// permissions, so a write-protected file has to be recognised first.
bool IsWriteProtected(const std::string& path) {
  struct stat info;
  return ::stat(path.c_str(), &info) == 0 && !IsWritable(path);
}

// One line of the file: a line break inside would shift every later line.
std::string LineText(std::string bytes) {
  for (char& c : bytes) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return bytes;
}

std::string FileText(const std::string& utf8) { return LineText(Utf8ToCp1251(utf8)); }

std::optional<std::vector<std::string>> ReadSettingsLines(const std::string& path) {
  std::optional<std::vector<std::string>> lines = ReadLines(path);
  if (!lines) lines = ReadLines(path);
  return lines;
}

void ReadLanguageDigit(const std::string& champions_file, Settings& settings) {
  settings.LanguageIndex = 0;
  const std::optional<std::vector<std::string>> lines = ReadLines(champions_file);
  if (!lines || lines->size() < kLanguageLine) return;
  const std::string& line = (*lines)[kLanguageLine - 1];
  if (!line.empty() && IsDigit(line[0])) settings.LanguageIndex = line[0] - '0';
}

// Step by step, each value only when every earlier one was taken.
bool TakeServerValues(const std::vector<std::string>& lines, const SettingsHooks& hooks,
                      Settings& settings) {
  const auto line = [&lines](size_t number) -> const std::string& { return lines[number - 1]; };

  if (line(6).empty()) return false;
  settings.TopTenAddress.scrambled = line(6);
  if (hooks.unscramble_address) {
    settings.TopTenAddress.plain = hooks.unscramble_address(line(6));
  }

  if (line(8).empty()) return false;
  settings.Passport.Nick = Cp1251ToUtf8(line(8).substr(0, kNickLength));

  if (line(10).size() != 5) return false;
  if (IsValidCountryCode(line(10))) settings.Passport.Country = line(10);

  if (line(12).empty()) return false;
  settings.Passport.City = Cp1251ToUtf8(line(12).substr(0, kCityLength));

  if (line(14).empty()) return false;
  settings.Passport.Sex = line(14)[0] == 'W' ? 'W' : 'M';

  if (line(16).empty()) return false;
  settings.StatAddress.scrambled = line(16);
  if (hooks.unscramble_address) {
    settings.StatAddress.plain = hooks.unscramble_address(line(16));
  }
  return true;
}

}  // namespace

LoadOutcome LoadSettings(const SettingsPaths& paths, const SettingsHooks& hooks,
                         Settings& settings) {
  ReadLanguageDigit(paths.champions_file, settings);

  settings.UniqueStartCounted = true;
  settings.LikeSent = true;
  settings.TopTenAddress.scrambled = hooks.default_top_ten_address;
  settings.StatAddress.scrambled = hooks.default_stat_address;
  settings.Passport = TPassport{};

  const std::optional<std::vector<std::string>> lines = ReadSettingsLines(paths.settings_file);
  if (!lines || lines->size() < kSettingsLineCount) return LoadOutcome::kNoFile;

  const std::string& flags = (*lines)[1];
  if (flags.size() < 2) return LoadOutcome::kStoppedEarly;
  settings.UniqueStartCounted = flags[0] == 'R';
  settings.LikeSent = flags[1] == 'L';

  settings.PlayerName = (*lines)[3].empty() ? "Incognito" : Cp1251ToUtf8((*lines)[3]);

  return TakeServerValues(*lines, hooks, settings) ? LoadOutcome::kComplete
                                                   : LoadOutcome::kStoppedEarly;
}

SaveOutcome SaveSettings(const SettingsPaths& paths, const Settings& settings) {
  SaveOutcome outcome;

  std::optional<std::vector<std::string>> champions = ReadLines(paths.champions_file);
  if (champions && champions->size() >= kChampionsLineCount &&
      !(*champions)[kLanguageLine - 1].empty() && settings.LanguageIndex >= 0 &&
      settings.LanguageIndex <= 9) {
    champions->resize(kChampionsLineCount);
    char& digit = (*champions)[kLanguageLine - 1][0];
    const char wanted = static_cast<char>('0' + settings.LanguageIndex);
    if (digit != wanted && !IsWriteProtected(paths.champions_file)) {
      digit = wanted;
      outcome.champions_file_updated = WriteLinesAtomic(paths.champions_file, *champions);
    }
  }

  if (IsWriteProtected(paths.settings_file)) return outcome;
  std::string flags;
  flags += settings.UniqueStartCounted ? 'R' : '#';
  flags += settings.LikeSent ? 'L' : '#';
  const std::vector<std::string> lines = {
      "<# X1, X2>",
      flags,
      "<# Name>",
      FileText(settings.PlayerName),
      "<# Server: Path>",
      LineText(settings.TopTenAddress.scrambled),
      "<# Server: Nick>",
      FileText(settings.Passport.Nick),
      "<# Server: Country>",
      LineText(settings.Passport.Country),
      "<# Server: City>",
      FileText(settings.Passport.City),
      "<# Server: Sex>",
      LineText(std::string(1, settings.Passport.Sex)),
      "<# Server: Stat>",
      LineText(settings.StatAddress.scrambled),
  };
  outcome.settings_file_written = WriteLinesAtomic(paths.settings_file, lines);
  return outcome;
}

}  // namespace braxo
