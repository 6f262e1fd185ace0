#include "store/PostgresRepository.h"

#include <libpq-fe.h>

#include <algorithm>
#include <charconv>
#include <chrono>
#include <map>
#include <optional>
#include <random>
#include <stdexcept>
#include <string_view>
#include <thread>
#include <utility>
#include <vector>

#include "store/ConnectionPool.h"
#include "store/Migrations.h"
#include "store/NickKey.h"

namespace braxo::club {
namespace {

// A statement the database refused because of a concurrent transaction
// (SQLSTATE 40001 serialization failure, 40P01 deadlock): worth running again.
class RetryableError : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// The connection itself failed; the transaction's outcome is unknown only
// when this happens during COMMIT.
class ConnectionLost : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

// One parameter, sent as text, or as bytes for BYTEA columns. Written as a
// plain value in a braced list of parameters, so its constructors convert.
// NOLINTBEGIN(google-explicit-constructor)
struct Param {
  Param(std::int64_t v) : text(std::to_string(v)) {}
  Param(int v) : text(std::to_string(v)) {}
  Param(double v) {
    char buffer[64];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, v).ptr;
    text.assign(buffer, end);
  }
  Param(const std::string& v) : text(v) {}
  // NOLINTEND(google-explicit-constructor)
  static Param Bytes(const std::string& v) {
    Param p(v);
    p.binary = true;
    return p;
  }
  std::string text;
  bool binary = false;
};

class Result {
 public:
  explicit Result(PGresult* r) : r_(r) {}
  ~Result() { PQclear(r_); }
  Result(Result&& other) noexcept : r_(std::exchange(other.r_, nullptr)) {}
  Result(const Result&) = delete;
  Result& operator=(const Result&) = delete;

  int Rows() const { return PQntuples(r_); }
  std::string Text(int row, int col) const {
    return std::string(PQgetvalue(r_, row, col), PQgetlength(r_, row, col));
  }
  std::int64_t Int(int row, int col) const {
    std::int64_t v = 0;
    const char* p = PQgetvalue(r_, row, col);
    std::from_chars(p, p + PQgetlength(r_, row, col), v);
    return v;
  }
  double Real(int row, int col) const { return std::strtod(PQgetvalue(r_, row, col), nullptr); }

 private:
  PGresult* r_;
};

// One open connection with the statements it has prepared.
class Connection {
 public:
  explicit Connection(const std::string& url) {
    // The address may set its own connect_timeout; it comes later and wins.
    const char* keys[] = {"connect_timeout", "dbname", nullptr};
    const char* values[] = {"5", url.c_str(), nullptr};
    conn_ = PQconnectdbParams(keys, values, 1);
    if (!conn_ || PQstatus(conn_) != CONNECTION_OK) {
      const std::string message = conn_ ? PQerrorMessage(conn_) : "out of memory";
      PQfinish(conn_);
      throw ConnectionLost("cannot connect to the database: " + Trimmed(message));
    }
    PQsetClientEncoding(conn_, "UTF8");
  }
  ~Connection() { PQfinish(conn_); }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;

  bool Healthy() const { return PQstatus(conn_) == CONNECTION_OK; }

  // A statement without parameters (BEGIN, COMMIT, a migration).
  void Exec(const std::string& sql) { Check(PQexec(conn_, sql.c_str())); }

  // A parameterized statement, prepared on first use on this connection.
  Result Query(const std::string& sql, const std::vector<Param>& params = {}) {
    auto it = prepared_.find(sql);
    if (it == prepared_.end()) {
      std::string name = "s" + std::to_string(prepared_.size() + 1);
      Check(PQprepare(conn_, name.c_str(), sql.c_str(), static_cast<int>(params.size()), nullptr));
      it = prepared_.emplace(sql, std::move(name)).first;
    }
    std::vector<const char*> values;
    std::vector<int> lengths;
    std::vector<int> formats;
    for (const Param& p : params) {
      // Text parameters travel as C strings: a zero byte would cut one short.
      if (!p.binary && p.text.find('\0') != std::string::npos)
        throw std::runtime_error("a text holds a zero byte");
      values.push_back(p.text.c_str());
      lengths.push_back(static_cast<int>(p.text.size()));
      formats.push_back(p.binary ? 1 : 0);
    }
    return Check(PQexecPrepared(conn_, it->second.c_str(), static_cast<int>(params.size()),
                                values.data(), lengths.data(), formats.data(), 0));
  }

