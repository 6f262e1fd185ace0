// The repository's named operations on a fresh database of each backend.
#include <gtest/gtest.h>
#include <sqlite3.h>

#include <iterator>
#include <stdexcept>
#include <vector>

#include "ServerTestKit.h"
#include "store/Migrations.h"

namespace braxo::club {
namespace {

using test::Account;
using test::FreshDatabase;

TableEntry Entry(std::int64_t table, std::int64_t score, const std::string& nick,
                 const std::string& city = "Moscow") {
  TableEntry e;
  e.table_id = table;
  e.score = score;
  e.nick = nick;
  e.city = city;
  e.country_code = "1-001";
  e.sex = "M";
  e.writer_version = "2.7";
  e.time_stamp = "#";
  e.message = "#";
  return e;
}

class RepositoryTest : public ::testing::TestWithParam<test::Backend> {};

TEST_P(RepositoryTest, NicksAreUniqueWithoutRegardToLetterCase) {
  FreshDatabase db(GetParam());
  db.repository->Transact(Access::kWrite, [](Store& s) {
    StoredAccount a = Account("Player");
    ASSERT_TRUE(s.InsertAccount(a, 1));
    EXPECT_GT(a.id, 0);
    StoredAccount b = Account("pLAYER");
    EXPECT_FALSE(s.InsertAccount(b, 2));
    StoredAccount c = Account("\xD0\x98\xD0\xB3\xD1\x80\xD0\xBE\xD0\xBA");  // "Игрок"
    ASSERT_TRUE(s.InsertAccount(c, 3));
    StoredAccount d = Account("\xD0\xB8\xD0\x93\xD0\xA0\xD0\x9E\xD0\x9A");  // "иГРОК"
    EXPECT_FALSE(s.InsertAccount(d, 4));
    EXPECT_EQ(s.CountAccounts(), 2);
    const auto found = s.FindAccount("PLAYER");
    ASSERT_TRUE(found);
    EXPECT_EQ(found->nick, "Player");
    EXPECT_FALSE(s.FindAccount("Playe"));
  });
}

TEST_P(RepositoryTest, AFailedTransactionLeavesNothingBehind) {
  FreshDatabase db(GetParam());
  EXPECT_THROW(db.repository->Transact(Access::kWrite,
                                       [](Store& s) {
                                         StoredAccount a = Account("Player");
                                         s.InsertAccount(a, 1);
                                         throw std::runtime_error("fault in the middle");
                                       }),
               std::runtime_error);
  db.repository->Transact(Access::kRead, [](Store& s) { EXPECT_EQ(s.CountAccounts(), 0); });
}

TEST(SqliteRepository, DataAndSchemaSurviveReopening) {
  test::TempFolder folder;
  const std::string url = "sqlite:" + folder.path() + "/sub/club.db";
  {
    auto repo = OpenRepository(url);
    repo->Transact(Access::kWrite, [](Store& s) {
      StoredAccount a = Account("Player");
      s.InsertAccount(a, 1);
    });
  }
  auto again = OpenRepository(url);
  again->Transact(Access::kRead, [](Store& s) { EXPECT_TRUE(s.FindAccount("player")); });
}

// A club database from before the kept counts: the migration counts the
// entries already there, and an entry an operator deletes by hand leaves the
// counts right.
TEST(SqliteRepository, CountsAreMadeForOldDatabasesAndFollowDeletes) {
  test::TempFolder folder;
  const std::string file = folder.path() + "/club.db";
  {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &raw), SQLITE_OK);
    const Migration& first = SqliteMigrations()[0];
    ASSERT_EQ(first.number, 1);
    std::string sql(first.sql);
    sql +=
        "; CREATE TABLE schema_migrations (number INTEGER PRIMARY KEY, name TEXT NOT NULL, "
        "applied_at INTEGER NOT NULL); INSERT INTO schema_migrations VALUES (1, 'initial', 0);";
    for (const int score : {500, 900, 900, 70})
      sql +=
          "INSERT INTO table_entries (table_id, score, nick, country, city, r07, r08, r09, r10, "
          "created_at) VALUES (76, " +
          std::to_string(score) + ", 'Old', '1-001', 'Moscow', 'M', '2.7', '#', '#', 0);";
    char* error = nullptr;
    ASSERT_EQ(sqlite3_exec(raw, sql.c_str(), nullptr, nullptr, &error), SQLITE_OK)
        << (error ? error : "");
    sqlite3_close(raw);
  }
  auto repo = OpenRepository("sqlite:" + file);
  TableEntry fresh = Entry(76, 800, "New");
  repo->Transact(Access::kWrite, [&](Store& s) { s.InsertEntry(fresh, 1); });
  repo->Transact(Access::kRead, [&](Store& s) {
    EXPECT_EQ(s.CountEntries(76), 5);
    EXPECT_EQ(s.PlaceOf(fresh), 3);  // after the two 900s
  });
  {
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(file.c_str(), &raw), SQLITE_OK);
    ASSERT_EQ(
        sqlite3_exec(raw, "DELETE FROM table_entries WHERE score = 900", nullptr, nullptr, nullptr),
        SQLITE_OK);
    sqlite3_close(raw);
  }
  repo->Transact(Access::kRead, [&](Store& s) {
    EXPECT_EQ(s.CountEntries(76), 3);
    EXPECT_EQ(s.PlaceOf(fresh), 1);
  });
}

