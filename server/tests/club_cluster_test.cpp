// The club as deployed for many players: two braxo-club processes on one
// PostgreSQL database behind haproxy, which terminates TLS. Whatever process
// answers, a member's session, limits and credits are the same.
#include <gtest/gtest.h>

#include <set>

#include "ClusterKit.h"
#include "club/ConfigPage.h"
#include "club/FormBody.h"
#include "club/ReplyRules.h"
#include "club/Scramble.h"

namespace braxo::club {
namespace {

using test::ClubCluster;
using test::EntryBody;
using test::HttpsClient;
using test::HttpsReply;

std::string InfoBody(const std::string& about) {
  std::vector<FormField> info = {{"nick", "Player"}, {"labelinfosave", "0"}};
  for (const char* name : {"namei", "name2", "about", "telephone", "emailo", "website", "skype",
                           "ok", "vk", "telegram", "facebook", "twitter", "instagramm", "youtube"})
    info.push_back({name, std::string(name) == "about" ? about : std::string(name) + "1"});
  return PlainFormBody(info);
}

// Reads the rated-game record and saves the start and the end of one game,
// as the game computes them.
bool PlayRatedGame(HttpsClient& game, int score, std::set<std::string>& servers) {
  const auto read = [&] {
    const HttpsReply r =
        game.Post("account", ListFormBody({"nick=Player", "pw=secret1", "xxxbrbest=0"}));
    servers.insert(r.server);
    return RecordReply(r.body, '$', ' ');
  };
  const auto save = [&](std::int64_t kon, std::int64_t best, double rating) {
    const HttpsReply r =
        game.Post("account", PlainFormBody({{"nick", "Player"},
                                            {"pw", "secret1"},
                                            {"xxxbrkon", std::to_string(kon)},
                                            {"xxxbrbest", std::to_string(best)},
                                            {"xxxbrrating", FormatClubNumber(rating)},
                                            {"xxxbrR1", "0"},
                                            {"xxxbrR2", "0"}}));
    servers.insert(r.server);
    return r.body == "ok";
  };
  auto r = read();
  if (!r) return false;
  auto kon = *ParseClubInteger(RecordField(*r, 1));
  auto best = *ParseClubInteger(RecordField(*r, 2));
  double rating = *ParseClubNumber(RecordField(*r, 3));
  if (!save(kon + 1, best, kon * (rating - kon) / (kon + 1) + (kon + 1))) return false;
  r = read();
  if (!r) return false;
  kon = *ParseClubInteger(RecordField(*r, 1));
  best = *ParseClubInteger(RecordField(*r, 2));
  rating = *ParseClubNumber(RecordField(*r, 3));
  return save(kon, std::max<std::int64_t>(best, score), rating + double(score) / kon);
}

TEST(ClubCluster, TheClubScriptRunsThroughTheBalancerWhicheverProcessAnswers) {
  ClubCluster cluster;
  HttpsClient game(cluster.BaseUrl(), cluster.ca());

  // The configuration page sends the game to the balancer's https address.
  const HttpsReply page = game.Get("config");
  ASSERT_EQ(page.status, 200) << page.error;
  EXPECT_EQ(UnscrambleText(FindConfigValue(page.body, "AccPath").value_or(""), kAccountKey),
            cluster.BaseUrl() + "account");

  const HttpsReply created = game.Post("account", test::CreateAccountBody("Player"));
  EXPECT_EQ(created.body, "ok");
  ASSERT_FALSE(game.cookie.empty());

  // The session made by one process is honoured by both.
  std::set<std::string> saved_on;
  for (int i = 0; i < 6; ++i) {
    const HttpsReply r = game.Post("account", InfoBody("About" + std::to_string(i)));
    EXPECT_EQ(r.body, "ok") << "answered by " << r.server;
    saved_on.insert(r.server);
  }
  EXPECT_EQ(saved_on, (std::set<std::string>{"club1", "club2"}));
  const auto info = RecordReply(
      game.Post("account", ListFormBody({"nick=Player", "labelinforead=0"})).body, '$', '~');
  ASSERT_TRUE(info);
  EXPECT_EQ(RecordField(*info, 3), "About5");

  // Rated games: each start and end may reach another process.
  std::set<std::string> rated_on;
  for (const int score : {1000, 2000, 3000}) ASSERT_TRUE(PlayRatedGame(game, score, rated_on));
  EXPECT_EQ(rated_on, (std::set<std::string>{"club1", "club2"}));
  const auto record = RecordReply(
      game.Post("account", ListFormBody({"nick=Player", "pw=secret1", "xxxbrbest=0"})).body, '$',
      ' ');
  ASSERT_TRUE(record);
  EXPECT_EQ(RecordField(*record, 3), "2003");

  // One credit per top-ten entry of the session, whichever process is asked.
  EXPECT_EQ(NumberReply(game.Post("topten", EntryBody(76, "Player", 15000)).body), 1);
  const std::string credit25 =
      PlainFormBody({{"nick", "Player"}, {"labelkezsave", "0"}, {"R04", "25"}});
  int credited = 0;
  for (int i = 0; i < 4; ++i) credited += game.Post("account", credit25).body == "ok";
  EXPECT_EQ(credited, 1);
  EXPECT_EQ(
      FirstNumberReply(game.Post("account", ListFormBody({"nick=Player", "labelkezread=0"})).body),
      25);

  // A client without the session is refused by both processes.
  HttpsClient stranger(cluster.BaseUrl(), cluster.ca());
  std::set<std::string> refused_on;
  for (int i = 0; i < 4; ++i) {
    const HttpsReply r = stranger.Post("account", InfoBody("Hacked"));
    EXPECT_EQ(r.body, "no");
    refused_on.insert(r.server);
  }
  EXPECT_EQ(refused_on, (std::set<std::string>{"club1", "club2"}));
}

TEST(ClubCluster, LimitsHoldAcrossBothProcesses) {
  ClubCluster cluster("limit.failed_logins = 3/3600\nlimit.chat_messages = 2/3600\n");
  HttpsClient game(cluster.BaseUrl(), cluster.ca());
  ASSERT_EQ(game.Post("account", test::CreateAccountBody("Player")).body, "ok");

  // Three failed logins spread over both processes lock the nick on both.
  std::set<std::string> failed_on;
  for (int i = 0; i < 3; ++i) {
    const HttpsReply r =
        game.Post("account", ListFormBody({"nick=Player", "pw=wrong1", "label0=0"}));
    EXPECT_TRUE(MarkerReply(r.body, "no")) << r.body;
    failed_on.insert(r.server);
  }
  EXPECT_EQ(failed_on.size(), 2u);
  std::set<std::string> locked_on;
  for (int i = 0; i < 4; ++i) {
    const HttpsReply r =
        game.Post("account", ListFormBody({"nick=Player", "pw=secret1", "label0=0"}));
    EXPECT_EQ(r.status, 429) << r.body;
    locked_on.insert(r.server);
  }
  EXPECT_EQ(locked_on, (std::set<std::string>{"club1", "club2"}));

  // Two chat messages in the window, then none, on whichever process.
  const auto chat = [&](const std::string& text) {
    return game.Post("topten", PlainFormBody({{"gid", "100"},
                                              {"nick", "Player"},
                                              {"city", "Moscow"},
                                              {"country", "1-001"},
                                              {"score", "0"},
                                              {"R7", "M"},
                                              {"R8", "2.7"},
                                              {"R9", "10.12.2026_12:00"},
                                              {"R10", text + "*"}}));
  };
  EXPECT_EQ(chat("Hello").status, 200);
  EXPECT_EQ(chat("Again").status, 200);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(chat("More").status, 429);
}

TEST(ClubCluster, TheBalancerServesOnlyOverTrustedTls) {
  ClubCluster cluster;
  // A client that does not trust the test's authority gets no reply at all.
  test::TempFolder other;
  test::TestCertificates stranger_ca(other.path());
  HttpsClient untrusting(cluster.BaseUrl(), stranger_ca.ca);
  const HttpsReply refused = untrusting.Get("config");
  EXPECT_EQ(refused.status, 0);
  EXPECT_FALSE(refused.error.empty());
  EXPECT_TRUE(refused.body.empty());
  HttpsClient trusting(cluster.BaseUrl(), cluster.ca());
  EXPECT_EQ(trusting.Get("config").status, 200);
}

}  // namespace
}  // namespace braxo::club
