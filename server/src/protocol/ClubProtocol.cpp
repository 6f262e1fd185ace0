#include "protocol/ClubProtocol.h"

#include <array>
#include <cmath>
#include <exception>
#include <map>
#include <set>

#include "club/AccountService.h"
#include "club/GameRecords.h"
#include "club/ReplyRules.h"
#include "club/StatisticsService.h"
#include "club/TopTenService.h"
#include "club/wire/WireConstants.h"
#include "i18n/Utf8.h"
#include "storage/TextFile.h"

namespace braxo::club {
namespace {

using wire::Request;
using wire::RequestKind;
namespace field = wire::field;

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

std::optional<std::string> PercentDecode(std::string_view text) {
  std::string out;
  out.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const char c = text[i];
    if (c == '+') {
      out += ' ';
    } else if (c == '%') {
      if (i + 2 >= text.size()) return std::nullopt;
      const int hi = HexDigit(text[i + 1]);
      const int lo = HexDigit(text[i + 2]);
      if (hi < 0 || lo < 0) return std::nullopt;
      out += static_cast<char>(hi * 16 + lo);
      i += 2;
    } else {
      out += c;
    }
  }
  return out;
}

bool IsAscii(std::string_view s) {
  for (const char c : s)
    if (static_cast<unsigned char>(c) >= 0x80) return false;
  return true;
}

// The decoded fields of one recognised request, as UTF-8.
class Fields {
 public:
  Fields(const FormFields& raw, wire::Charset charset) {
    for (const auto& [name, value] : raw) {
      // No field holds a zero byte; refused here, it never reaches a store
      // that would fail on it.
      if (value.find('\0') != std::string::npos) valid_ = false;
      if (charset == wire::Charset::kCp1251) {
        std::string utf8 = IsAscii(value) ? value : Cp1251ToUtf8(value);
        // A byte the code page has no character for (0x98) must be refused,
        // not stored as the "?" the conversion puts in its place.
        if (Utf8ToCp1251(utf8) != value) valid_ = false;
        values_[name] = std::move(utf8);
      } else if (IsValidUtf8(value)) {
        values_[name] = value;
      } else {
        valid_ = false;
      }
    }
  }
  bool valid() const { return valid_; }
  const std::string& operator[](wire::Field field) const {
    static const std::string kEmpty;
    const auto it = values_.find(wire::FieldName(field));
    return it == values_.end() ? kEmpty : it->second;
  }
  std::optional<std::int64_t> Int(wire::Field field) const {
    const auto v = ParseClubInteger((*this)[field]);
    if (!v) return std::nullopt;
    return *v;
  }