TEST(SqliteRepository, UnknownDatabaseUrlsAreRefused) {
  EXPECT_THROW(OpenRepository("mysql://localhost/club"), std::runtime_error);
  EXPECT_THROW(OpenRepository("sqlite:"), std::runtime_error);
}

TEST_P(RepositoryTest, TournamentOrderIsByScoreTiesByTheEarlierEntry) {
  FreshDatabase db(GetParam());
  db.repository->Transact(Access::kWrite, [](Store& s) {
    TableEntry a = Entry(76, 9000, "First");
    TableEntry b = Entry(76, 12000, "Best");
    TableEntry c = Entry(76, 9000, "Second");
    TableEntry other = Entry(176, 19000, "Android");
    s.InsertEntry(a, 1);
    s.InsertEntry(b, 2);
    s.InsertEntry(c, 3);
    s.InsertEntry(other, 4);
    const auto best = s.BestEntries(76, 10);
    ASSERT_EQ(best.size(), 3u);
    EXPECT_EQ(best[0].nick, "Best");
    EXPECT_EQ(best[1].nick, "First");
    EXPECT_EQ(best[2].nick, "Second");
    EXPECT_EQ(s.PlaceOf(a), 2);
    EXPECT_EQ(s.PlaceOf(c), 3);
    EXPECT_EQ(s.CountEntries(76), 3);
    EXPECT_EQ(s.HighestScore(76), 12000);
    EXPECT_EQ(s.HighestScore(100), 0);
  });
}

// Places come from kept counts (per score and per band of 64 scores); they
// must agree with the entries themselves on both sides of every band edge.
TEST_P(RepositoryTest, PlacesAndCountsAgreeWithTheEntriesAcrossScoreBands) {
  FreshDatabase db(GetParam());
  const std::int64_t scores[] = {0, 1, 63, 64, 65, 127, 128, 128, 129, 640, 19000, 63, 64, 0, 128};
  std::vector<TableEntry> written;
  db.repository->Transact(Access::kWrite, [&](Store& s) {
    written.clear();
    int i = 0;
    for (const std::int64_t score : scores) {
      TableEntry e = Entry(76, score, "P" + std::to_string(i++));
      s.InsertEntry(e, 1);
      written.push_back(e);
    }
    TableEntry android = Entry(176, 64, "Android");
    s.InsertEntry(android, 1);
  });
  db.repository->Transact(Access::kRead, [&](Store& s) {
    EXPECT_EQ(s.CountEntries(76), static_cast<std::int64_t>(std::size(scores)));
    EXPECT_EQ(s.CountEntries(176), 1);
    EXPECT_EQ(s.CountEntries(100), 0);
    for (const TableEntry& e : written) {
      std::int64_t above = 0;
      for (const TableEntry& other : written)
        if (other.score > e.score || (other.score == e.score && other.id < e.id)) ++above;
      EXPECT_EQ(s.PlaceOf(e), above + 1) << "score " << e.score << ", entry " << e.nick;
    }
  });
}

TEST_P(RepositoryTest, ChatIsNewestFirstAndOwnEntriesFilterByCity) {
  FreshDatabase db(GetParam());
  db.repository->Transact(Access::kWrite, [](Store& s) {
    for (int i = 1; i <= 12; ++i) {
      TableEntry e = Entry(100, i, "Writer");
      s.InsertEntry(e, i);
    }
    const auto newest = s.NewestEntries(100, 10);
    ASSERT_EQ(newest.size(), 10u);
    EXPECT_EQ(newest.front().score, 12);
    EXPECT_EQ(newest.back().score, 3);

    TableEntry x = Entry(76, 5000, "Me", "Moscow");
    TableEntry y = Entry(76, 7000, "Me", "Paris");
    TableEntry z = Entry(76, 6000, "Me", "Moscow");
    s.InsertEntry(x, 1);
    s.InsertEntry(y, 2);
    s.InsertEntry(z, 3);
    const auto moscow = s.EntriesOf(76, "Me", "Moscow", 10);
    ASSERT_EQ(moscow.size(), 2u);
    EXPECT_EQ(moscow[0].score, 6000);
    EXPECT_EQ(s.EntriesOf(76, "Me", "", 10).size(), 3u);
  });
}

