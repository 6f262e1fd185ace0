// The command line and the operator's configuration file.
#include <gtest/gtest.h>

#include <fstream>

#include "ServerConfig.h"
#include "ServerTestKit.h"
#include "http/ClubRoutes.h"

namespace braxo::club {
namespace {

TEST(CommandLine, DefaultsAndValues) {
  std::string error;
  const auto d = ParseCommandLine({}, error);
  ASSERT_TRUE(d);
  EXPECT_EQ(d->host, "127.0.0.1");
  EXPECT_EQ(d->port, 8676);
  EXPECT_EQ(d->database_url, "sqlite:");
  const auto c = ParseCommandLine({"--listen", "127.0.0.1:0", "--database", "sqlite:/tmp/x.db",
                                   "--public-url", "http://club.invalid", "--config", "f.conf"},
                                  error);
  ASSERT_TRUE(c);
  EXPECT_EQ(c->port, 0);
  EXPECT_EQ(c->public_url, "http://club.invalid/");
  EXPECT_EQ(c->config_file, "f.conf");
}

TEST(CommandLine, BadArgumentsAreNamed) {
  const std::vector<std::vector<std::string>> bad = {
      {"--listen"},           {"--listen", "8676"},         {"--listen", "host:99999"},
      {"--database", "x.db"}, {"--public-url", "club.org"}, {"--verbose"}};
  for (const auto& args : bad) {
    std::string error;
    EXPECT_FALSE(ParseCommandLine(args, error)) << args[0];
    EXPECT_FALSE(error.empty());
  }
}

TEST(CommandLine, TheDefaultDatabaseLivesInTheDataHome) {
  setenv("XDG_DATA_HOME", "/data/home", 1);
  EXPECT_EQ(ResolveDatabaseUrl("sqlite:"), "sqlite:/data/home/braxo-club/club.db");
  EXPECT_EQ(ResolveDatabaseUrl("sqlite:/x.db"), "sqlite:/x.db");
}

TEST(ServerSettingsFile, ReadsKeysAndRefusesBadOnes) {
  test::TempFolder folder;
  const std::string path = folder.path() + "/club.conf";
  {
    std::ofstream f(path);
    f << "# operator settings\n"
         "announcement_show = yes\n"
         "announcement_text = New levels soon\n"
         "chat_available = false\n"
         "limit.chat_messages = 2/30\n"
         "password_memory_kib = 65536\n"
         "password_hashes_at_once = 3\n"
         "verified_password_minutes = 0\n"
         "read_cache_ms = 250\n";
  }
  ServerSettings s;
  EXPECT_FALSE(LoadServerSettings(path, s));
  EXPECT_TRUE(s.page.announcement_show);
  EXPECT_EQ(s.page.announcement_text, "New levels soon");
  EXPECT_FALSE(s.page.chat_available);
  EXPECT_DOUBLE_EQ(s.limits.chat_messages.count, 2);
  EXPECT_DOUBLE_EQ(s.limits.chat_messages.window_seconds, 30);
  EXPECT_EQ(s.limits.password_cost.memory_bytes, 64u * 1024 * 1024);
  EXPECT_EQ(s.limits.password_hashes_at_once, 3);
  EXPECT_DOUBLE_EQ(s.limits.verified_password_seconds, 0);
  EXPECT_DOUBLE_EQ(s.limits.read_cache_seconds, 0.25);

  for (const char* line :
       {"colour = red", "announcement_text = a#b", "password_memory_kib = 1024",
        "password_passes = 1", "body_limit_bytes = 1000000", "threads = lots", "limit.likes = 5",
        "read_cache_ms = 61000", "password_hashes_at_once = -1", "no equals sign"}) {
    std::ofstream(path) << line << "\n";
    ServerSettings t;
    const auto problem = LoadServerSettings(path, t);
    ASSERT_TRUE(problem) << line;
    EXPECT_NE(problem->find(":1:"), std::string::npos) << *problem;
  }
  ServerSettings u;
  EXPECT_TRUE(LoadServerSettings(folder.path() + "/missing.conf", u));
}

TEST(ServerSettingsFile, TheShippedSettingsFilesRead) {
  for (const char* path : {BRAXO_CLUB_CONF_EXAMPLE, BRAXO_DEPLOY_CLUB_CONF}) {
    ServerSettings s;
    const auto problem = LoadServerSettings(path, s);
    EXPECT_FALSE(problem) << *problem;
  }
}

TEST(Routes, PhotoPathsNameOneStoredPhoto) {
  EXPECT_EQ(PhotoNick("/photos/Player.jpg"), "Player");
  EXPECT_EQ(PhotoNick("/photos/Big%20Fan.jpg"), "Big Fan");
  EXPECT_EQ(PhotoNick("/photos/%D0%98.jpg"), "\xD0\x98");
  for (const char* bad :
       {"/photos/.jpg", "/photos/a/b.jpg", "/photos/..%2Fclub.db.jpg", "/photos/%2E%2E.jpg",
        "/photos/a%2Fb.jpg", "/photos/x.png", "/photos/a%00b.jpg", "/photos/a%5Cb.jpg",
        "/photos/%zz.jpg", "/other/x.jpg"})
    EXPECT_FALSE(PhotoNick(bad)) << bad;
}

TEST(Routes, TheSessionCookieIsFoundAmongOthers) {
  EXPECT_EQ(SessionFromCookie("a=1; braxo_session=abc; b=2"), "abc");
  EXPECT_EQ(SessionFromCookie("braxo_session=xyz"), "xyz");
  EXPECT_EQ(SessionFromCookie("xbraxo_session=no"), "");
  EXPECT_EQ(SessionFromCookie(""), "");
}

}  // namespace
}  // namespace braxo::club
