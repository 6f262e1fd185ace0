// The game's files against what a hostile or careless environment puts in
// their place, and the rules every rewrite keeps.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/time.h>
#include <unistd.h>

#include <array>
#include <functional>
#include <string>
#include <vector>

#include "TempDir.h"
#include "storage/ChampionsFile.h"
#include "storage/SettingsFile.h"
#include "storage/TextFile.h"
#include "storage/UserFile.h"

namespace braxo {
namespace {

using storage_test::DirectoryEntries;
using storage_test::ReadBytes;
using storage_test::TempDir;
using storage_test::WriteBytes;

mode_t ModeOf(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 ? st.st_mode & 07777 : 0;
}

bool IsSymlink(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode);
}

std::vector<std::string> SealedTable(int language) {
  std::array<ChampionEntry, kChampionEntryCount> entries;
  for (int i = 0; i < kChampionEntryCount; ++i) entries[i] = {"Ann", 9000 - 500 * i};
  return NewChampionsTable(entries, language, "rel");
}

std::string Joined(const std::vector<std::string>& lines) {
  std::string bytes;
  for (const std::string& line : lines) bytes += line + "\r\n";
  return bytes;
}

// Something that is not a regular file where a file of the game belongs.
struct Intruder {
  const char* label;
  std::function<bool(const std::string& path)> make;
};

const Intruder kIntruders[] = {
    {"folder", [](const std::string& path) { return ::mkdir(path.c_str(), 0755) == 0; }},
    {"FIFO", [](const std::string& path) { return ::mkfifo(path.c_str(), 0644) == 0; }},
};

TEST(HostileFilesTest, AnEntryThatIsNotAFileReadsAsMissingAndIsNeverReplaced) {
  // Reading a FIFO would wait for a writer that never comes, and reading a
  // folder throws from the standard streams; neither may happen.
  for (const Intruder& intruder : kIntruders) {
    SCOPED_TRACE(intruder.label);
    TempDir dir;
    const SettingsPaths paths{dir.path() + "Braxo.ini", dir.path() + "Braxo.clb"};
    ASSERT_TRUE(intruder.make(paths.settings_file));
    ASSERT_TRUE(intruder.make(paths.champions_file));

    EXPECT_FALSE(ReadLines(paths.settings_file).has_value());
    Settings settings;
    EXPECT_EQ(LoadSettings(paths, {}, settings), LoadOutcome::kNoFile);
    EXPECT_EQ(settings.language_index, 0);

    ChampionsFile champions(paths.champions_file);
    EXPECT_EQ(champions.CheckChampionsFile(), ChampionsCheck::kInvalid);
    EXPECT_EQ(champions.ChampionsThreshold(), kNoAdmission);
    EXPECT_EQ(champions.AddChampion("Ann", 99999), 0);

    settings.language_index = 4;
    const SaveOutcome outcome = SaveSettings(paths, settings);
    EXPECT_FALSE(outcome.settings_file_written);
    EXPECT_FALSE(outcome.champions_file_updated);
    struct stat st;
    ASSERT_EQ(::lstat(paths.settings_file.c_str(), &st), 0);
    EXPECT_FALSE(S_ISREG(st.st_mode));
    ASSERT_EQ(::lstat(paths.champions_file.c_str(), &st), 0);
    EXPECT_FALSE(S_ISREG(st.st_mode));
    EXPECT_EQ(DirectoryEntries(dir.path()).size(), 2u);  // no temporary left behind

    const std::string user_file = dir.path() + "KezUser.kez";
    ASSERT_TRUE(intruder.make(user_file));
    EXPECT_FALSE(ReadUserFile(user_file).has_value());
    EXPECT_FALSE(WriteUserFile(user_file, "Ann", "QWERTY"));
  }
}

TEST(HostileFilesTest, ARefusedChampionsFileIsNeverWritten) {
  // Damaged tables of every size, among them the start of a real one and one
  // much larger than any table, stay byte for byte what they were after the
  // start-up's check and the save at the close.
  const std::string table = Joined(SealedTable(0));
  std::string broken_sum = table;
  broken_sum[3] = 'X';
  const std::vector<std::pair<const char*, std::string>> cases = {
      {"seal broken", broken_sum},
      {"cut short", table.substr(0, 200)},
      {"16 KB of lines", Joined(std::vector<std::string>(200, std::string(79, 'z')))},
      {"larger than any table", std::string(2 << 20, '7')},
  };
  for (const auto& [label, bytes] : cases) {
    SCOPED_TRACE(label);
    TempDir dir;
    const SettingsPaths paths{dir.path() + "Braxo.ini", dir.path() + "Braxo.clb"};
    WriteBytes(paths.champions_file, bytes);
    ChampionsFile champions(paths.champions_file);
    EXPECT_EQ(champions.CheckChampionsFile(), ChampionsCheck::kInvalid);
    Settings settings;
    LoadSettings(paths, {}, settings);
    settings.language_index = 3;
    EXPECT_FALSE(SaveSettings(paths, settings).champions_file_updated);
    EXPECT_FALSE(champions.WriteLanguageDigit(5));
    EXPECT_EQ(ReadBytes(paths.champions_file), bytes);
  }
}

TEST(HostileFilesTest, OversizedSettingsAndNameLinesAreNotTaken) {
  TempDir dir;
  const SettingsPaths paths{dir.path() + "Braxo.ini", dir.path() + "Braxo.clb"};
  const std::string long_address(kMaxScrambledAddressBytes + 1, 'A');
  std::vector<std::string> lines = {
      "<# X1, X2>",          "RL",         "<# Name>",         std::string(5000, 'N'),
      "<# Server: Path>",    long_address, "<# Server: Nick>", "Ann",
      "<# Server: Country>", "1-001",      "<# Server: City>", "Oslo",
      "<# Server: Sex>",     "W",          "<# Server: Stat>", "STAT"};
  WriteBytes(paths.settings_file, Joined(lines));
  Settings settings;
  SettingsHooks hooks;
  hooks.default_top_ten_address = "DEFAULT";
  EXPECT_EQ(LoadSettings(paths, hooks, settings), LoadOutcome::kStoppedEarly);
  EXPECT_EQ(settings.player_name, std::string(12, 'N'));
  EXPECT_EQ(settings.top_ten_address.scrambled, "DEFAULT");

  // A file far past any settings file is not read at all.
  lines[3] = std::string(10 << 20, 'N');
  lines[5] = "TOP";
  WriteBytes(paths.settings_file, Joined(lines));
  Settings big;
  EXPECT_EQ(LoadSettings(paths, hooks, big), LoadOutcome::kNoFile);
  EXPECT_TRUE(big.player_name.empty());
}

TEST(FileRulesTest, ReplacementKeepsThePermissions) {
  TempDir dir;
  for (mode_t mode : {0600, 0640, 0664, 0604}) {
    SCOPED_TRACE(mode);
    const std::string path = dir.path() + "Braxo.ini";
    WriteBytes(path, "old\r\n");
    ASSERT_EQ(::chmod(path.c_str(), mode), 0);
    ASSERT_TRUE(WriteLinesAtomic(path, {"new"}));
    EXPECT_EQ(ReadBytes(path), "new\r\n");
    EXPECT_EQ(ModeOf(path), mode);
  }
  // A new file gets the usual mode less the umask.
  const mode_t mask = ::umask(022);
  ASSERT_TRUE(WriteLinesAtomic(dir.path() + "fresh.ini", {"x"}));
  ::umask(mask);
  EXPECT_EQ(ModeOf(dir.path() + "fresh.ini"), 0644u);
}

TEST(FileRulesTest, ASymbolicLinkIsFollowedAndKept) {
  TempDir dir;
  ASSERT_EQ(::mkdir((dir.path() + "real").c_str(), 0755), 0);
  const std::string target = dir.path() + "real/Braxo.ini";
  WriteBytes(target, "old\r\n");
  ::chmod(target.c_str(), 0600);
  struct Case {
    const char* label;
    std::string link_text;
  };
  const Case cases[] = {{"absolute link", target}, {"relative link", "real/Braxo.ini"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const std::string link = dir.path() + "Braxo.ini";
    ::unlink(link.c_str());
    ASSERT_EQ(::symlink(c.link_text.c_str(), link.c_str()), 0);
    ASSERT_TRUE(WriteLinesAtomic(link, {c.label}));
    EXPECT_TRUE(IsSymlink(link));
    EXPECT_EQ(ReadBytes(target), std::string(c.label) + "\r\n");
    EXPECT_EQ(ModeOf(target), 0600u);
  }
  // The settings save goes the same way.
  Settings settings;
  ASSERT_TRUE(SaveSettings({dir.path() + "Braxo.ini", dir.path() + "Braxo.clb"}, settings)
                  .settings_file_written);
  EXPECT_TRUE(IsSymlink(dir.path() + "Braxo.ini"));
  EXPECT_EQ(ReadBytes(target).substr(0, 12), "<# X1, X2>\r\n");
  EXPECT_EQ(DirectoryEntries(dir.path() + "real"), std::vector<std::string>{"Braxo.ini"});

  // A link that points at itself is refused, not followed for ever.
  const std::string loop = dir.path() + "loop.ini";
  ASSERT_EQ(::symlink("loop.ini", loop.c_str()), 0);
  EXPECT_FALSE(WriteLinesAtomic(loop, {"x"}));
}

TEST(FileRulesTest, StaleTemporariesOfOurOwnAreRemoved) {
  TempDir dir;
  const std::string d = dir.path();
  const std::vector<std::string> ours = {"Braxo.ini.tmp-a1B2c3", "Braxo.clb.tmp-zzzzzz",
                                         "Braxo.ini.tmp123456"};
  const std::vector<std::string> others = {"Braxo.ini", "Braxo.clb", "Braxo.ini.tmp-short",
                                           "notes.txt.tmp-a1B2c3", "Braxo.ini.tmpX1"};
  for (const std::string& name : ours) WriteBytes(d + name, "partial");
  for (const std::string& name : others) WriteBytes(d + name, "keep");
  // A fresh one may belong to a second copy of the game writing right now.
  WriteBytes(d + "Braxo.ini.tmp-fresh1", "in progress");
  const struct timeval old_times[2] = {{1000000000, 0}, {1000000000, 0}};
  for (const std::string& name : ours) ::utimes((d + name).c_str(), old_times);
  for (const std::string& name : others) ::utimes((d + name).c_str(), old_times);

  EXPECT_EQ(RemoveStaleTemporaries(d, {"Braxo.ini", "Braxo.clb"}), 3);
  std::vector<std::string> expected = others;
  expected.push_back("Braxo.ini.tmp-fresh1");
  std::sort(expected.begin(), expected.end());
  std::vector<std::string> left = DirectoryEntries(d);
  std::sort(left.begin(), left.end());
  EXPECT_EQ(left, expected);
}

TEST(FileRulesTest, AConversionThatCannotRunIsAnErrorNotAPassThrough) {
  EXPECT_FALSE(ConvertCharset("Привет", "NO-SUCH-CHARSET", "UTF-8").has_value());
  EXPECT_EQ(ConvertCharset("Привет", "CP1251", "UTF-8"), std::string("\xCF\xF0\xE8\xE2\xE5\xF2"));
  EXPECT_EQ(TryUtf8ToCp1251("Ёж"), std::string("\xA8\xE6"));
}

}  // namespace
}  // namespace braxo
