#include "club/AccountService.h"

#include <cstddef>

#include "club/ReplyRules.h"
#include "club/Scramble.h"
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
  return {{"nick", user.nick},
          {"pw", user.password},
          {"city", user.city},
          {"country1", user.country_name},
          {"country2", user.country_code},
          {"sex", std::string(1, user.sex)},
          {"email", user.email},
          {"dater", user.registered_on},
          {"R01", user.reserved_r01},
          {"R02", user.reserved_r02},
          {"R03", user.reserved_r03},
          {"R04", std::to_string(user.kezs_balance)},
          {"R05", std::to_string(user.reserved_r05)},
          {"R06", std::to_string(user.reserved_r06)}};
}

int ReadCreateAccountReply(std::string_view reply) {
  int result = 2;
  if (MarkerReply(reply, "ok")) result = 0;
  if (MarkerReply(reply, "is")) result = 1;
  return result;
}

std::vector<std::string> LoginAccountLines(std::string_view nick, std::string_view pw) {
  return {"nick=" + std::string(nick), "pw=" + std::string(pw), "label0=0"};
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
  return {"nick=" + std::string(nick), "labelinforead=0"};
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
  return {{"nick", std::string(nick)},   {"labelinfosave", "0"},    {"namei", info.first_name},
          {"name2", info.last_name},     {"about", info.about},     {"telephone", info.telephone},
          {"emailo", info.public_email}, {"website", info.website}, {"skype", info.skype},
          {"ok", info.odnoklassniki},    {"vk", info.vkontakte},    {"telegram", info.telegram},
          {"facebook", info.facebook},   {"twitter", info.twitter}, {"instagramm", info.instagram},
          {"youtube", info.youtube}};
}

std::vector<FormField> CountClubMembersFields() { return {{"label1", "0"}}; }

std::vector<FormField> ReadRatingPlaceFields(std::string_view game_field_prefix, double rating) {
  return {{std::string(game_field_prefix) + "rating", FormatClubNumber(rating)}};
}

std::vector<std::string> ReadRatedTopTenLines(std::string_view game_field_prefix) {
  return {std::string(game_field_prefix) + "kon=0"};
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
  return {{"nick", std::string(nick)}, {"labelkezsave", "0"}, {"R04", std::to_string(amount)}};
}

std::vector<std::string> ReadKezsBalanceLines(std::string_view nick) {
  return {"nick=" + std::string(nick), "labelkezread=0"};
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
