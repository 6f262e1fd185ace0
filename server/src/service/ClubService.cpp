#include "service/ClubService.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <thread>

#include "club/NameRules.h"
#include "club/wire/WireConstants.h"
#include "i18n/CountryCatalogue.h"
#include "storage/TextFile.h"
#include "store/NickKey.h"

namespace braxo::club {

using wire::kAndroidTableId;
using wire::kChatTableId;
using wire::kGameId;
using wire::kMaxGameScore;

namespace rules {

std::optional<std::string> Cp1251Form(const std::string& utf8) {
  std::string cp1251 = Utf8ToCp1251(utf8);
  if (Cp1251ToUtf8(cp1251) != utf8) return std::nullopt;
  return cp1251;
}

bool IsFieldText(const std::string& cp1251, std::size_t max_length, std::string_view forbidden,
                 bool may_be_empty) {
  if (cp1251.size() > max_length || (cp1251.empty() && !may_be_empty)) return false;
  for (const char ch : cp1251) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x20 || c == 0x7F || forbidden.find(ch) != std::string_view::npos) return false;
  }
  return true;
}

}  // namespace rules

namespace {

using rules::Cp1251Form;
using rules::IsFieldText;

// Every separator of a space-separated reply record.
constexpr std::string_view kRecordSeparators = " *$~";

// The personal texts' longest lengths, in the record's order.
constexpr std::array<std::size_t, kPersonalInfoTextCount> kInfoLengths = {
    20, 20, 50, 20, 50, 50, 50, 50, 50, 50, 60, 50, 50, 50};

bool IsSex(const std::string& s) { return s == "M" || s == "W"; }

bool IsTournamentTable(std::int64_t id) { return id == kGameId || id == kAndroidTableId; }
bool IsTable(std::int64_t id) { return IsTournamentTable(id) || id == kChatTableId; }
bool IsStatisticsGame(std::int64_t id) { return id == kGameId || id == kAndroidTableId; }

bool Rated(const std::string& utf8, int kind, int at_least) {
  const auto cp = Cp1251Form(utf8);
  return cp && RateNameText(*cp, kind) >= at_least;
}

bool AccountText(const std::string& utf8, AccountTextKind kind, int at_least) {
  const auto cp = Cp1251Form(utf8);
  return cp && RateAccountText(*cp, kind) >= at_least;
}

bool Field(const std::string& utf8, std::size_t max_length, std::string_view forbidden) {
  const auto cp = Cp1251Form(utf8);
  return cp && IsFieldText(*cp, max_length, forbidden);
}

bool IsDateText(const std::string& s) {
  if (s.empty() || s.size() > 12) return false;
  return std::all_of(s.begin(), s.end(), [](char c) {
    return (c >= '0' && c <= '9') || c == '.' || c == '/' || c == '-';
  });
}

bool IsVersionText(const std::string& s) {
  if (s.empty() || s.size() > 8) return false;
  return std::all_of(s.begin(), s.end(), [](char c) { return (c >= '0' && c <= '9') || c == '.'; });
}

// The same password whichever body style carried it: the plain style can only
// send what Windows-1251 holds, so both are taken through it.
std::string NormalPassword(const std::string& pw) { return Cp1251ToUtf8(Utf8ToCp1251(pw)); }

constexpr std::size_t kMaxPasswordBytes = 64;

Topic TopTenTopic(std::int64_t table_id) {
  if (table_id == kChatTableId) return Topic::kChat;
  return table_id == kGameId ? Topic::kTopTen76 : Topic::kTopTen176;
}

Topic EntriesTopic(std::int64_t table_id) {
  if (table_id == kChatTableId) return Topic::kChatEntries;
  return table_id == kGameId ? Topic::kEntries76 : Topic::kEntries176;
}

Topic StatsTopic(std::int64_t game_id) {
  return game_id == kGameId ? Topic::kStats76 : Topic::kStats176;
}

// Where several processes share the store, its per-topic numbers; where
// this process is the only server, nothing: its own writes are all there is.
ReadCache::SharedGeneration SharedGenerationOf(Repository& repository) {
  if (repository.SingleServer()) return {};
  return [&repository](Topic topic) { return repository.TopicGeneration(static_cast<int>(topic)); };
}

int HashesAtOnce(int configured) {
  if (configured > 0) return configured;
  return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

}  // namespace

ClubService::ClubService(Repository& repository, ServiceLimits limits)
    : repository_(repository),
      limits_(limits),
      cache_(limits_.read_cache_seconds, SharedGenerationOf(repository)),
      verified_(limits_.verified_password_seconds),
      hash_gate_(HashesAtOnce(limits_.password_hashes_at_once), limits_.password_hash_wait) {}

// The topics one write changes: told to the store inside the write's
// transaction (for the other processes on it), and to this process's cache
// once the write has committed.
class ClubService::TopicChanges {
 public:
  explicit TopicChanges(Store& store) : store_(store) {}
  void Add(Topic topic) {
    store_.TopicChanged(static_cast<int>(topic));
    topics_.push_back(topic);
  }
  const std::vector<Topic>& topics() const { return topics_; }

