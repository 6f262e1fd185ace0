#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <string>
#include <vector>

#include "TempDir.h"
#include "storage/ChampionsFile.h"
#include "storage/DataPaths.h"

namespace braxo {
namespace {

using storage_test::DirectoryEntries;
using storage_test::ReadBytes;
using storage_test::TempDir;
using storage_test::WriteBytes;

std::string ShippedTable() {
  std::array<ChampionEntry, kChampionEntryCount> entries;
  for (int i = 0; i < kChampionEntryCount; ++i) {
    entries[i] = ChampionEntry{"Player" + std::to_string(i + 1), 9000 - 500 * i};
  }
  std::string bytes;
  for (const std::string& line : NewChampionsTable(entries, 0, "rel")) bytes += line + "\r\n";
  return bytes;
}

bool IsDir(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool Exists(const std::string& path) {
  struct stat st;
  return ::lstat(path.c_str(), &st) == 0;
}

TEST(DataPathsTest, DirectoryOfPathAlwaysEndsWithSlash) {
  struct Case {
    std::string path;
    std::string directory;
  };
  const Case cases[] = {
      {"/usr/games/braxo", "/usr/games/"},
      {"/home/ann/Braxo/braxo", "/home/ann/Braxo/"},
      {"/braxo", "/"},
      {"braxo", "./"},
      {"", "./"},
      {"build/src/app/braxo", "build/src/app/"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    EXPECT_EQ(DirectoryOfPath(c.path), c.directory);
  }
}

TEST(DataPathsTest, ExeDirectoryIsTheFolderOfTheRunningProgram) {
  const std::string dir = ExeDirectory();
  ASSERT_FALSE(dir.empty());
  EXPECT_EQ(dir.front(), '/');
  EXPECT_EQ(dir.back(), '/');
  EXPECT_EQ(::access((dir + "storage_tests").c_str(), X_OK), 0) << dir;
}

TEST(DataPathsTest, ParentDirectoryCutsTheLastFolder) {
  struct Case {
    std::string directory;
    std::string parent;
  };
  const Case cases[] = {
      {"/home/ann/Games/Braxo/", "/home/ann/Games/"},
      {"/home/ann/Games/Braxo", "/home/ann/Games/"},
      {"/home/ann/.local/share/braxo/", "/home/ann/.local/share/"},
      {"/Braxo/", "/"},
      {"/", "/"},
      {"//", "/"},
      {"Braxo/", "./"},
      {"./", "../"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.directory);
    EXPECT_EQ(ParentDirectory(c.directory), c.parent);
  }
}

TEST(DataPathsTest, IsWritableHonoursMissingWriteBits) {
  TempDir dir;
  const std::string file = dir.path() + "f";
  WriteBytes(file, "x");
  EXPECT_TRUE(IsWritable(file));
  EXPECT_TRUE(IsWritable(dir.path()));
  ASSERT_EQ(::chmod(file.c_str(), 0444), 0);
  EXPECT_FALSE(IsWritable(file));
  ASSERT_EQ(::chmod(dir.path().c_str(), 0555), 0);
  EXPECT_FALSE(IsWritable(dir.path()));
  EXPECT_FALSE(IsWritable(dir.path() + "missing"));
}

// A sandbox with an executable folder, an optional installed copy of the
// table under ../share/braxo, and a home.
class DataDirectoryTest : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_FALSE(root_.path().empty());
    ASSERT_EQ(::mkdir(prefix_.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(exe_dir_.c_str(), 0755), 0);
    ASSERT_EQ(::mkdir(home_.c_str(), 0755), 0);
  }
  void InstallShared(const std::string& bytes) {
    ASSERT_EQ(::mkdir((prefix_ + "share").c_str(), 0755), 0);
    ASSERT_EQ(::mkdir((prefix_ + "share/braxo").c_str(), 0755), 0);
    WriteBytes(prefix_ + "share/braxo/" + kChampionsFileName, bytes);
  }

  TempDir root_;
  std::string prefix_ = root_.path() + "prefix/";
  std::string exe_dir_ = prefix_ + "bin/";
  std::string home_ = root_.path() + "home/";
  std::string xdg_ = root_.path() + "xdg/";
};

TEST_F(DataDirectoryTest, WritableExeDirectoryWithTheTableIsUsedAsIs) {
  WriteBytes(exe_dir_ + kChampionsFileName, ShippedTable());
  DataPaths paths = ResolveDataPaths(exe_dir_, DataEnvironment{xdg_, home_});
  EXPECT_EQ(paths.data_directory, exe_dir_);
  EXPECT_EQ(paths.champions_file, exe_dir_ + "Braxo.clb");
  EXPECT_EQ(paths.settings_file, exe_dir_ + "Braxo.ini");
  EXPECT_EQ(paths.user_file, prefix_ + "KezUser.kez");
  EXPECT_FALSE(Exists(xdg_));
  EXPECT_TRUE(DirectoryEntries(home_).empty());
}

TEST_F(DataDirectoryTest, UnwritableExeDirectoryMovesDataToTheUserDirectoryOnce) {
  const std::string shipped = ShippedTable();
  WriteBytes(exe_dir_ + kChampionsFileName, shipped);
  ASSERT_EQ(::chmod(exe_dir_.c_str(), 0555), 0);

  DataPaths paths = ResolveDataPaths(exe_dir_, DataEnvironment{xdg_, home_});

  EXPECT_EQ(paths.data_directory, xdg_ + "braxo/");
  EXPECT_EQ(paths.champions_file, xdg_ + "braxo/Braxo.clb");
  EXPECT_EQ(paths.settings_file, xdg_ + "braxo/Braxo.ini");
  EXPECT_EQ(paths.user_file, xdg_ + "KezUser.kez");
  EXPECT_EQ(ReadBytes(paths.champions_file), shipped);
  EXPECT_EQ(DirectoryEntries(paths.data_directory), std::vector<std::string>{"Braxo.clb"});
  ChampionsFile table(paths.champions_file);
  ASSERT_EQ(table.CheckChampionsFile(), ChampionsCheck::kOk);
  EXPECT_FALSE(table.ChampionsReadOnly());

  // The player's results stay across later starts.
  ASSERT_EQ(table.AddChampion("Mine", 9999), 1);
  const std::string players = ReadBytes(paths.champions_file);
  ASSERT_NE(players, shipped);
  DataPaths again = ResolveDataPaths(exe_dir_, DataEnvironment{xdg_, home_});
  EXPECT_EQ(again.data_directory, paths.data_directory);
  EXPECT_EQ(ReadBytes(again.champions_file), players);
}

TEST_F(DataDirectoryTest, InstalledLayoutTakesTheTableFromShare) {
  // An installed game: nothing beside the executable, the table under share.
  const std::string shipped = ShippedTable();
  InstallShared(shipped);
  DataPaths paths = ResolveDataPaths(exe_dir_, DataEnvironment{xdg_, home_});
  EXPECT_EQ(paths.data_directory, xdg_ + "braxo/");
  EXPECT_EQ(ReadBytes(paths.champions_file), shipped);
}

// The shipped settings file comes with the table, so that the first run
// reads a complete file; the player's own settings are never replaced.
TEST_F(DataDirectoryTest, TheShippedSettingsFileIsCopiedOnceAndNeverReplacesThePlayers) {
  InstallShared(ShippedTable());
  WriteBytes(prefix_ + "share/braxo/" + kSettingsFileName, "shipped settings\r\n");
  DataPaths paths = ResolveDataPaths(exe_dir_, DataEnvironment{xdg_, home_});
  EXPECT_EQ(ReadBytes(paths.settings_file), "shipped settings\r\n");
  std::vector<std::string> entries = DirectoryEntries(paths.data_directory);
  std::sort(entries.begin(), entries.end());
  EXPECT_EQ(entries, (std::vector<std::string>{"Braxo.clb", "Braxo.ini"}));

  WriteBytes(paths.settings_file, "player's settings\r\n");
  DataPaths again = ResolveDataPaths(exe_dir_, DataEnvironment{xdg_, home_});
  EXPECT_EQ(ReadBytes(again.settings_file), "player's settings\r\n");

  // A player who deleted the file starts again from the shipped one.
  ASSERT_EQ(::unlink(paths.settings_file.c_str()), 0);
  ResolveDataPaths(exe_dir_, DataEnvironment{xdg_, home_});
  EXPECT_EQ(ReadBytes(paths.settings_file), "shipped settings\r\n");
}

TEST_F(DataDirectoryTest, TableBesideTheExecutableIsPreferredToShare) {
  const std::string beside = ShippedTable();
  WriteBytes(exe_dir_ + kChampionsFileName, beside);
  InstallShared("another table\r\n");
  ASSERT_EQ(::chmod(exe_dir_.c_str(), 0555), 0);
  DataPaths paths = ResolveDataPaths(exe_dir_, DataEnvironment{xdg_, home_});
  EXPECT_EQ(ReadBytes(paths.champions_file), beside);
}

TEST_F(DataDirectoryTest, ExistingEntryInTheUserDirectoryIsNeverReplaced) {
  InstallShared(ShippedTable());
  struct Case {
    const char* label;
    void (*make)(const std::string& path);
  };
  const Case cases[] = {
      {"a player's file", [](const std::string& p) { WriteBytes(p, "player's own\r\n"); }},
      {"a dangling link",
       [](const std::string& p) { ASSERT_EQ(::symlink("nowhere", p.c_str()), 0); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    TempDir xdg;
    ASSERT_EQ(::mkdir((xdg.path() + "braxo").c_str(), 0700), 0);
    const std::string target = xdg.path() + "braxo/Braxo.clb";
    c.make(target);
    struct stat before;
    ASSERT_EQ(::lstat(target.c_str(), &before), 0);

    DataPaths paths = ResolveDataPaths(exe_dir_, DataEnvironment{xdg.path(), home_});

    EXPECT_EQ(paths.champions_file, target);
    struct stat after;
    ASSERT_EQ(::lstat(target.c_str(), &after), 0);
    EXPECT_EQ(after.st_ino, before.st_ino);
    EXPECT_EQ(after.st_size, before.st_size);
    EXPECT_EQ(DirectoryEntries(xdg.path() + "braxo").size(), 1u);
  }
}

TEST_F(DataDirectoryTest, HomeIsUsedWhenXdgDataHomeIsUnsetOrRelative) {
  InstallShared(ShippedTable());
  for (const std::string& xdg : {std::string(), std::string("relative/data")}) {
    SCOPED_TRACE(xdg);
    DataPaths paths = ResolveDataPaths(exe_dir_, DataEnvironment{xdg, home_});
    EXPECT_EQ(paths.data_directory, home_ + ".local/share/braxo/");
    EXPECT_TRUE(IsDir(home_ + ".local/share/braxo"));
    EXPECT_TRUE(Exists(paths.champions_file));
    EXPECT_EQ(paths.user_file, home_ + ".local/share/KezUser.kez");
  }
}

TEST_F(DataDirectoryTest, ExeDirectoryIsTheLastResort) {
  InstallShared(ShippedTable());
  const std::string a_file = root_.path() + "plain-file";
  WriteBytes(a_file, "x");
  struct Case {
    const char* label;
    DataEnvironment env;
  };
  const Case cases[] = {
      {"no home at all", DataEnvironment{"", ""}},
      {"user directory cannot be created", DataEnvironment{a_file + "/xdg", ""}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    DataPaths paths = ResolveDataPaths(exe_dir_, c.env);
    EXPECT_EQ(paths.data_directory, exe_dir_);
  }
}

TEST_F(DataDirectoryTest, NoShippedTableLeavesTheUserDirectoryWithoutOne) {
  DataPaths paths = ResolveDataPaths(exe_dir_, DataEnvironment{xdg_, home_});
  EXPECT_EQ(paths.data_directory, xdg_ + "braxo/");
  EXPECT_TRUE(IsDir(paths.data_directory));
  EXPECT_EQ(ChampionsFile(paths.champions_file).CheckChampionsFile(), ChampionsCheck::kNotFound);
}

TEST_F(DataDirectoryTest, ExeDirectoryWithoutTrailingSlashIsAccepted) {
  WriteBytes(exe_dir_ + kChampionsFileName, ShippedTable());
  std::string no_slash = exe_dir_.substr(0, exe_dir_.size() - 1);
  EXPECT_EQ(ResolveDataPaths(no_slash, DataEnvironment{xdg_, home_}).data_directory, exe_dir_);
}

}  // namespace
}  // namespace braxo
