// The club's rules, independent of HTTP: who may do what, which texts may be
// stored, the rating invariant, the one credit per top-ten entry, the limits
// per address and per nick. Texts come in and go out as UTF-8; every state the
// rules depend on is kept by the repository.
#pragma once

#include <array>
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "service/ReadCache.h"
#include "service/Secrets.h"
#include "service/ServiceLimits.h"
#include "store/Repository.h"

namespace braxo::club {

// Who asks: the peer address, the session token from the request's cookie
// (empty when none) and the time of the request.
struct RequestContext {
  std::string address;
  std::string session_token;
  double now = 0;
};

enum class Status {
  kOk,
  kRefused,    // a rule says no (bad field, wrong password, no session, ...); nothing changed
  kNickTaken,  // account creation only
  kLimited,    // a rate limit; nothing changed
  kBusy,       // no turn to check a password in time; nothing changed
  kNotMember,  // a member's nick used without that member's session; nothing changed
};

// An account as the game asks to create it.
struct NewAccount {
  std::string nick, password, city, country_name, country_code, sex, email, registered_on,
      reserved_r01, reserved_r02, reserved_r03;
};

struct SessionResult {
  Status status = Status::kRefused;
  std::string session_token;  // set on success: the cookie to hand out
  StoredAccount account;
};

struct GameRecordResult {
  Status status = Status::kRefused;
  StoredGameRecord record;
  double rating = 0;  // RatingOf(record)
};

// A table entry as the game writes it; `message` still ends with the "*" that
// the game puts after it.
struct EntryRequest {
  std::int64_t table_id = 0;
  std::string nick, city, country_code;
  std::int64_t score = 0;
  std::string sex, writer_version, time_stamp, message;
};

struct WriteResult {
  Status status = Status::kRefused;
  std::int64_t place = 0;
};

class ClubService {
 public:
  ClubService(Repository& repository, ServiceLimits limits);

  SessionResult CreateAccount(const RequestContext& ctx, const NewAccount& account);
  SessionResult Login(const RequestContext& ctx, const std::string& nick, const std::string& pw);
  std::optional<PersonalInfo> ReadPersonalInfo(const std::string& nick);
  // Needs a session of that nick.
  Status SavePersonalInfo(const RequestContext& ctx, const std::string& nick,
                          const PersonalInfo& info);
  std::int64_t CountMembers();
  std::int64_t RatingPlace(double rating);
  std::vector<RatedPlayer> RatedTopTen();
  // Needs a session of that nick and an unused right of that amount earned in
  // the same session.
  Status CreditKezs(const RequestContext& ctx, const std::string& nick, std::int64_t amount);
  std::optional<std::int64_t> KezBalance(const std::string& nick);

  GameRecordResult ReadGameRecord(const RequestContext& ctx, const std::string& nick,
                                  const std::string& pw);
  // Accepted only as a rated-game start or as the result of the open game;
  // a start also takes a token of the member's rated-start limit (kLimited
  // when it is spent).
  Status SaveGameRecord(const RequestContext& ctx, const std::string& nick, const std::string& pw,
                        std::int64_t rated_games, std::int64_t best_score, double rating);

  // Nothing for a table that does not exist. Each entry comes with its place.
  std::optional<std::vector<TableEntry>> ReadTable(std::int64_t table_id);
  std::optional<std::vector<TableEntry>> OwnResults(std::int64_t table_id, const std::string& nick,
                                                    const std::string& city);
  std::optional<std::int64_t> GameCount(std::int64_t table_id);
  // A tournament entry under a member's nick (letter case ignored, as the
  // accounts compare nicks) needs that member's session: kNotMember
  // otherwise. Entries under a nick no member holds need none.
  WriteResult WriteEntry(const RequestContext& ctx, const EntryRequest& request);

  std::optional<UsageStats> ReadStats(std::int64_t game_id);
  Status CountStart(const RequestContext& ctx, std::int64_t game_id, bool unique);
  Status Like(const RequestContext& ctx, std::int64_t game_id, const std::string& nick);
  Status CountFinishedGame(const RequestContext& ctx, std::int64_t game_id,
                           const std::array<std::int64_t, 12>& flags);

  const ServiceLimits& limits() const { return limits_; }
  // Whether checking `pw` for `nick` needs no hash: the club found it right
  // lately, or there is no such member to check it against.
  bool PasswordCheckIsCheap(const std::string& nick, const std::string& pw);
  // The account when the password is right; failures count against the
  // limits. Opens no session (the FTP side's login check).
  SessionResult CheckPassword(const RequestContext& ctx, const std::string& nick,
                              const std::string& pw);

 private:
  class TopicChanges;
  // A token of a limit's bucket: `limit` per `subject` (an address, a nick)
  // for one `kind` of action.
  struct LimitToken {
    std::string kind;
    std::string subject;
    RateLimit limit;
  };
  using WriteBody = std::function<Status(Store&, TopicChanges&)>;

  // Every write goes through here: one write transaction that takes one token
  // of every bucket in `tokens` (none when any of them is spent: kLimited,
  // and nothing else is done), then runs `body`. When `body` returns kOk, the
  // `topics` and any it added itself are told to the store inside the
  // transaction and to the cache after the commit. A store failure throws
  // and changes nothing. The body may run again (see Repository::Transact),
  // so it sets whatever it hands out afresh.
  Status Write(double now, const std::vector<LimitToken>& tokens, const std::vector<Topic>& topics,
               const WriteBody& body);
  std::optional<std::int64_t> SessionAccount(Store& store, const RequestContext& ctx);
  // At most once per limits_.sweep_seconds, in a transaction of its own:
  // removes expired sessions and the limit buckets that have refilled, so
  // that neither grows with the club's age.
  void SweepWhenDue(double now);
  std::string OpenSession(Store& store, std::int64_t account_id, double now) const;

  // A read through the read cache.
  template <typename Value, typename Load>
  Value Kept(ReadCache::Shelf<Value>& shelf, Topic topic, const std::string& key, Load&& load) {
    return shelf.Get(cache_, topic, key, std::forward<Load>(load));
  }

  Repository& repository_;
  ServiceLimits limits_;
  ReadCache cache_;
  VerifiedPasswords verified_;
  HashGate hash_gate_;
  std::atomic<double> next_sweep_{0};
  ReadCache::Shelf<std::vector<TableEntry>> tables_, own_results_;
  ReadCache::Shelf<std::int64_t> counts_, rating_places_, members_;
  ReadCache::Shelf<UsageStats> stats_;
  ReadCache::Shelf<std::vector<RatedPlayer>> rated_;
};

// The text rules, on the Windows-1251 form of a UTF-8 text. Exposed for tests.
namespace rules {
// The Windows-1251 form of a UTF-8 text, or nothing when the text is not valid
// UTF-8 or holds a character the code page lacks.
std::optional<std::string> Cp1251Form(const std::string& utf8);
// 1 to `max_length` characters, no control characters, none of `forbidden`.
bool IsFieldText(const std::string& cp1251, std::size_t max_length, std::string_view forbidden,
                 bool may_be_empty = false);
}  // namespace rules

}  // namespace braxo::club
