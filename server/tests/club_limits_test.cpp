// The real braxo-club on a fresh database of either store, attacked over
// loopback from many 127.x addresses: the limits hold exactly.
#include <gtest/gtest.h>

#include <atomic>
#include <fstream>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "ClubServerProcess.h"
#include "ServerTestKit.h"
#include "club/FormBody.h"

namespace braxo::club {
namespace {

using braxo::testing::ClubServerProcess;
using test::Backend;
using test::LoopbackClient;
using test::Reply;

std::string LoginBody(const std::string& nick, const std::string& pw) {
  return ListFormBody({"nick=" + nick, "pw=" + pw, "label0=0"});
}

// A club with the settings `conf`, on a fresh database of the test's store.
class ClubLimitsTest : public ::testing::TestWithParam<Backend> {
 protected:
  std::unique_ptr<ClubServerProcess> Start(const std::string& conf) {
    const std::string path = folder_.path() + "/club.conf";
    // A PostgreSQL club keeps its photos in a folder the settings name.
    std::ofstream(path) << conf << "photo_dir = " << folder_.path() << "\n";
    std::vector<std::string> args = {"--config", path};
    if (GetParam() == Backend::kPostgres) {
      postgres_ = std::make_unique<test::PostgresDatabase>();
      args.insert(args.end(), {"--database", postgres_->url()});
    }
    return std::make_unique<ClubServerProcess>(args);
  }

  // A client of its own loopback address: the n-th of many.
  static std::string Address(int n) {
    return "127.0." + std::to_string(1 + n / 250) + "." + std::to_string(1 + n % 250);
  }

  test::TempFolder folder_;
  std::unique_ptr<test::PostgresDatabase> postgres_;
};

TEST_P(ClubLimitsTest, SixtyFourConcurrentGuessesCheckExactlyTheBucketsTenPasswords) {
  const auto club = Start("limit.failed_logins = 10/3600\nlog_requests = false\n");
  ASSERT_EQ(LoopbackClient(club->Port()).Post("/account", test::CreateAccountBody("Victim")).body,
            "ok");
  constexpr int kGuesses = 64;
  std::atomic<int> checked{0}, limited{0}, other{0};
  std::vector<std::thread> guessers;
  for (int i = 0; i < kGuesses; ++i)
    guessers.emplace_back([&, i] {
      LoopbackClient guesser(club->Port(), Address(i));
      const Reply r = guesser.Post("/account", LoginBody("Victim", "guess" + std::to_string(i)));
      if (r.status == 200 && r.body == "no") {
        ++checked;
      } else if (r.status == 429) {
        ++limited;
      } else {
        ++other;
      }
    });
  for (auto& t : guessers) t.join();
  EXPECT_EQ(checked.load(), 10);
  EXPECT_EQ(limited.load(), kGuesses - 10);
  EXPECT_EQ(other.load(), 0);
  // Not even the right password gets in now, from a fresh address.
  EXPECT_EQ(LoopbackClient(club->Port(), Address(kGuesses))
                .Post("/account", LoginBody("Victim", "secret1"))
                .status,
            429);
}

// Accounts ignore letter case; so does every limit kept per nick. Each
// request comes from an address of its own, so only a nick's bucket can
// refuse it.
TEST_P(ClubLimitsTest, SpellingsOfANickShareItsLimits) {
  const auto club = Start(
      "limit.failed_logins = 3/3600\nlimit.tournament_writes = 2/3600\n"
      "limit.chat_messages = 1/3600\n");
  int n = 0;
  const auto post = [&](const std::string& path, const std::string& body) {
    return LoopbackClient(club->Port(), Address(n++)).Post(path, body);
  };
  ASSERT_EQ(post("/account", test::CreateAccountBody("Victim")).body, "ok");
  for (const char* spelling : {"vICTIM", "VICTIM", "victim"})
    ASSERT_EQ(post("/account", LoginBody(spelling, "wrong1")).body, "no");
  EXPECT_EQ(post("/account", LoginBody("Victim", "secret1")).status, 429);

  ASSERT_EQ(post("/topten", test::EntryBody(76, "Writer", 500)).status, 200);
  ASSERT_EQ(post("/topten", test::EntryBody(76, "WRITER", 500)).status, 200);
  EXPECT_EQ(post("/topten", test::EntryBody(76, "wRITER", 500)).status, 429);

  ASSERT_EQ(post("/topten", test::EntryBody(100, "Talker", 0, "#", "hello")).status, 200);
  EXPECT_EQ(post("/topten", test::EntryBody(100, "tALKER", 0, "#", "hello")).status, 429);
  // Another nick is not held back by them.
  EXPECT_EQ(post("/topten", test::EntryBody(100, "Other", 0, "#", "hello")).status, 200);
}

// Every login leaves a session row: logins are limited per nick even with the
// right password, and a member's oldest session closes when a new one is
// one too many.
TEST_P(ClubLimitsTest, LoginsAndSessionsAreBounded) {
  const auto club = Start("limit.logins = 3/3600\nsessions_per_member = 2\n");
  LoopbackClient creator(club->Port());
  ASSERT_EQ(creator.Post("/account", test::CreateAccountBody("Player")).body, "ok");
  std::vector<std::unique_ptr<LoopbackClient>> games;
  for (int i = 0; i < 3; ++i) {
    games.push_back(std::make_unique<LoopbackClient>(club->Port()));
    ASSERT_EQ(games.back()->Post("/account", LoginBody("PLAYER", "secret1")).status, 200);
  }
  EXPECT_EQ(LoopbackClient(club->Port()).Post("/account", LoginBody("player", "secret1")).status,
            429);
  std::vector<FormField> info = {{"nick", "Player"}, {"labelinfosave", "0"}};
  for (const char* name : {"namei", "name2", "about", "telephone", "emailo", "website", "skype",
                           "ok", "vk", "telegram", "facebook", "twitter", "instagramm", "youtube"})
    info.push_back({name, "x"});
  const std::string save = PlainFormBody(info);
  EXPECT_EQ(creator.Post("/account", save).body, "no");
  EXPECT_EQ(games[0]->Post("/account", save).body, "no");
  EXPECT_EQ(games[1]->Post("/account", save).body, "ok");
  EXPECT_EQ(games[2]->Post("/account", save).body, "ok");
}

INSTANTIATE_TEST_SUITE_P(Stores, ClubLimitsTest,
                         ::testing::Values(Backend::kSqlite, Backend::kPostgres),
                         test::BackendName);

}  // namespace
}  // namespace braxo::club
