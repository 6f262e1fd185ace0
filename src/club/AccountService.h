// The club account service as words on the wire: each account request's
// fields (named in wire/RequestTable.h) filled in their body style, and each
// reply form's writer, which the club server uses, beside the game's reader.
// Plain C++ shared by the game, the fuzzers and the club server; the requests
// themselves go out through ClubAccess.
//
// Texts are UTF-8 in memory. Plain-style bodies are converted to
// Windows-1251 when built (FormBody.h); text fields taken from a reply are
// Windows-1251 and are converted to UTF-8 here.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "club/ClubRecords.h"
#include "club/FormBody.h"

namespace braxo {

using RatedPlayerList = std::array<RatedPlayer, 10>;

// The password as kept in the user file and in
// MemberAccount::scrambled_password, and back. The
// scrambling works on the Windows-1251 form of the password.
std::string ScramblePassword(std::string_view password);
std::string UnscramblePassword(std::string_view scrambled);

// The password the start-up login sends for a stored one: every space, "#"
// and "$" becomes "-", since a reply record is cut at spaces and "$".
std::string StartupLoginPassword(std::string_view stored_password);

// --- CreateAccount: PlainFormBody ---
std::vector<FormField> CreateAccountFields(const MemberAccount& user);
// 0 created, 1 the nick is taken ("is" wins over "ok"), 2 not created (3,
// kClubBusyCreation, is what ClubAccess makes of a busy club's answer).
int ReadCreateAccountReply(std::string_view reply);
inline constexpr int kClubBusyCreation = 3;

// --- LoginAccount: ListFormBody ---
std::vector<std::string> LoginAccountLines(std::string_view nick, std::string_view pw);
// The record a login starts from: "#" texts, "00.00.0000", zero numbers.
MemberAccount PrefilledLoginUser(std::string_view nick, std::string_view pw);
struct LoginReply {
  bool ok = false;
  MemberAccount user;
  // The club answered that it is busy (wire::kClubBusyStatus): worth asking
  // again in a moment, unlike a refusal.
  bool club_busy = false;
};
// A reply counts only through its "$" record: a reply without one is a
// failure (an error page from a proxy is no login), whatever it holds; a
// record is read even when "no" occurs in its data (a city "Genova"). An
// empty sex field, or a field 10-12 that is not a whole integer, fails the
// login; the fields taken before stay in the record.
LoginReply ReadLoginReply(std::string_view reply, std::string_view nick, std::string_view pw);
// The club's side: "$", fields 1-12 (city, country name and code, sex, e-mail,
// registration date, the three reserved texts, the balance, the two reserved
// numbers) cut at spaces, "$".
std::string WriteLoginReply(const MemberAccount& user);

// --- ReadPersonalInfo: ListFormBody ---
std::vector<std::string> ReadPersonalInfoLines(std::string_view nick);
// The record after the first "$", cut at "~" (kPersonalInfoWireOrder: the
// web site before Skype); missing fields stay empty. No record: an empty
// PersonalInfo.
PersonalInfo ReadPersonalInfoReply(std::string_view reply);
// The club's side: "$", the texts in kPersonalInfoWireOrder cut at "~", "$".
std::string WritePersonalInfoReply(const PersonalInfo& info);

// --- SavePersonalInfo: PlainFormBody; ok = MarkerReply("ok") ---
std::vector<FormField> SavePersonalInfoFields(std::string_view nick, const PersonalInfo& info);

// --- CountClubMembers: PlainFormBody; count = NumberReply (WriteNumberReply) ---
std::vector<FormField> CountClubMembersFields();

// --- ReadRatingPlace: PlainFormBody; place = NumberReply (WriteNumberReply) ---
std::vector<FormField> ReadRatingPlaceFields(std::string_view game_field_prefix, double rating);

// --- ReadRatedTopTen: ListFormBody ---
std::vector<std::string> ReadRatedTopTenLines(std::string_view game_field_prefix);
struct RatedTopTenReply {
  bool ok = true;
  RatedPlayerList list;  // the lines read, the rest pre-filled
};
// Records end at "*" and are cut at spaces: field 2 the nick, 3 the city, 5
// the country code, 6 the sex (first character; empty keeps "M"), 7 the
// rating; field 4, the country's name, is not read. A rating that is not a
// number ends the reading with ok false.
RatedTopTenReply ReadRatedTopTenReply(std::string_view reply);
// The club's side: for each player in order "$", the place (from 1), nick,
// city, country name, country code, sex and rating (FormatClubNumber) cut at
// spaces, "*".
std::string WriteRatedTopTenReply(const std::vector<RatedPlayer>& players);

// --- CreditKezs: PlainFormBody; ok = MarkerReply("ok") ---
std::vector<FormField> CreditKezsFields(std::string_view nick, std::int32_t amount);

// --- ReadKezsBalance: ListFormBody ---
std::vector<std::string> ReadKezsBalanceLines(std::string_view nick);
// The balance is FirstNumberReply (the club writes WriteNumberReply); without
// a number (a refusal "no", an error page) nothing.
std::optional<std::int32_t> ReadKezsBalanceReply(std::string_view reply);

// The address of a member's photo: the folder address followed by the nick,
// percent-encoded (everything but "A"-"Z", "a"-"z", "0"-"9", "-", ".", "_"
// and "~" as "%" and two upper-case hex digits of its UTF-8 bytes), and ".jpg".
std::string PhotoAddress(std::string_view folder, std::string_view nick);

}  // namespace braxo