  void RollbackQuietly() {
    if (Healthy()) PQclear(PQexec(conn_, "ROLLBACK"));
  }

 private:
  // The server's message on one line: its lines (the error, then DETAIL,
  // HINT, ...) joined by "; ", so that one failure is one log line.
  static std::string Trimmed(const std::string& s) {
    std::string line;
    bool pending_break = false;
    for (const char ch : s) {
      if (ch == '\n' || ch == '\r') {
        pending_break = !line.empty();
        continue;
      }
      if (pending_break) line += "; ";
      pending_break = false;
      line += ch == '\t' ? ' ' : ch;
    }
    while (!line.empty() && line.back() == ' ') line.pop_back();
    return line;
  }

  Result Check(PGresult* raw) {
    Result result(raw);
    const ExecStatusType status = raw ? PQresultStatus(raw) : PGRES_FATAL_ERROR;
    if (status == PGRES_COMMAND_OK || status == PGRES_TUPLES_OK) return result;
    const std::string message = Trimmed(raw ? PQresultErrorMessage(raw) : PQerrorMessage(conn_));
    const char* state = raw ? PQresultErrorField(raw, PG_DIAG_SQLSTATE) : nullptr;
    const std::string_view sqlstate = state ? state : "";
    if (sqlstate == "40001" || sqlstate == "40P01") throw RetryableError(message);
    // 57P01..57P03: the server is shutting down or not accepting yet; 08xxx:
    // the connection failed.
    if (!Healthy() || sqlstate.starts_with("08") || sqlstate.starts_with("57P"))
      throw ConnectionLost("the database connection was lost: " + message);
    throw std::runtime_error("database: " + message);
  }

  PGconn* conn_ = nullptr;
  std::map<std::string, std::string> prepared_;
};

StoredAccount ReadAccount(const Result& r, int i) {
  StoredAccount row;
  row.id = r.Int(i, 0);
  row.nick = r.Text(i, 1);
  row.password_hash = r.Text(i, 2);
  row.city = r.Text(i, 3);
  row.country_name = r.Text(i, 4);
  row.country_code = r.Text(i, 5);
  row.sex = r.Text(i, 6);
  row.email = r.Text(i, 7);
  row.registered_on = r.Text(i, 8);
  row.reserved_r01 = r.Text(i, 9);
  row.reserved_r02 = r.Text(i, 10);
  row.reserved_r03 = r.Text(i, 11);
  row.kezs_balance = r.Int(i, 12);
  row.reserved_r05 = r.Int(i, 13);
  row.reserved_r06 = r.Int(i, 14);
  return row;
}

constexpr const char* kEntryColumns =
    "id, table_id, score, nick, country, city, r07, r08, r09, r10";

std::vector<TableEntry> ReadEntries(const Result& r) {
  std::vector<TableEntry> entries;
  for (int i = 0; i < r.Rows(); ++i) {
    TableEntry e;
    e.id = r.Int(i, 0);
    e.table_id = r.Int(i, 1);
    e.score = r.Int(i, 2);
    e.nick = r.Text(i, 3);
    e.country_code = r.Text(i, 4);
    e.city = r.Text(i, 5);
    e.sex = r.Text(i, 6);
    e.writer_version = r.Text(i, 7);
    e.time_stamp = r.Text(i, 8);
    e.message = r.Text(i, 9);
    entries.push_back(std::move(e));
  }
  return entries;
}

class PostgresStore : public Store {
 public:
  // `writing`: inside a write transaction, where each read-modify-write
  // first locks what it touches (see Lock).
  PostgresStore(Connection& c, bool writing) : c_(c), writing_(writing) {}

  std::optional<StoredAccount> FindAccount(const std::string& nick) override {
    const Result r = c_.Query(
        "SELECT id, nick, password_hash, city, country1, country2, sex, email, date_r, r01, r02, "
        "r03, kezs, r05, r06 FROM accounts WHERE nick_key = $1",
        {NickKey(nick)});
    if (r.Rows() == 0) return std::nullopt;
    return ReadAccount(r, 0);
  }

