#include "store/SqliteRepository.h"

#include <sqlite3.h>

#include <algorithm>
#include <cmath>
#include <condition_variable>
#include <deque>
#include <exception>
#include <filesystem>
#include <future>
#include <map>
#include <mutex>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <vector>

#include "store/ConnectionPool.h"
#include "store/Migrations.h"
#include "store/NickKey.h"

namespace braxo::club {
namespace {

constexpr int kBusyTimeoutMs = 10000;
constexpr int kMaxConnections = 32;
// Write transactions committed together by one fsync.
constexpr size_t kMaxBatch = 256;

[[noreturn]] void Fail(sqlite3* db, std::string_view what) {
  throw std::runtime_error(std::string(what) + ": " + (db ? sqlite3_errmsg(db) : "out of memory"));
}

class Statement {
 public:
  Statement(sqlite3* db, const std::string& sql) : db_(db) {
    if (sqlite3_prepare_v3(db, sql.c_str(), static_cast<int>(sql.size()), SQLITE_PREPARE_PERSISTENT,
                           &stmt_, nullptr) != SQLITE_OK)
      Fail(db, "preparing a query");
  }
  ~Statement() { sqlite3_finalize(stmt_); }
  Statement(const Statement&) = delete;
  Statement& operator=(const Statement&) = delete;

  Statement& Bind(int i, std::int64_t v) {
    Check(sqlite3_bind_int64(stmt_, i, v));
    return *this;
  }
  Statement& Bind(int i, int v) { return Bind(i, static_cast<std::int64_t>(v)); }
  Statement& Bind(int i, double v) {
    Check(sqlite3_bind_double(stmt_, i, v));
    return *this;
  }
  Statement& Bind(int i, const std::string& v) {
    Check(sqlite3_bind_text(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT));
    return *this;
  }
  Statement& BindBlob(int i, const std::string& v) {
    Check(sqlite3_bind_blob(stmt_, i, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT));
    return *this;
  }

  // True while a row is there.
  bool Step() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    Fail(db_, "running a query");
  }
  // For statements that may break a constraint: false on a constraint error.
  bool StepOrConstraint() {
    const int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_DONE || rc == SQLITE_ROW) return true;
    if ((rc & 0xff) == SQLITE_CONSTRAINT) return false;
    Fail(db_, "running a query");
  }
  void Run() { Step(); }
  void Reset() {
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
  }

  std::int64_t Int(int col) const { return sqlite3_column_int64(stmt_, col); }
  double Real(int col) const { return sqlite3_column_double(stmt_, col); }
  std::string Text(int col) const {
    const auto* p = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, col));
    return p ? std::string(p, sqlite3_column_bytes(stmt_, col)) : std::string();
  }

 private:
  void Check(int rc) {
    if (rc != SQLITE_OK) Fail(db_, "binding a value");
  }
  sqlite3* db_;
  sqlite3_stmt* stmt_ = nullptr;
};

void Exec(sqlite3* db, const std::string& sql) {
  char* error = nullptr;
  if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &error) != SQLITE_OK) {
    std::string message = error ? error : "unknown error";
    sqlite3_free(error);
    throw std::runtime_error("database: " + message);
  }
}

