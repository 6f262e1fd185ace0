// The club's stores at their edges, with the real braxo-club: a full disk, a
// database it cannot write or one of a newer club, a PostgreSQL error, a
// table read whose text cannot be decoded.
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <future>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "ClubServerProcess.h"
#include "ServerTestKit.h"
#include "club/FormBody.h"
#include "club/ReplyRules.h"

namespace braxo::club {
namespace {

using braxo::testing::ClubServerProcess;
using test::Backend;
using test::LoopbackClient;
using test::ReadAll;
using test::Reply;

// braxo-club run to its end (bounded by `timeout`, so a club that starts when
// it should not is stopped and seen as such): its exit code and its output.
struct ClubRun {
  int code = -1;
  std::string output;
};
ClubRun RunClub(const std::string& prefix, const std::string& args) {
  const std::string command = "timeout 10 " + prefix + std::string(BRAXO_CLUB_SERVER_BINARY) +
                              " --listen 127.0.0.1:0 " + args + " 2>&1";
  ClubRun run;
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  std::array<char, 512> buffer{};
  while (fgets(buffer.data(), static_cast<int>(buffer.size()), pipe)) run.output += buffer.data();
  const int status = pclose(pipe);
  run.code = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

// A database file made by the club's own store code, closed again.
void MakeSqliteDatabase(const std::string& file) { OpenRepository("sqlite:" + file).reset(); }

void ExecSqlite(const std::string& file, const std::string& sql) {
  sqlite3* db = nullptr;
  ASSERT_EQ(sqlite3_open(file.c_str(), &db), SQLITE_OK);
  EXPECT_EQ(sqlite3_exec(db, sql.c_str(), nullptr, nullptr, nullptr), SQLITE_OK) << sql;
  sqlite3_close(db);
}

void ExecPostgres(const test::PostgresDatabase& database, const std::string& sql) {
  PGconn* conn = PQconnectdb(("dbname=" + database.name()).c_str());
  PGresult* r = PQexec(conn, sql.c_str());
  EXPECT_EQ(PQresultStatus(r), PGRES_COMMAND_OK) << PQresultErrorMessage(r);
  PQclear(r);
  PQfinish(conn);
}

class ClubStoreFaultsFixture : public ::testing::Test {
 protected:
  // The arguments of a club on `database` (a PostgreSQL club keeps its photos
  // in a folder its settings name).
  std::vector<std::string> PostgresArgs(const test::PostgresDatabase& database) {
    const std::string conf = folder_.path() + "/club.conf";
    std::ofstream(conf) << "photo_dir = " << folder_.path() << "\n";
    return {"--config", conf, "--database", database.url()};
  }
  test::TempFolder folder_;
};

// The faults every store shows.
class ClubStoreFaultsTest : public ClubStoreFaultsFixture,
                            public ::testing::WithParamInterface<Backend> {};
// The faults only PostgreSQL shows (its errors, several processes on one database).
class ClubStoreFaultsOnPostgres : public ClubStoreFaultsFixture {};

// A database written by a newer club is not the club's to touch.
TEST_P(ClubStoreFaultsTest, ADatabaseOfANewerClubIsRefusedAtTheStart) {
  test::TempFolder folder;
  std::string url;
  std::unique_ptr<test::PostgresDatabase> postgres;
  const std::string newer =
      "INSERT INTO schema_migrations (number, name, applied_at) VALUES (9999, 'future', 0)";
  if (GetParam() == Backend::kPostgres) {
    postgres = std::make_unique<test::PostgresDatabase>();
    url = postgres->url();
    OpenRepository(url).reset();
    ExecPostgres(*postgres, newer);
  } else {
    const std::string file = folder.path() + "/club.db";
    MakeSqliteDatabase(file);
    ExecSqlite(file, newer);
    url = "sqlite:" + file;
  }
  const ClubRun run = RunClub("", "--database " + url);
  EXPECT_NE(run.code, 0) << run.output;
  EXPECT_NE(run.code, 124) << "it started: " << run.output;
  EXPECT_NE(run.output.find("schema version 9999"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("refusing to start"), std::string::npos) << run.output;
}

// A PostgreSQL failure is one log line, with the server's detail kept on it.
TEST_F(ClubStoreFaultsOnPostgres, ADatabaseErrorIsOneLogLine) {
  test::PostgresDatabase postgres;
  OpenRepository(postgres.url()).reset();
  ExecPostgres(
      postgres,
      "CREATE FUNCTION refuse() RETURNS trigger AS $$ BEGIN RAISE EXCEPTION 'entry refused' "
      "USING DETAIL = 'the detail line', HINT = 'the hint line'; END $$ LANGUAGE plpgsql; "
      "CREATE TRIGGER refuse BEFORE INSERT ON table_entries FOR EACH ROW "
      "EXECUTE FUNCTION refuse()");
  std::string log;
  {
    ClubServerProcess club(PostgresArgs(postgres));
    EXPECT_EQ(LoopbackClient(club.Port()).Post("/topten", test::EntryBody(76, "Ann", 900)).status,
              503);
    club.Restart();  // a SIGTERM: every line is written
    log = ReadAll(club.DataDir() + "/server.log");
  }
  std::istringstream lines(log);
  std::string line, failure;
  while (std::getline(lines, line))
    if (line.find("entry refused") != std::string::npos) failure = line;
  ASSERT_FALSE(failure.empty()) << log;
  EXPECT_NE(failure.find("the detail line"), std::string::npos) << failure;
  EXPECT_NE(failure.find("the hint line"), std::string::npos) << failure;
  EXPECT_EQ(failure.find("\\x0a"), std::string::npos) << failure;
}

// A table read is a read: text that cannot be decoded finds no entries.
TEST_P(ClubStoreFaultsTest, ATableReadWithUndecodableTextIsAnEmptyTable) {
  std::vector<std::string> args;
  std::unique_ptr<test::PostgresDatabase> postgres;
  if (GetParam() == Backend::kPostgres) {
    postgres = std::make_unique<test::PostgresDatabase>();
    args = PostgresArgs(*postgres);
  }
  ClubServerProcess club(args);
  LoopbackClient game(club.Port());
  ASSERT_EQ(game.Post("/topten", test::EntryBody(76, "Ann", 900)).status, 200);
  struct Case {
    const char* what;
    const char* path;
    const char* body;
  };
  // clang-format off
  const Case cases[] = {
      {"the tournament table", "/topten",  "gid=76%FF"},
      {"the rated top ten",    "/account", "xxxbrkon=%C3%28"},
  };
  // clang-format on
  for (const Case& c : cases) {
    const Reply r = game.Post(c.path, c.body);
    EXPECT_EQ(r.status, 200) << c.what;
    EXPECT_EQ(r.body, "") << c.what;
  }
  // The same reads, decodable, are answered as before.
  EXPECT_EQ(RecordReplies(game.Post("/topten", "gid=76").body, '*', ' ', 10).size(), 1u);
}

// Two club processes on one PostgreSQL database while a third transaction
// holds one player's game record: that player's save waits for it, and every
// other write, through either process, goes ahead meanwhile.
TEST_F(ClubStoreFaultsOnPostgres, WritesOfOthersProceedWhileOnePlayersRowsAreHeld) {
  test::PostgresDatabase postgres;
  const std::vector<std::string> args = PostgresArgs(postgres);
  ClubServerProcess first(args), second(args);
  LoopbackClient held_game(first.Port()), free_game(second.Port());
  ASSERT_EQ(held_game.Post("/account", test::CreateAccountBody("Held")).body, "ok");
  ASSERT_EQ(free_game.Post("/account", test::CreateAccountBody("Free")).body, "ok");
  test::RatedPlayer held{held_game, "Held"}, free{free_game, "Free"};
  ASSERT_TRUE(held.Start());

  PGconn* holder = PQconnectdb(("dbname=" + postgres.name()).c_str());
  const auto exec = [holder](const char* sql) {
    PGresult* r = PQexec(holder, sql);
    const bool ok = PQresultStatus(r) == PGRES_COMMAND_OK || PQresultStatus(r) == PGRES_TUPLES_OK;
    PQclear(r);
    return ok;
  };
  ASSERT_TRUE(exec("BEGIN"));
  ASSERT_TRUE(
      exec("SELECT * FROM game_records WHERE account_id = "
           "(SELECT id FROM accounts WHERE nick = 'Held') FOR UPDATE"));
  auto held_save = std::async(std::launch::async, [&] { return held.Finish(7000); });
  std::this_thread::sleep_for(std::chrono::milliseconds(300));

  // The others' writes, through both processes, while Held's waits.
  auto others = std::async(std::launch::async, [&] {
    std::vector<int> statuses;
    LoopbackClient via_first(first.Port());
    statuses.push_back(free_game.Post("/topten", test::EntryBody(76, "Free", 900)).status);
    statuses.push_back(via_first.Post("/topten", test::EntryBody(176, "Guest", 800)).status);
    statuses.push_back(
        via_first.Post("/topten", test::EntryBody(100, "Guest", 0, "#", "hello")).status);
    statuses.push_back(free.Start() ? 200 : 0);
    statuses.push_back(free.Finish(6000) ? 200 : 0);
    statuses.push_back(
        via_first.Post("/stat", PlainFormBody({{"gid", "76"}, {"stat1", "1"}, {"stat2", "0"}}))
            .status);
    return statuses;
  });
  const bool others_done = others.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
  const bool held_waited = held_save.wait_for(std::chrono::seconds(0)) != std::future_status::ready;
  // Let go in any case, so that nothing is left waiting.
  EXPECT_TRUE(exec("COMMIT"));
  PQfinish(holder);
  EXPECT_TRUE(others_done) << "the others' writes waited for one player's rows";
  EXPECT_TRUE(held_waited) << "the held player's save did not wait for the rows";
  EXPECT_EQ(others.get(), std::vector<int>(6, 200));
  EXPECT_TRUE(held_save.get());
  EXPECT_EQ(RecordField(*held.Read(), 2), "7000");
}

INSTANTIATE_TEST_SUITE_P(Stores, ClubStoreFaultsTest,
                         ::testing::Values(Backend::kSqlite, Backend::kPostgres),
                         test::BackendName);

// A file the club's user may not write: the club says so and does not start
// (it would otherwise answer every write as a failure).
TEST(ClubStoreFaults, ADatabaseTheClubCannotWriteIsRefusedAtTheStart) {
  test::TempFolder folder;
  const std::string file = folder.path() + "/club.db";
  MakeSqliteDatabase(file);
  ASSERT_EQ(chmod(file.c_str(), 0444), 0);
  std::string prefix;
  if (getuid() == 0) {
    // Root writes any file: the club runs as an ordinary user instead.
    if (std::system("setpriv --version >/dev/null 2>&1") != 0)
      GTEST_SKIP() << "running as root without setpriv: no user to whom the file is read-only";
    ASSERT_EQ(chmod(folder.path().c_str(), 0755), 0);
    prefix = "setpriv --reuid=65534 --regid=65534 --clear-groups ";
  }
  const ClubRun run = RunClub(prefix, "--database sqlite:" + file);
  EXPECT_NE(run.code, 0) << run.output;
  EXPECT_NE(run.code, 124) << "it started: " << run.output;
  EXPECT_NE(run.output.find("cannot be written"), std::string::npos) << run.output;
}

// A tmpfs of 4 MiB filled by the club's own writes: once space is freed the
// writes go on, and so after a restart, with every acknowledged one kept.
TEST(ClubStoreFaults, AFullDiskRecoversOnceSpaceIsFreed) {
  if (getuid() != 0) GTEST_SKIP() << "mounting the small disk needs root";
  test::TempFolder folder;
  const std::string disk = folder.path() + "/disk";
  std::filesystem::create_directory(disk);
  if (mount("tmpfs", disk.c_str(), "tmpfs", 0, "size=4m") != 0)
    GTEST_SKIP() << "cannot mount a tmpfs here (a container without the right)";
  struct Unmount {  // NOLINT(cppcoreguidelines-special-member-functions)
    std::string path;
    ~Unmount() { umount2(path.c_str(), MNT_DETACH); }
  } unmount{disk};
  // Space the test gives back once the club has filled the rest.
  {
    std::ofstream spare(disk + "/spare", std::ios::binary);
    spare << std::string(1 << 20, 'x');
  }
  std::ofstream(folder.path() + "/club.conf") << "limit.tournament_writes = 1000000/1\n";
  ClubServerProcess club(
      {"--config", folder.path() + "/club.conf", "--database", "sqlite:" + disk + "/club.db"});
  LoopbackClient game(club.Port());
  int acknowledged = 0;
  int status = 200;
  for (int i = 0; i < 20000 && status == 200; ++i) {
    status =
        game.Post("/topten", test::EntryBody(76, "W" + std::to_string(i % 1000), 1000 + i % 9000,
                                             "#", std::string(38, 'a' + i % 26)))
            .status;
    if (status == 200) ++acknowledged;
  }
  ASSERT_EQ(status, 503) << "the disk never filled";
  ASSERT_GT(acknowledged, 0);

  std::filesystem::remove(disk + "/spare");
  EXPECT_EQ(game.Post("/topten", test::EntryBody(76, "After", 500)).status, 200);
  ++acknowledged;
  // The write-ahead log gave back the space it grew to on the full disk.
  std::error_code ec;
  EXPECT_LT(std::filesystem::file_size(disk + "/club.db-wal", ec), 64u * 1024u);
  club.Restart();
  LoopbackClient reader(club.Port());
  EXPECT_EQ(reader.Post("/topten", test::EntryBody(76, "Restart", 500)).status, 200);
  ++acknowledged;
  EXPECT_EQ(NumberReply(reader.Post("/topten", ListFormBody({"rgid=76"})).body), acknowledged);
}

}  // namespace
}  // namespace braxo::club
