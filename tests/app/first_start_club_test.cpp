// A new installation's very first run, with the settings file and champions
// table the build ships, against the real braxo-club: the club's addresses
// come from its configuration page at once, and the start goes out as a new
// installation's.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <filesystem>

#include "ClubGameClient.h"
#include "ClubGameKit.h"
#include "ClubServerProcess.h"
#include "club/ClubAccess.h"
#include "storage/DataPaths.h"

namespace braxo {
namespace {

TEST(FirstStartClubTest, ANewInstallationReachesTheClubOnItsFirstRun) {
  testing::ClubServerProcess club;
  const testing::ConfigAddress config(club.BaseUrl() + "config");

  // An installed game: nothing beside the executable, the shipped files under
  // share/braxo, a home without any of the game's files.
  QTemporaryDir root;
  const std::string base = root.path().toStdString() + "/";
  const std::string shared = base + "prefix/share/braxo/";
  std::filesystem::create_directories(base + "prefix/bin");
  std::filesystem::create_directories(shared);
  std::filesystem::create_directories(base + "home");
  for (const char* name : {"Braxo.clb", "Braxo.ini"})
    std::filesystem::copy_file(std::string(BRAXO_SHIPPED_DIR) + "/" + name, shared + name);
  const DataPaths paths =
      ResolveDataPaths(base + "prefix/bin/", DataEnvironment{base + "xdg/", base + "home/"});
  ASSERT_EQ(paths.data_directory, base + "xdg/braxo/");
  ASSERT_TRUE(std::filesystem::exists(paths.settings_file));

  testing::GameWindow window(paths);
  window.Start();
  QTRY_VERIFY_WITH_TIMEOUT(window.services().TopTenAvailable(), 5000);
  EXPECT_TRUE(window.services().ChatAvailable());

  testing::GameClient reader_machine;
  testing::WaitingClubAccess& reader = reader_machine.access();
  const auto unique_starts = [&] {
    const UsageStatisticsReply reply = reader.ReadUsageStatistics();
    return reply.ok ? reply.stats.unique_starts : -1;
  };
  QTRY_COMPARE_WITH_TIMEOUT(unique_starts(), 1, 5000);
  EXPECT_EQ(reader.ReadUsageStatistics().stats.starts, 1);
}

}  // namespace
}  // namespace braxo
