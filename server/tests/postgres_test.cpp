// What only the shared PostgreSQL store has to get right: concurrent writers,
// connections the server cuts, several processes migrating at once.
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "Commands.h"
#include "ServerTestKit.h"
#include "service/ClubService.h"

namespace braxo::club {
namespace {

using test::Account;
using test::Backend;
using test::FreshDatabase;

std::int64_t CreatePlayer(Repository& repo) {
  std::int64_t id = 0;
  repo.Transact(Access::kWrite, [&](Store& s) {
    StoredAccount a = Account("Player");
    ASSERT_TRUE(s.InsertAccount(a, 1));
    id = a.id;
  });
  return id;
}

TEST(PostgresRepository, ConcurrentReadModifyWritesAreRetriedAndNoneIsLost) {
  FreshDatabase db(Backend::kPostgres);
  const std::int64_t id = CreatePlayer(*db.repository);
  constexpr int kThreads = 4;
  constexpr int kEach = 25;
  std::atomic<int> failures{0};
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&] {
      for (int i = 0; i < kEach; ++i) {
        try {
          db.repository->Transact(Access::kWrite, [&](Store& s) {
            StoredGameRecord row = s.ReadGameRecord(id, 76);
            ++row.rated_games;
            row.score_sum += 10;
            s.WriteGameRecord(id, 76, row);
            // A plain increment in the same transaction: both or neither.
            s.AddKezs(id, 1);
          });
        } catch (const std::exception&) {
          ++failures;
        }
      }
    });
  }
  for (auto& t : threads) t.join();
  EXPECT_EQ(failures.load(), 0);
  db.repository->Transact(Access::kRead, [&](Store& s) {
    const StoredGameRecord row = s.ReadGameRecord(id, 76);
    EXPECT_EQ(row.rated_games, kThreads * kEach);
    EXPECT_EQ(row.score_sum, 10 * kThreads * kEach);
    EXPECT_EQ(s.FindAccount("player")->kezs_balance, kThreads * kEach);
  });
}

TEST(PostgresRepository, ConnectionsTheServerCutsAreReplacedByTheNextRequest) {
  FreshDatabase db(Backend::kPostgres);
  CreatePlayer(*db.repository);
  // Several pooled connections, all of which the server then ends, as a
  // restart of the database does.
  std::vector<std::thread> threads;
  for (int t = 0; t < 4; ++t)
    threads.emplace_back(
        [&] { db.repository->Transact(Access::kRead, [](Store& s) { s.CountAccounts(); }); });
  for (auto& t : threads) t.join();
  test::PostgresDatabase::Admin(
      "SELECT pg_terminate_backend(pid) FROM pg_stat_activity WHERE datname = '" +
      db.postgres->name() + "'");
  for (int i = 0; i < 6; ++i) {
    db.repository->Transact(Access::kWrite, [&](Store& s) {
      StoredAccount a = Account("Other" + std::to_string(i));
      EXPECT_TRUE(s.InsertAccount(a, 2));
    });
  }
  db.repository->Transact(Access::kRead, [](Store& s) { EXPECT_EQ(s.CountAccounts(), 7); });
}

TEST(PostgresRepository, ProcessesStartingTogetherMigrateOnce) {
  test::PostgresDatabase database;
  std::vector<std::thread> threads;
  std::atomic<int> opened{0};
  for (int t = 0; t < 4; ++t)
    threads.emplace_back([&] {
      try {
        auto repo = OpenRepository(database.url());
        repo->Transact(Access::kRead, [](Store& s) { s.CountAccounts(); });
        ++opened;
      } catch (const std::exception& e) {
        ADD_FAILURE() << e.what();
      }
    });
  for (auto& t : threads) t.join();
  EXPECT_EQ(opened.load(), 4);
  // Reopening finds every migration applied and applies none again.
  auto repo = OpenRepository(database.url());
  repo->Transact(Access::kWrite, [](Store& s) {
    StoredAccount a = Account("Player");
    EXPECT_TRUE(s.InsertAccount(a, 1));
  });
}