 private:
  std::map<std::string, std::string> values_;
  bool valid_ = true;
};

// What the club made of one request: the reply on success, or the status
// that refused it.
struct Answer {
  Status status = Status::kOk;
  std::string body;  // the reply, as it goes on the wire
  std::string session_token;
};

Answer Done(std::string body, std::string session_token = {}) {
  return {Status::kOk, std::move(body), std::move(session_token)};
}

Answer Refused(Status status = Status::kRefused) { return {status, {}, {}}; }

// A write that replies with a marker when it is done.
Answer Marked(Status status, std::string_view done) {
  return status == Status::kOk ? Done(std::string(done)) : Refused(status);
}

ProtocolReply Reply(std::string_view kind, std::string body, int status = 200) {
  ProtocolReply reply;
  reply.kind = kind;
  reply.body = std::move(body);
  reply.http_status = status;
  return reply;
}

// A refusal in the form the request's reader takes as a failure; a rate
// limit is the same refusal with status 429, a password check that found no
// turn in time 503, a member's nick without that member's session 403 (the
// game tells its player why).
int RefusalStatus(Status status) {
  switch (status) {
    case Status::kLimited:
      return 429;
    case Status::kBusy:
      return wire::kClubBusyStatus;
    case Status::kNotMember:
      return wire::kMemberNickStatus;
    default:
      return 200;
  }
}

ProtocolReply Refusal(const RequestKind& kind, Status status) {
  const int http_status = RefusalStatus(status);
  ProtocolReply reply =
      Reply(kind.log_name, std::string(wire::RefusalReply(kind.reply)), http_status);
  if (status == Status::kBusy) {
    reply.error = "busy: no turn to check a password";
    reply.retry_after_seconds = 1;
  }
  return reply;
}

// The account the login reply carries. Sex and numbers are checked when an
// account is made: one letter, a balance of credits that stays far below the
// 32-bit range.
MemberAccount WireAccount(const StoredAccount& a) {
  MemberAccount account;
  account.city = a.city;
  account.country_name = a.country_name;
  account.country_code = a.country_code;
  account.sex = SexLetter(a.sex);
  account.email = a.email;
  account.registered_on = a.registered_on;
  account.reserved_r01 = a.reserved_r01;
  account.reserved_r02 = a.reserved_r02;
  account.reserved_r03 = a.reserved_r03;
  account.kezs_balance = static_cast<std::int32_t>(a.kezs_balance);
  account.reserved_r05 = static_cast<std::int32_t>(a.reserved_r05);
  account.reserved_r06 = static_cast<std::int32_t>(a.reserved_r06);
  return account;
}

// --- The account service ---

Answer CreateAccount(ClubService& s, const RequestContext& ctx, const Fields& f) {
  for (const wire::Field number : {field::kKezs, field::kReservedR05, field::kReservedR06})
    if (!f.Int(number)) return Refused();
  const SessionResult r = s.CreateAccount(
      ctx, {f[field::kNick], f[field::kPassword], f[field::kCity], f[field::kCountryName],
            f[field::kCountryCode], f[field::kSex], f[field::kEmail], f[field::kRegisteredOn],
            f[field::kReservedR01], f[field::kReservedR02], f[field::kReservedR03]});
  if (r.status != Status::kOk) return Refused(r.status);
  return Done(std::string(kDoneMarker), r.session_token);
}

Answer Login(ClubService& s, const RequestContext& ctx, const Fields& f) {
  const SessionResult r = s.Login(ctx, f[field::kNick], f[field::kPassword]);
  if (r.status != Status::kOk) return Refused(r.status);
  return Done(WriteLoginReply(WireAccount(r.account)), r.session_token);
}

Answer ReadPersonalInfo(ClubService& s, const Fields& f) {
  const std::optional<PersonalInfo> info = s.ReadPersonalInfo(f[field::kNick]);
  if (!info) return Refused();
  return Done(WritePersonalInfoReply(*info));
}

Answer SavePersonalInfo(ClubService& s, const RequestContext& ctx, const Fields& f) {
  PersonalInfo info;
  for (size_t i = 0; i < field::kPersonalTexts.size(); ++i)
    info.*kPersonalInfoWireOrder[i] = f[field::kPersonalTexts[i]];
  return Marked(s.SavePersonalInfo(ctx, f[field::kNick], info), kDoneMarker);
}

Answer ReadRatingPlace(ClubService& s, const Fields& f) {
  const std::optional<double> rating = ParseClubNumber(f[field::kRating]);
  if (!rating || !std::isfinite(*rating)) return Refused();
  return Done(WriteNumberReply(s.RatingPlace(*rating)));
}

Answer CreditKezs(ClubService& s, const RequestContext& ctx, const Fields& f) {
  const std::optional<std::int64_t> amount = f.Int(field::kKezs);
  if (!amount) return Refused();
  return Marked(s.CreditKezs(ctx, f[field::kNick], *amount), kDoneMarker);
}

Answer ReadKezsBalance(ClubService& s, const Fields& f) {
  const std::optional<std::int64_t> balance = s.KezBalance(f[field::kNick]);
  if (!balance) return Refused();
  return Done(WriteNumberReply(*balance));
}

Answer ReadGameRecord(ClubService& s, const RequestContext& ctx, const Fields& f) {
  const GameRecordResult r = s.ReadGameRecord(ctx, f[field::kNick], f[field::kPassword]);
  if (r.status != Status::kOk) return Refused(r.status);
  return Done(WriteGameRecordReply(r.record.rated_games, r.record.best_score, r.rating));
}

Answer SaveGameRecord(ClubService& s, const RequestContext& ctx, const Fields& f) {
  const std::optional<std::int64_t> rated_games = f.Int(field::kRatedGames);
  const std::optional<std::int64_t> best_score = f.Int(field::kBestScore);
  const std::optional<double> rating = ParseClubNumber(f[field::kRating]);
  if (!rated_games || !best_score || !rating) return Refused();
  return Marked(s.SaveGameRecord(ctx, f[field::kNick], f[field::kPassword], *rated_games,
                                 *best_score, *rating),
                kDoneMarker);
}

// --- The tournament and chat tables ---

Answer ReadTopTen(ClubService& s, const Fields& f) {
  const std::optional<std::int64_t> id = f.Int(field::kGameOrTable);
  const auto entries = id ? s.ReadTable(*id) : std::nullopt;
  if (!entries) return Refused();
  return Done(WriteTableReply(*entries));
}

Answer ReadOwnResults(ClubService& s, const Fields& f) {
  const std::optional<std::int64_t> id = f.Int(field::kGameOrTable);
  const auto entries = id ? s.OwnResults(*id, f[field::kNick], f[field::kCity]) : std::nullopt;
  if (!entries) return Refused();
  return Done(WriteTableReply(*entries));
}

Answer ReadGameCount(ClubService& s, const Fields& f) {
  const std::optional<std::int64_t> id = f.Int(field::kCountedTable);
  const auto count = id ? s.GameCount(*id) : std::nullopt;
  if (!count) return Refused();
  return Done(WriteNumberReply(*count));
}

Answer WriteTopTenEntry(ClubService& s, const RequestContext& ctx, const Fields& f) {
  const std::optional<std::int64_t> id = f.Int(field::kGameOrTable);
  const std::optional<std::int64_t> score = f.Int(field::kScore);
  if (!id || !score) return Refused();
  const WriteResult r =
      s.WriteEntry(ctx, {*id, f[field::kNick], f[field::kCity], f[field::kEntryCountryCode], *score,
                         f[field::kEntrySex], f[field::kWriterVersion], f[field::kTimeStamp],
                         f[field::kMessage]});
  if (r.status != Status::kOk) return Refused(r.status);
  return Done(WriteNumberReply(r.place));
}

// --- The usage statistics ---

Answer ReadUsageStatistics(ClubService& s, const Fields& f) {
  const std::optional<std::int64_t> id = f.Int(field::kGameOrTable);
  std::optional<UsageStats> stats = id ? s.ReadStats(*id) : std::nullopt;
  if (!stats) return Refused();
  // The club keeps nothing in the last two fields: 0, and "#" for no text.
  stats->reserved_y = 0;
  stats->reserved_z = "#";
  return Done(WriteUsageStatisticsReply(*stats));
}

Answer CountStart(ClubService& s, const RequestContext& ctx, const Fields& f) {
  const std::optional<std::int64_t> id = f.Int(field::kGameOrTable);
  const std::string& unique = f[field::kUniqueStart];
  if (!id || f[field::kStartCounted] != "1" || (unique != "0" && unique != "1")) return Refused();
  return Marked(s.CountStart(ctx, *id, unique == "1"), WriteTailMarkerReply());
}

Answer SendLike(ClubService& s, const RequestContext& ctx, const Fields& f) {
  const std::optional<std::int64_t> id = f.Int(field::kGameOrTable);
  if (!id || f[field::kLiked] != "1") return Refused();
  return Marked(s.Like(ctx, *id, f[field::kLikeNick]), WriteTailMarkerReply());
}

Answer CountFinishedGame(ClubService& s, const RequestContext& ctx, const Fields& f) {
  const std::optional<std::int64_t> id = f.Int(field::kGameOrTable);
  std::array<std::int64_t, field::kFinishedGameFlags.size()> flags{};
  for (size_t i = 0; i < flags.size(); ++i) {
    const std::optional<std::int64_t> flag = f.Int(field::kFinishedGameFlags[i]);
    if (!flag || !id) return Refused();
    flags[i] = *flag;
  }
  return Marked(s.CountFinishedGame(ctx, *id, flags), WriteTailMarkerReply());
}

Answer Handle(Request request, ClubService& s, const RequestContext& ctx, const Fields& f) {
  switch (request) {
    case Request::kCreateAccount:
      return CreateAccount(s, ctx, f);
    case Request::kLogin:
      return Login(s, ctx, f);
    case Request::kReadPersonalInfo:
      return ReadPersonalInfo(s, f);
    case Request::kSavePersonalInfo:
      return SavePersonalInfo(s, ctx, f);
    case Request::kCountMembers:
      return Done(WriteNumberReply(s.CountMembers()));
    case Request::kReadRatingPlace:
      return ReadRatingPlace(s, f);
    case Request::kReadRatedTopTen:
      return Done(WriteRatedTopTenReply(s.RatedTopTen()));
    case Request::kCreditKezs:
      return CreditKezs(s, ctx, f);
    case Request::kReadKezsBalance:
      return ReadKezsBalance(s, f);
    case Request::kReadGameRecord:
      return ReadGameRecord(s, ctx, f);
    case Request::kSaveGameRecord:
      return SaveGameRecord(s, ctx, f);
    case Request::kReadTopTen:
      return ReadTopTen(s, f);
    case Request::kReadOwnResults:
      return ReadOwnResults(s, f);
    case Request::kReadGameCount:
      return ReadGameCount(s, f);
    case Request::kWriteTopTenEntry:
      return WriteTopTenEntry(s, ctx, f);
    case Request::kReadUsageStatistics:
      return ReadUsageStatistics(s, f);
    case Request::kCountStart:
      return CountStart(s, ctx, f);
    case Request::kSendLike:
      return SendLike(s, ctx, f);
    case Request::kCountFinishedGame:
      return CountFinishedGame(s, ctx, f);
  }
  return Refused();
}

}  // namespace