// One open connection with its prepared statements.
class Connection {
 public:
  Connection(const std::string& path, bool full_sync) {
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE | SQLITE_OPEN_NOMUTEX;
    if (sqlite3_open_v2(path.c_str(), &db_, flags, nullptr) != SQLITE_OK) {
      std::string message = db_ ? sqlite3_errmsg(db_) : "out of memory";
      sqlite3_close(db_);
      throw std::runtime_error("cannot open the database " + path + ": " + message);
    }
    // A file the process may not write is opened read-only without a word;
    // the club would then start and fail every write.
    if (sqlite3_db_readonly(db_, "main") == 1) {
      sqlite3_close(db_);
      throw std::runtime_error("the database " + path +
                               " cannot be written by this user: refusing to start");
    }
    sqlite3_busy_timeout(db_, kBusyTimeoutMs);
    sqlite3_extended_result_codes(db_, 1);
    try {
      Exec(db_,
           std::string("PRAGMA journal_mode=WAL; PRAGMA foreign_keys=ON; PRAGMA synchronous=") +
               (full_sync ? "FULL;" : "NORMAL;"));
    } catch (const std::exception& e) {
      sqlite3_close(db_);
      throw std::runtime_error("cannot use the database " + path + ": " + e.what());
    }
  }
  ~Connection() {
    used_.clear();
    statements_.clear();
    sqlite3_close(db_);
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  sqlite3* db() const { return db_; }

  // A statement stepped only to its first row stays active, and an active
  // statement makes COMMIT fail; every transaction ends by resetting them all.
  void ResetAll() {
    for (Statement* statement : used_) statement->Reset();
    used_.clear();
  }

  // A cached statement, reset and ready for binding.
  Statement& Query(const std::string& sql) {
    auto it = statements_.find(sql);
    if (it == statements_.end())
      it = statements_.emplace(sql, std::make_unique<Statement>(db_, sql)).first;
    it->second->Reset();
    used_.push_back(it->second.get());
    return *it->second;
  }

 private:
  sqlite3* db_ = nullptr;
  std::map<std::string, std::unique_ptr<Statement>> statements_;
  std::vector<Statement*> used_;  // since the last ResetAll
};

StoredAccount ReadAccount(const Statement& s) {
  StoredAccount row;
  row.id = s.Int(0);
  row.nick = s.Text(1);
  row.password_hash = s.Text(2);
  row.city = s.Text(3);
  row.country_name = s.Text(4);
  row.country_code = s.Text(5);
  row.sex = s.Text(6);
  row.email = s.Text(7);
  row.registered_on = s.Text(8);
  row.reserved_r01 = s.Text(9);
  row.reserved_r02 = s.Text(10);
  row.reserved_r03 = s.Text(11);
  row.kezs_balance = s.Int(12);
  row.reserved_r05 = s.Int(13);
  row.reserved_r06 = s.Int(14);
  return row;
}

constexpr const char* kEntryColumns =
    "id, table_id, score, nick, country, city, r07, r08, r09, r10";

TableEntry ReadEntry(const Statement& s) {
  TableEntry e;
  e.id = s.Int(0);
  e.table_id = s.Int(1);
  e.score = s.Int(2);
  e.nick = s.Text(3);
  e.country_code = s.Text(4);
  e.city = s.Text(5);
  e.sex = s.Text(6);
  e.writer_version = s.Text(7);
  e.time_stamp = s.Text(8);
  e.message = s.Text(9);
  return e;
}

class SqliteStore : public Store {
 public:
  explicit SqliteStore(Connection& c) : c_(c) {}

  std::optional<StoredAccount> FindAccount(const std::string& nick) override {
    auto& s = c_.Query(
        "SELECT id, nick, password_hash, city, country1, country2, sex, email, date_r, r01, r02, "
        "r03, kezs, r05, r06 FROM accounts WHERE nick_key = ?1");
    s.Bind(1, NickKey(nick));
    if (!s.Step()) return std::nullopt;
    return ReadAccount(s);
  }

  bool InsertAccount(StoredAccount& row, std::int64_t now) override {
    auto& s = c_.Query(
        "INSERT INTO accounts (nick, nick_key, password_hash, city, country1, country2, sex, "
        "email, date_r, r01, r02, r03, kezs, r05, r06, created_at) "
        "VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10, ?11, ?12, ?13, ?14, ?15, ?16)");
    s.Bind(1, row.nick).Bind(2, NickKey(row.nick)).Bind(3, row.password_hash).Bind(4, row.city);
    s.Bind(5, row.country_name).Bind(6, row.country_code).Bind(7, row.sex).Bind(8, row.email);
    s.Bind(9, row.registered_on)
        .Bind(10, row.reserved_r01)
        .Bind(11, row.reserved_r02)
        .Bind(12, row.reserved_r03);
    s.Bind(13, row.kezs_balance)
        .Bind(14, row.reserved_r05)
        .Bind(15, row.reserved_r06)
        .Bind(16, now);
    if (!s.StepOrConstraint()) return false;
    row.id = sqlite3_last_insert_rowid(c_.db());
    return true;
  }

  std::int64_t CountAccounts() override {
    auto& s = c_.Query("SELECT count(*) FROM accounts");
    s.Step();
    return s.Int(0);
  }

  void AddKezs(std::int64_t account_id, std::int64_t amount) override {
    c_.Query("UPDATE accounts SET kezs = kezs + ?2 WHERE id = ?1")
        .Bind(1, account_id)
        .Bind(2, amount)
        .Run();
  }

