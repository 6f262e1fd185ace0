#include <gtest/gtest.h>
#include <sys/stat.h>

#include <map>
#include <string>
#include <vector>

#include "TempDir.h"
#include "storage/ChampionsFile.h"
#include "storage/SettingsFile.h"
#include "storage/TextFile.h"

namespace braxo {
namespace {

using storage_test::DirectoryEntries;
using storage_test::FileSizeLimit;
using storage_test::ReadBytes;
using storage_test::TempDir;
using storage_test::WriteBytes;

const std::vector<std::string> kCompleteFile = {
    "<# X1, X2>",          "R#",     "<# Name>",         "Player One",
    "<# Server: Path>",    "TOPTEN", "<# Server: Nick>", "Nick",
    "<# Server: Country>", "2-010",  "<# Server: City>", "Berlin",
    "<# Server: Sex>",     "W",      "<# Server: Stat>", "STAT",
};

std::string Joined(const std::vector<std::string>& lines, const std::string& end = "\r\n") {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + end;
  return bytes;
}

// The complete file with some lines (1-based) replaced.
std::vector<std::string> FileWith(const std::map<int, std::string>& changes) {
  std::vector<std::string> lines = kCompleteFile;
  for (const auto& [number, text] : changes) lines[static_cast<size_t>(number - 1)] = text;
  return lines;
}

SettingsHooks TestHooks() {
  return {"DEFTOP", "DEFSTAT", [](const std::string& s) { return "plain:" + s; }};
}

// Values that a load must not touch unless it takes the matching line.
Settings Untouched() {
  Settings settings;
  settings.player_name = "earlier name";
  settings.top_ten_address.plain = "earlier top";
  settings.stat_address.plain = "earlier stat";
  settings.unique_start_counted = false;
  settings.like_sent = false;
  settings.passport = {"Someone", "3-003", "Elsewhere", 'W'};
  settings.language_index = 5;
  return settings;
}

class SettingsFileTest : public ::testing::Test {
 protected:
  SettingsPaths Paths() const { return {dir_.path() + "Braxo.ini", dir_.path() + "Braxo.clb"}; }

  // An intact champions table whose line 12 starts with `digit`.
  std::string WriteChampions(char digit) {
    std::array<ChampionEntry, kChampionEntryCount> entries;
    for (int i = 0; i < kChampionEntryCount; ++i) entries[i] = {"Name" + std::to_string(i), 1000};
    std::vector<std::string> lines = NewChampionsTable(entries, 0, "qzx");
    lines[11][0] = digit;
    const std::string bytes = Joined(lines);
    WriteBytes(Paths().champions_file, bytes);
    return bytes;
  }