  bool InsertAccount(StoredAccount& row, std::int64_t now) override {
    // ON CONFLICT rather than a caught unique violation: an error would end
    // the whole transaction here.
    const Result r = c_.Query(
        "INSERT INTO accounts (nick, nick_key, password_hash, city, country1, country2, sex, "
        "email, date_r, r01, r02, r03, kezs, r05, r06, created_at) "
        "VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10, $11, $12, $13, $14, $15, $16) "
        "ON CONFLICT (nick_key) DO NOTHING RETURNING id",
        {row.nick, NickKey(row.nick), row.password_hash, row.city, row.country_name,
         row.country_code, row.sex, row.email, row.registered_on, row.reserved_r01,
         row.reserved_r02, row.reserved_r03, row.kezs_balance, row.reserved_r05, row.reserved_r06,
         now});
    if (r.Rows() == 0) return false;
    row.id = r.Int(0, 0);
    return true;
  }

  std::int64_t CountAccounts() override {
    return c_.Query("SELECT count(*) FROM accounts").Int(0, 0);
  }

  void AddKezs(std::int64_t account_id, std::int64_t amount) override {
    c_.Query("UPDATE accounts SET kezs = kezs + $2 WHERE id = $1", {account_id, amount});
  }

  PersonalInfo ReadPersonalInfo(std::int64_t account_id) override {
    PersonalInfo info;
    const Result r =
        c_.Query("SELECT field, value FROM personal_info WHERE account_id = $1", {account_id});
    for (int i = 0; i < r.Rows(); ++i) {
      const auto field = r.Int(i, 0);
      if (field >= 0 && field < static_cast<std::int64_t>(kPersonalInfoRecordOrder.size()))
        info.*kPersonalInfoRecordOrder[static_cast<std::size_t>(field)] = r.Text(i, 1);
    }
    return info;
  }

  void WritePersonalInfo(std::int64_t account_id, const PersonalInfo& info) override {
    for (size_t i = 0; i < kPersonalInfoRecordOrder.size(); ++i) {
      c_.Query(
          "INSERT INTO personal_info (account_id, field, value) VALUES ($1, $2, $3) "
          "ON CONFLICT (account_id, field) DO UPDATE SET value = excluded.value",
          {account_id, static_cast<std::int64_t>(i), info.*kPersonalInfoRecordOrder[i]});
    }
  }

  StoredGameRecord ReadGameRecord(std::int64_t account_id, int game_id) override {
    Lock("record", std::to_string(account_id) + ' ' + std::to_string(game_id));
    const Result r = c_.Query(
        "SELECT kon, best, score_sum, game_open FROM game_records "
        "WHERE account_id = $1 AND game_id = $2",
        {account_id, game_id});
    StoredGameRecord row;
    if (r.Rows() > 0) {
      row.rated_games = r.Int(0, 0);
      row.best_score = r.Int(0, 1);
      row.score_sum = r.Int(0, 2);
      row.game_open = r.Int(0, 3) != 0;
    }
    return row;
  }

  void WriteGameRecord(std::int64_t account_id, int game_id, const StoredGameRecord& row) override {
    c_.Query(
        "INSERT INTO game_records (account_id, game_id, kon, best, score_sum, rating, game_open) "
        "VALUES ($1, $2, $3, $4, $5, $6, $7) ON CONFLICT (account_id, game_id) DO UPDATE SET "
        "kon = excluded.kon, best = excluded.best, score_sum = excluded.score_sum, "
        "rating = excluded.rating, game_open = excluded.game_open",
        {account_id, game_id, row.rated_games, row.best_score, row.score_sum, RatingOf(row),
         row.game_open ? 1 : 0});
  }

  std::int64_t CountRatingsAbove(int game_id, double rating) override {
    return c_
        .Query("SELECT count(*) FROM game_records WHERE game_id = $1 AND kon > 0 AND rating > $2",
               {game_id, rating})
        .Int(0, 0);
  }