  PersonalInfo ReadPersonalInfo(std::int64_t account_id) override {
    PersonalInfo info;
    auto& s = c_.Query("SELECT field, value FROM personal_info WHERE account_id = ?1");
    s.Bind(1, account_id);
    while (s.Step()) {
      const auto field = s.Int(0);
      if (field >= 0 && field < static_cast<std::int64_t>(kPersonalInfoRecordOrder.size()))
        info.*kPersonalInfoRecordOrder[static_cast<std::size_t>(field)] = s.Text(1);
    }
    return info;
  }

  void WritePersonalInfo(std::int64_t account_id, const PersonalInfo& info) override {
    for (size_t i = 0; i < kPersonalInfoRecordOrder.size(); ++i) {
      c_.Query(
            "INSERT OR REPLACE INTO personal_info (account_id, field, value) VALUES (?1, ?2, ?3)")
          .Bind(1, account_id)
          .Bind(2, static_cast<std::int64_t>(i))
          .Bind(3, info.*kPersonalInfoRecordOrder[i])
          .Run();
    }
  }

  StoredGameRecord ReadGameRecord(std::int64_t account_id, int game_id) override {
    auto& s = c_.Query(
        "SELECT kon, best, score_sum, game_open FROM game_records "
        "WHERE account_id = ?1 AND game_id = ?2");
    s.Bind(1, account_id).Bind(2, game_id);
    StoredGameRecord row;
    if (s.Step()) {
      row.rated_games = s.Int(0);
      row.best_score = s.Int(1);
      row.score_sum = s.Int(2);
      row.game_open = s.Int(3) != 0;
    }
    return row;
  }

  void WriteGameRecord(std::int64_t account_id, int game_id, const StoredGameRecord& row) override {
    c_.Query(
          "INSERT OR REPLACE INTO game_records (account_id, game_id, kon, best, score_sum, "
          "rating, game_open) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7)")
        .Bind(1, account_id)
        .Bind(2, game_id)
        .Bind(3, row.rated_games)
        .Bind(4, row.best_score)
        .Bind(5, row.score_sum)
        .Bind(6, RatingOf(row))
        .Bind(7, row.game_open ? 1 : 0)
        .Run();
  }

  std::int64_t CountRatingsAbove(int game_id, double rating) override {
    auto& s = c_.Query(
        "SELECT count(*) FROM game_records WHERE game_id = ?1 AND kon > 0 AND rating > ?2");
    s.Bind(1, game_id).Bind(2, rating);
    s.Step();
    return s.Int(0);
  }

  std::vector<RatedPlayer> TopRated(int game_id, int limit) override {
    auto& s = c_.Query(
        "SELECT a.nick, a.city, a.country1, a.country2, a.sex, g.rating FROM game_records g "
        "JOIN accounts a ON a.id = g.account_id WHERE g.game_id = ?1 AND g.kon > 0 "
        "ORDER BY g.rating DESC, g.account_id LIMIT ?2");
    s.Bind(1, game_id).Bind(2, limit);
    std::vector<RatedPlayer> players;
    while (s.Step()) {
      RatedPlayer& player = players.emplace_back();
      player.nick = s.Text(0);
      player.city = s.Text(1);
      player.country_name = s.Text(2);
      player.country_code = s.Text(3);
      player.sex = SexLetter(s.Text(4));
      player.rating = s.Real(5);
    }
    return players;
  }

  void InsertEntry(TableEntry& e, std::int64_t now) override {
    auto& s = c_.Query(
        "INSERT INTO table_entries (table_id, score, nick, country, city, r07, r08, r09, r10, "
        "created_at) VALUES (?1, ?2, ?3, ?4, ?5, ?6, ?7, ?8, ?9, ?10)");
    s.Bind(1, e.table_id).Bind(2, e.score).Bind(3, e.nick).Bind(4, e.country_code).Bind(5, e.city);
    s.Bind(6, e.sex)
        .Bind(7, e.writer_version)
        .Bind(8, e.time_stamp)
        .Bind(9, e.message)
        .Bind(10, now);
    s.Run();
    e.id = sqlite3_last_insert_rowid(c_.db());
  }

  std::vector<TableEntry> BestEntries(std::int64_t table_id, int limit) override {
    return Entries(std::string("SELECT ") + kEntryColumns +
                       " FROM table_entries WHERE table_id = ?1 ORDER BY score DESC, id LIMIT ?2",
                   table_id, limit);
  }

