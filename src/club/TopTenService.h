// The tournament and chat tables as words on the wire: each request's fields
// (named in wire/RequestTable.h), the club's writer of a table reply beside
// the game's reader; and the name check that the tournament windows and the
// chat share. Plain C++.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "club/ClubRecords.h"
#include "club/FormBody.h"
#include "club/wire/WireConstants.h"

namespace braxo {

// The chat's table; the tournament tables are the game's id (its Windows
// players) and the game's id + 100 (its Android players).
inline constexpr int kChatTableId = wire::kChatTableId;

using TableEntryList = std::array<TableEntry, 10>;

// An entry whose nick is still "#" is empty.
bool IsEmptyEntry(const TableEntry& entry);

// Ten empty entries of table `id`: texts "#", the message "#*", numbers 0.
TableEntryList PrefilledTable(std::int32_t id);

struct TableReply {
  bool ok = true;
  TableEntryList entries;  // those read, the rest pre-filled
};
// Records end at "*" and are cut at spaces: 1 place, 3 score (whole
// integers), 4 nick, 5 country code, 6 city, 7 sex, 8 writer version, 9 time
// stamp, 10 message; at most ten, in reply order. A field 1 or 3 that is not
// an integer ends the reading, ok false.
TableReply ReadTableReply(std::string_view reply, std::int32_t id);
// The club's side: for each entry "$", fields 1-10 (place, table, score, nick,
// country code, city, sex, writer version, time stamp, message) cut at
// spaces, "*".
std::string WriteTableReply(const std::vector<TableEntry>& entries);

// ReadTopTen (ListFormBody): the table's id.
std::vector<std::string> ReadTopTenLines(std::int32_t id);
// ReadOwnResults (PlainFormBody): the table's id, nick and city; for a table
// above 100 (the Android players) the city sent is "Moscow".
std::vector<FormField> ReadOwnResultsFields(std::int32_t id, std::string_view nick,
                                            std::string_view city);
// ReadGameCount (ListFormBody): the table's id; count = NumberReply.
std::vector<std::string> ReadGameCountLines(std::int32_t id);
// WriteTopTenEntry (PlainFormBody): the table's id, nick, city, country
// code, score, sex, the writer's version, time stamp and message + "*" (the
// "*" ends the entry in later lists). place = NumberReply.
std::vector<FormField> WriteTopTenEntryFields(std::string_view nick, std::string_view city,
                                              std::string_view country_code, std::string_view sex,
                                              std::int32_t score, std::int32_t id,
                                              std::string_view time_stamp,
                                              std::string_view message);

// The tournament name rule (RateNameText in NameRules.h, kind 1 a nick, 2 a
// city, 0 one typed character) on a UTF-8 text as the windows hold it. A
// character the 8-bit code page lacks would reach the rule as an allowed "?",
// so such a text, or bytes that are not UTF-8, are refused (1).
int RateNameTextUtf8(std::string_view utf8, int kind);

}  // namespace braxo