 private:
  Store& store_;
  std::vector<Topic> topics_;
};

Status ClubService::Write(double now, const std::vector<LimitToken>& tokens,
                          const std::vector<Topic>& topics, const WriteBody& body) {
  const auto take = [now](Store& store, const LimitToken& t, bool spend) {
    return store.RateToken(t.kind, t.subject, t.limit.count, t.limit.window_seconds, now, spend);
  };
  Status status = Status::kRefused;
  std::vector<Topic> changed;
  repository_.Transact(Access::kWrite, [&](Store& store) {
    changed.clear();
    status = Status::kLimited;
    // All or none: with several buckets, each is looked at before any is
    // spent; with one, the take itself is the look.
    if (tokens.size() > 1) {
      for (const LimitToken& t : tokens)
        if (!take(store, t, false)) return;
    }
    for (const LimitToken& t : tokens)
      if (!take(store, t, true)) return;
    TopicChanges changes(store);
    status = body(store, changes);
    if (status != Status::kOk) return;
    for (const Topic topic : topics) changes.Add(topic);
    changed = changes.topics();
  });
  for (const Topic topic : changed) cache_.Changed(topic);
  SweepWhenDue(now);
  return status;
}

void ClubService::SweepWhenDue(double now) {
  double due = next_sweep_.load();
  if (now < due || !next_sweep_.compare_exchange_strong(due, now + limits_.sweep_seconds)) return;
  // Every kind of bucket with the limit that fills it: one idle for a whole
  // window has refilled.
  const std::pair<const char*, const RateLimit*> kinds[] = {
      {"login-address", &limits_.failed_logins},
      {"login-nick", &limits_.failed_logins},
      {"logins", &limits_.logins},
      {"rated-start", &limits_.rated_starts},
      {"create", &limits_.accounts_created},
      {"chat", &limits_.chat_messages},
      {"chat-nick", &limits_.chat_messages},
      {"tournament", &limits_.tournament_writes},
      {"tournament-nick", &limits_.tournament_writes},
      {"statistics", &limits_.statistics_writes},
      {"like", &limits_.likes},
  };
  repository_.Transact(Access::kWrite, [&](Store& store) {
    store.DeleteExpiredSessions(static_cast<std::int64_t>(now));
    for (const auto& [kind, limit] : kinds)
      store.DeleteIdleRateBuckets(kind, now - limit->window_seconds);
  });
}

std::optional<std::int64_t> ClubService::SessionAccount(Store& store, const RequestContext& ctx) {
  if (ctx.session_token.empty()) return std::nullopt;
  return store.SessionAccount(SessionTokenHash(ctx.session_token),
                              static_cast<std::int64_t>(ctx.now));
}

std::string ClubService::OpenSession(Store& store, std::int64_t account_id, double now) const {
  const auto now_s = static_cast<std::int64_t>(now);
  std::string token = NewSessionToken();
  store.InsertSession(SessionTokenHash(token), account_id, now_s + limits_.session_seconds);
  store.DropOldestSessions(account_id, limits_.sessions_per_member);
  return token;
}

SessionResult ClubService::CreateAccount(const RequestContext& ctx, const NewAccount& a) {
  SessionResult result;
  const bool valid =
      AccountText(a.nick, AccountTextKind::kNick, kRateGood) &&
      AccountText(a.password, AccountTextKind::kPassword, kRateGood) &&
      AccountText(a.city, AccountTextKind::kCity, kRateCyrillic) &&
      AccountText(a.email, AccountTextKind::kEMail, kRateGood) &&
      IsValidCountryCode(a.country_code) && Field(a.country_name, 15, kRecordSeparators) &&
      IsSex(a.sex) && IsDateText(a.registered_on) && Field(a.reserved_r01, 15, kRecordSeparators) &&
      Field(a.reserved_r02, 15, kRecordSeparators) && Field(a.reserved_r03, 15, kRecordSeparators);
  if (!valid) return result;

  // Hashing is slow on purpose, so a taken nick or a spent limit is found
  // before it, and the hash is made outside the write transaction.
  repository_.Transact(Access::kRead, [&](Store& store) {
    const RateLimit& l = limits_.accounts_created;
    if (store.FindAccount(a.nick)) {
      result.status = Status::kNickTaken;
    } else if (!store.RateToken("create", ctx.address, l.count, l.window_seconds, ctx.now, false)) {
      result.status = Status::kLimited;
    }
  });
  if (result.status != Status::kRefused) return result;

  StoredAccount row;
  row.nick = a.nick;
  {
    const HashGate::Pass turn = hash_gate_.Enter();
    if (!turn) {
      result.status = Status::kBusy;
      return result;
    }
    row.password_hash = HashPassword(NormalPassword(a.password), limits_.password_cost);
  }
  row.city = a.city;
  row.country_name = a.country_name;
  row.country_code = a.country_code;
  row.sex = a.sex;
  row.email = a.email;
  row.registered_on = a.registered_on;
  row.reserved_r01 = a.reserved_r01;
  row.reserved_r02 = a.reserved_r02;
  row.reserved_r03 = a.reserved_r03;

  const std::string nick = row.nick;
  result.status = Write(ctx.now, {{"create", ctx.address, limits_.accounts_created}},
                        {Topic::kMembers}, [&](Store& store, TopicChanges&) {
                          result = SessionResult{};
                          StoredAccount inserted = row;
                          if (store.FindAccount(nick) ||
                              !store.InsertAccount(inserted, static_cast<std::int64_t>(ctx.now)))
                            return Status::kNickTaken;
                          result.session_token = OpenSession(store, inserted.id, ctx.now);
                          result.account = std::move(inserted);
                          return Status::kOk;
                        });
  // The creator's first logins need no second hash (nor a failed-login token).
  if (result.status == Status::kOk)
    verified_.Add(result.account.id, result.account.password_hash, NormalPassword(a.password),
                  std::chrono::steady_clock::now());
  return result;
}

SessionResult ClubService::CheckPassword(const RequestContext& ctx, const std::string& nick,
                                         const std::string& pw) {
  SessionResult result;
  if (nick.empty() || nick.size() > 64 || pw.size() > kMaxPasswordBytes) return result;
  const RateLimit& l = limits_.failed_logins;
  // The nick's bucket is keyed as the accounts compare nicks, so that no
  // spelling of a locked nick gets around its limit.
  const std::vector<LimitToken> tokens = {{"login-address", ctx.address, l},
                                          {"login-nick", NickKey(nick), l}};
  std::optional<StoredAccount> account;
  bool locked = false;
  repository_.Transact(Access::kRead, [&](Store& store) {
    locked = false;
    for (const LimitToken& t : tokens)
      locked =
          locked || !store.RateToken(t.kind, t.subject, l.count, l.window_seconds, ctx.now, false);
    account = locked ? std::nullopt : store.FindAccount(nick);
  });
  if (locked) {
    result.status = Status::kLimited;
    return result;
  }
  const std::string normal = NormalPassword(pw);
  const auto now = std::chrono::steady_clock::now();
  // A password checked lately needs no hash, and a guess cannot match it, so
  // it takes no token.
  if (account && verified_.Contains(account->id, account->password_hash, normal, now)) {
    result.account = *account;
    result.status = Status::kOk;
    return result;
  }
  // Every hash is paid for with a token taken before it, so concurrent
  // guesses can never check more passwords than the bucket holds; the
  // account is read again in the same transaction.
  const Status taken = Write(ctx.now, tokens, {}, [&](Store& store, TopicChanges&) {
    account = store.FindAccount(nick);
    return Status::kOk;
  });
  if (taken != Status::kOk) {
    result.status = taken;
    return result;
  }
  if (!account) return result;  // an unknown nick costs its token like a wrong password
  bool right = false;
  {
    const HashGate::Pass turn = hash_gate_.Enter();
    if (turn) right = VerifyPassword(normal, account->password_hash);
    if (!turn) result.status = Status::kBusy;
  }
  if (right) {
    verified_.Add(account->id, account->password_hash, normal, now);
    result.account = *account;
    result.status = Status::kOk;
  }
  // A right password, or a check that never ran, was no failure.
  if (right || result.status == Status::kBusy) {
    repository_.Transact(Access::kWrite, [&](Store& store) {
      for (const LimitToken& t : tokens)
        store.ReturnRateToken(t.kind, t.subject, l.count, l.window_seconds, ctx.now);
    });
  }
  return result;
}

bool ClubService::PasswordCheckIsCheap(const std::string& nick, const std::string& pw) {
  if (nick.empty() || nick.size() > 64 || pw.size() > kMaxPasswordBytes) return true;
  std::optional<StoredAccount> account;
  repository_.Transact(Access::kRead, [&](Store& store) { account = store.FindAccount(nick); });
  return !account || verified_.Contains(account->id, account->password_hash, NormalPassword(pw),
                                        std::chrono::steady_clock::now());
}

SessionResult ClubService::Login(const RequestContext& ctx, const std::string& nick,
                                 const std::string& pw) {
  SessionResult result = CheckPassword(ctx, nick, pw);
  if (result.status != Status::kOk) return result;
  const StoredAccount checked = result.account;
  // Each login opens a session, so even right passwords are limited per nick.
  result.status = Write(ctx.now, {{"logins", NickKey(nick), limits_.logins}}, {},
                        [&](Store& store, TopicChanges&) {
                          result.session_token = OpenSession(store, checked.id, ctx.now);
                          // The balance may have changed since the account was read.
                          result.account = store.FindAccount(nick).value_or(checked);
                          return Status::kOk;
                        });
  if (result.status != Status::kOk) result.session_token.clear();
  return result;
}

std::optional<PersonalInfo> ClubService::ReadPersonalInfo(const std::string& nick) {
  std::optional<PersonalInfo> info;
  repository_.Transact(Access::kRead, [&](Store& store) {
    if (const auto account = store.FindAccount(nick)) info = store.ReadPersonalInfo(account->id);
  });
  return info;
}

Status ClubService::SavePersonalInfo(const RequestContext& ctx, const std::string& nick,
                                     const PersonalInfo& info) {
  for (size_t i = 0; i < kPersonalInfoRecordOrder.size(); ++i) {
    const auto cp = Cp1251Form(info.*kPersonalInfoRecordOrder[i]);
    if (!cp || !IsFieldText(*cp, kInfoLengths[i], "$~", true)) return Status::kRefused;
  }
  return Write(ctx.now, {}, {}, [&](Store& store, TopicChanges&) {
    const auto account = store.FindAccount(nick);
    const auto session_account = SessionAccount(store, ctx);
    if (!account || !session_account || *session_account != account->id) return Status::kRefused;
    store.WritePersonalInfo(account->id, info);
    return Status::kOk;
  });
}

std::int64_t ClubService::CountMembers() {
  return Kept(members_, Topic::kMembers, {}, [&] {
    std::int64_t count = 0;
    repository_.Transact(Access::kRead, [&](Store& store) { count = store.CountAccounts(); });
    return count;
  });
}

std::int64_t ClubService::RatingPlace(double rating) {
  char key[40];
  std::snprintf(key, sizeof key, "%.17g", rating);
  return Kept(rating_places_, Topic::kRatings, key, [&] {
    std::int64_t place = 1;
    repository_.Transact(
        Access::kRead, [&](Store& store) { place = store.CountRatingsAbove(kGameId, rating) + 1; });
    return place;
  });
}

std::vector<RatedPlayer> ClubService::RatedTopTen() {
  return Kept(rated_, Topic::kRatings, {}, [&] {
    std::vector<RatedPlayer> players;
    repository_.Transact(Access::kRead,
                         [&](Store& store) { players = store.TopRated(kGameId, 10); });
    return players;
  });
}

Status ClubService::CreditKezs(const RequestContext& ctx, const std::string& nick,
                               std::int64_t amount) {
  if (amount != 25 && amount != 10) return Status::kRefused;
  return Write(ctx.now, {}, {}, [&](Store& store, TopicChanges&) {
    const auto account = store.FindAccount(nick);
    const auto session_account = SessionAccount(store, ctx);
    if (!account || !session_account || *session_account != account->id) return Status::kRefused;
    if (!store.TakeCreditRight(SessionTokenHash(ctx.session_token), amount))
      return Status::kRefused;
    store.AddKezs(account->id, amount);
    return Status::kOk;
  });
}

std::optional<std::int64_t> ClubService::KezBalance(const std::string& nick) {
  std::optional<std::int64_t> balance;
  repository_.Transact(Access::kRead, [&](Store& store) {
    if (const auto account = store.FindAccount(nick)) balance = account->kezs_balance;
  });
  return balance;
}

GameRecordResult ClubService::ReadGameRecord(const RequestContext& ctx, const std::string& nick,
                                             const std::string& pw) {
  GameRecordResult result;
  const SessionResult login = CheckPassword(ctx, nick, pw);
  result.status = login.status;
  if (login.status != Status::kOk) return result;
  repository_.Transact(Access::kRead, [&](Store& store) {
    result.record = store.ReadGameRecord(login.account.id, kGameId);
  });
  result.rating = RatingOf(result.record);
  return result;
}

Status ClubService::SaveGameRecord(const RequestContext& ctx, const std::string& nick,
                                   const std::string& pw, std::int64_t rated_games,
                                   std::int64_t best_score, double rating) {
  const SessionResult login = CheckPassword(ctx, nick, pw);
  if (login.status != Status::kOk) return login.status;
  if (!std::isfinite(rating)) return Status::kRefused;
  return Write(ctx.now, {}, {Topic::kRatings}, [&](Store& store, TopicChanges&) {
    StoredGameRecord row = store.ReadGameRecord(login.account.id, kGameId);
    const double old_rating = RatingOf(row);
    if (rated_games == row.rated_games + 1) {
      // A start: the new game counts 0 until its result arrives.
      const double expected =
          static_cast<double>(row.score_sum) / static_cast<double>(rated_games) +
          static_cast<double>(rated_games);
      if (best_score != row.best_score ||
          std::fabs(rating - expected) > 1e-6 * std::max(1.0, expected))
        return Status::kRefused;
      // Each start adds one to the rating, so starts alone would raise it
      // without a game played: no more starts than real games can make.
      const RateLimit& l = limits_.rated_starts;
      if (!store.RateToken("rated-start", std::to_string(login.account.id), l.count,
                           l.window_seconds, ctx.now, true))
        return Status::kLimited;
      row.rated_games = rated_games;
      row.game_open = true;
    } else if (rated_games == row.rated_games && row.rated_games >= 1 && row.game_open) {
      const double implied = (rating - old_rating) * static_cast<double>(row.rated_games);
      const double score = std::round(implied);
      if (std::fabs(implied - score) > 0.01 || score < 0 ||
          score > static_cast<double>(kMaxGameScore))
        return Status::kRefused;
      const auto s = static_cast<std::int64_t>(score);
      if (best_score != std::max(row.best_score, s)) return Status::kRefused;
      row.score_sum += s;
      row.best_score = std::max(row.best_score, s);
      row.game_open = false;
    } else {
      return Status::kRefused;
    }
    store.WriteGameRecord(login.account.id, kGameId, row);
    return Status::kOk;
  });
}

std::optional<std::vector<TableEntry>> ClubService::ReadTable(std::int64_t table_id) {
  if (!IsTable(table_id)) return std::nullopt;
  return Kept(tables_, TopTenTopic(table_id), std::to_string(table_id), [&] {
    std::vector<TableEntry> placed;
    repository_.Transact(Access::kRead, [&](Store& store) {
      placed = table_id == kChatTableId ? store.NewestEntries(table_id, 10)
                                        : store.BestEntries(table_id, 10);
      for (size_t i = 0; i < placed.size(); ++i) placed[i].place = static_cast<std::int64_t>(i + 1);
    });
    return placed;
  });
}

std::optional<std::vector<TableEntry>> ClubService::OwnResults(std::int64_t table_id,
                                                               const std::string& nick,
                                                               const std::string& city) {
  if (!IsTournamentTable(table_id)) return std::nullopt;
  // The game sends a fixed city for the Android table, so there the nick alone names the player.
  const std::string city_filter = table_id == kGameId ? city : std::string();
  // The nick and the city as they came: the key tells them apart by their lengths.
  const std::string key =
      std::to_string(table_id) + ' ' + std::to_string(nick.size()) + ' ' + nick + city_filter;
  return Kept(own_results_, EntriesTopic(table_id), key, [&] {
    std::vector<TableEntry> placed;
    repository_.Transact(Access::kRead, [&](Store& store) {
      placed = store.EntriesOf(table_id, nick, city_filter, 10);
      for (TableEntry& e : placed) e.place = store.PlaceOf(e);
    });
    return placed;
  });
}

std::optional<std::int64_t> ClubService::GameCount(std::int64_t table_id) {
  if (!IsTable(table_id)) return std::nullopt;
  return Kept(counts_, EntriesTopic(table_id), std::to_string(table_id), [&] {
    std::int64_t count = 0;
    repository_.Transact(Access::kRead,
                         [&](Store& store) { count = store.CountEntries(table_id); });
    return count;
  });
}

WriteResult ClubService::WriteEntry(const RequestContext& ctx, const EntryRequest& r) {
  WriteResult result;
  if (!IsTable(r.table_id)) return result;
  const bool chat = r.table_id == kChatTableId;
  if (r.message.empty() || r.message.back() != '*') return result;
  TableEntry e;
  e.table_id = r.table_id;
  e.nick = r.nick;
  e.city = r.city;
  e.country_code = r.country_code;
  e.sex = r.sex;
  e.writer_version = r.writer_version;
  e.time_stamp = r.time_stamp;
  e.message = r.message.substr(0, r.message.size() - 1);
  if (chat) {
    // The time stamp is shown with "_" as spaces; a local time format with
    // spaces would otherwise shift the fields of every later reader.
    std::replace(e.time_stamp.begin(), e.time_stamp.end(), ' ', '_');
  }
  bool valid = Rated(e.nick, 1, kRateCyrillic) && Rated(e.city, 2, kRateCyrillic) &&
               IsValidCountryCode(e.country_code) && IsSex(e.sex) &&
               IsVersionText(e.writer_version) && Field(e.time_stamp, 40, kRecordSeparators);
  if (chat) {
    const auto message = Cp1251Form(e.message);
    valid = valid && message && IsValidChatMessage(*message);
  } else {
    valid = valid && Field(e.message, 40, kRecordSeparators) && r.score >= 0 &&
            r.score <= kMaxGameScore;
    e.score = r.score;
  }
  if (!valid) return result;

  const RateLimit& limit = chat ? limits_.chat_messages : limits_.tournament_writes;
  const std::string kind = chat ? "chat" : "tournament";
  const std::vector<LimitToken> tokens = {{kind, ctx.address, limit},
                                          {kind + "-nick", NickKey(e.nick), limit}};
  result.status =
      Write(ctx.now, tokens, {EntriesTopic(r.table_id)}, [&](Store& store, TopicChanges& changes) {
        // Anyone may write under a nick no member holds; a member's nick is
        // that member's alone.
        if (!chat) {
          if (const auto member = store.FindAccount(e.nick)) {
            const auto session_account = SessionAccount(store, ctx);
            if (!session_account || *session_account != member->id) return Status::kNotMember;
          }
        }
        TableEntry entry = e;
        if (chat) entry.score = store.HighestScore(kChatTableId) + 1;
        store.InsertEntry(entry, static_cast<std::int64_t>(ctx.now));
        result.place = chat ? 1 : store.PlaceOf(entry);
        if (!chat && result.place <= 10 && SessionAccount(store, ctx))
          store.InsertCreditRight(entry.id, SessionTokenHash(ctx.session_token),
                                  result.place == 1 ? 25 : 10);
        // An entry below the tenth place leaves the top ten as it was.
        if (chat || result.place <= 10) changes.Add(TopTenTopic(r.table_id));
        return Status::kOk;
      });
  if (result.status != Status::kOk) result.place = 0;
  return result;
}

std::optional<UsageStats> ClubService::ReadStats(std::int64_t game_id) {
  if (!IsStatisticsGame(game_id)) return std::nullopt;
  return Kept(stats_, StatsTopic(game_id), std::to_string(game_id), [&] {
    UsageStats stats;
    repository_.Transact(Access::kRead,
                         [&](Store& store) { stats = store.ReadStats(static_cast<int>(game_id)); });
    return stats;
  });
}

Status ClubService::CountStart(const RequestContext& ctx, std::int64_t game_id, bool unique) {
  if (!IsStatisticsGame(game_id)) return Status::kRefused;
  return Write(ctx.now, {{"statistics", ctx.address, limits_.statistics_writes}},
               {StatsTopic(game_id)}, [&](Store& store, TopicChanges&) {
                 UsageStats delta;
                 delta.starts = 1;
                 delta.unique_starts = unique ? 1 : 0;
                 store.AddStats(static_cast<int>(game_id), delta, false);
                 return Status::kOk;
               });
}

Status ClubService::Like(const RequestContext& ctx, std::int64_t game_id, const std::string& nick) {
  if (!IsStatisticsGame(game_id) || !Rated(nick, 1, kRateCyrillic)) return Status::kRefused;
  return Write(ctx.now, {{"like", ctx.address, limits_.likes}}, {StatsTopic(game_id)},
               [&](Store& store, TopicChanges&) {
                 UsageStats delta;
                 delta.likes = 1;
                 delta.last_like_nick = nick;
                 store.AddStats(static_cast<int>(game_id), delta, true);
                 return Status::kOk;
               });
}

Status ClubService::CountFinishedGame(const RequestContext& ctx, std::int64_t game_id,
                                      const std::array<std::int64_t, 12>& flags) {
  if (!IsStatisticsGame(game_id)) return Status::kRefused;
  for (const auto f : flags)
    if (f != 0 && f != 1) return Status::kRefused;
  return Write(ctx.now, {{"statistics", ctx.address, limits_.statistics_writes}},
               {StatsTopic(game_id)}, [&](Store& store, TopicChanges&) {
                 UsageStats delta;
                 delta.finished_games_by_flag = flags;
                 store.AddStats(static_cast<int>(game_id), delta, false);
                 return Status::kOk;
               });
}

}  // namespace braxo::club
