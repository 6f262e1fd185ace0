// Every request the game sends to the club, described once for both sides:
// its name for the log, its service, its body style (and so its character
// set), its field names in the order the game sends them, and the form of its
// reply. The game's request builders fill these fields; the club server
// recognises a request by the set of these names. The writers and readers of
// each reply form sit side by side in ReplyRules.h and in the service modules
// (AccountService, GameRecords, TopTenService, StatisticsService).
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

#include "club/ClubRecords.h"
#include "club/FormBody.h"
#include "club/wire/WireConstants.h"

namespace braxo::wire {

// The three club addresses a request can go to.
enum class Service { kAccount, kTopTen, kStat };

// The plain style: fields joined by "&", in Windows-1251 (PlainFormBody). The
// list style: "name=value" lines in UTF-8, encoded by the HTML form rule
// (ListFormBody).
enum class BodyStyle { kPlain, kList };
enum class Charset { kCp1251, kUtf8 };
constexpr Charset CharsetOf(BodyStyle style) {
  return style == BodyStyle::kPlain ? Charset::kCp1251 : Charset::kUtf8;
}

// What a reply looks like on success. Replies are Windows-1251 text.
enum class ReplyForm {
  kMarker,         // "ok", or "is" for a taken nick (MarkerReply)
  kNumber,         // "$" and a whole number (NumberReply, FirstNumberReply)
  kAccountRecord,  // one "$" record of the account, cut at spaces, ended by "$"
  kPersonalInfo,   // one "$" record of the personal texts, cut at "~", ended by "$"
  kRatedPlayers,   // up to ten "$" records cut at spaces, each ended by "*"
  kGameRecord,     // one "$" record cut at spaces, ended by "$"
  kTableEntries,   // up to ten "$" records cut at spaces, each ended by "*"
  kUsageStats,     // one "$" record cut at spaces, ended by "*"
  kTailMarker,     // "$ ok#" (TailMarkerReply)
};

// The reply of a refused request of that form, which the form's reader takes
// as a failure: "no", or for some record forms a record the reader cannot
// read (a table's reader would take a bare "no" for an empty table).
std::string_view RefusalReply(ReplyForm form);

// The name of a field. On the wire a per-game field's name is the game's
// field prefix followed by `name`.
struct Field {
  std::string_view name;
  bool per_game = false;
};

// The field's name on the wire, with `game_prefix` in front of a per-game one.
std::string FieldName(Field field, std::string_view game_prefix = kGameFieldPrefix);

namespace field {
// clang-format off
// The account service.
inline constexpr Field kNick{"nick"};
inline constexpr Field kPassword{"pw"};
inline constexpr Field kCity{"city"};
inline constexpr Field kCountryName{"country1"};  // the country's name in its server form
inline constexpr Field kCountryCode{"country2"};
inline constexpr Field kSex{"sex"};
inline constexpr Field kEmail{"email"};
inline constexpr Field kRegisteredOn{"dater"};
inline constexpr Field kReservedR01{"R01"};
inline constexpr Field kReservedR02{"R02"};
inline constexpr Field kReservedR03{"R03"};
inline constexpr Field kKezs{"R04"};  // the balance of a new account; the amount of a credit
inline constexpr Field kReservedR05{"R05"};
inline constexpr Field kReservedR06{"R06"};
inline constexpr Field kLoginLabel{"label0"};
inline constexpr Field kInfoReadLabel{"labelinforead"};
inline constexpr Field kInfoSaveLabel{"labelinfosave"};
inline constexpr Field kMemberCountLabel{"label1"};
inline constexpr Field kKezCreditLabel{"labelkezsave"};
inline constexpr Field kKezReadLabel{"labelkezread"};
// The personal texts.
inline constexpr Field kFirstName{"namei"};
inline constexpr Field kLastName{"name2"};
inline constexpr Field kAbout{"about"};
inline constexpr Field kTelephone{"telephone"};
inline constexpr Field kPublicEmail{"emailo"};
inline constexpr Field kWebsite{"website"};
inline constexpr Field kSkype{"skype"};
inline constexpr Field kOdnoklassniki{"ok"};
inline constexpr Field kVkontakte{"vk"};
inline constexpr Field kTelegram{"telegram"};
inline constexpr Field kFacebook{"facebook"};
inline constexpr Field kTwitter{"twitter"};
inline constexpr Field kInstagram{"instagramm"};
inline constexpr Field kYoutube{"youtube"};
// The player's record of this game.
inline constexpr Field kRatedGames{"kon", true};
inline constexpr Field kBestScore{"best", true};
inline constexpr Field kRating{"rating", true};
inline constexpr Field kGameReservedR1{"R1", true};
inline constexpr Field kGameReservedR2{"R2", true};
// The tournament and chat tables, and the statistics.
inline constexpr Field kGameOrTable{"gid"};  // the table on the tables' service, the game on the statistics'
inline constexpr Field kCountedTable{"rgid"};
inline constexpr Field kEntryCountryCode{"country"};
inline constexpr Field kScore{"score"};
inline constexpr Field kEntrySex{"R7"};
inline constexpr Field kWriterVersion{"R8"};
inline constexpr Field kTimeStamp{"R9"};
inline constexpr Field kMessage{"R10"};
inline constexpr Field kStartCounted{"stat1"};
inline constexpr Field kUniqueStart{"stat2"};
inline constexpr Field kLiked{"stat3"};
inline constexpr Field kLikeNick{"stat4"};
// clang-format on

// The personal texts in the order the requests carry them
// (kPersonalInfoWireOrder: the web site before Skype).
inline constexpr std::array<Field, kPersonalInfoTextCount> kPersonalTexts = {
    kFirstName,     kLastName,  kAbout,    kTelephone, kPublicEmail, kWebsite,   kSkype,
    kOdnoklassniki, kVkontakte, kTelegram, kFacebook,  kTwitter,     kInstagram, kYoutube};

// The twelve flags of a finished game, "R1" to "R12".
inline constexpr std::array<Field, 12> kFinishedGameFlags = {
    Field{"R1"}, Field{"R2"}, Field{"R3"}, Field{"R4"},  Field{"R5"},  Field{"R6"},
    Field{"R7"}, Field{"R8"}, Field{"R9"}, Field{"R10"}, Field{"R11"}, Field{"R12"}};
}  // namespace field

enum class Request {
  kCreateAccount,
  kLogin,
  kReadPersonalInfo,
  kSavePersonalInfo,
  kCountMembers,
  kReadRatingPlace,
  kReadRatedTopTen,
  kCreditKezs,
  kReadKezsBalance,
  kReadGameRecord,
  kSaveGameRecord,
  kReadTopTen,
  kReadOwnResults,
  kReadGameCount,
  kWriteTopTenEntry,
  kReadUsageStatistics,
  kCountStart,
  kSendLike,
  kCountFinishedGame,
};

// One field of one request.
struct RequestField {
  Field field;
  // What the game always sends in it (the labels that tell the requests
  // apart, the writer's version); empty when the value varies.
  std::string_view sent;
};

struct RequestKind {
  Request request;
  std::string_view log_name;  // "login", "topten-write", ...
  Service service;
  BodyStyle style;
  std::vector<RequestField> fields;  // in the order the game sends them
  ReplyForm reply;
};

// Every request, in the order of Request.
const std::vector<RequestKind>& RequestKinds();
const RequestKind& KindOf(Request request);

// The request of `service` whose field names (per-game ones with this game's
// prefix) are exactly `names`, in any order; nullptr when none is.
const RequestKind* FindRequestKind(Service service, std::vector<std::string> names);

// A request's fields: the kind's names in order, each with its sent value or,
// where the value varies, the next of `values` (UTF-8). Throws
// std::logic_error when the kind has another body style or `values` does not
// fill exactly the varying fields.
std::vector<FormField> PlainRequestFields(Request request,
                                          const std::vector<std::string_view>& values,
                                          std::string_view game_prefix = kGameFieldPrefix);
// The same as "name=value" lines for the list style.
std::vector<std::string> ListRequestLines(Request request,
                                          const std::vector<std::string_view>& values,
                                          std::string_view game_prefix = kGameFieldPrefix);

}  // namespace braxo::wire