TEST(PostgresRepository, BadTextsAndUnreachableServersFailCleanly) {
  FreshDatabase db(Backend::kPostgres);
  // A zero byte cannot travel as text; it must not be cut off and stored.
  EXPECT_THROW(db.repository->Transact(Access::kWrite,
                                       [](Store& s) {
                                         StoredAccount a = Account(std::string("Pla\0yer", 7));
                                         s.InsertAccount(a, 1);
                                       }),
               std::runtime_error);
  db.repository->Transact(Access::kRead, [](Store& s) { EXPECT_EQ(s.CountAccounts(), 0); });
  // Bytes of the 8-bit code page as a limit's subject.
  db.repository->Transact(Access::kWrite, [](Store& s) {
    EXPECT_TRUE(s.RateToken("login-nick", "\xC8\xE3\xF0\xEE\xEA", 1, 60, 100, true));
    EXPECT_FALSE(s.RateToken("login-nick", "\xC8\xE3\xF0\xEE\xEA", 1, 60, 101, true));
  });
  // Port 1 on loopback: nothing listens there.
  EXPECT_THROW(OpenRepository("postgresql://127.0.0.1:1/club?connect_timeout=2"),
               std::runtime_error);
}

}  // namespace
}  // namespace braxo::club

namespace braxo::club {
namespace {

// Two processes on one database (two repositories here), each keeping read
// answers for an hour: a write through one shows in the very next read
// through the other, because each kept answer is checked against the
// topic's number in the database.
TEST(PostgresRepository, KeptAnswersShowTheWritesOfOtherProcessesAtOnce) {
  FreshDatabase db(Backend::kPostgres);
  auto other_repository = OpenRepository(db.url);
  ServiceLimits limits;
  limits.read_cache_seconds = 3600;
  ClubService reader(*db.repository, limits), writer(*other_repository, limits);
  const RequestContext ctx{"127.0.0.1", "", 1'800'000'000};
  ASSERT_EQ(writer
                .CreateAccount(ctx, {"Rated", "secret1", "Moscow", "Russia", "1-001", "M",
                                     "p@mail.ru", "21.06.2020", "xxx", "xxx", "xxx"})
                .status,
            Status::kOk);

  const auto reads = [](ClubService& r) {
    std::string out =
        std::to_string(r.GameCount(76).value()) + "|" + std::to_string(r.GameCount(100).value()) +
        "|" + std::to_string(r.ReadStats(76)->starts) + "|" +
        std::to_string(r.RatedTopTen().size()) + "|" + std::to_string(r.CountMembers()) + "|";
    const auto table = r.ReadTable(76).value();
    const auto chat = r.ReadTable(100).value();
    for (const auto& p : table) out += p.nick + " ";
    for (const auto& p : chat) out += p.message + " ";
    return out;
  };
  struct Case {
    const char* write;
    std::function<void()> run;
  };
  const Case cases[] = {
      {"a tournament entry",
       [&] {
         EXPECT_EQ(
             writer.WriteEntry(ctx, {76, "Star", "Moscow", "1-001", 9000, "M", "2.7", "#", "#*"})
                 .status,
             Status::kOk);
       }},
      {"a chat message",
       [&] {
         EXPECT_EQ(writer
                       .WriteEntry(ctx, {100, "Star", "Moscow", "1-001", 0, "M", "2.7", "12:00:00",
                                         "Hello*"})
                       .status,
                   Status::kOk);
       }},
      {"a start", [&] { EXPECT_EQ(writer.CountStart(ctx, 76, false), Status::kOk); }},
      {"a rated game's start",
       [&] { EXPECT_EQ(writer.SaveGameRecord(ctx, "Rated", "secret1", 1, 0, 1), Status::kOk); }},
      {"a new account",
       [&] {
         EXPECT_EQ(writer
                       .CreateAccount({"10.0.0.2", "", 1'800'000'000},
                                      {"Second", "secret1", "Moscow", "Russia", "1-001", "M",
                                       "p@mail.ru", "21.06.2020", "xxx", "xxx", "xxx"})
                       .status,
                   Status::kOk);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.write);
    const std::string before = reads(reader);
    ASSERT_EQ(reads(reader), before);  // read twice: now it is kept
    c.run();
    const std::string after = reads(reader);
    EXPECT_NE(after, before);
    ClubService truth(*db.repository, ServiceLimits{});
    EXPECT_EQ(after, reads(truth));
  }
}

TEST(CopyCommand, MovesAWholeClubFromSqliteToAnEmptyPostgresDatabase) {
  FreshDatabase sqlite(Backend::kSqlite);
  std::string session;
  std::vector<TableEntry> best;
  {
    ClubService service(*sqlite.repository, ServiceLimits{});
    const RequestContext ctx{"127.0.0.1", "", 1'800'000'000};
    const SessionResult created =
        service.CreateAccount(ctx, {"Player", "secret1", "Moscow", "Russia", "1-001", "M",
                                    "p@mail.ru", "21.06.2020", "xxx", "xxx", "xxx"});
    ASSERT_EQ(created.status, Status::kOk);
    session = created.session_token;
    const RequestContext in_session{"127.0.0.1", session, ctx.now};
    for (const int score : {9000, 15000, 12000}) {
      const WriteResult w = service.WriteEntry(
          in_session, {76, "Player", "Moscow", "1-001", score, "M", "2.7", "#", "#*"});
      ASSERT_EQ(w.status, Status::kOk);
    }
    ASSERT_EQ(service.CountStart(ctx, 76, true), Status::kOk);
    sqlite.repository->Transact(Access::kRead, [&](Store& s) { best = s.BestEntries(76, 10); });
  }
  sqlite.repository.reset();

  test::PostgresDatabase target;
  EXPECT_EQ(RunCommand({"copy", "--from", sqlite.url, "--to", target.url()}), 0);
  auto copied = OpenRepository(target.url());
  ClubService service(*copied, ServiceLimits{});
  const RequestContext in_session{"127.0.0.1", session, 1'800'000'100};
  // The password hash, the session and the unused credit rights came along.
  EXPECT_EQ(service.Login(in_session, "player", "secret1").status, Status::kOk);
  // The entries were first, first again and second: 25, 25 and 10, once each.
  EXPECT_EQ(service.CreditKezs(in_session, "Player", 10), Status::kOk);
  EXPECT_EQ(service.CreditKezs(in_session, "Player", 10), Status::kRefused);
  EXPECT_EQ(service.CreditKezs(in_session, "Player", 25), Status::kOk);
  EXPECT_EQ(service.CreditKezs(in_session, "Player", 25), Status::kOk);
  EXPECT_EQ(service.CreditKezs(in_session, "Player", 25), Status::kRefused);
  EXPECT_EQ(service.KezBalance("Player"), 60);
  EXPECT_EQ(service.ReadStats(76)->starts, 1);
  copied->Transact(Access::kWrite, [&](Store& s) {
    const auto entries = s.BestEntries(76, 10);
    ASSERT_EQ(entries.size(), best.size());
    for (size_t i = 0; i < best.size(); ++i) {
      EXPECT_EQ(entries[i].id, best[i].id);
      EXPECT_EQ(entries[i].score, best[i].score);
    }
    // New rows are numbered after the copied ones.
    TableEntry e = best[0];
    s.InsertEntry(e, 1);
    EXPECT_GT(e.id, best[0].id);
    EXPECT_GT(e.id, best[2].id);
  });
  // A second copy into a database that holds a club is refused.
  EXPECT_EQ(RunCommand({"copy", "--from", sqlite.url, "--to", target.url()}), 1);
  copied->Transact(Access::kRead, [](Store& s) { EXPECT_EQ(s.CountAccounts(), 1); });
}

}  // namespace
}  // namespace braxo::club
