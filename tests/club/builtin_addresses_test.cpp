#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>

#include "club/BuiltinAddresses.h"
#include "club/Scramble.h"

namespace braxo {
namespace {

std::string Base() {
  std::string base = BRAXO_TEST_CLUB_BASE_URL;
  if (base.back() != '/') base += '/';
  return base;
}

TEST(BuiltinAddressesTest, AddressesComeFromTheBaseUnderTheirKeys) {
  EXPECT_EQ(UnscrambleAddress(BuiltinConfigPageAddress(), kConfigKey), Base() + "config");
  EXPECT_EQ(UnscrambleAddress(BuiltinTopTenAddress(), kConfigKey), Base() + "topten");
  EXPECT_EQ(UnscrambleAddress(BuiltinStatAddress(), kConfigKey), Base() + "stat");
  EXPECT_EQ(UnscrambleAddress(BuiltinAccountAddress(), kAccountKey), Base() + "account");
  EXPECT_EQ(UnscrambleAddress(BuiltinPhotoFolderAddress(), kAccountKey), Base() + "photos/");
}

TEST(BuiltinAddressesTest, LibrariesHoldNoPlainAddress) {
  std::string base = Base();
  base.pop_back();
  std::istringstream paths(BRAXO_TEST_CLUB_LIBRARIES);
  std::string path;
  int checked = 0;
  while (std::getline(paths, path, ':')) {
    std::ifstream in(path, std::ios::binary);
    ASSERT_TRUE(in) << path;
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(bytes.find(base), std::string::npos) << path;
    for (const char* mirror : {BRAXO_TEST_HELP_MIRROR_1, BRAXO_TEST_HELP_MIRROR_2})
      EXPECT_EQ(bytes.find(mirror), std::string::npos) << path << " " << mirror;
    ++checked;
  }
  EXPECT_EQ(checked, 2);
}

TEST(BuiltinAddressesTest, HelpMirrorsAreTheTwoBuiltInSites) {
  const std::array<std::string, 2> mirrors = HelpMirrorAddresses();
  EXPECT_EQ(mirrors[0], BRAXO_TEST_HELP_MIRROR_1);
  EXPECT_EQ(mirrors[1], BRAXO_TEST_HELP_MIRROR_2);
  // Two sites, so that one may stand in for the other.
  EXPECT_NE(mirrors[0], mirrors[1]);
  for (const std::string& mirror : mirrors) {
    EXPECT_TRUE(mirror.rfind("http", 0) == 0) << mirror;
    EXPECT_NE(mirror.back(), '/') << mirror;
    // Kept scrambled like every other built-in address.
    EXPECT_EQ(std::string(BuiltinHelpMirror1()).find(mirror), std::string::npos);
  }
}

TEST(BuiltinAddressesTest, EnvironmentReplacesTheConfigPageAddress) {
  unsetenv("BRAXO_CONFIG_URL");
  EXPECT_EQ(ConfigPageAddress(), Base() + "config");
  setenv("BRAXO_CONFIG_URL", "http://my.club/page", 1);
  EXPECT_EQ(ConfigPageAddress(), "http://my.club/page");
  setenv("BRAXO_CONFIG_URL", "", 1);
  EXPECT_EQ(ConfigPageAddress(), Base() + "config");
  unsetenv("BRAXO_CONFIG_URL");
}

TEST(BuiltinAddressesTest, SettingsHooksGiveTheDefaultsAndTheConfigKeyUnscrambling) {
  const SettingsHooks hooks = ClubSettingsHooks();
  EXPECT_EQ(hooks.default_top_ten_address, BuiltinTopTenAddress());
  EXPECT_EQ(hooks.default_stat_address, BuiltinStatAddress());
  ASSERT_TRUE(hooks.unscramble_address);
  EXPECT_EQ(hooks.unscramble_address(ScrambleText("http://x/", kConfigKey)), "http://x/");
}

}  // namespace
}  // namespace braxo