  std::int64_t PlaceOf(const TableEntry& e) override {
    // The entries above: whole bands of 64 scores, then the scores above it in
    // its own band, then the earlier entries of the same score. Scores are
    // never negative, so a score's band is score / 64.
    auto& s = c_.Query(
        "SELECT coalesce((SELECT sum(entries) FROM table_band_counts "
        "WHERE table_id = ?1 AND band > ?2 / 64), 0) + "
        "coalesce((SELECT sum(entries) FROM table_score_counts "
        "WHERE table_id = ?1 AND score > ?2 AND score < (?2 / 64 + 1) * 64), 0) + "
        "(SELECT count(*) FROM table_entries WHERE table_id = ?1 AND score = ?2 AND id < ?3)");
    s.Bind(1, e.table_id).Bind(2, e.score).Bind(3, e.id);
    s.Step();
    return s.Int(0) + 1;
  }

  std::vector<TableEntry> NewestEntries(std::int64_t table_id, int limit) override {
    return Entries(std::string("SELECT ") + kEntryColumns +
                       " FROM table_entries WHERE table_id = ?1 ORDER BY id DESC LIMIT ?2",
                   table_id, limit);
  }

  std::int64_t HighestScore(std::int64_t table_id) override {
    auto& s = c_.Query("SELECT coalesce(max(score), 0) FROM table_entries WHERE table_id = ?1");
    s.Bind(1, table_id);
    s.Step();
    return s.Int(0);
  }

  std::int64_t CountEntries(std::int64_t table_id) override {
    auto& s = c_.Query(
        "SELECT coalesce((SELECT entries FROM table_entry_counts WHERE table_id = ?1), 0)");
    s.Bind(1, table_id);
    s.Step();
    return s.Int(0);
  }

  std::vector<TableEntry> EntriesOf(std::int64_t table_id, const std::string& nick,
                                    const std::string& city, int limit) override {
    auto& s = c_.Query(std::string("SELECT ") + kEntryColumns +
                       " FROM table_entries WHERE table_id = ?1 AND nick = ?2 AND "
                       "(?3 = '' OR city = ?3) ORDER BY score DESC, id LIMIT ?4");
    s.Bind(1, table_id).Bind(2, nick).Bind(3, city).Bind(4, limit);
    std::vector<TableEntry> entries;
    while (s.Step()) entries.push_back(ReadEntry(s));
    return entries;
  }

  UsageStats ReadStats(int game_id) override {
    auto& s = c_.Query(
        "SELECT starts, unique_starts, likes, last_like_nick, x1, x2, x3, x4, x5, x6, x7, x8, x9, "
        "x10, x11, x12 FROM usage_stats WHERE game_id = ?1");
    s.Bind(1, game_id);
    UsageStats stats;
    if (s.Step()) {
      stats.starts = s.Int(0);
      stats.unique_starts = s.Int(1);
      stats.likes = s.Int(2);
      stats.last_like_nick = s.Text(3);
      for (int i = 0; i < 12; ++i) stats.finished_games_by_flag[i] = s.Int(4 + i);
    }
    return stats;
  }

  void AddStats(int game_id, const UsageStats& d, bool set_like_nick) override {
    c_.Query("INSERT OR IGNORE INTO usage_stats (game_id) VALUES (?1)").Bind(1, game_id).Run();
    auto& s = c_.Query(
        "UPDATE usage_stats SET starts = starts + ?2, unique_starts = unique_starts + ?3, "
        "likes = likes + ?4, last_like_nick = CASE WHEN ?5 THEN ?6 ELSE last_like_nick END, "
        "x1 = x1 + ?7, x2 = x2 + ?8, x3 = x3 + ?9, x4 = x4 + ?10, x5 = x5 + ?11, x6 = x6 + ?12, "
        "x7 = x7 + ?13, x8 = x8 + ?14, x9 = x9 + ?15, x10 = x10 + ?16, x11 = x11 + ?17, "
        "x12 = x12 + ?18 WHERE game_id = ?1");
    s.Bind(1, game_id).Bind(2, d.starts).Bind(3, d.unique_starts).Bind(4, d.likes);
    s.Bind(5, set_like_nick ? 1 : 0).Bind(6, d.last_like_nick);
    for (int i = 0; i < 12; ++i) s.Bind(7 + i, d.finished_games_by_flag[i]);
    s.Run();
  }

