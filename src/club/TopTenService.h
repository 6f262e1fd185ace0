// The tournament and chat tables as words on the wire: the table entry, the
// fields of each request and how the replies are read; and the name check
// that the tournament windows and the chat share. Plain C++.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "club/ClubRecords.h"
#include "club/FormBody.h"

namespace braxo {

// The chat's table; the tournament tables are the game's id (its Windows
// players) and the game's id + 100 (its Android players).
inline constexpr int kChatTableId = 100;

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

// ReadTopTen (ListFormBody): "gid" = id.
std::vector<std::string> ReadTopTenLines(std::int32_t id);
// ReadOwnResults (PlainFormBody): "gid", "nick", "city"; for a table above
// 100 (the Android players) the city sent is "Moscow".
std::vector<FormField> ReadOwnResultsFields(std::int32_t id, std::string_view nick,
                                            std::string_view city);
// ReadGameCount (ListFormBody): "rgid" = id; count = NumberReply.
std::vector<std::string> ReadGameCountLines(std::int32_t id);
// WriteTopTenEntry (PlainFormBody): "gid" = id, "nick", "city", "country" =
// country_code, "score", "R7" = sex, "R8" = "2.7" (the writer's version), "R9"
// = time_stamp, "R10" = message + "*" (the "*" ends the entry in later
// lists). place = NumberReply.
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
