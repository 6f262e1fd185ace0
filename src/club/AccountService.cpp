#include "club/AccountService.h"

#include <cstddef>
#include <utility>

#include "club/ReplyRules.h"
#include "club/Scramble.h"
#include "club/wire/RequestTable.h"
#include "storage/TextFile.h"

namespace braxo {
namespace {

std::string Text(const ReplyRecord& record, std::size_t number) {
  return Cp1251ToUtf8(RecordField(record, number));
}

}  // namespace

std::string ScramblePassword(std::string_view password) {
  return ScrambleText(Utf8ToCp1251(password), kAccountKey);
}

std::string UnscramblePassword(std::string_view scrambled) {
  return Cp1251ToUtf8(UnscrambleText(scrambled, kAccountKey));
}

std::string StartupLoginPassword(std::string_view stored_password) {
  std::string password(stored_password);
  for (char& c : password) {
    if (c == ' ' || c == '#' || c == '$') c = '-';
  }
  return password;
}

std::vector<FormField> CreateAccountFields(const MemberAccount& user) {
  const std::string sex(1, user.sex);
  const std::string kezs = std::to_string(user.kezs_balance);
  const std::string r05 = std::to_string(user.reserved_r05);
  const std::string r06 = std::to_string(user.reserved_r06);
  return wire::PlainRequestFields(
      wire::Request::kCreateAccount,
      {user.nick, user.password, user.city, user.country_name, user.country_code, sex, user.email,
       user.registered_on, user.reserved_r01, user.reserved_r02, user.reserved_r03, kezs, r05,
       r06});
}

int ReadCreateAccountReply(std::string_view reply) {
  int result = 2;
  if (MarkerReply(reply, kDoneMarker)) result = 0;
  if (MarkerReply(reply, kNickTakenMarker)) result = 1;
  return result;
}

std::vector<std::string> LoginAccountLines(std::string_view nick, std::string_view pw) {
  return wire::ListRequestLines(wire::Request::kLogin, {nick, pw});
}

MemberAccount PrefilledLoginUser(std::string_view nick, std::string_view pw) {
  MemberAccount user;
  user.nick = nick;
  user.password = pw;
  user.city = user.country_name = user.country_code = user.email = "#";
  user.reserved_r01 = user.reserved_r02 = user.reserved_r03 = "#";
  user.sex = '#';
  user.registered_on = "00.00.0000";
  return user;
}

std::string WriteLoginReply(const MemberAccount& user) {
  return ReplyBytes(
      RecordText({user.city, user.country_name, user.country_code, std::string(1, user.sex),
                  user.email, user.registered_on, user.reserved_r01, user.reserved_r02,
                  user.reserved_r03, std::to_string(user.kezs_balance),
                  std::to_string(user.reserved_r05), std::to_string(user.reserved_r06)},
                 ' ', '$'));
}

LoginReply ReadLoginReply(std::string_view reply, std::string_view nick, std::string_view pw) {
  LoginReply result{false, PrefilledLoginUser(nick, pw)};
  const std::optional<ReplyRecord> record = RecordReply(reply, '$', ' ');
  if (!record) return result;
  MemberAccount& user = result.user;
  user.city = Text(*record, 1);
  user.country_name = Text(*record, 2);
  user.country_code = Text(*record, 3);
  const std::string sex = RecordField(*record, 4);
  if (sex.empty()) return result;
  user.sex = sex[0];
  user.email = Text(*record, 5);
  user.registered_on = Text(*record, 6);
  user.reserved_r01 = Text(*record, 7);
  user.reserved_r02 = Text(*record, 8);
  user.reserved_r03 = Text(*record, 9);
  std::int32_t* const numbers[] = {&user.kezs_balance, &user.reserved_r05, &user.reserved_r06};
  for (std::size_t i = 0; i < 3; ++i) {
    const std::optional<std::int32_t> value = ParseClubInteger(RecordField(*record, 10 + i));
    if (!value) return result;
    *numbers[i] = *value;
  }
  result.ok = true;
  return result;
}

std::vector<std::string> ReadPersonalInfoLines(std::string_view nick) {
  return wire::ListRequestLines(wire::Request::kReadPersonalInfo, {nick});
}

std::string WritePersonalInfoReply(const PersonalInfo& info) {
  ReplyRecord texts;
  for (const auto text : kPersonalInfoWireOrder) texts.push_back(info.*text);
  return ReplyBytes(RecordText(texts, '~', '$'));
}

PersonalInfo ReadPersonalInfoReply(std::string_view reply) {
  PersonalInfo info;
  const std::optional<ReplyRecord> record = RecordReply(reply, '$', '~');
  if (!record) return info;
  for (std::size_t i = 0; i < kPersonalInfoWireOrder.size(); ++i)
    info.*kPersonalInfoWireOrder[i] = Text(*record, i + 1);
  return info;
}

std::vector<FormField> SavePersonalInfoFields(std::string_view nick, const PersonalInfo& info) {
  std::vector<std::string_view> values = {nick};
  for (const auto text : kPersonalInfoWireOrder) values.push_back(info.*text);
  return wire::PlainRequestFields(wire::Request::kSavePersonalInfo, values);
}

std::vector<FormField> CountClubMembersFields() {
  return wire::PlainRequestFields(wire::Request::kCountMembers, {});
}

std::vector<FormField> ReadRatingPlaceFields(std::string_view game_field_prefix, double rating) {
  return wire::PlainRequestFields(wire::Request::kReadRatingPlace, {FormatClubNumber(rating)},
                                  game_field_prefix);
}

std::vector<std::string> ReadRatedTopTenLines(std::string_view game_field_prefix) {
  return wire::ListRequestLines(wire::Request::kReadRatedTopTen, {}, game_field_prefix);
}

std::string WriteRatedTopTenReply(const std::vector<RatedPlayer>& players) {
  std::string text;
  for (std::size_t i = 0; i < players.size(); ++i) {
    const RatedPlayer& p = players[i];
    text += RecordText({std::to_string(i + 1), p.nick, p.city, p.country_name, p.country_code,
                        std::string(1, p.sex), FormatClubNumber(p.rating)},
                       ' ', '*');
  }
  return ReplyBytes(std::move(text));
}

RatedTopTenReply ReadRatedTopTenReply(std::string_view reply) {
  RatedTopTenReply result;
  const std::vector<ReplyRecord> records = RecordReplies(reply, '*', ' ', result.list.size());
  for (std::size_t i = 0; i < records.size(); ++i) {
    const ReplyRecord& record = records[i];
    RatedPlayer& line = result.list[i];
    line.nick = Text(record, 2);
    line.city = Text(record, 3);
    line.country_code = Text(record, 5);
    const std::string sex = RecordField(record, 6);
    if (!sex.empty()) line.sex = sex[0];
    const std::optional<double> rating = ParseClubNumber(RecordField(record, 7), 0.0);
    if (!rating) {
      result.ok = false;
      return result;
    }
    line.rating = *rating;
  }
  return result;
}

std::vector<FormField> CreditKezsFields(std::string_view nick, std::int32_t amount) {
  return wire::PlainRequestFields(wire::Request::kCreditKezs, {nick, std::to_string(amount)});
}

std::vector<std::string> ReadKezsBalanceLines(std::string_view nick) {
  return wire::ListRequestLines(wire::Request::kReadKezsBalance, {nick});
}

std::optional<std::int32_t> ReadKezsBalanceReply(std::string_view reply) {
  return FirstNumberReply(reply);
}

std::string PhotoAddress(std::string_view folder, std::string_view nick) {
  static constexpr char kHex[] = "0123456789ABCDEF";
  std::string address(folder);
  for (char c : nick) {
    const auto byte = static_cast<unsigned char>(c);
    const bool kept = (byte >= 'A' && byte <= 'Z') || (byte >= 'a' && byte <= 'z') ||
                      (byte >= '0' && byte <= '9') || byte == '-' || byte == '.' || byte == '_' ||
                      byte == '~';
    if (kept) {
      address += c;
    } else {
      address += '%';
      address += kHex[byte >> 4];
      address += kHex[byte & 15];
    }
  }
  return address + ".jpg";
}

}  // namespace braxo
