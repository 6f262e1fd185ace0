// The real braxo-club on a fresh database of either store: what only a member
// may do under a member's nick, and how fast rated games may start.
#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ClubServerProcess.h"
#include "ServerTestKit.h"
#include "club/FormBody.h"
#include "club/ReplyRules.h"
#include "club/wire/WireConstants.h"

namespace braxo::club {
namespace {

using braxo::testing::ClubServerProcess;
using test::Backend;
using test::LoopbackClient;
using test::RatedPlayer;
using test::Reply;

class ClubMemberRulesTest : public ::testing::TestWithParam<Backend> {
 protected:
  std::unique_ptr<ClubServerProcess> Start(const std::string& conf = {}) {
    const std::string path = folder_.path() + "/club.conf";
    std::ofstream(path) << conf << "photo_dir = " << folder_.path() << "\n";
    std::vector<std::string> args = {"--config", path};
    if (GetParam() == Backend::kPostgres) {
      postgres_ = std::make_unique<test::PostgresDatabase>();
      args.insert(args.end(), {"--database", postgres_->url()});
    }
    return std::make_unique<ClubServerProcess>(args);
  }

  test::TempFolder folder_;
  std::unique_ptr<test::PostgresDatabase> postgres_;
};

// Anyone may post under a nick no member holds; a member's nick, in any
// spelling, takes that member's session, and a refused entry leaves no trace.
TEST_P(ClubMemberRulesTest, AMembersNickInTheTournamentNeedsThatMembersSession) {
  const auto club = Start();
  LoopbackClient victim(club->Port()), other(club->Port()), anonymous(club->Port());
  ASSERT_EQ(victim.Post("/account", test::CreateAccountBody("Victim")).body, "ok");
  ASSERT_EQ(other.Post("/account", test::CreateAccountBody("Other")).body, "ok");

  struct Case {
    const char* what;
    LoopbackClient* client;
    int table;
    const char* nick;
    int status;
  };
  const int refused = wire::kMemberNickStatus;
  // clang-format off
  const Case cases[] = {
      {"no session",              &anonymous, 76,  "Victim",   refused},
      {"another spelling",        &anonymous, 76,  "vICTIM",   refused},
      {"the Android table",       &anonymous, 176, "Victim",   refused},
      {"another member's session", &other,    76,  "Victim",   refused},
      {"the member's own session", &victim,   76,  "VICTIM",   200},
      {"a nick of no member",     &anonymous, 76,  "Stranger", 200},
      {"a member under their own", &other,    176, "Other",    200},
  };
  // clang-format on
  int score = 9000;
  for (const Case& c : cases) {
    const Reply r = c.client->Post("/topten", test::EntryBody(c.table, c.nick, score++));
    EXPECT_EQ(r.status, c.status) << c.what;
    if (c.status == 200) {
      EXPECT_TRUE(NumberReply(r.body)) << c.what;
    } else {
      EXPECT_EQ(r.body, "no") << c.what;
    }
  }

  // Only the allowed entries are in the tables.
  const auto nicks_of = [&](int table) {
    const Reply read = anonymous.Post("/topten", ListFormBody({"gid=" + std::to_string(table)}));
    std::vector<std::string> nicks;
    for (const ReplyRecord& record : RecordReplies(read.body, '*', ' ', 10))
      nicks.push_back(RecordField(record, 4));
    return nicks;
  };
  EXPECT_EQ(nicks_of(76), (std::vector<std::string>{"Stranger", "VICTIM"}));
  EXPECT_EQ(nicks_of(176), (std::vector<std::string>{"Other"}));
}

// Every rated start adds one to the rating, so a script of starts alone would
// climb the rated table: past the burst, starts come no faster than one a
// second, while a player who plays each game goes on unhindered.
TEST_P(ClubMemberRulesTest, RatedStartsComeNoFasterThanRealGames) {
  const auto club = Start();
  LoopbackClient game(club->Port());
  ASSERT_EQ(game.Post("/account", test::CreateAccountBody("Climber")).body, "ok");
  RatedPlayer climber{game, "Climber"};

  constexpr int kAttempts = 12;
  int accepted = 0;
  const auto began = std::chrono::steady_clock::now();
  for (int i = 0; i < kAttempts; ++i) accepted += climber.Start() ? 1 : 0;
  const double took =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - began).count();
  // Three at once, then one for every second the attack took.
  EXPECT_GE(accepted, 3);
  EXPECT_LE(accepted, 3 + static_cast<int>(std::floor(took)));
  EXPECT_LT(accepted, kAttempts) << "the attack took " << took << " s";
  EXPECT_EQ(RecordField(*climber.Read(), 1), std::to_string(accepted));
  // A refused start is a rate limit, not a broken save.
  const auto r =
      game.Post("/account", PlainFormBody({{"nick", "Climber"},
                                           {"pw", "secret1"},
                                           {"xxxbrkon", std::to_string(accepted + 1)},
                                           {"xxxbrbest", "0"},
                                           {"xxxbrrating", FormatClubNumber(accepted + 1)},
                                           {"xxxbrR1", "0"},
                                           {"xxxbrR2", "0"}}));
  EXPECT_EQ(r.status, 429);

  // A person's pace: each game lasts at least a tick of the game's clock.
  std::this_thread::sleep_for(std::chrono::seconds(3));
  for (int i = 0; i < 4; ++i) {
    ASSERT_TRUE(climber.Start()) << "game " << i;
    std::this_thread::sleep_for(std::chrono::milliseconds(1100));
    ASSERT_TRUE(climber.Finish(6000)) << "game " << i;
  }
  EXPECT_EQ(RecordField(*climber.Read(), 1), std::to_string(accepted + 4));
}

// The bound is a setting: a shorter one holds at its own pace.
TEST_P(ClubMemberRulesTest, TheRatedStartBoundIsASetting) {
  const auto club = Start("limit.rated_starts = 1/3600\n");
  LoopbackClient game(club->Port());
  ASSERT_EQ(game.Post("/account", test::CreateAccountBody("Climber")).body, "ok");
  RatedPlayer climber{game, "Climber"};
  ASSERT_TRUE(climber.Start());
  ASSERT_TRUE(climber.Finish(5000));
  EXPECT_FALSE(climber.Start());
  EXPECT_EQ(RecordField(*climber.Read(), 1), "1");
}

INSTANTIATE_TEST_SUITE_P(Stores, ClubMemberRulesTest,
                         ::testing::Values(Backend::kSqlite, Backend::kPostgres),
                         test::BackendName);

}  // namespace
}  // namespace braxo::club
