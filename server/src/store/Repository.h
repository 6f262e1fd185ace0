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

#include "club/ClubRecords.h"

namespace braxo::club {

// A member's account as the club stores it: the game's MemberAccount without
// the password and the personal information, with the password's hash and the
// account's number.
struct StoredAccount {
  std::int64_t id = 0;
  std::string nick;
  std::string password_hash;
  std::string city;
  std::string country_name;  // the country's name in its server form
  std::string country_code;
  std::string sex;
  std::string email;
  std::string registered_on;
  std::string reserved_r01, reserved_r02, reserved_r03;
  std::int64_t kezs_balance = 0;
  std::int64_t reserved_r05 = 0;
  std::int64_t reserved_r06 = 0;
};

// A member's record for one game as the club stores it. The rating is kept as
// the sum of the rated games' scores, so that rating = score_sum / rated_games
// + rated_games holds exactly; the game's GameRecord carries the rating itself.
struct StoredGameRecord {
  std::int64_t rated_games = 0;
  std::int64_t best_score = 0;
  std::int64_t score_sum = 0;
  // A rated game has been started and its result has not arrived yet.
  bool game_open = false;
};

// The rating a record stands for: score_sum / rated_games + rated_games, and 0
// before the first rated game.
inline double RatingOf(const StoredGameRecord& record) {
  if (record.rated_games <= 0) return 0;
  return static_cast<double>(record.score_sum) / static_cast<double>(record.rated_games) +
         static_cast<double>(record.rated_games);
}

// The one letter of a stored sex text, as a RatedPlayer holds it; an empty
// text reads as 'M'.
char SexLetter(const std::string& stored);

// PersonalInfo, RatedPlayer, TableEntry and UsageStats are the game's records
// (club/ClubRecords.h).
using braxo::PersonalInfo;
using braxo::RatedPlayer;
using braxo::TableEntry;
using braxo::UsageStats;

// The operations of one transaction. Everything done through one Store is
// committed together, or not at all.
class Store {
 public:
  virtual ~Store() = default;

  // Accounts; nicks are compared without regard to letter case.
  virtual std::optional<StoredAccount> FindAccount(const std::string& nick) = 0;
  // False when the nick is taken. On success `row.id` is set.
  virtual bool InsertAccount(StoredAccount& row, std::int64_t now) = 0;
  virtual std::int64_t CountAccounts() = 0;
  virtual void AddKezs(std::int64_t account_id, std::int64_t amount) = 0;

  virtual PersonalInfo ReadPersonalInfo(std::int64_t account_id) = 0;
  virtual void WritePersonalInfo(std::int64_t account_id, const PersonalInfo& info) = 0;

  virtual StoredGameRecord ReadGameRecord(std::int64_t account_id, int game_id) = 0;
  virtual void WriteGameRecord(std::int64_t account_id, int game_id,
                               const StoredGameRecord& record) = 0;
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
  // Keeps the account's `keep` sessions that expire last.
  virtual void DropOldestSessions(std::int64_t account_id, std::int64_t keep) = 0;

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
  // Removes the buckets of `kind` untouched since `untouched_since`: the
  // caller passes a time by which they have refilled, and a missing bucket
  // reads as full.
  virtual void DeleteIdleRateBuckets(const std::string& kind, double untouched_since) = 0;
  // Puts one token back into the bucket, never above `capacity`: an action
  // that took one and then turned out not to count (a right password).
  virtual void ReturnRateToken(const std::string& kind, const std::string& subject, double capacity,
                               double window_seconds, double now) = 0;

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