  void InsertSession(const std::string& token_hash, std::int64_t account_id,
                     std::int64_t expires_at) override {
    c_.Query("INSERT INTO sessions (token_hash, account_id, expires_at) VALUES (?1, ?2, ?3)")
        .BindBlob(1, token_hash)
        .Bind(2, account_id)
        .Bind(3, expires_at)
        .Run();
  }

  std::optional<std::int64_t> SessionAccount(const std::string& token_hash,
                                             std::int64_t now) override {
    auto& s = c_.Query("SELECT account_id FROM sessions WHERE token_hash = ?1 AND expires_at > ?2");
    s.BindBlob(1, token_hash).Bind(2, now);
    if (!s.Step()) return std::nullopt;
    return s.Int(0);
  }

  void DeleteExpiredSessions(std::int64_t now) override {
    c_.Query("DELETE FROM sessions WHERE expires_at <= ?1").Bind(1, now).Run();
  }

  void DropOldestSessions(std::int64_t account_id, std::int64_t keep) override {
    c_.Query(
          "DELETE FROM sessions WHERE account_id = ?1 AND token_hash NOT IN (SELECT token_hash "
          "FROM sessions WHERE account_id = ?1 ORDER BY expires_at DESC LIMIT ?2)")
        .Bind(1, account_id)
        .Bind(2, keep)
        .Run();
  }

  void DeleteIdleRateBuckets(const std::string& kind, double untouched_since) override {
    c_.Query("DELETE FROM rate_buckets WHERE kind = ?1 AND updated_at <= ?2")
        .Bind(1, kind)
        .Bind(2, untouched_since)
        .Run();
  }

  void InsertCreditRight(std::int64_t entry_id, const std::string& session_hash,
                         std::int64_t amount) override {
    c_.Query("INSERT INTO credit_rights (entry_id, session_hash, amount) VALUES (?1, ?2, ?3)")
        .Bind(1, entry_id)
        .BindBlob(2, session_hash)
        .Bind(3, amount)
        .Run();
  }

  bool TakeCreditRight(const std::string& session_hash, std::int64_t amount) override {
    auto& s = c_.Query(
        "SELECT entry_id FROM credit_rights WHERE session_hash = ?1 AND used = 0 AND amount = ?2 "
        "ORDER BY entry_id LIMIT 1");
    s.BindBlob(1, session_hash).Bind(2, amount);
    if (!s.Step()) return false;
    const std::int64_t entry_id = s.Int(0);
    c_.Query("UPDATE credit_rights SET used = 1 WHERE entry_id = ?1").Bind(1, entry_id).Run();
    return true;
  }

  bool RateToken(const std::string& kind, const std::string& subject, double capacity,
                 double window_seconds, double now, bool take) override {
    auto& s =
        c_.Query("SELECT tokens, updated_at FROM rate_buckets WHERE kind = ?1 AND subject = ?2");
    s.Bind(1, kind).Bind(2, subject);
    double tokens = capacity;
    if (s.Step()) {
      const double elapsed = std::max(0.0, now - s.Real(1));
      tokens = std::min(capacity, s.Real(0) + elapsed * capacity / window_seconds);
    }
    const bool available = tokens >= 1.0 - 1e-9;
    // A look without taking writes nothing: it may run in a read transaction.
    if (take) {
      if (available) tokens -= 1.0;
      c_.Query(
            "INSERT OR REPLACE INTO rate_buckets (kind, subject, tokens, updated_at) "
            "VALUES (?1, ?2, ?3, ?4)")
          .Bind(1, kind)
          .Bind(2, subject)
          .Bind(3, std::max(0.0, tokens))
          .Bind(4, now)
          .Run();
    }
    return available;
  }

  void ReturnRateToken(const std::string& kind, const std::string& subject, double capacity,
                       double window_seconds, double now) override {
    auto& s =
        c_.Query("SELECT tokens, updated_at FROM rate_buckets WHERE kind = ?1 AND subject = ?2");
    s.Bind(1, kind).Bind(2, subject);
    if (!s.Step()) return;  // no row: the bucket is full
    const double elapsed = std::max(0.0, now - s.Real(1));
    const double tokens = std::min(capacity, s.Real(0) + elapsed * capacity / window_seconds + 1);
    c_.Query(
          "UPDATE rate_buckets SET tokens = ?3, updated_at = ?4 WHERE kind = ?1 AND subject = ?2")
        .Bind(1, kind)
        .Bind(2, subject)
        .Bind(3, tokens)
        .Bind(4, now)
        .Run();
  }