  std::vector<RatedPlayer> TopRated(int game_id, int limit) override {
    const Result r = c_.Query(
        "SELECT a.nick, a.city, a.country1, a.country2, a.sex, g.rating FROM game_records g "
        "JOIN accounts a ON a.id = g.account_id WHERE g.game_id = $1 AND g.kon > 0 "
        "ORDER BY g.rating DESC, g.account_id LIMIT $2",
        {game_id, limit});
    std::vector<RatedPlayer> players;
    for (int i = 0; i < r.Rows(); ++i) {
      RatedPlayer& player = players.emplace_back();
      player.nick = r.Text(i, 0);
      player.city = r.Text(i, 1);
      player.country_name = r.Text(i, 2);
      player.country_code = r.Text(i, 3);
      player.sex = SexLetter(r.Text(i, 4));
      player.rating = r.Real(i, 5);
    }
    return players;
  }

  void InsertEntry(TableEntry& e, std::int64_t now) override {
    Lock("table", std::to_string(e.table_id));
    const Result r = c_.Query(
        "INSERT INTO table_entries (table_id, score, nick, country, city, r07, r08, r09, r10, "
        "created_at) VALUES ($1, $2, $3, $4, $5, $6, $7, $8, $9, $10) RETURNING id",
        {e.table_id, e.score, e.nick, e.country_code, e.city, e.sex, e.writer_version, e.time_stamp,
         e.message, now});
    e.id = r.Int(0, 0);
  }

  std::vector<TableEntry> BestEntries(std::int64_t table_id, int limit) override {
    return ReadEntries(c_.Query(std::string("SELECT ") + kEntryColumns +
                                    " FROM table_entries WHERE table_id = $1 "
                                    "ORDER BY score DESC, id LIMIT $2",
                                {table_id, limit}));
  }

  std::int64_t PlaceOf(const TableEntry& e) override {
    // The entries above: whole bands of 64 scores, then the scores above it in
    // its own band, then the earlier entries of the same score. Scores are
    // never negative, so a score's band is score / 64.
    return c_.Query(
                 "SELECT coalesce((SELECT sum(entries) FROM table_band_counts "
                 "WHERE table_id = $1::bigint AND band > $2::bigint / 64), 0) + "
                 "coalesce((SELECT sum(entries) FROM table_score_counts WHERE table_id = "
                 "$1::bigint AND score > $2::bigint AND score < ($2::bigint / 64 + 1) * 64), 0) + "
                 "(SELECT count(*) FROM table_entries WHERE table_id = $1::bigint "
                 "AND score = $2::bigint AND id < $3::bigint)",
                 {e.table_id, e.score, e.id})
               .Int(0, 0) +
           1;
  }

  std::vector<TableEntry> NewestEntries(std::int64_t table_id, int limit) override {
    return ReadEntries(c_.Query(std::string("SELECT ") + kEntryColumns +
                                    " FROM table_entries WHERE table_id = $1 "
                                    "ORDER BY id DESC LIMIT $2",
                                {table_id, limit}));
  }

  std::int64_t HighestScore(std::int64_t table_id) override {
    // The chat's next number is the highest one + 1: one writer at a time.
    Lock("table", std::to_string(table_id));
    return c_
        .Query("SELECT coalesce(max(score), 0) FROM table_entries WHERE table_id = $1", {table_id})
        .Int(0, 0);
  }

  std::int64_t CountEntries(std::int64_t table_id) override {
    return c_
        .Query("SELECT coalesce((SELECT entries FROM table_entry_counts WHERE table_id = $1), 0)",
               {table_id})
        .Int(0, 0);
  }

  std::vector<TableEntry> EntriesOf(std::int64_t table_id, const std::string& nick,
                                    const std::string& city, int limit) override {
    return ReadEntries(c_.Query(std::string("SELECT ") + kEntryColumns +
                                    " FROM table_entries WHERE table_id = $1 AND nick = $2 AND "
                                    "($3::text = '' OR city = $3::text) "
                                    "ORDER BY score DESC, id LIMIT $4",
                                {table_id, nick, city, limit}));
  }