TEST_P(RepositoryTest, RatedPlayersByRatingTiesByTheEarlierAccount) {
  FreshDatabase db(GetParam());
  db.repository->Transact(Access::kWrite, [](Store& s) {
    StoredAccount a = Account("Alpha"), b = Account("Bravo"), c = Account("Charlie");
    s.InsertAccount(a, 1);
    s.InsertAccount(b, 2);
    s.InsertAccount(c, 3);
    s.WriteGameRecord(a.id, 76, {1, 4000, 4000, false});  // 4001
    s.WriteGameRecord(b.id, 76, {2, 6000, 8000, false});  // 4002
    s.WriteGameRecord(c.id, 76, {1, 4000, 4000, false});  // 4001
    s.WriteGameRecord(c.id, 77, {1, 9000, 9000, false});  // another game
    const auto top = s.TopRated(76, 10);
    ASSERT_EQ(top.size(), 3u);
    EXPECT_EQ(top[0].nick, "Bravo");
    EXPECT_DOUBLE_EQ(top[0].rating, 4002);
    EXPECT_EQ(top[1].nick, "Alpha");
    EXPECT_EQ(top[2].nick, "Charlie");
    EXPECT_EQ(s.CountRatingsAbove(76, 4001), 1);
    EXPECT_EQ(s.CountRatingsAbove(76, 0), 3);
    const StoredGameRecord row = s.ReadGameRecord(b.id, 76);
    EXPECT_EQ(row.rated_games, 2);
    EXPECT_EQ(row.score_sum, 8000);
  });
}

TEST_P(RepositoryTest, SessionsExpireAndCreditRightsAreUsedOnce) {
  FreshDatabase db(GetParam());
  db.repository->Transact(Access::kWrite, [](Store& s) {
    StoredAccount a = Account("Player");
    s.InsertAccount(a, 1);
    s.InsertSession("token-hash", a.id, 100);
    EXPECT_EQ(s.SessionAccount("token-hash", 99), a.id);
    EXPECT_FALSE(s.SessionAccount("token-hash", 100));
    EXPECT_FALSE(s.SessionAccount("other", 50));
    s.DeleteExpiredSessions(100);
    EXPECT_FALSE(s.SessionAccount("token-hash", 10));

    TableEntry e = Entry(76, 9000, "Player");
    s.InsertEntry(e, 1);
    s.InsertCreditRight(e.id, "token-hash", 25);
    EXPECT_FALSE(s.TakeCreditRight("token-hash", 10));
    EXPECT_FALSE(s.TakeCreditRight("another-session", 25));
    EXPECT_TRUE(s.TakeCreditRight("token-hash", 25));
    EXPECT_FALSE(s.TakeCreditRight("token-hash", 25));
  });
}

TEST_P(RepositoryTest, RateBucketsHoldTheirCapacityAndRefill) {
  FreshDatabase db(GetParam());
  db.repository->Transact(Access::kWrite, [](Store& s) {
    // Two per 10 seconds.
    EXPECT_TRUE(s.RateToken("chat", "1.2.3.4", 2, 10, 1000, true));
    EXPECT_TRUE(s.RateToken("chat", "1.2.3.4", 2, 10, 1000, true));
    EXPECT_FALSE(s.RateToken("chat", "1.2.3.4", 2, 10, 1001, true));
    EXPECT_TRUE(s.RateToken("chat", "5.6.7.8", 2, 10, 1001, true));
    EXPECT_FALSE(s.RateToken("chat", "1.2.3.4", 2, 10, 1004.9, false));
    EXPECT_TRUE(s.RateToken("chat", "1.2.3.4", 2, 10, 1005, false));
    EXPECT_TRUE(s.RateToken("chat", "1.2.3.4", 2, 10, 1005, true));
    EXPECT_FALSE(s.RateToken("chat", "1.2.3.4", 2, 10, 1005, true));
  });
}

TEST_P(RepositoryTest, UsageStatisticsAddUp) {
  FreshDatabase db(GetParam());
  db.repository->Transact(Access::kWrite, [](Store& s) {
    UsageStats d;
    d.starts = 1;
    d.unique_starts = 1;
    s.AddStats(76, d, false);
    UsageStats like;
    like.likes = 1;
    like.last_like_nick = "Fan";
    s.AddStats(76, like, true);
    UsageStats finished;
    finished.finished_games_by_flag[1] = 1;
    s.AddStats(76, finished, false);
    const UsageStats total = s.ReadStats(76);
    EXPECT_EQ(total.starts, 1);
    EXPECT_EQ(total.unique_starts, 1);
    EXPECT_EQ(total.likes, 1);
    EXPECT_EQ(total.last_like_nick, "Fan");
    EXPECT_EQ(total.finished_games_by_flag[1], 1);
    EXPECT_EQ(total.finished_games_by_flag[0], 0);
    EXPECT_EQ(s.ReadStats(176).starts, 0);
  });
}

TEST_P(RepositoryTest, PersonalInfoRoundTrips) {
  FreshDatabase db(GetParam());
  db.repository->Transact(Access::kWrite, [](Store& s) {
    StoredAccount a = Account("Player");
    s.InsertAccount(a, 1);
    EXPECT_EQ(s.ReadPersonalInfo(a.id).first_name, "");
    PersonalInfo info;
    info.first_name = "Ivan";
    info.youtube = "channel";
    s.WritePersonalInfo(a.id, info);
    EXPECT_EQ(s.ReadPersonalInfo(a.id), info);
  });
}

INSTANTIATE_TEST_SUITE_P(Backends, RepositoryTest,
                         ::testing::Values(test::Backend::kSqlite, test::Backend::kPostgres),
                         test::BackendName);

}  // namespace
}  // namespace braxo::club