std::optional<FormFields> ParseForm(std::string_view body) {
  FormFields fields;
  std::set<std::string> seen;
  size_t start = 0;
  while (start <= body.size()) {
    size_t end = body.find('&', start);
    if (end == std::string_view::npos) end = body.size();
    const std::string_view pair = body.substr(start, end - start);
    const size_t eq = pair.find('=');
    if (eq == std::string_view::npos) return std::nullopt;
    auto name = PercentDecode(pair.substr(0, eq));
    auto value = PercentDecode(pair.substr(eq + 1));
    if (!name || !value || name->empty() || !seen.insert(*name).second) return std::nullopt;
    fields.emplace_back(std::move(*name), std::move(*value));
    start = end + 1;
  }
  return fields;
}

bool NeedsPasswordHash(ClubService& service, Service which, std::string_view body) {
  const auto raw = ParseForm(body);
  if (!raw) return false;
  std::vector<std::string> names;
  for (const auto& field : *raw) names.push_back(field.first);
  const RequestKind* kind = wire::FindRequestKind(which, std::move(names));
  if (kind == nullptr) return false;
  const Fields fields(*raw, wire::CharsetOf(kind->style));
  if (!fields.valid()) return false;
  switch (kind->request) {
    case Request::kCreateAccount:
      return true;
    case Request::kLogin:
    case Request::kReadGameRecord:
    case Request::kSaveGameRecord:
      try {
        return !service.PasswordCheckIsCheap(fields[field::kNick], fields[field::kPassword]);
      } catch (const std::exception&) {
        return false;  // the request itself meets the failure and says so
      }
    default:
      return false;
  }
}

