// The records the game and the club server both carry: a member's account and
// personal information, the player's record of this game, a line of the rated
// players' list, an entry of a tournament or chat table, and the usage totals.
// Plain C++ without Qt, so that the server uses the same definitions as the
// game; the wire names of their fields live only in the code that writes and
// reads the requests and replies. Texts are UTF-8.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

namespace braxo {

// A member's personal information. The record keeps Skype before the web site;
// the requests and the account windows put the web site first (see the two
// orders below).
struct PersonalInfo {
  std::string first_name;
  std::string last_name;
  std::string about;
  std::string telephone;
  std::string public_email;  // the address shown to other members
  std::string skype;
  std::string website;
  std::string odnoklassniki;
  std::string vkontakte;
  std::string telegram;
  std::string facebook;
  std::string twitter;
  std::string instagram;
  std::string youtube;
  friend bool operator==(const PersonalInfo&, const PersonalInfo&) = default;
};

inline constexpr std::size_t kPersonalInfoTextCount = 14;
using PersonalInfoOrder = std::array<std::string PersonalInfo::*, kPersonalInfoTextCount>;

// The texts in the record's order, which is how the club's database numbers
// them.
inline constexpr PersonalInfoOrder kPersonalInfoRecordOrder = {
    &PersonalInfo::first_name, &PersonalInfo::last_name,     &PersonalInfo::about,
    &PersonalInfo::telephone,  &PersonalInfo::public_email,  &PersonalInfo::skype,
    &PersonalInfo::website,    &PersonalInfo::odnoklassniki, &PersonalInfo::vkontakte,
    &PersonalInfo::telegram,   &PersonalInfo::facebook,      &PersonalInfo::twitter,
    &PersonalInfo::instagram,  &PersonalInfo::youtube};

// The texts in the order the requests carry them and the windows show them:
// the web site before Skype.
inline constexpr PersonalInfoOrder kPersonalInfoWireOrder = {
    &PersonalInfo::first_name, &PersonalInfo::last_name,     &PersonalInfo::about,
    &PersonalInfo::telephone,  &PersonalInfo::public_email,  &PersonalInfo::website,
    &PersonalInfo::skype,      &PersonalInfo::odnoklassniki, &PersonalInfo::vkontakte,
    &PersonalInfo::telegram,   &PersonalInfo::facebook,      &PersonalInfo::twitter,
    &PersonalInfo::instagram,  &PersonalInfo::youtube};

// A member's account as the game holds it. The club server keeps its own
// stored form (with the password's hash instead of the password).
struct MemberAccount {
  std::string nick;      // the account's key
  std::string password;  // in plain text, held in memory only
  std::string city;
  std::string country_name;  // the country's name in its server form (the country catalogue)
  std::string country_code;  // a CountryCode
  char sex = 'M';            // 'M' or 'W'; '#' while unknown
  std::string email;
  std::string registered_on;  // the registration date, "00.00.0000" when there is none
  // Reserved by the club: "xxx" when an account is created, read back at a
  // login, used for nothing else.
  std::string reserved_r01, reserved_r02, reserved_r03;
  std::int32_t kezs_balance = 0;  // the club's points, as last read
  // Reserved by the club: 0 when an account is created, read back at a login.
  std::int32_t reserved_r05 = 0, reserved_r06 = 0;
  // The password as the user file keeps it (ScramblePassword).
  std::string scrambled_password;
  PersonalInfo personal_info;
  friend bool operator==(const MemberAccount&, const MemberAccount&) = default;
};

// The player's record of this game on the account service. The rating is the
// sum of the rated games' scores (a started game counting 0 until its score
// arrives) divided by rated_games, plus rated_games.
struct GameRecord {
  std::int32_t rated_games = 0;  // rated games started
  // The long form of the read fills these two; nothing uses them.
  std::int32_t score = 0;
  std::int32_t sessions = 0;
  double rating = 0;
  char playing_now = 'N';  // "N" after every read; nothing else uses it
  // Reserved by the club: what a read brings is sent back unchanged with the
  // next save.
  std::int32_t reserved_r1 = 0;
  std::string reserved_r2;
  std::int32_t rating_place = 0;  // the rating's place among the game's players
  std::int32_t best_score = 0;    // the best score of a rated game
  // Field 5 of the long form of the read, a second game count of the club's;
  // nothing uses it.
  std::int32_t long_form_games = 0;
  friend bool operator==(const GameRecord&, const GameRecord&) = default;
};

// One line of the list of the ten best-rated players of the game.
struct RatedPlayer {
  std::string nick;
  std::string city;
  std::string country_code;  // a CountryCode
  char sex = 'M';            // 'M' or 'W'
  double rating = 0;
  // The country's name in its server form; the club sends it, the game reads
  // only the code.
  std::string country_name;
  friend bool operator==(const RatedPlayer&, const RatedPlayer&) = default;
};

// One entry of a tournament table or of the chat's table. A chat message is
// an entry whose score is the message's number.
struct TableEntry {
  std::int64_t id = 0;        // the club's number of the entry; the game leaves it 0
  std::int64_t table_id = 0;  // the game's id, the game's id + 100, or the chat's table
  std::int64_t score = 0;     // the result, or a chat message's number
  std::string nick;
  std::string country_code;  // a CountryCode
  std::string city;
  std::string sex;             // the sex letter
  std::string writer_version;  // the version of the game that wrote the entry
  std::string time_stamp;      // a chat message's time and date; "#" in the tournament
  std::string message;         // a chat message's text; "#" in the tournament
  std::int64_t place = 0;      // the place in the list it was read with
  friend bool operator==(const TableEntry&, const TableEntry&) = default;
};

// The usage statistics of a game.
struct UsageStats {
  std::int64_t game_id = 0;
  std::int64_t starts = 0;
  std::int64_t unique_starts = 0;  // first starts of an installation
  std::int64_t likes = 0;
  std::string last_like_nick;
  // Finished games per flag; flags 1-3 are the modes, the others are never set.
  std::array<std::int64_t, 12> finished_games_by_flag{};
  // Two more fields of the reply, read and never shown.
  std::int64_t reserved_y = 0;
  std::string reserved_z;
  friend bool operator==(const UsageStats&, const UsageStats&) = default;
};

}  // namespace braxo