 private:
  std::vector<TableEntry> Entries(const std::string& sql, std::int64_t table_id, int limit) {
    auto& s = c_.Query(sql);
    s.Bind(1, table_id).Bind(2, limit);
    std::vector<TableEntry> entries;
    while (s.Step()) entries.push_back(ReadEntry(s));
    return entries;
  }

  Connection& c_;
};

void Migrate(Connection& c, const std::string& path) {
  Exec(c.db(),
       "CREATE TABLE IF NOT EXISTS schema_migrations (number INTEGER PRIMARY KEY, "
       "name TEXT NOT NULL, applied_at INTEGER NOT NULL)");
  {
    auto& newest = c.Query("SELECT coalesce(max(number), 0) FROM schema_migrations");
    newest.Step();
    const std::int64_t found = newest.Int(0);
    c.ResetAll();
    RefuseNewerSchema(found, SqliteMigrations(), "the database " + path);
  }
  for (const Migration& m : SqliteMigrations()) {
    Exec(c.db(), "BEGIN IMMEDIATE");
    try {
      auto& s = c.Query("SELECT 1 FROM schema_migrations WHERE number = ?1");
      s.Bind(1, m.number);
      if (!s.Step()) {
        Exec(c.db(), std::string(m.sql));
        c.Query(
             "INSERT INTO schema_migrations (number, name, applied_at) "
             "VALUES (?1, ?2, strftime('%s', 'now'))")
            .Bind(1, m.number)
            .Bind(2, std::string(m.name))
            .Run();
      }
      c.ResetAll();
      Exec(c.db(), "COMMIT");
    } catch (...) {
      c.ResetAll();
      sqlite3_exec(c.db(), "ROLLBACK", nullptr, nullptr, nullptr);
      throw;
    }
  }
}

// The last call on the connection failed for lack of space.
bool DiskFull(const Connection& c) {
  return (sqlite3_extended_errcode(c.db()) & 0xFF) == SQLITE_FULL;
}

// Copies what the write-ahead log holds into the database and truncates the
// log to nothing; true when it did. A failure (no space for the database to
// grow, a reader in the way for longer than a moment) leaves both as they
// were.
bool CheckpointAndTruncate(const Connection& c) {
  sqlite3_busy_timeout(c.db(), 100);
  const int rc =
      sqlite3_wal_checkpoint_v2(c.db(), nullptr, SQLITE_CHECKPOINT_TRUNCATE, nullptr, nullptr);
  sqlite3_busy_timeout(c.db(), kBusyTimeoutMs);
  return rc == SQLITE_OK;
}

class SqliteRepository : public Repository {
 public:
  SqliteRepository(std::string path, bool full_sync)
      : path_(std::move(path)),
        full_sync_(full_sync),
        pool_(kMaxConnections, Migrated(path_, full_sync_)) {
    writer_connection_ = std::make_unique<Connection>(path_, full_sync_);
    writer_ = std::thread([this] { WriteLoop(); });
  }

  SqliteRepository(const SqliteRepository&) = delete;
  SqliteRepository& operator=(const SqliteRepository&) = delete;
  ~SqliteRepository() override {
    {
      std::lock_guard lock(write_mutex_);
      stopping_ = true;
    }
    write_ready_.notify_one();
    writer_.join();
  }

  bool SingleServer() const override { return true; }

  void Transact(Access access, const std::function<void(Store&)>& work) override {
    if (access == Access::kWrite) return Write(work);
    std::unique_ptr<Connection> c = Borrow();
    // A scope guard, never copied.
    struct Return {  // NOLINT(cppcoreguidelines-special-member-functions)
      SqliteRepository* self;
      std::unique_ptr<Connection>& c;
      ~Return() { self->GiveBack(std::move(c)); }
    } give_back{this, c};

    c->Query("BEGIN").Run();
    try {
      SqliteStore store(*c);
      work(store);
      c->ResetAll();
      c->Query("COMMIT").Run();
    } catch (...) {
      c->ResetAll();
      sqlite3_exec(c->db(), "ROLLBACK", nullptr, nullptr, nullptr);
      throw;
    }
  }

 private:
  struct WriteJob {
    const std::function<void(Store&)>* work;
    std::promise<void> done;
  };

