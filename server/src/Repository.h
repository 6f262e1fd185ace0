// What the club keeps, behind one interface with named operations, so that a
// second database backend is a second implementation and not a rewrite. Every
// piece of state a request depends on (sessions, rate-limit buckets, the
// credit rights) lives here, so several server processes on one database can
// answer any request. Texts are UTF-8; times are seconds since the epoch.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace braxo::club {

struct AccountRow {
  std::int64_t id = 0;
  std::string nick;
  std::string password_hash;
  std::string city;
  std::string country1;
  std::string country2;
  std::string sex;
  std::string email;
  std::string date_r;
  std::string r01, r02, r03;
  std::int64_t kezs = 0;
  std::int64_t r05 = 0;
  std::int64_t r06 = 0;
};

// The fourteen personal texts in the record's order (Name1, Name2, About,
// Telephone, EMailO, Skype, WebSite, OK, VK, Telegram, FaceBook, Twitter,
// Instagramm, YouTube).
using PersonalInfo = std::array<std::string, 14>;

// A member's record for one game. The rating is kept as the sum of the rated
// games' scores, so that rating = score_sum / kon + kon holds exactly.
struct GameRecordRow {
  std::int64_t kon = 0;
  std::int64_t best = 0;
  std::int64_t score_sum = 0;
  // A rated game has been started and its result has not arrived yet.
  bool game_open = false;
};

// The rating a record stands for: score_sum / kon + kon, and 0 before the
// first rated game.
inline double RatingOf(const GameRecordRow& row) {
  if (row.kon <= 0) return 0;
  return static_cast<double>(row.score_sum) / static_cast<double>(row.kon) +
         static_cast<double>(row.kon);
}

struct RatedPlayer {
  std::string nick;
  std::string city;
  std::string country1;
  std::string country2;
  std::string sex;
  double rating = 0;
};

// One entry of a tournament or chat table.
struct TableEntry {
  std::int64_t id = 0;
  std::int64_t table_id = 0;
  std::int64_t score = 0;  // the result, or a chat message's number
  std::string nick;
  std::string country;
  std::string city;
  std::string r07, r08, r09, r10;
};

struct UsageStats {
  std::int64_t starts = 0;
  std::int64_t unique_starts = 0;
  std::int64_t likes = 0;
  std::string last_like_nick;
  std::array<std::int64_t, 12> finished{};
};

// The operations of one transaction. Everything done through one Store is
// committed together, or not at all.
class Store {
 public:
  virtual ~Store() = default;

  // Accounts; nicks are compared without regard to letter case.
  virtual std::optional<AccountRow> FindAccount(const std::string& nick) = 0;
  // False when the nick is taken. On success `row.id` is set.
  virtual bool InsertAccount(AccountRow& row, std::int64_t now) = 0;
  virtual std::int64_t CountAccounts() = 0;
  virtual void AddKezs(std::int64_t account_id, std::int64_t amount) = 0;

  virtual PersonalInfo ReadPersonalInfo(std::int64_t account_id) = 0;
  virtual void WritePersonalInfo(std::int64_t account_id, const PersonalInfo& info) = 0;

  virtual GameRecordRow ReadGameRecord(std::int64_t account_id, int game_id) = 0;
  virtual void WriteGameRecord(std::int64_t account_id, int game_id, const GameRecordRow& row) = 0;
  // Players of the game with at least one rated game and a rating above `rating`.
  virtual std::int64_t CountRatingsAbove(int game_id, double rating) = 0;
  // The best ratings, ties by the earlier account.
  virtual std::vector<RatedPlayer> TopRated(int game_id, int limit) = 0;

  // Tables. Insert sets `entry.id`.
  virtual void InsertEntry(TableEntry& entry, std::int64_t now) = 0;
  // By score, ties by the earlier entry.
  virtual std::vector<TableEntry> BestEntries(std::int64_t table_id, int limit) = 0;
  // The 1-based place of an entry in that order.
  virtual std::int64_t PlaceOf(const TableEntry& entry) = 0;
  // Newest first.
  virtual std::vector<TableEntry> NewestEntries(std::int64_t table_id, int limit) = 0;
  virtual std::int64_t HighestScore(std::int64_t table_id) = 0;
  virtual std::int64_t CountEntries(std::int64_t table_id) = 0;
  // A player's entries by score; an empty `city` matches every city.
  virtual std::vector<TableEntry> EntriesOf(std::int64_t table_id, const std::string& nick,
                                            const std::string& city, int limit) = 0;

  virtual UsageStats ReadStats(int game_id) = 0;
  virtual void AddStats(int game_id, const UsageStats& delta, bool set_like_nick) = 0;

  // Sessions by the hash of their token.
  virtual void InsertSession(const std::string& token_hash, std::int64_t account_id,
                             std::int64_t expires_at) = 0;
  virtual std::optional<std::int64_t> SessionAccount(const std::string& token_hash,
                                                     std::int64_t now) = 0;
  virtual void DeleteExpiredSessions(std::int64_t now) = 0;

  // A right to one Kez credit of `amount`, earned by a tournament entry
  // written in a session.
  virtual void InsertCreditRight(std::int64_t entry_id, const std::string& session_hash,
                                 std::int64_t amount) = 0;
  // Uses up the oldest unused right of the session with that amount.
  virtual bool TakeCreditRight(const std::string& session_hash, std::int64_t amount) = 0;

  // A token bucket per (kind, subject): `capacity` tokens, refilled at
  // capacity / window_seconds per second. Takes one token when `take` and one
  // is there; returns whether one was there.
  virtual bool RateToken(const std::string& kind, const std::string& subject, double capacity,
                         double window_seconds, double now, bool take) = 0;

  // Tells the other servers of a shared store, with this transaction's
  // commit, that what the reads of `topic` return has changed (see
  // Repository::TopicGeneration). Nothing to tell where there is one server.
  virtual void TopicChanged(int /*topic*/) {}
};

enum class Access { kRead, kWrite };

class Repository {
 public:
  virtual ~Repository() = default;
  // Runs `work` in one transaction and commits it when `work` returns; an
  // exception rolls everything back and is passed on. A backend may roll
  // back and run `work` again when a concurrent transaction got in its way,
  // so `work` sets every result it hands out afresh on each run.
  virtual void Transact(Access access, const std::function<void(Store&)>& work) = 0;
  // True when this process is the store's one server, so that what it reads
  // changes only by its own writes (a SQLite file; the FTP side's commands on
  // it write only password-failure counts). Several servers share PostgreSQL.
  virtual bool SingleServer() const { return false; }
  // A number that moves on with every committed transaction that called
  // Store::TopicChanged(topic), in any process: one short read outside any
  // transaction. 0 where this process is the single server.
  virtual std::uint64_t TopicGeneration(int /*topic*/) { return 0; }
};

// Opens the backend a database URL names ("sqlite:PATH", or
// "sqlite:PATH?synchronous=normal" to trade the power-cut safety of each
// commit for speed, or a PostgreSQL address "postgresql://…"), applying its
// numbered migrations. Throws
// std::runtime_error with a readable message.
std::unique_ptr<Repository> OpenRepository(const std::string& url);

bool IsPostgresUrl(const std::string& url);

}  // namespace braxo::club
