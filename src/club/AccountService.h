// The club account service as words on the wire: the account records, the
// fields of each account request in its body style, and how each reply is
// read. Plain C++ shared by the game, the fuzzers and the club server; the
// requests themselves go out through ClubAccess.
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

#include "club/FormBody.h"

namespace braxo {

// The personal information, in the record's order (Skype before WebSite; the
// wire carries WebSite first).
struct PersonalInfo {
  std::string Name1, Name2, About, Telephone, EMailO, Skype, WebSite, OK, VK, Telegram, FaceBook,
      Twitter, Instagramm, YouTube;
  friend bool operator==(const PersonalInfo&, const PersonalInfo&) = default;
};

// The account record.
struct MemberAccount {
  std::string Nick;
  std::string Pw;  // the plain password, held in memory only
  std::string City;
  std::string Country1;  // the country's server form
  std::string Country2;  // its CountryCode
  char Sex = 'M';        // 'M' or 'W'; '#' while unknown
  std::string EMail;
  std::string DateR;  // registration date, "00.00.0000" when there is none
  std::string R01, R02, R03;
  std::int32_t R04 = 0;  // the Kezs balance as last read
  std::int32_t R05 = 0, R06 = 0;
  std::string PwC;  // ScrambleText(password in Windows-1251, kAccountKey)
  PersonalInfo Info;
  friend bool operator==(const MemberAccount&, const MemberAccount&) = default;
};

// One line of the list of the ten best-rated players of the game.
struct RatedPlayer {
  std::string Nick, City, Country;  // Country holds a CountryCode
  char Sex = 'M';
  double Rating = 0;
  friend bool operator==(const RatedPlayer&, const RatedPlayer&) = default;
};
using RatedPlayerList = std::array<RatedPlayer, 10>;

// The password as kept in the user file and in MemberAccount::PwC, and back. The
// scrambling works on the Windows-1251 form of the password.
std::string ScramblePassword(std::string_view password);
std::string UnscramblePassword(std::string_view pwc);

// The password the start-up login sends for a stored one: every space, "#"
// and "$" becomes "-", since a reply record is cut at spaces and "$".
std::string StartupLoginPassword(std::string_view stored_password);

// --- CreateAccount: PlainFormBody ---
std::vector<FormField> CreateAccountFields(const MemberAccount& user);
// 0 created, 1 the nick is taken ("is" wins over "ok"), 2 not created.
int ReadCreateAccountReply(std::string_view reply);

// --- LoginAccount: ListFormBody ---
std::vector<std::string> LoginAccountLines(std::string_view nick, std::string_view pw);
// The record a login starts from: "#" texts, "00.00.0000", zero numbers.
MemberAccount PrefilledLoginUser(std::string_view nick, std::string_view pw);
struct LoginReply {
  bool ok = false;
  MemberAccount user;
};
// A reply counts only through its "$" record: a reply without one is a
// failure (an error page from a proxy is no login), whatever it holds; a
// record is read even when "no" occurs in its data (a city "Genova"). An
// empty sex field, or a field 10-12 that is not a whole integer, fails the
// login; the fields taken before stay in the record.
LoginReply ReadLoginReply(std::string_view reply, std::string_view nick, std::string_view pw);

// --- ReadPersonalInfo: ListFormBody ---
std::vector<std::string> ReadPersonalInfoLines(std::string_view nick);
// The record after the first "$", cut at "~" (wire order, WebSite before
// Skype); missing fields stay empty. No record: an empty PersonalInfo.
PersonalInfo ReadPersonalInfoReply(std::string_view reply);

// --- SavePersonalInfo: PlainFormBody; ok = MarkerReply("ok") ---
std::vector<FormField> SavePersonalInfoFields(std::string_view nick, const PersonalInfo& info);

// --- CountClubMembers: PlainFormBody; count = NumberReply ---
std::vector<FormField> CountClubMembersFields();

// --- ReadRatingPlace: PlainFormBody; place = NumberReply ---
std::vector<FormField> ReadRatingPlaceFields(std::string_view game_field_prefix, double rating);

// --- ReadRatedTopTen: ListFormBody ---
std::vector<std::string> ReadRatedTopTenLines(std::string_view game_field_prefix);
struct RatedTopTenReply {
  bool ok = true;
  RatedPlayerList list;  // the lines read, the rest pre-filled
};
// Records end at "*" and are cut at spaces: field 2 Nick, 3 City, 5 Country,
// 6 Sex (first character; empty keeps "M"), 7 Rating. A rating that is not a
// number ends the reading with ok false.
RatedTopTenReply ReadRatedTopTenReply(std::string_view reply);

// --- CreditKezs: PlainFormBody; ok = MarkerReply("ok") ---
std::vector<FormField> CreditKezsFields(std::string_view nick, std::int32_t amount);

// --- ReadKezsBalance: ListFormBody ---
std::vector<std::string> ReadKezsBalanceLines(std::string_view nick);
// The balance is FirstNumberReply; without a number (a refusal "no", an
// error page) nothing.
std::optional<std::int32_t> ReadKezsBalanceReply(std::string_view reply);

// The address of a member's photo: the folder address followed by the nick,
// percent-encoded (everything but "A"-"Z", "a"-"z", "0"-"9", "-", ".", "_"
// and "~" as "%" and two upper-case hex digits of its UTF-8 bytes), and ".jpg".
std::string PhotoAddress(std::string_view folder, std::string_view nick);

}  // namespace braxo