  UsageStats ReadStats(int game_id) override {
    const Result r = c_.Query(
        "SELECT starts, unique_starts, likes, last_like_nick, x1, x2, x3, x4, x5, x6, x7, x8, x9, "
        "x10, x11, x12 FROM usage_stats WHERE game_id = $1",
        {game_id});
    UsageStats stats;
    if (r.Rows() > 0) {
      stats.starts = r.Int(0, 0);
      stats.unique_starts = r.Int(0, 1);
      stats.likes = r.Int(0, 2);
      stats.last_like_nick = r.Text(0, 3);
      for (int i = 0; i < 12; ++i) stats.finished_games_by_flag[i] = r.Int(0, 4 + i);
    }
    return stats;
  }

  void AddStats(int game_id, const UsageStats& d, bool set_like_nick) override {
    c_.Query("INSERT INTO usage_stats (game_id) VALUES ($1) ON CONFLICT DO NOTHING", {game_id});
    std::vector<Param> params = {
        game_id, d.starts, d.unique_starts, d.likes, set_like_nick ? 1 : 0, d.last_like_nick};
    for (int i = 0; i < 12; ++i) params.emplace_back(d.finished_games_by_flag[i]);
    c_.Query(
        "UPDATE usage_stats SET starts = starts + $2, unique_starts = unique_starts + $3, "
        "likes = likes + $4, last_like_nick = CASE WHEN $5::int = 1 THEN $6::text "
        "ELSE last_like_nick END, "
        "x1 = x1 + $7, x2 = x2 + $8, x3 = x3 + $9, x4 = x4 + $10, x5 = x5 + $11, x6 = x6 + $12, "
        "x7 = x7 + $13, x8 = x8 + $14, x9 = x9 + $15, x10 = x10 + $16, x11 = x11 + $17, "
        "x12 = x12 + $18 WHERE game_id = $1",
        params);
  }

  void InsertSession(const std::string& token_hash, std::int64_t account_id,
                     std::int64_t expires_at) override {
    // The member's sessions are counted and trimmed by one writer at a time.
    Lock("sessions", std::to_string(account_id));
    c_.Query("INSERT INTO sessions (token_hash, account_id, expires_at) VALUES ($1, $2, $3)",
             {Param::Bytes(token_hash), account_id, expires_at});
  }

  std::optional<std::int64_t> SessionAccount(const std::string& token_hash,
                                             std::int64_t now) override {
    const Result r =
        c_.Query("SELECT account_id FROM sessions WHERE token_hash = $1 AND expires_at > $2",
                 {Param::Bytes(token_hash), now});
    if (r.Rows() == 0) return std::nullopt;
    return r.Int(0, 0);
  }

  void DeleteExpiredSessions(std::int64_t now) override {
    c_.Query("DELETE FROM sessions WHERE expires_at <= $1", {now});
  }

  void DropOldestSessions(std::int64_t account_id, std::int64_t keep) override {
    c_.Query(
        "DELETE FROM sessions WHERE account_id = $1 AND token_hash NOT IN (SELECT token_hash "
        "FROM sessions WHERE account_id = $1 ORDER BY expires_at DESC LIMIT $2)",
        {account_id, keep});
  }

  void DeleteIdleRateBuckets(const std::string& kind, double untouched_since) override {
    c_.Query("DELETE FROM rate_buckets WHERE kind = $1 AND updated_at <= $2",
             {kind, untouched_since});
  }

  void InsertCreditRight(std::int64_t entry_id, const std::string& session_hash,
                         std::int64_t amount) override {
    c_.Query("INSERT INTO credit_rights (entry_id, session_hash, amount) VALUES ($1, $2, $3)",
             {entry_id, Param::Bytes(session_hash), amount});
  }

  bool TakeCreditRight(const std::string& session_hash, std::int64_t amount) override {
    Lock("credit", session_hash);
    const Result r = c_.Query(
        "SELECT entry_id FROM credit_rights WHERE session_hash = $1 AND used = 0 AND amount = $2 "
        "ORDER BY entry_id LIMIT 1",
        {Param::Bytes(session_hash), amount});
    if (r.Rows() == 0) return false;
    c_.Query("UPDATE credit_rights SET used = 1 WHERE entry_id = $1", {r.Int(0, 0)});
    return true;
  }

