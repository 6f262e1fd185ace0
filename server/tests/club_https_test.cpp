// The game's club client over https: the real braxo-club behind haproxy with
// deploy/'s configuration, a certificate from an authority made for the test.
// The game trusts the system's authorities only; this test adds its own to
// the default TLS configuration of this process, and nothing else does.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QSslCertificate>
#include <QSslConfiguration>

#include "ClusterKit.h"
#include "WaitingClub.h"
#include "club/ClubClient.h"
#include "club/ConfigPage.h"
#include "club/FormBody.h"
#include "club/ReplyRules.h"
#include "club/Scramble.h"

namespace braxo::club {
namespace {

TEST(ClubOverHttps, TheGameSpeaksToTheClubThroughTheBalancerAndChecksItsCertificate) {
  test::TempFolder folder;
  test::TestCertificates certificates(folder.path());
  const int port = test::FreePort();
  const std::string base = "https://127.0.0.1:" + std::to_string(port) + "/";
  std::ofstream(folder.path() + "/club.conf") << "trusted_proxies = 127.0.0.1\n";
  braxo::testing::ClubServerProcess club(
      {"--public-url", base, "--config", folder.path() + "/club.conf"});
  const std::string backend = "127.0.0.1:" + std::to_string(club.Port());
  test::ChildProcess balancer({"haproxy", "-db", "-f", BRAXO_DEPLOY_DIR "/haproxy/braxo-club.cfg"},
                              {"BRAXO_CLUB_BIND=127.0.0.1:" + std::to_string(port),
                               "BRAXO_CLUB_CERT=" + certificates.server_pem,
                               "BRAXO_CLUB_1=" + backend, "BRAXO_CLUB_2=" + backend},
                              folder.path() + "/haproxy.log");
  test::HttpsClient probe(base, certificates.ca);
  for (int i = 0; i < 200 && probe.Get("config").status != 200; ++i)
    std::this_thread::sleep_for(std::chrono::milliseconds(50));

  // Not trusted yet: the certificate error is a failure and nothing is sent on.
  {
    ClubClient game;
    const HttpResult refused =
        braxo::testing::WaitForPlain(game, base + "account", test::CreateAccountFields("Player"));
    EXPECT_FALSE(refused.ok());
    EXPECT_EQ(refused.status, 0);
    EXPECT_TRUE(refused.body.empty());
  }

  QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
  tls.addCaCertificates(QSslCertificate::fromPath(QString::fromStdString(certificates.ca)));
  QSslConfiguration::setDefaultConfiguration(tls);

  setenv("BRAXO_CONFIG_URL", (base + "config").c_str(), 1);
  const ConfigPageText page = braxo::testing::WaitForConfigPage();
  unsetenv("BRAXO_CONFIG_URL");
  ASSERT_TRUE(page);
  EXPECT_EQ(UnscrambleText(FindConfigValue(*page, "AccPath").value_or(""), kAccountKey),
            base + "account");

  ClubClient game;
  // "ok", not "is": the refused attempt above never reached the club.
  EXPECT_EQ(
      braxo::testing::WaitForPlain(game, base + "account", test::CreateAccountFields("Player"))
          .body,
      "ok");
  const HttpResult login = braxo::testing::WaitForList(game, base + "account",
                                                       {"nick=Player", "pw=secret1", "label0=0"});
  ASSERT_TRUE(login.ok()) << HttpErrorName(login.error);
  EXPECT_EQ(login.body.substr(0, 7), "$Paris ");
  // The session cookie came back over TLS and is honoured.
  std::vector<FormField> info = {{"nick", "Player"}, {"labelinfosave", "0"}};
  for (const char* name : {"namei", "name2", "about", "telephone", "emailo", "website", "skype",
                           "ok", "vk", "telegram", "facebook", "twitter", "instagramm", "youtube"})
    info.push_back({name, std::string(name) + "1"});
  EXPECT_EQ(braxo::testing::WaitForPlain(game, base + "account", info).body, "ok");
}

}  // namespace
}  // namespace braxo::club

int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