  TempDir dir_;
};

struct LoadCase {
  const char* name;
  std::vector<std::string> lines;
  LoadOutcome outcome;
  Settings expected;
};

TEST_F(SettingsFileTest, LoadTakesValuesInOrderAndStopsAtTheFirstBadOne) {
  // What every load sets before it reads the file.
  Settings defaults = Untouched();
  defaults.unique_start_counted = true;
  defaults.like_sent = true;
  defaults.top_ten_address.scrambled = "DEFTOP";
  defaults.stat_address.scrambled = "DEFSTAT";
  defaults.passport = TournamentPassport{};
  defaults.language_index = 0;

  Settings complete = defaults;
  complete.unique_start_counted = true;
  complete.like_sent = false;
  complete.player_name = "Player One";
  complete.top_ten_address = {"TOPTEN", "plain:TOPTEN"};
  complete.passport = {"Nick", "2-010", "Berlin", 'W'};
  complete.stat_address = {"STAT", "plain:STAT"};

  const auto with = [](Settings s, auto change) {
    change(s);
    return s;
  };
  // Lines 1-5 taken, stopped at line 8.
  Settings top_only = with(complete, [&](Settings& s) {
    s.passport = TournamentPassport{};
    s.stat_address = defaults.stat_address;
  });

  const std::vector<LoadCase> cases = {
      {"complete", kCompleteFile, LoadOutcome::kComplete, complete},
      {"fifteen lines", std::vector<std::string>(kCompleteFile.begin(), kCompleteFile.end() - 1),
       LoadOutcome::kNoFile, defaults},
      {"empty file", {}, LoadOutcome::kNoFile, defaults},
      {"empty flags", FileWith({{2, ""}}), LoadOutcome::kStoppedEarly, defaults},
      {"one flag", FileWith({{2, "R"}}), LoadOutcome::kStoppedEarly, defaults},
      {"flags ##", FileWith({{2, "##"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.unique_start_counted = false; })},
      {"flags #L", FileWith({{2, "#Lxyz"}}), LoadOutcome::kComplete,
       with(complete,
            [](Settings& s) {
              s.unique_start_counted = false;
              s.like_sent = true;
            })},
      {"empty name", FileWith({{4, ""}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.player_name = "Incognito"; })},
      {"empty tournament address keeps everything after it", FileWith({{6, ""}}),
       LoadOutcome::kStoppedEarly,
       with(defaults,
            [](Settings& s) {
              s.unique_start_counted = true;
              s.like_sent = false;
              s.player_name = "Player One";
            })},
      {"empty nick", FileWith({{8, ""}}), LoadOutcome::kStoppedEarly, top_only},
      {"long nick", FileWith({{8, "ABCDEFGHIJKLMNOPQRST"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.passport.nick = "ABCDEFGHIJKL"; })},
      {"Cyrillic nick and city",
       FileWith({{8, "\xC2\xE0\xF1\xFF"}, {12, "\xCC\xEE\xF1\xEA\xE2\xE0"}}),
       LoadOutcome::kComplete,
       with(complete,
            [](Settings& s) {
              s.passport.nick = "Вася";
              s.passport.city = "Москва";
            })},
      {"continent 7", FileWith({{10, "7-001"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.passport.country_code = "1-001"; })},
      {"no hyphen", FileWith({{10, "1x001"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.passport.country_code = "1-001"; })},
      {"Europe 49", FileWith({{10, "1-049"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.passport.country_code = "1-001"; })},
      {"Europe 48", FileWith({{10, "1-048"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.passport.country_code = "1-048"; })},
      {"Africa 54", FileWith({{10, "6-054"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.passport.country_code = "6-054"; })},
      {"South America 15", FileWith({{10, "4-015"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.passport.country_code = "1-001"; })},
      {"country with a space", FileWith({{10, "1- 12"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.passport.country_code = "1-001"; })},
      {"country of 4", FileWith({{10, "1-01"}}), LoadOutcome::kStoppedEarly,
       with(top_only, [](Settings& s) { s.passport.nick = "Nick"; })},
      {"country of 6", FileWith({{10, "1-0010"}}), LoadOutcome::kStoppedEarly,
       with(top_only, [](Settings& s) { s.passport.nick = "Nick"; })},
      {"long city", FileWith({{12, "ABCDEFGHIJKLMNOPQRST"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.passport.city = "ABCDEFGHIJKLMNO"; })},
      {"empty city", FileWith({{12, ""}}), LoadOutcome::kStoppedEarly,
       with(top_only,
            [](Settings& s) {
              s.passport.nick = "Nick";
              s.passport.country_code = "2-010";
            })},
      {"sex F", FileWith({{14, "F"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.passport.sex = 'M'; })},
      {"sex Wx", FileWith({{14, "Wx"}}), LoadOutcome::kComplete, complete},
      {"empty sex", FileWith({{14, ""}}), LoadOutcome::kStoppedEarly,
       with(complete,
            [&](Settings& s) {
              s.passport.sex = 'M';
              s.stat_address = defaults.stat_address;
            })},
      {"empty statistics address", FileWith({{16, ""}}), LoadOutcome::kStoppedEarly,
       with(complete, [&](Settings& s) { s.stat_address = defaults.stat_address; })},
      {"tag lines are not examined", FileWith({{1, "junk"}, {3, ""}, {15, "x"}}),
       LoadOutcome::kComplete, complete},
  };

  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(Paths().settings_file, Joined(c.lines));
    Settings settings = Untouched();
    EXPECT_EQ(LoadSettings(Paths(), TestHooks(), settings), c.outcome);
    EXPECT_EQ(settings.language_index, c.expected.language_index);
    EXPECT_EQ(settings.unique_start_counted, c.expected.unique_start_counted);
    EXPECT_EQ(settings.like_sent, c.expected.like_sent);
    EXPECT_EQ(settings.player_name, c.expected.player_name);
    EXPECT_EQ(settings.top_ten_address.scrambled, c.expected.top_ten_address.scrambled);
    EXPECT_EQ(settings.top_ten_address.plain, c.expected.top_ten_address.plain);
    EXPECT_EQ(settings.passport.nick, c.expected.passport.nick);
    EXPECT_EQ(settings.passport.country_code, c.expected.passport.country_code);
    EXPECT_EQ(settings.passport.city, c.expected.passport.city);
    EXPECT_EQ(settings.passport.sex, c.expected.passport.sex);
    EXPECT_EQ(settings.stat_address.scrambled, c.expected.stat_address.scrambled);
    EXPECT_EQ(settings.stat_address.plain, c.expected.stat_address.plain);
  }
}

// The file the game ships: read back complete, as a new installation (the
// start not yet counted, no like sent) with the built-in addresses.
TEST_F(SettingsFileTest, TheShippedFileReadsAsANewInstallationWithTheBuiltInAddresses) {
  const auto lines = SettingsLines(NewInstallationSettings(TestHooks()));
  ASSERT_TRUE(lines);
  ASSERT_TRUE(WriteLinesAtomic(Paths().settings_file, *lines));
  Settings settings = Untouched();
  ASSERT_EQ(LoadSettings(Paths(), TestHooks(), settings), LoadOutcome::kComplete);
  EXPECT_FALSE(settings.unique_start_counted);
  EXPECT_FALSE(settings.like_sent);
  EXPECT_EQ(settings.player_name, "Incognito");
  EXPECT_EQ(settings.top_ten_address.scrambled, "DEFTOP");
  EXPECT_EQ(settings.top_ten_address.plain, "plain:DEFTOP");
  EXPECT_EQ(settings.stat_address.plain, "plain:DEFSTAT");
  EXPECT_EQ(settings.passport.nick, "Incognito");
}

TEST_F(SettingsFileTest, MissingFileLeavesDefaultsAndTheUnscrambledFormsAlone) {
  Settings settings = Untouched();
  EXPECT_EQ(LoadSettings(Paths(), TestHooks(), settings), LoadOutcome::kNoFile);
  EXPECT_EQ(settings.top_ten_address.scrambled, "DEFTOP");
  EXPECT_EQ(settings.top_ten_address.plain, "earlier top");
  EXPECT_EQ(settings.stat_address.plain, "earlier stat");
  EXPECT_EQ(settings.player_name, "earlier name");
  EXPECT_EQ(settings.passport.nick, "Incognito");
  EXPECT_TRUE(settings.unique_start_counted);
}

TEST_F(SettingsFileTest, LoadReadsLinesEndedByLineFeedAloneAndIgnoresExtraLines) {
  std::vector<std::string> lines = kCompleteFile;
  lines.push_back("seventeenth");
  WriteBytes(Paths().settings_file, Joined(lines, "\n"));
  Settings settings;
  EXPECT_EQ(LoadSettings(Paths(), TestHooks(), settings), LoadOutcome::kComplete);
  EXPECT_EQ(settings.stat_address.scrambled, "STAT");
  // The last line may lack its line end.
  WriteBytes(Paths().settings_file,
             Joined(kCompleteFile).substr(0, Joined(kCompleteFile).size() - 2));
  EXPECT_EQ(LoadSettings(Paths(), TestHooks(), settings), LoadOutcome::kComplete);
  EXPECT_EQ(settings.stat_address.scrambled, "STAT");
}

TEST_F(SettingsFileTest, LanguageDigitComesFromLine12OfTheChampionsFile) {
  WriteBytes(Paths().settings_file, Joined(kCompleteFile));
  const std::vector<std::pair<std::string, int>> cases = {
      {"", 0}, {"3", 3}, {"9", 9}, {"x", 0}, {"-", 0}};
  for (const auto& [first, index] : cases) {
    if (first.empty()) {
      std::remove(Paths().champions_file.c_str());
    } else {
      WriteChampions(first[0]);
    }
    Settings settings = Untouched();
    LoadSettings(Paths(), TestHooks(), settings);
    EXPECT_EQ(settings.language_index, index) << first;
  }
  // A champions file of 11 lines has no language line.
  WriteBytes(Paths().champions_file, Joined(std::vector<std::string>(11, "7")));
  Settings settings = Untouched();
  LoadSettings(Paths(), TestHooks(), settings);
  EXPECT_EQ(settings.language_index, 0);
}

TEST_F(SettingsFileTest, SaveWritesTheSixteenLinesByteExactly) {
  WriteBytes(Paths().settings_file, "old junk\r\n");
  Settings settings;
  settings.unique_start_counted = false;
  settings.like_sent = true;
  settings.player_name = "Пётр";
  settings.top_ten_address = {"AbC+/9", "ignored"};
  settings.passport = {"Вася", "5-023", "Omsk", 'W'};
  // Addresses are 8-bit text already and go out without conversion.
  settings.stat_address = {"StAt\xFF", "ignored"};
  const SaveOutcome outcome = SaveSettings(Paths(), settings);
  EXPECT_TRUE(outcome.settings_file_written);
  EXPECT_EQ(ReadBytes(Paths().settings_file),
            "<# X1, X2>\r\n#L\r\n<# Name>\r\n\xCF\xB8\xF2\xF0\r\n<# Server: Path>\r\nAbC+/9\r\n"
            "<# Server: Nick>\r\n\xC2\xE0\xF1\xFF\r\n<# Server: Country>\r\n5-023\r\n"
            "<# Server: City>\r\nOmsk\r\n<# Server: Sex>\r\nW\r\n<# Server: Stat>\r\nStAt\xFF\r\n");
  EXPECT_EQ(DirectoryEntries(dir_.path()), std::vector<std::string>{"Braxo.ini"});
}

TEST_F(SettingsFileTest, SavedSettingsLoadBackUnchanged) {
  Settings saved;
  saved.unique_start_counted = false;
  saved.like_sent = false;
  saved.player_name = "Игрок\r\nline two";  // a line break must not shift the file
  saved.top_ten_address = {"TOP", "plain:TOP"};
  saved.passport = {"Ёжик", "3-035", "Новосибирск", 'W'};
  saved.stat_address = {"STAT", "plain:STAT"};
  ASSERT_TRUE(SaveSettings(Paths(), saved).settings_file_written);
  Settings loaded;
  EXPECT_EQ(LoadSettings(Paths(), TestHooks(), loaded), LoadOutcome::kComplete);
  // The name is taken up to the 12 characters the name window holds.
  EXPECT_EQ(loaded.player_name, "Игрок  line ");
  EXPECT_EQ(loaded.unique_start_counted, false);
  EXPECT_EQ(loaded.like_sent, false);
  EXPECT_EQ(loaded.top_ten_address.plain, "plain:TOP");
  EXPECT_EQ(loaded.passport.nick, "Ёжик");
  EXPECT_EQ(loaded.passport.country_code, "3-035");
  EXPECT_EQ(loaded.passport.city, "Новосибирск");
  EXPECT_EQ(loaded.passport.sex, 'W');
  EXPECT_EQ(loaded.stat_address.plain, "plain:STAT");
}

TEST_F(SettingsFileTest, SaveChangesOnlyTheLanguageByteOfTheChampionsFile) {
  const std::string before = WriteChampions('0');
  Settings settings;
  settings.language_index = 7;
  EXPECT_TRUE(SaveSettings(Paths(), settings).champions_file_updated);
  std::string expected = before;
  expected[before.rfind("\r\n", before.size() - 3) + 2] = '7';
  EXPECT_EQ(ReadBytes(Paths().champions_file), expected);
}

TEST_F(SettingsFileTest, SaveLeavesWriteProtectedAndShortFilesAlone) {
  const std::string champions = WriteChampions('0');
  WriteBytes(Paths().settings_file, "protected\r\n");
  ::chmod(Paths().champions_file.c_str(), 0444);
  ::chmod(Paths().settings_file.c_str(), 0444);
  Settings settings;
  settings.language_index = 4;
  const SaveOutcome outcome = SaveSettings(Paths(), settings);
  EXPECT_FALSE(outcome.champions_file_updated);
  EXPECT_FALSE(outcome.settings_file_written);
  EXPECT_EQ(ReadBytes(Paths().champions_file), champions);
  EXPECT_EQ(ReadBytes(Paths().settings_file), "protected\r\n");

  // A champions file too short for a language line is not rewritten.
  ::chmod(Paths().champions_file.c_str(), 0644);
  const std::string short_file = Joined(std::vector<std::string>(11, "line"));
  WriteBytes(Paths().champions_file, short_file);
  EXPECT_FALSE(SaveSettings(Paths(), settings).champions_file_updated);
  EXPECT_EQ(ReadBytes(Paths().champions_file), short_file);
}

TEST_F(SettingsFileTest, FailedSaveKeepsTheOldSettingsFile) {
  const std::string old_file = Joined(kCompleteFile);
  WriteBytes(Paths().settings_file, old_file);
  Settings settings;
  settings.player_name = std::string(500, 'n');
  {
    const FileSizeLimit disk_full(100);
    EXPECT_FALSE(SaveSettings(Paths(), settings).settings_file_written);
  }
  EXPECT_EQ(ReadBytes(Paths().settings_file), old_file);
  EXPECT_EQ(DirectoryEntries(dir_.path()), std::vector<std::string>{"Braxo.ini"});
}

}  // namespace
}  // namespace braxo
