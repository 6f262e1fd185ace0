#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "TempDir.h"
#include "i18n/MessageCatalogue.h"
#include "storage/ChampionsFile.h"
#include "storage/TextFile.h"

namespace braxo {
namespace {

using storage_test::DirectoryEntries;
using storage_test::FileSizeLimit;
using storage_test::ReadBytes;
using storage_test::TempDir;
using storage_test::WriteBytes;

using Entries = std::array<ChampionEntry, kChampionEntryCount>;

const Entries kStartEntries = {{{"Anna", 9000},
                                {"Boris", 8500},
                                {"Clara", 8000},
                                {"Dmitri", 7500},
                                {"Elena", 7000},
                                {"Felix", 6500},
                                {"Galina", 6000},
                                {"Hugo", 5500},
                                {"Irina", 5000},
                                {"Jonas", 4500}}};

std::string Joined(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

std::vector<std::string> FileLines(const std::string& path) {
  return ReadLines(path).value_or(std::vector<std::string>{});
}

class ChampionsFileTest : public ::testing::Test {
 protected:
  void SetUp() override { ASSERT_FALSE(dir_.path().empty()); }

  void WriteTable(const std::vector<std::string>& lines) { WriteBytes(path_, Joined(lines)); }
  void WriteStartTable(int language = 0, std::string_view marker = "rel") {
    WriteTable(NewChampionsTable(kStartEntries, language, marker));
  }
  ChampionsFile CheckedFile() {
    ChampionsFile file(path_);
    EXPECT_EQ(file.CheckChampionsFile(), ChampionsCheck::kOk);
    return file;
  }

  TempDir dir_;
  std::string path_ = dir_.path() + kChampionsFileName;
};

TEST(ChampionsSealTest, SumsCoverExactlyTheFirst218BytesByPosition) {
  // Every sealed byte is 1 except a few at positions chosen to tell the three
  // sums and their position rules apart; byte 29 of line 11 (position 219)
  // lies outside the sealed area.
  std::vector<std::string> lines(10, std::string(19, '\x01'));
  lines.push_back(std::string(30, '\x01'));
  lines.push_back("0123456789OLD-SUMS-OLD-SUMS-OLD");
  lines.push_back("a line past the twelfth");
  lines[0][0] = 11;                        // position 1: S1 only
  lines[0][1] = 21;                        // position 2: S1, S2
  lines[0][2] = 31;                        // position 3: S1, S3
  lines[10][25] = 51;                      // position 216: S1, S2, S3
  lines[10][27] = 41;                      // position 218: S1, S2
  lines[10][28] = static_cast<char>(200);  // position 219: none

  std::vector<std::string> sealed = SealChampionsFile(lines);

  ASSERT_EQ(sealed.size(), 12u);
  EXPECT_EQ(sealed[11], "0123456789000368000219000152");
  for (int i = 0; i < 11; ++i) EXPECT_EQ(sealed[i], lines[i]);
}

TEST(ChampionsSealTest, ShortControlLineIsPaddedBeforeTheSums) {
  std::vector<std::string> sealed = SealChampionsFile({"x"});
  ASSERT_EQ(sealed.size(), 12u);
  EXPECT_EQ(sealed[11], "          000120000000000000");
}

TEST(ChampionsSealTest, NewTableHasTheMarkerBytesLanguageAndMarker) {
  std::vector<std::string> lines = NewChampionsTable(kStartEntries, 4, "qzx");
  ASSERT_EQ(lines.size(), 12u);
  EXPECT_EQ(lines[0], "Anna" + std::string(11, ' ') + "9000");
  EXPECT_EQ(lines[9], "Jonas" + std::string(10, ' ') + "4500");
  ASSERT_GE(lines[10].size(), 28u);
  EXPECT_EQ(static_cast<unsigned char>(lines[10][0]), 176);
  EXPECT_EQ(static_cast<unsigned char>(lines[10][1]), 113);
  ASSERT_EQ(lines[11].size(), 28u);
  EXPECT_EQ(lines[11][0], '4');
  EXPECT_EQ(lines[11].substr(6, 3), "qzx");
}

TEST(ChampionsEntryTest, EntryBytesKeepNameAndScoreInTheirColumns) {
  struct Case {
    const char* label;
    std::string name;
    int score;
    std::string bytes;
  };
  const Case cases[] = {
      {"short name padded, small score padded", "Bella", 950, "Bella           950"},
      {"twelve characters exactly", "Maximiliana1", 123456, "Maximiliana1 123456"},
      {"long name cut to twelve", "Alexander Konstantin", 9000, "Alexander Ko   9000"},
      {"Cyrillic in the 8-bit code page", "Иван", 7000,
       "\xC8\xE2\xE0\xED" + std::string(11, ' ') + "7000"},
      {"long Cyrillic name cut to twelve characters", "Александра Петровна", 5000,
       "\xC0\xEB\xE5\xEA\xF1\xE0\xED\xE4\xF0\xE0 \xCF   5000"},
      {"missing character becomes ?", "Ann😀", 100, "Ann?            100"},
      {"line break inside the name becomes spaces", "A\r\nB", 100, "A  B            100"},
      {"empty name", "", 0, "                  0"},
      {"negative score", "Low", -5, "Low              -5"},
      {"score too large for six bytes is clamped", "Big", 1234567, "Big          999999"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    EXPECT_EQ(FormatChampionEntry(c.name, c.score), c.bytes);
  }
}

TEST_F(ChampionsFileTest, MissingFileIsNotFound) {
  ChampionsFile file(path_);
  EXPECT_EQ(file.CheckChampionsFile(), ChampionsCheck::kNotFound);
  EXPECT_EQ(file.ChampionsThreshold(), kNoAdmission);
  EXPECT_EQ(file.AddChampion("Anna", 10000), 0);
  EXPECT_TRUE(file.ReadChampions().empty());
  EXPECT_EQ(file.ReadLanguageDigit(), 0);
  EXPECT_FALSE(file.WriteLanguageDigit(3));
  EXPECT_TRUE(DirectoryEntries(dir_.path()).empty());
}

TEST_F(ChampionsFileTest, CheckTakesTheDeveloperMarker) {
  struct Case {
    const char* marker;
    bool developer;
  };
  for (const Case& c : {Case{"rel", false}, Case{"qzx", true}, Case{"QZX", false}}) {
    SCOPED_TRACE(c.marker);
    WriteStartTable(0, c.marker);
    ChampionsFile file = CheckedFile();
    EXPECT_EQ(file.DeveloperMarker(), c.marker);
    EXPECT_EQ(file.HasDeveloperMarker(), c.developer);
    EXPECT_FALSE(file.ChampionsReadOnly());
  }
}

TEST_F(ChampionsFileTest, ThresholdIsTheFifthScore) {
  WriteStartTable();
  EXPECT_EQ(CheckedFile().ChampionsThreshold(), 7000);
}

TEST_F(ChampionsFileTest, AddedChampionSurvivesTheNextCheck) {
  WriteStartTable();
  ChampionsFile file = CheckedFile();
  ASSERT_EQ(file.AddChampion("Zoe", 8200), 3);

  ChampionsFile next_run(path_);
  EXPECT_EQ(next_run.CheckChampionsFile(), ChampionsCheck::kOk);
  std::vector<ChampionEntry> entries = next_run.ReadChampions();
  ASSERT_EQ(entries.size(), 10u);
  EXPECT_EQ(entries[2].name, "Zoe");
  EXPECT_EQ(entries[2].score, 8200);
  const std::string bytes = ReadBytes(path_);
  EXPECT_EQ(bytes.substr(bytes.size() - 2), "\r\n");
  EXPECT_EQ(FileLines(path_).size(), 12u);
  EXPECT_EQ(DirectoryEntries(dir_.path()), std::vector<std::string>{kChampionsFileName});
}

TEST_F(ChampionsFileTest, NewResultGoesAboveEveryScoreItReaches) {
  struct Case {
    int score;
    int position;
  };
  const Case cases[] = {
      {9500, 1}, {9000, 1},   // tie with the best: the new result goes first
      {7001, 5}, {7000, 5},   // equal to the fifth: admitted at 5, the old fifth goes sixth
      {6999, 6}, {4500, 10},  // tie with the last: replaces it
      {4499, 0},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.score);
    WriteStartTable();
    const std::string before = ReadBytes(path_);
    ChampionsFile file = CheckedFile();

    EXPECT_EQ(file.AddChampion("New", c.score), c.position);

    std::vector<ChampionEntry> expected(kStartEntries.begin(), kStartEntries.end());
    if (c.position > 0) {
      expected.insert(expected.begin() + (c.position - 1), ChampionEntry{"New", c.score});
      expected.pop_back();
    }
    std::vector<ChampionEntry> entries = file.ReadChampions();
    ASSERT_EQ(entries.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i) {
      EXPECT_EQ(entries[i].name, expected[i].name) << "entry " << i + 1;
      EXPECT_EQ(entries[i].score, expected[i].score) << "entry " << i + 1;
    }
    if (c.position == 0) {
      EXPECT_EQ(ReadBytes(path_), before);
    }
  }
}

TEST_F(ChampionsFileTest, EqualFifthScorePushesOldFifthToSixth) {
  WriteStartTable();
  ChampionsFile file = CheckedFile();
  ASSERT_GE(7000, file.ChampionsThreshold());
  ASSERT_EQ(file.AddChampion("Tie", 7000), 5);
  std::vector<std::string> lines = FileLines(path_);
  EXPECT_EQ(lines[4], "Tie" + std::string(12, ' ') + "7000");
  EXPECT_EQ(lines[5], "Elena" + std::string(10, ' ') + "7000");
  EXPECT_EQ(lines[6], "Felix" + std::string(10, ' ') + "6500");
  EXPECT_EQ(file.ChampionsThreshold(), 7000);
}

TEST_F(ChampionsFileTest, StoredEntryHasPaddedNameAndScore) {
  Entries low = kStartEntries;
  for (int i = 0; i < kChampionEntryCount; ++i) low[i].score = 1000 - 100 * i;
  WriteTable(NewChampionsTable(low, 0, "rel"));
  ChampionsFile file = CheckedFile();
  ASSERT_EQ(file.AddChampion("Bella", 950), 2);
  EXPECT_EQ(FileLines(path_)[1], "Bella" + std::string(7, ' ') + " " + "   950");
}

TEST_F(ChampionsFileTest, LongAndCyrillicNamesKeepTheFileValid) {
  struct Case {
    std::string name;
    std::string stored_bytes;  // bytes 1-12 of the line
    std::string read_back;
  };
  const Case cases[] = {
      {"Alexander Konstantin", "Alexander Ko", "Alexander Ko"},
      {"Иван Петров", "\xC8\xE2\xE0\xED \xCF\xE5\xF2\xF0\xEE\xE2 ", "Иван Петров"},
      {"Александра Петровна", "\xC0\xEB\xE5\xEA\xF1\xE0\xED\xE4\xF0\xE0 \xCF", "Александра П"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    WriteStartTable();
    ChampionsFile file = CheckedFile();
    ASSERT_EQ(file.AddChampion(c.name, 8800), 2);

    std::vector<std::string> lines = FileLines(path_);
    ASSERT_EQ(lines[1].size(), 19u);
    EXPECT_EQ(lines[1].substr(0, 12), c.stored_bytes);
    EXPECT_EQ(lines[1].substr(12), "   8800");
    ChampionsFile next_run(path_);
    EXPECT_EQ(next_run.CheckChampionsFile(), ChampionsCheck::kOk);
    EXPECT_EQ(next_run.ReadChampions()[1].name, c.read_back);
    EXPECT_EQ(next_run.ReadChampions()[1].score, 8800);
  }
}

TEST_F(ChampionsFileTest, ChampionsPageShowsTheFirstFiveWithoutPadding) {
  WriteStartTable();
  std::vector<ChampionEntry> page = CheckedFile().ChampionsPage();
  ASSERT_EQ(page.size(), 5u);
  EXPECT_EQ(page[0].name, "Anna");
  EXPECT_EQ(page[0].score, 9000);
  EXPECT_EQ(page[4].name, "Elena");
  EXPECT_EQ(page[4].score, 7000);
}

TEST_F(ChampionsFileTest, ChangedByteInsideTheSealIsRefusedOutsideIsNot) {
  struct Case {
    int line;  // 1-based
    int byte;  // 1-based
    ChampionsCheck expected;
  };
  const Case cases[] = {
      {1, 1, ChampionsCheck::kInvalid},   {1, 12, ChampionsCheck::kInvalid},
      {1, 13, ChampionsCheck::kInvalid},  {3, 17, ChampionsCheck::kInvalid},
      {5, 19, ChampionsCheck::kInvalid},  {10, 19, ChampionsCheck::kInvalid},
      {11, 1, ChampionsCheck::kInvalid},  {11, 2, ChampionsCheck::kInvalid},
      {11, 3, ChampionsCheck::kInvalid},  {11, 28, ChampionsCheck::kInvalid},
      {12, 11, ChampionsCheck::kInvalid}, {12, 28, ChampionsCheck::kInvalid},
      {11, 29, ChampionsCheck::kOk},      {11, 30, ChampionsCheck::kOk},
      {12, 1, ChampionsCheck::kOk},       {12, 2, ChampionsCheck::kOk},
      {12, 6, ChampionsCheck::kOk},       {12, 10, ChampionsCheck::kOk},
  };
  // A marker line longer than 28 bytes, to show that its tail is not sealed.
  std::vector<std::string> table = NewChampionsTable(kStartEntries, 0, "rel");
  table[10] += "ab";
  table = SealChampionsFile(table);
  for (const Case& c : cases) {
    SCOPED_TRACE("line " + std::to_string(c.line) + " byte " + std::to_string(c.byte));
    std::vector<std::string> lines = table;
    char& byte = lines[c.line - 1][c.byte - 1];
    byte = static_cast<char>(byte ^ 0x01);
    WriteTable(lines);
    ChampionsFile file(path_);
    EXPECT_EQ(file.CheckChampionsFile(), c.expected);
  }
}

// Contents that are not a champions table. Each must be refused by the
// check, and when it replaces a good file after the check, every later
// operation must leave it alone and read it as an empty table.
std::vector<std::pair<std::string, std::string>> DamagedContents() {
  const std::vector<std::string> good = NewChampionsTable(kStartEntries, 0, "rel");
  auto changed = [&](auto change, bool reseal) {
    std::vector<std::string> lines = good;
    change(lines);
    return Joined(reseal ? SealChampionsFile(lines) : lines);
  };
  std::string binary;
  for (int i = 0; i < 300; ++i) binary += static_cast<char>((i * 37) % 256);
  return {
      {"empty file", ""},
      {"one word", "hello"},
      {"only 11 lines", changed([](auto& l) { l.pop_back(); }, false)},
      {"twelve empty lines", std::string(12, '\n')},
      {"short entry line, resealed", changed([](auto& l) { l[4] = "Elena"; }, true)},
      {"letters in a score, resealed", changed([](auto& l) { l[2] = "Clara         80x0"; }, true)},
      {"blank score, resealed", changed([](auto& l) { l[7] = "Hugo               "; }, true)},
      {"short marker line, resealed", changed([](auto& l) { l[10] = l[10].substr(0, 10); }, true)},
      {"wrong first marker byte, resealed",
       changed([](auto& l) { l[10][0] = static_cast<char>(177); }, true)},
      {"wrong second marker byte, resealed",
       changed([](auto& l) { l[10][1] = static_cast<char>(13); }, true)},
      {"short control line", changed([](auto& l) { l[11].resize(20); }, false)},
      {"sums with letters", changed([](auto& l) { l[11].replace(10, 6, "00a123"); }, false)},
      {"sums with a sign", changed([](auto& l) { l[11].replace(10, 6, "+12345"); }, false)},
      {"binary bytes", binary},
      {"long lines", Joined(std::vector<std::string>(12, std::string(1000, '9')))},
      {"too large", std::string(200 * 1024, 'x')},
  };
}

TEST_F(ChampionsFileTest, DamagedFileIsInvalidAndLeftAlone) {
  for (const auto& [label, bytes] : DamagedContents()) {
    SCOPED_TRACE(label);
    WriteStartTable(0);
    ChampionsFile file = CheckedFile();
    // The file is damaged while the game runs.
    WriteBytes(path_, bytes);

    EXPECT_EQ(file.ChampionsThreshold(), kNoAdmission);
    EXPECT_EQ(file.AddChampion("Late", 99999), 0);
    EXPECT_TRUE(file.ReadChampions().empty());
    EXPECT_TRUE(file.ChampionsPage().empty());
    const int language = file.ReadLanguageDigit();
    EXPECT_TRUE(language >= 0 && language <= 9);
    EXPECT_FALSE(file.WriteLanguageDigit(5));
    EXPECT_EQ(ReadBytes(path_), bytes);

    ChampionsFile next_run(path_);
    EXPECT_EQ(next_run.CheckChampionsFile(), ChampionsCheck::kInvalid);
  }
}

TEST_F(ChampionsFileTest, DirectoryInPlaceOfTheFileIsInvalid) {
  ASSERT_EQ(::mkdir(path_.c_str(), 0755), 0);
  ChampionsFile file(path_);
  EXPECT_EQ(file.CheckChampionsFile(), ChampionsCheck::kInvalid);
  EXPECT_EQ(file.AddChampion("Anna", 10000), 0);
  EXPECT_EQ(file.ReadLanguageDigit(), 0);
}

TEST_F(ChampionsFileTest, WriteProtectedFileIsNeverWritten) {
  struct Case {
    const char* label;
    mode_t file_mode;
    mode_t dir_mode;
    bool read_only;
  };
  const Case cases[] = {
      {"writable", 0644, 0755, false},
      {"file without write bits", 0444, 0755, true},
      {"directory without write bits", 0644, 0555, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    ::chmod(dir_.path().c_str(), 0755);
    ::chmod(path_.c_str(), 0644);
    WriteStartTable(2);
    ASSERT_EQ(::chmod(path_.c_str(), c.file_mode), 0);
    ASSERT_EQ(::chmod(dir_.path().c_str(), c.dir_mode), 0);
    const std::string before = ReadBytes(path_);

    ChampionsFile file = CheckedFile();
    EXPECT_EQ(file.ChampionsReadOnly(), c.read_only);
    const int position = file.AddChampion("Quiet", 9999);
    const bool language_written = file.WriteLanguageDigit(7);

    if (c.read_only) {
      EXPECT_EQ(position, 0);
      EXPECT_FALSE(language_written);
      EXPECT_EQ(ReadBytes(path_), before);
    } else {
      EXPECT_EQ(position, 1);
      EXPECT_TRUE(language_written);
      EXPECT_NE(ReadBytes(path_), before);
    }
  }
}

TEST_F(ChampionsFileTest, FileMadeReadOnlyAfterTheCheckIsNotReplaced) {
  WriteStartTable();
  ChampionsFile file = CheckedFile();
  ASSERT_FALSE(file.ChampionsReadOnly());
  ASSERT_EQ(::chmod(path_.c_str(), 0444), 0);
  const std::string before = ReadBytes(path_);
  EXPECT_EQ(file.AddChampion("Quiet", 9999), 0);
  EXPECT_EQ(ReadBytes(path_), before);
}

TEST_F(ChampionsFileTest, FailedSaveLeavesTheOldFileIntact) {
  WriteStartTable();
  const std::string before = ReadBytes(path_);
  ChampionsFile file = CheckedFile();
  {
    // The disk fills up halfway through writing the new table.
    FileSizeLimit limit(100);
    EXPECT_EQ(file.AddChampion("Crash", 9999), 0);
    EXPECT_FALSE(file.WriteLanguageDigit(8));
  }
  EXPECT_EQ(ReadBytes(path_), before);
  EXPECT_EQ(DirectoryEntries(dir_.path()), std::vector<std::string>{kChampionsFileName});
  EXPECT_EQ(file.CheckChampionsFile(), ChampionsCheck::kOk);
}

TEST_F(ChampionsFileTest, LanguageDigitChangesOnlyItsByte) {
  WriteStartTable(3);
  ChampionsFile file = CheckedFile();
  EXPECT_EQ(file.ReadLanguageDigit(), 3);
  const std::string before = ReadBytes(path_);

  ASSERT_TRUE(file.WriteLanguageDigit(7));

  const std::string after = ReadBytes(path_);
  EXPECT_EQ(file.ReadLanguageDigit(), 7);
  ASSERT_EQ(after.size(), before.size());
  const std::size_t digit_at = before.rfind("\r\n", before.size() - 3) + 2;
  for (std::size_t i = 0; i < before.size(); ++i) {
    if (i == digit_at) {
      EXPECT_EQ(after[i], '7');
    } else {
      EXPECT_EQ(after[i], before[i]) << "byte " << i;
    }
  }
  EXPECT_EQ(ChampionsFile(path_).CheckChampionsFile(), ChampionsCheck::kOk);
  EXPECT_FALSE(file.WriteLanguageDigit(10));
  EXPECT_FALSE(file.WriteLanguageDigit(-1));
}

TEST_F(ChampionsFileTest, NonDigitLanguageReadsAsZero) {
  std::vector<std::string> lines = NewChampionsTable(kStartEntries, 0, "rel");
  lines[11][0] = 'x';
  WriteTable(lines);
  EXPECT_EQ(CheckedFile().ReadLanguageDigit(), 0);
}

}  // namespace
}  // namespace braxo