  bool RateToken(const std::string& kind, const std::string& subject, double capacity,
                 double window_seconds, double now, bool take) override {
    Lock("bucket", kind + '\n' + subject);
    const Result r =
        c_.Query("SELECT tokens, updated_at FROM rate_buckets WHERE kind = $1 AND subject = $2",
                 {kind, Param::Bytes(subject)});
    double tokens = capacity;
    if (r.Rows() > 0) {
      const double elapsed = std::max(0.0, now - r.Real(0, 1));
      tokens = std::min(capacity, r.Real(0, 0) + elapsed * capacity / window_seconds);
    }
    const bool available = tokens >= 1.0 - 1e-9;
    // The refill is linear and capped, so a bucket that is only looked at
    // needs no write: the next reading computes the same level. Not writing
    // keeps checks from conflicting with each other.
    if (take && available) {
      c_.Query(
          "INSERT INTO rate_buckets (kind, subject, tokens, updated_at) VALUES ($1, $2, $3, $4) "
          "ON CONFLICT (kind, subject) DO UPDATE SET tokens = excluded.tokens, "
          "updated_at = excluded.updated_at",
          {kind, Param::Bytes(subject), std::max(0.0, tokens - 1.0), now});
    }
    return available;
  }

  void ReturnRateToken(const std::string& kind, const std::string& subject, double capacity,
                       double window_seconds, double now) override {
    Lock("bucket", kind + '\n' + subject);
    const Result r =
        c_.Query("SELECT tokens, updated_at FROM rate_buckets WHERE kind = $1 AND subject = $2",
                 {kind, Param::Bytes(subject)});
    if (r.Rows() == 0) return;  // no row: the bucket is full
    const double elapsed = std::max(0.0, now - r.Real(0, 1));
    const double tokens =
        std::min(capacity, r.Real(0, 0) + elapsed * capacity / window_seconds + 1);
    c_.Query(
        "UPDATE rate_buckets SET tokens = $3, updated_at = $4 WHERE kind = $1 AND subject = $2",
        {kind, Param::Bytes(subject), tokens, now});
  }

  // The topic's number in topic_generations (0 before its first write).
  std::uint64_t Generation(int topic) {
    const Result r = c_.Query("SELECT generation FROM topic_generations WHERE topic = $1", {topic});
    return r.Rows() > 0 ? static_cast<std::uint64_t>(r.Int(0, 0)) : 0;
  }

  // Writes run at READ COMMITTED, each statement seeing every commit before
  // it, and lock only what they read to decide a write: a transaction-scoped
  // advisory lock per thing (a limit bucket, a member's record or sessions,
  // a table's counts, a session's credit rights), held to the commit. Writes
  // that touch different things go ahead together, in any process; two that
  // touch the same thing run one after the other, so limits and counts stay
  // exact. Statements that only add (counts, statistics, topic numbers) are
  // atomic by themselves. A deadlock between two writers is retried.
  void Lock(std::string_view what, const std::string& key) {
    if (!writing_) return;
    // FNV-1a over what and key: the same number in every process.
    std::uint64_t hash = 14695981039346656037ULL;
    const auto mix = [&hash](std::string_view bytes) {
      for (const char ch : bytes) {
        hash ^= static_cast<unsigned char>(ch);
        hash *= 1099511628211ULL;
      }
    };
    mix(what);
    mix(std::string_view("\0", 1));
    mix(key);
    c_.Query("SELECT pg_advisory_xact_lock($1::bigint)", {static_cast<std::int64_t>(hash)});
  }

  void TopicChanged(int topic) override {
    c_.Query(
        "INSERT INTO topic_generations (topic, generation) VALUES ($1, 1) "
        "ON CONFLICT (topic) DO UPDATE SET generation = topic_generations.generation + 1",
        {topic});
  }