ProtocolReply BusyReply(Service which, std::string_view body) {
  const auto raw = ParseForm(body);
  std::vector<std::string> names;
  if (raw)
    for (const auto& field : *raw) names.push_back(field.first);
  const RequestKind* kind = raw ? wire::FindRequestKind(which, std::move(names)) : nullptr;
  if (kind == nullptr) return Reply("busy", std::string(kRefusedMarker), wire::kClubBusyStatus);
  return Refusal(*kind, Status::kBusy);
}

ProtocolReply HandleClubRequest(ClubService& service, Service which, const RequestContext& ctx,
                                std::string_view body) {
  const auto raw = ParseForm(body);
  if (!raw) return Reply("malformed", std::string(kRefusedMarker), 400);
  std::vector<std::string> names;
  for (const auto& field : *raw) names.push_back(field.first);
  const RequestKind* kind = wire::FindRequestKind(which, std::move(names));
  if (kind == nullptr) return Reply("unknown", std::string(kRefusedMarker), 400);

  const Fields fields(*raw, wire::CharsetOf(kind->style));
  if (!fields.valid()) {
    // A table read whose text cannot be decoded names no entries: its answer
    // is the empty table the game shows as such.
    if (kind->reply == wire::ReplyForm::kTableEntries ||
        kind->reply == wire::ReplyForm::kRatedPlayers)
      return Reply(kind->log_name, std::string());
    return Reply(kind->log_name, std::string(kRefusedMarker));
  }
  try {
    Answer answer = Handle(kind->request, service, ctx, fields);
    if (answer.status == Status::kNickTaken)
      return Reply(kind->log_name, std::string(kNickTakenMarker));
    if (answer.status != Status::kOk) return Refusal(*kind, answer.status);
    ProtocolReply reply = Reply(kind->log_name, std::move(answer.body));
    reply.session_token = std::move(answer.session_token);
    return reply;
  } catch (const std::exception& e) {
    ProtocolReply failed = Reply(kind->log_name, std::string(kRefusedMarker), 503);
    failed.error = e.what();
    return failed;
  }
}

}  // namespace braxo::club
