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
  settings.PlayerName = "earlier name";
  settings.TopTenAddress.plain = "earlier top";
  settings.StatAddress.plain = "earlier stat";
  settings.UniqueStartCounted = false;
  settings.LikeSent = false;
  settings.Passport = {"Someone", "3-003", "Elsewhere", 'W'};
  settings.LanguageIndex = 5;
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
  defaults.UniqueStartCounted = true;
  defaults.LikeSent = true;
  defaults.TopTenAddress.scrambled = "DEFTOP";
  defaults.StatAddress.scrambled = "DEFSTAT";
  defaults.Passport = TournamentPassport{};
  defaults.LanguageIndex = 0;

  Settings complete = defaults;
  complete.UniqueStartCounted = true;
  complete.LikeSent = false;
  complete.PlayerName = "Player One";
  complete.TopTenAddress = {"TOPTEN", "plain:TOPTEN"};
  complete.Passport = {"Nick", "2-010", "Berlin", 'W'};
  complete.StatAddress = {"STAT", "plain:STAT"};

  const auto with = [](Settings s, auto change) {
    change(s);
    return s;
  };
  // Lines 1-5 taken, stopped at line 8.
  Settings top_only = with(complete, [&](Settings& s) {
    s.Passport = TournamentPassport{};
    s.StatAddress = defaults.StatAddress;
  });

  const std::vector<LoadCase> cases = {
      {"complete", kCompleteFile, LoadOutcome::kComplete, complete},
      {"fifteen lines", std::vector<std::string>(kCompleteFile.begin(), kCompleteFile.end() - 1),
       LoadOutcome::kNoFile, defaults},
      {"empty file", {}, LoadOutcome::kNoFile, defaults},
      {"empty flags", FileWith({{2, ""}}), LoadOutcome::kStoppedEarly, defaults},
      {"one flag", FileWith({{2, "R"}}), LoadOutcome::kStoppedEarly, defaults},
      {"flags ##", FileWith({{2, "##"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.UniqueStartCounted = false; })},
      {"flags #L", FileWith({{2, "#Lxyz"}}), LoadOutcome::kComplete,
       with(complete,
            [](Settings& s) {
              s.UniqueStartCounted = false;
              s.LikeSent = true;
            })},
      {"empty name", FileWith({{4, ""}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.PlayerName = "Incognito"; })},
      {"empty tournament address keeps everything after it", FileWith({{6, ""}}),
       LoadOutcome::kStoppedEarly,
       with(defaults,
            [](Settings& s) {
              s.UniqueStartCounted = true;
              s.LikeSent = false;
              s.PlayerName = "Player One";
            })},
      {"empty nick", FileWith({{8, ""}}), LoadOutcome::kStoppedEarly, top_only},
      {"long nick", FileWith({{8, "ABCDEFGHIJKLMNOPQRST"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.Passport.Nick = "ABCDEFGHIJKL"; })},
      {"Cyrillic nick and city",
       FileWith({{8, "\xC2\xE0\xF1\xFF"}, {12, "\xCC\xEE\xF1\xEA\xE2\xE0"}}),
       LoadOutcome::kComplete,
       with(complete,
            [](Settings& s) {
              s.Passport.Nick = "Вася";
              s.Passport.City = "Москва";
            })},
      {"continent 7", FileWith({{10, "7-001"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.Passport.Country = "1-001"; })},
      {"no hyphen", FileWith({{10, "1x001"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.Passport.Country = "1-001"; })},
      {"Europe 49", FileWith({{10, "1-049"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.Passport.Country = "1-001"; })},
      {"Europe 48", FileWith({{10, "1-048"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.Passport.Country = "1-048"; })},
      {"Africa 54", FileWith({{10, "6-054"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.Passport.Country = "6-054"; })},
      {"South America 15", FileWith({{10, "4-015"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.Passport.Country = "1-001"; })},
      {"country with a space", FileWith({{10, "1- 12"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.Passport.Country = "1-001"; })},
      {"country of 4", FileWith({{10, "1-01"}}), LoadOutcome::kStoppedEarly,
       with(top_only, [](Settings& s) { s.Passport.Nick = "Nick"; })},
      {"country of 6", FileWith({{10, "1-0010"}}), LoadOutcome::kStoppedEarly,
       with(top_only, [](Settings& s) { s.Passport.Nick = "Nick"; })},
      {"long city", FileWith({{12, "ABCDEFGHIJKLMNOPQRST"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.Passport.City = "ABCDEFGHIJKLMNO"; })},
      {"empty city", FileWith({{12, ""}}), LoadOutcome::kStoppedEarly,
       with(top_only,
            [](Settings& s) {
              s.Passport.Nick = "Nick";
              s.Passport.Country = "2-010";
            })},
      {"sex F", FileWith({{14, "F"}}), LoadOutcome::kComplete,
       with(complete, [](Settings& s) { s.Passport.Sex = 'M'; })},
      {"sex Wx", FileWith({{14, "Wx"}}), LoadOutcome::kComplete, complete},
      {"empty sex", FileWith({{14, ""}}), LoadOutcome::kStoppedEarly,
       with(complete,
            [&](Settings& s) {
              s.Passport.Sex = 'M';
              s.StatAddress = defaults.StatAddress;
            })},
      {"empty statistics address", FileWith({{16, ""}}), LoadOutcome::kStoppedEarly,
       with(complete, [&](Settings& s) { s.StatAddress = defaults.StatAddress; })},
      {"tag lines are not examined", FileWith({{1, "junk"}, {3, ""}, {15, "x"}}),
       LoadOutcome::kComplete, complete},
  };

  for (const LoadCase& c : cases) {
    SCOPED_TRACE(c.name);
    WriteBytes(Paths().settings_file, Joined(c.lines));
    Settings settings = Untouched();
    EXPECT_EQ(LoadSettings(Paths(), TestHooks(), settings), c.outcome);
    EXPECT_EQ(settings.LanguageIndex, c.expected.LanguageIndex);
    EXPECT_EQ(settings.UniqueStartCounted, c.expected.UniqueStartCounted);
    EXPECT_EQ(settings.LikeSent, c.expected.LikeSent);
    EXPECT_EQ(settings.PlayerName, c.expected.PlayerName);
    EXPECT_EQ(settings.TopTenAddress.scrambled, c.expected.TopTenAddress.scrambled);
    EXPECT_EQ(settings.TopTenAddress.plain, c.expected.TopTenAddress.plain);
    EXPECT_EQ(settings.Passport.Nick, c.expected.Passport.Nick);
    EXPECT_EQ(settings.Passport.Country, c.expected.Passport.Country);
    EXPECT_EQ(settings.Passport.City, c.expected.Passport.City);
    EXPECT_EQ(settings.Passport.Sex, c.expected.Passport.Sex);
    EXPECT_EQ(settings.StatAddress.scrambled, c.expected.StatAddress.scrambled);
    EXPECT_EQ(settings.StatAddress.plain, c.expected.StatAddress.plain);
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
  EXPECT_FALSE(settings.UniqueStartCounted);
  EXPECT_FALSE(settings.LikeSent);
  EXPECT_EQ(settings.PlayerName, "Incognito");
  EXPECT_EQ(settings.TopTenAddress.scrambled, "DEFTOP");
  EXPECT_EQ(settings.TopTenAddress.plain, "plain:DEFTOP");
  EXPECT_EQ(settings.StatAddress.plain, "plain:DEFSTAT");
  EXPECT_EQ(settings.Passport.Nick, "Incognito");
}

TEST_F(SettingsFileTest, MissingFileLeavesDefaultsAndTheUnscrambledFormsAlone) {
  Settings settings = Untouched();
  EXPECT_EQ(LoadSettings(Paths(), TestHooks(), settings), LoadOutcome::kNoFile);
  EXPECT_EQ(settings.TopTenAddress.scrambled, "DEFTOP");
  EXPECT_EQ(settings.TopTenAddress.plain, "earlier top");
  EXPECT_EQ(settings.StatAddress.plain, "earlier stat");
  EXPECT_EQ(settings.PlayerName, "earlier name");
  EXPECT_EQ(settings.Passport.Nick, "Incognito");
  EXPECT_TRUE(settings.UniqueStartCounted);
}

TEST_F(SettingsFileTest, LoadReadsLinesEndedByLineFeedAloneAndIgnoresExtraLines) {
  std::vector<std::string> lines = kCompleteFile;
  lines.push_back("seventeenth");
  WriteBytes(Paths().settings_file, Joined(lines, "\n"));
  Settings settings;
  EXPECT_EQ(LoadSettings(Paths(), TestHooks(), settings), LoadOutcome::kComplete);
  EXPECT_EQ(settings.StatAddress.scrambled, "STAT");
  // The last line may lack its line end.
  WriteBytes(Paths().settings_file,
             Joined(kCompleteFile).substr(0, Joined(kCompleteFile).size() - 2));
  EXPECT_EQ(LoadSettings(Paths(), TestHooks(), settings), LoadOutcome::kComplete);
  EXPECT_EQ(settings.StatAddress.scrambled, "STAT");
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
    EXPECT_EQ(settings.LanguageIndex, index) << first;
  }
  // A champions file of 11 lines has no language line.
  WriteBytes(Paths().champions_file, Joined(std::vector<std::string>(11, "7")));
  Settings settings = Untouched();
  LoadSettings(Paths(), TestHooks(), settings);
  EXPECT_EQ(settings.LanguageIndex, 0);
}

TEST_F(SettingsFileTest, SaveWritesTheSixteenLinesByteExactly) {
  WriteBytes(Paths().settings_file, "old junk\r\n");
  Settings settings;
  settings.UniqueStartCounted = false;
  settings.LikeSent = true;
  settings.PlayerName = "Пётр";
  settings.TopTenAddress = {"AbC+/9", "ignored"};
  settings.Passport = {"Вася", "5-023", "Omsk", 'W'};
  // Addresses are 8-bit text already and go out without conversion.
  settings.StatAddress = {"StAt\xFF", "ignored"};
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
  saved.UniqueStartCounted = false;
  saved.LikeSent = false;
  saved.PlayerName = "Игрок\r\nline two";  // a line break must not shift the file
  saved.TopTenAddress = {"TOP", "plain:TOP"};
  saved.Passport = {"Ёжик", "3-035", "Новосибирск", 'W'};
  saved.StatAddress = {"STAT", "plain:STAT"};
  ASSERT_TRUE(SaveSettings(Paths(), saved).settings_file_written);
  Settings loaded;
  EXPECT_EQ(LoadSettings(Paths(), TestHooks(), loaded), LoadOutcome::kComplete);
  // The name is taken up to the 12 characters the name window holds.
  EXPECT_EQ(loaded.PlayerName, "Игрок  line ");
  EXPECT_EQ(loaded.UniqueStartCounted, false);
  EXPECT_EQ(loaded.LikeSent, false);
  EXPECT_EQ(loaded.TopTenAddress.plain, "plain:TOP");
  EXPECT_EQ(loaded.Passport.Nick, "Ёжик");
  EXPECT_EQ(loaded.Passport.Country, "3-035");
  EXPECT_EQ(loaded.Passport.City, "Новосибирск");
  EXPECT_EQ(loaded.Passport.Sex, 'W');
  EXPECT_EQ(loaded.StatAddress.plain, "plain:STAT");
}

TEST_F(SettingsFileTest, SaveChangesOnlyTheLanguageByteOfTheChampionsFile) {
  const std::string before = WriteChampions('0');
  Settings settings;
  settings.LanguageIndex = 7;
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
  settings.LanguageIndex = 4;
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
  settings.PlayerName = std::string(500, 'n');
  {
    const FileSizeLimit disk_full(100);
    EXPECT_FALSE(SaveSettings(Paths(), settings).settings_file_written);
  }
  EXPECT_EQ(ReadBytes(Paths().settings_file), old_file);
  EXPECT_EQ(DirectoryEntries(dir_.path()), std::vector<std::string>{"Braxo.ini"});
}

}  // namespace
}  // namespace braxo
