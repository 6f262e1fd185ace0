#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "club/BuiltinAddresses.h"
#include "club/ConfigPage.h"
#include "club/Scramble.h"

namespace braxo {
namespace {

TEST(ConfigPageTest, FindConfigValueReadsFromOneCharacterAfterTheKeyToTheNextHash) {
  struct Case {
    std::string page;
    std::string key;
    std::optional<std::string> value;
  };
  const std::vector<Case> cases = {
      {"StatPath=abc#rest", "StatPath", "abc"},
      {"StatPath:abc#", "StatPath", "abc"},
      {"StatPathXabc#", "StatPath", "abc"},             // whatever the separator is
      {"<p>MyStatPaths=abc#</p>", "StatPath", "=abc"},  // not anchored; "s" is skipped
      {"x\nStatPath=abc", "StatPath", "abc"},           // no "#": to the end
      {"StatPath=", "StatPath", ""},
      {"StatPath", "StatPath", ""},
      {"StatPath→abc#", "StatPath", "abc"},  // a multi-byte character is one character
      {"StatPath=one#StatPath=two#", "StatPath", "one"},
      {"statpath=abc#", "StatPath", std::nullopt},
      {"", "StatPath", std::nullopt},
      {"AccPath=#x", "AccPath", ""},
  };
  for (const Case& c : cases) EXPECT_EQ(FindConfigValue(c.page, c.key), c.value) << c.page;
}

TEST(ConfigPageTest, FetchTopTenConfigFollowsThePauseAndAddressKeys) {
  struct Case {
    ConfigPageText page;
    std::string result;
    bool chat;
  };
  const std::vector<Case> cases = {
      {std::nullopt, "old", true},  // the page could not be fetched
      {"", "old", true},
      {"nothing to see", "old", true},
      {"WTGamesPause#", "pause", true},
      {"WTGamesPatt=ABCD#WTGamesPause#", "pause", true},
      {"CTGamesPause#", "old", false},
      {"CTGamesPause#WTGamesPatt=AbC+/9#", "AbC+/9", false},
      {"WTGamesPatt=ABCD#", "ABCD", true},
      {"WTGamesPatt=ABCD", "ABCD", true},
      {"WTGamesPatt= ABCD \r\n", "ABCD", true},  // surrounding white space dropped
      {"WTGamesPatt=#", "old", true},            // an empty address is no address
      {"WTGamesPatt=AB CD#", "old", true},
      {"WTGamesPatt=<b>x</b>#", "old", true},
  };
  for (const Case& c : cases) {
    const TopTenConfig config = FetchTopTenConfig(c.page);
    EXPECT_EQ(config.result, c.result) << c.page.value_or("(no page)");
    EXPECT_EQ(config.chat_available, c.chat) << c.page.value_or("(no page)");
  }
}

TEST(ConfigPageTest, StatAndAccountConfigAreEmptyWithoutAUsableValue) {
  const std::vector<std::pair<ConfigPageText, std::string>> cases = {
      {std::nullopt, ""},
      {"", ""},
      {"StatPath=QWER#AccPath=TYUI#", "QWER"},
      {"<td>myStatPath:QWER#</td>", "QWER"},  // the key inside a longer word
      {"StatPath=#", ""},
      {"StatPath=a\nb#", ""},
      // Values past any address are refused where they come in, before they
      // could reach the settings file.
      {"StatPath=" + std::string(kMaxScrambledAddressBytes, 'Q') + "#",
       std::string(kMaxScrambledAddressBytes, 'Q')},
      {"StatPath=" + std::string(kMaxScrambledAddressBytes + 1, 'Q') + "#", ""},
      {"StatPath=" + std::string(4 << 20, 'Q') + "#", ""},
  };
  for (const auto& [page, stat] : cases) {
    EXPECT_EQ(FetchStatConfig(page), stat) << page.value_or("(no page)").substr(0, 40);
  }
  const std::string huge(100 * 1024, 'W');
  EXPECT_EQ(FetchAccountConfig(ConfigPageText("AccPath=" + huge + "#")), "");
  EXPECT_EQ(FetchTopTenConfig(ConfigPageText("WTGamesPatt=" + huge + "#")).result, "old");
  EXPECT_EQ(FetchAccountConfig(ConfigPageText("StatPath=QWER#AccPath=TYUI#")), "TYUI");
  EXPECT_EQ(FetchAccountConfig(ConfigPageText("AccPath=TYUI")), "TYUI");
  EXPECT_EQ(FetchAccountConfig(std::nullopt), "");
}

class ApplyRemoteConfigTest : public ::testing::Test {
 protected:
  ApplyRemoteConfigTest() {
    settings_.top_ten_address = {ScrambleText("http://stored/topten", kConfigKey),
                                 "http://stored/topten"};
    settings_.stat_address = {ScrambleText("http://stored/stat", kConfigKey), "http://stored/stat"};
  }
  Settings settings_;
  ClubServiceState services_;
};

TEST_F(ApplyRemoteConfigTest, UnreachablePageKeepsStoredAddressesAndOpensTheServices) {
  const Settings before = settings_;
  ApplyRemoteConfig(std::nullopt, settings_, services_);
  EXPECT_TRUE(services_.top_ten_available);
  EXPECT_TRUE(services_.chat_available);
  EXPECT_EQ(settings_.top_ten_address.scrambled, before.top_ten_address.scrambled);
  EXPECT_EQ(settings_.stat_address.plain, before.stat_address.plain);
  EXPECT_EQ(services_.account_address, BuiltinAccountAddress());
}

TEST_F(ApplyRemoteConfigTest, PauseClosesTheTournamentAndKeepsItsAddress) {
  const std::string patt = ScrambleText("http://new/topten", kConfigKey);
  ApplyRemoteConfig("WTGamesPause#WTGamesPatt=" + patt + "#CTGamesPause#", settings_, services_);
  EXPECT_FALSE(services_.top_ten_available);
  EXPECT_FALSE(services_.chat_available);
  EXPECT_EQ(settings_.top_ten_address.plain, "http://stored/topten");
}

TEST_F(ApplyRemoteConfigTest, NewAddressesReplaceBothForms) {
  const std::string patt = ScrambleText("http://new/topten", kConfigKey);
  const std::string stat = ScrambleText("http://new/stat", kConfigKey);
  const std::string account = ScrambleText("http://new/account", kAccountKey);
  ApplyRemoteConfig(
      "<html>WTGamesPatt=" + patt + "#\nStatPath=" + stat + "#\nAccPath=" + account + "#</html>",
      settings_, services_);
  EXPECT_TRUE(services_.top_ten_available);
  EXPECT_EQ(settings_.top_ten_address.scrambled, patt);
  EXPECT_EQ(settings_.top_ten_address.plain, "http://new/topten");
  EXPECT_EQ(settings_.stat_address.scrambled, stat);
  EXPECT_EQ(settings_.stat_address.plain, "http://new/stat");
  // The account address stays scrambled, under its own key.
  EXPECT_EQ(services_.account_address, account);
  EXPECT_EQ(UnscrambleAddress(services_.account_address, kAccountKey), "http://new/account");
}

TEST_F(ApplyRemoteConfigTest, OldKeepsTheAddressAndAnEmptyStatPathChangesNothing) {
  ApplyRemoteConfig("WTGamesPatt=old#StatPath=#", settings_, services_);
  EXPECT_TRUE(services_.top_ten_available);
  EXPECT_EQ(settings_.top_ten_address.plain, "http://stored/topten");
  EXPECT_EQ(settings_.stat_address.plain, "http://stored/stat");
  EXPECT_EQ(services_.account_address, BuiltinAccountAddress());
}

TEST_F(ApplyRemoteConfigTest, PhotoAndUploadAddressesAreKeptScrambledWhenUsable) {
  const std::string photo = ScrambleText("http://new/photos/", kAccountKey);
  const std::string ftp = ScrambleText("ftp://new/up/", kAccountKey);
  ApplyRemoteConfig("PhotoPath=" + photo + "#FtpPath=" + ftp + "#", settings_, services_);
  EXPECT_EQ(services_.photo_address, photo);
  EXPECT_EQ(services_.ftp_address, ftp);
  EXPECT_EQ(UnscrambleAddress(services_.photo_address, kAccountKey), "http://new/photos/");

  // Values that cannot be scrambled addresses count as absent, as do missing keys.
  ApplyRemoteConfig("PhotoPath=not an address#FtpPath=#", settings_, services_);
  EXPECT_TRUE(services_.photo_address.empty());
  EXPECT_TRUE(services_.ftp_address.empty());
  ApplyRemoteConfig(std::nullopt, settings_, services_);
  EXPECT_TRUE(services_.photo_address.empty());
}

}  // namespace
}  // namespace braxo