  // Group commit: the writes waiting at one moment run one after another in
  // one transaction, each inside its own savepoint (a failing one is rolled
  // back alone), and are made durable by a single commit. Every caller is
  // answered only after that commit, so an acknowledged write survives a
  // killed process, while concurrent writers share the cost of the sync.
  void Write(const std::function<void(Store&)>& work) {
    WriteJob job{&work, {}};
    std::future<void> done = job.done.get_future();
    {
      std::lock_guard lock(write_mutex_);
      write_queue_.push_back(&job);
    }
    write_ready_.notify_one();
    done.get();
  }

  void WriteLoop() {
    Connection& c = *writer_connection_;
    bool truncate_log = false;
    while (true) {
      std::vector<WriteJob*> batch;
      {
        std::unique_lock lock(write_mutex_);
        write_ready_.wait(lock, [this] { return stopping_ || !write_queue_.empty(); });
        if (write_queue_.empty()) return;
        while (!write_queue_.empty() && batch.size() < kMaxBatch) {
          batch.push_back(write_queue_.front());
          write_queue_.pop_front();
        }
      }
      std::vector<std::exception_ptr> failures(batch.size());
      std::exception_ptr batch_failure;
      bool disk_full = false;
      try {
        Exec(c.db(), "BEGIN IMMEDIATE");
        for (size_t i = 0; i < batch.size(); ++i) {
          Exec(c.db(), "SAVEPOINT request");
          try {
            SqliteStore store(c);
            (*batch[i]->work)(store);
            c.ResetAll();
            Exec(c.db(), "RELEASE request");
          } catch (...) {
            disk_full = disk_full || DiskFull(c);
            failures[i] = std::current_exception();
            c.ResetAll();
            Exec(c.db(), "ROLLBACK TO request");
            Exec(c.db(), "RELEASE request");
          }
        }
        Exec(c.db(), "COMMIT");
      } catch (...) {
        disk_full = disk_full || DiskFull(c);
        batch_failure = std::current_exception();
        c.ResetAll();
        sqlite3_exec(c.db(), "ROLLBACK", nullptr, nullptr, nullptr);
      }
      // The log keeps the space it grew to, and with the disk full that space
      // is what the database needs: after a write failed for lack of space,
      // the log is folded into the database and cut to nothing as soon as
      // that succeeds (now, or after the next write once space was freed).
      truncate_log = truncate_log || disk_full;
      if (truncate_log) truncate_log = !CheckpointAndTruncate(c);
      for (size_t i = 0; i < batch.size(); ++i) {
        const std::exception_ptr failure = batch_failure ? batch_failure : failures[i];
        if (failure) {
          batch[i]->done.set_exception(failure);
        } else {
          batch[i]->done.set_value();
        }
      }
    }
  }

  std::unique_ptr<Connection> Borrow() {
    return pool_.Borrow([this] { return std::make_unique<Connection>(path_, full_sync_); });
  }

  void GiveBack(std::unique_ptr<Connection> c) {
    // A connection still inside a transaction (its ROLLBACK failed too) would
    // hold its locks for ever: it is closed instead of reused.
    if (sqlite3_get_autocommit(c->db())) {
      pool_.GiveBack(std::move(c));
    } else {
      c.reset();
      pool_.Forget();
    }
  }

  static std::unique_ptr<Connection> Migrated(const std::string& path, bool full_sync) {
    auto first = std::make_unique<Connection>(path, full_sync);
    Migrate(*first, path);
    // A log left large by a full disk is folded in and emptied, so that a
    // restart after space was freed starts with all of it.
    CheckpointAndTruncate(*first);
    return first;
  }

  std::string path_;
  bool full_sync_;
  ConnectionPool<Connection> pool_;
  std::unique_ptr<Connection> writer_connection_;
  std::mutex write_mutex_;
  std::condition_variable write_ready_;
  std::deque<WriteJob*> write_queue_;
  bool stopping_ = false;
  std::thread writer_;
};

}  // namespace

std::unique_ptr<Repository> OpenSqliteRepository(const std::string& path, bool full_sync) {
  const std::filesystem::path file(path);
  std::error_code ec;
  if (file.has_parent_path()) std::filesystem::create_directories(file.parent_path(), ec);
  if (ec) throw std::runtime_error("cannot create the folder of " + path + ": " + ec.message());
  return std::make_unique<SqliteRepository>(path, full_sync);
}

}  // namespace braxo::club