 private:
  Connection& c_;
  bool writing_;
};

void Migrate(Connection& c) {
  c.Exec("BEGIN");
  try {
    // Several processes may start at once on one database: one migrates, the
    // others wait and then find nothing left to do.
    c.Exec("SELECT pg_advisory_xact_lock(7612001)");
    c.Exec(
        "CREATE TABLE IF NOT EXISTS schema_migrations (number INTEGER PRIMARY KEY, "
        "name TEXT NOT NULL, applied_at BIGINT NOT NULL)");
    RefuseNewerSchema(c.Query("SELECT coalesce(max(number), 0) FROM schema_migrations").Int(0, 0),
                      PostgresMigrations(), "the PostgreSQL database");
    for (const Migration& m : PostgresMigrations()) {
      if (c.Query("SELECT 1 FROM schema_migrations WHERE number = $1", {m.number}).Rows() > 0)
        continue;
      c.Exec(std::string(m.sql));
      c.Query(
          "INSERT INTO schema_migrations (number, name, applied_at) "
          "VALUES ($1, $2, extract(epoch from now())::bigint)",
          {m.number, std::string(m.name)});
    }
    c.Exec("COMMIT");
  } catch (...) {
    c.RollbackQuietly();
    throw;
  }
}

class PostgresRepository : public Repository {
 public:
  PostgresRepository(std::string url, int max_connections)
      : url_(std::move(url)), pool_(max_connections, Migrated(url_)) {}

  std::uint64_t TopicGeneration(int topic) override {
    std::uint64_t generation = 0;
    // One statement outside any transaction: one round trip.
    Run(std::nullopt, [&](PostgresStore& store) { generation = store.Generation(topic); });
    return generation;
  }

  void Transact(Access access, const std::function<void(Store&)>& work) override {
    Run(access, work);
  }

 private:
  // Runs `work` on a pooled connection, in a transaction of that kind or,
  // without one, as single statements.
  void Run(std::optional<Access> transaction, const std::function<void(PostgresStore&)>& work) {
    for (int attempt = 1;; ++attempt) {
      std::unique_ptr<Connection> c = Borrow();
      bool committing = false;
      try {
        // A write locks what it touches as it goes (PostgresStore::Lock).
        if (transaction == Access::kWrite) {
          c->Exec("BEGIN ISOLATION LEVEL READ COMMITTED");
        } else if (transaction == Access::kRead) {
          c->Exec("BEGIN ISOLATION LEVEL REPEATABLE READ");
        }
        PostgresStore store(*c, transaction == Access::kWrite);
        work(store);
        if (transaction) {
          committing = true;
          c->Exec("COMMIT");
        }
        pool_.GiveBack(std::move(c));
        return;
      } catch (const RetryableError& e) {
        c->RollbackQuietly();
        pool_.GiveBack(std::move(c));
        if (attempt >= kPostgresAttempts)
          throw std::runtime_error(std::string("database: still conflicting after ") +
                                   std::to_string(attempt) + " attempts: " + e.what());
        Backoff(attempt);
      } catch (const ConnectionLost&) {
        pool_.Forget();
        // The others waiting in the pool went with the same server.
        pool_.CloseIdle();
        // A transaction cut off before COMMIT changed nothing and may run
        // again on a new connection; one cut off during COMMIT may have
        // been written, so the caller hears of the failure.
        if (committing || attempt >= 2) throw;
      } catch (...) {
        c->RollbackQuietly();
        if (c->Healthy()) {
          pool_.GiveBack(std::move(c));
        } else {
          pool_.Forget();
        }
        throw;
      }
    }
  }

  std::unique_ptr<Connection> Borrow() {
    return pool_.Borrow([this] { return std::make_unique<Connection>(url_); });
  }

  static std::unique_ptr<Connection> Migrated(const std::string& url) {
    auto first = std::make_unique<Connection>(url);
    Migrate(*first);
    return first;
  }

  static void Backoff(int attempt) {
    thread_local std::minstd_rand random(
        static_cast<unsigned>(std::hash<std::thread::id>()(std::this_thread::get_id())));
    const int ceiling_ms = std::min(50, 1 << std::min(attempt, 6));
    std::uniform_int_distribution<int> pick(1, ceiling_ms);
    std::this_thread::sleep_for(std::chrono::milliseconds(pick(random)));
  }

  std::string url_;
  ConnectionPool<Connection> pool_;
};

}  // namespace

std::unique_ptr<Repository> OpenPostgresRepository(const std::string& url, int max_connections) {
  try {
    return std::make_unique<PostgresRepository>(url, max_connections);
  } catch (const ConnectionLost& e) {
    throw std::runtime_error(e.what());
  }
}

}  // namespace braxo::club
