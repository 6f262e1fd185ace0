#include "club/wire/RequestTable.h"

#include <algorithm>
#include <cstddef>
#include <initializer_list>
#include <stdexcept>
#include <utility>

namespace braxo::wire {
namespace {

using namespace field;

std::vector<RequestField> Varying(std::initializer_list<Field> fields) {
  std::vector<RequestField> out;
  for (const Field f : fields) out.push_back({f, {}});
  return out;
}

std::vector<RequestKind> MakeRequestKinds() {
  std::vector<RequestField> save_info = {{kNick, {}}, {kInfoSaveLabel, "0"}};
  for (const Field f : kPersonalTexts) save_info.push_back({f, {}});
  std::vector<RequestField> finished = {{kGameOrTable, {}}};
  for (const Field f : kFinishedGameFlags) finished.push_back({f, {}});

  using enum Request;
  using enum Service;
  using enum BodyStyle;
  using enum ReplyForm;
  // clang-format off
  return {
      {kCreateAccount, "account-create", kAccount, kPlain,
       Varying({kNick, kPassword, kCity, kCountryName, kCountryCode, kSex, kEmail, kRegisteredOn,
                kReservedR01, kReservedR02, kReservedR03, kKezs, kReservedR05, kReservedR06}),
       kMarker},
      {kLogin, "login", kAccount, kList,
       {{kNick, {}}, {kPassword, {}}, {kLoginLabel, "0"}}, kAccountRecord},
      {kReadPersonalInfo, "info-read", kAccount, kList,
       {{kNick, {}}, {kInfoReadLabel, "0"}}, kPersonalInfo},
      {kSavePersonalInfo, "info-save", kAccount, kPlain, save_info, kMarker},
      {kCountMembers, "member-count", kAccount, kPlain, {{kMemberCountLabel, "0"}}, kNumber},
      {kReadRatingPlace, "rating-place", kAccount, kPlain, {{kRating, {}}}, kNumber},
      {kReadRatedTopTen, "rated-top-ten", kAccount, kList, {{kRatedGames, "0"}}, kRatedPlayers},
      {kCreditKezs, "kez-credit", kAccount, kPlain,
       {{kNick, {}}, {kKezCreditLabel, "0"}, {kKezs, {}}}, kMarker},
      {kReadKezsBalance, "kez-balance", kAccount, kList,
       {{kNick, {}}, {kKezReadLabel, "0"}}, kNumber},
      {kReadGameRecord, "game-read", kAccount, kList,
       {{kNick, {}}, {kPassword, {}}, {kBestScore, "0"}}, kGameRecord},
      {kSaveGameRecord, "game-save", kAccount, kPlain,
       Varying({kNick, kPassword, kRatedGames, kBestScore, kRating, kGameReservedR1,
                kGameReservedR2}),
       kMarker},
      {kReadTopTen, "topten-read", kTopTen, kList, Varying({kGameOrTable}), kTableEntries},
      {kReadOwnResults, "topten-own", kTopTen, kPlain, Varying({kGameOrTable, kNick, kCity}),
       kTableEntries},
      {kReadGameCount, "topten-count", kTopTen, kList, Varying({kCountedTable}), kNumber},
      {kWriteTopTenEntry, "topten-write", kTopTen, kPlain,
       {{kGameOrTable, {}}, {kNick, {}}, {kCity, {}}, {kEntryCountryCode, {}}, {kScore, {}},
        {kEntrySex, {}}, {kWriterVersion, "2.7"}, {kTimeStamp, {}}, {kMessage, {}}},
       kNumber},
      {kReadUsageStatistics, "stat-read", kStat, kList, Varying({kGameOrTable}), kUsageStats},
      {kCountStart, "stat-start", kStat, kPlain,
       {{kGameOrTable, {}}, {kStartCounted, "1"}, {kUniqueStart, {}}}, kTailMarker},
      {kSendLike, "stat-like", kStat, kPlain,
       {{kGameOrTable, {}}, {kLiked, "1"}, {kLikeNick, {}}}, kTailMarker},
      {kCountFinishedGame, "stat-finished", kStat, kPlain, finished, kTailMarker},
  };
  // clang-format on
}

// One recognisable request: its service and its sorted field names.
struct Signature {
  Service service;
  std::vector<std::string> sorted_names;
  const RequestKind* kind;
};

std::vector<Signature> MakeSignatures() {
  std::vector<Signature> signatures;
  for (const RequestKind& kind : RequestKinds()) {
    Signature s{kind.service, {}, &kind};
    for (const RequestField& f : kind.fields) s.sorted_names.push_back(FieldName(f.field));
    std::sort(s.sorted_names.begin(), s.sorted_names.end());
    signatures.push_back(std::move(s));
  }
  return signatures;
}

// The kind's fields with `values` in the varying ones, as (name, value).
std::vector<FormField> FillFields(Request request, BodyStyle style,
                                  const std::vector<std::string_view>& values,
                                  std::string_view game_prefix) {
  const RequestKind& kind = KindOf(request);
  if (kind.style != style)
    throw std::logic_error(std::string(kind.log_name) + ": built in the other body style");
  std::vector<FormField> fields;
  std::size_t next = 0;
  for (const RequestField& f : kind.fields) {
    std::string value;
    if (!f.sent.empty()) {
      value = f.sent;
    } else if (next < values.size()) {
      value = values[next++];
    } else {
      throw std::logic_error(std::string(kind.log_name) + ": too few values");
    }
    fields.push_back({FieldName(f.field, game_prefix), std::move(value)});
  }
  if (next != values.size())
    throw std::logic_error(std::string(kind.log_name) + ": too many values");
  return fields;
}

}  // namespace

std::string_view RefusalReply(ReplyForm form) {
  switch (form) {
    case ReplyForm::kGameRecord:
      // "no" as field 1 is no whole number, so both of the game's readers fail.
      return "$no$";
    case ReplyForm::kTableEntries:
    case ReplyForm::kUsageStats:
      return "$no*";
    case ReplyForm::kTailMarker:
      return "$ no#";
    case ReplyForm::kMarker:
    case ReplyForm::kNumber:
    case ReplyForm::kAccountRecord:
    case ReplyForm::kPersonalInfo:
    case ReplyForm::kRatedPlayers:
      break;
  }
  return "no";
}

std::string FieldName(Field field, std::string_view game_prefix) {
  std::string name;
  if (field.per_game) name = game_prefix;
  name += field.name;
  return name;
}

const std::vector<RequestKind>& RequestKinds() {
  static const std::vector<RequestKind> kinds = MakeRequestKinds();
  return kinds;
}

const RequestKind& KindOf(Request request) {
  return RequestKinds().at(static_cast<std::size_t>(request));
}

const RequestKind* FindRequestKind(Service service, std::vector<std::string> names) {
  static const std::vector<Signature> signatures = MakeSignatures();
  std::sort(names.begin(), names.end());
  for (const Signature& s : signatures) {
    if (s.service == service && s.sorted_names == names) return s.kind;
  }
  return nullptr;
}

std::vector<FormField> PlainRequestFields(Request request,
                                          const std::vector<std::string_view>& values,
                                          std::string_view game_prefix) {
  return FillFields(request, BodyStyle::kPlain, values, game_prefix);
}

std::vector<std::string> ListRequestLines(Request request,
                                          const std::vector<std::string_view>& values,
                                          std::string_view game_prefix) {
  std::vector<std::string> lines;
  for (FormField& f : FillFields(request, BodyStyle::kList, values, game_prefix))
    lines.push_back(std::move(f.name) + "=" + f.value);
  return lines;
}

}  // namespace braxo::wire
