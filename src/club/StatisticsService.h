// The usage statistics as words on the wire: the fields of each request
// (named in wire/RequestTable.h), the club's writer of the totals reply beside
// the game's reader. Plain C++; the requests go out through ClubAccess and
// UsageStatistics.h.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "club/ClubRecords.h"
#include "club/FormBody.h"

namespace braxo {

// ReadUsageStatistics (ListFormBody): the game's id.
std::vector<std::string> ReadUsageStatisticsLines(std::int32_t game_id);

struct UsageStatisticsReply {
  bool ok = true;
  UsageStats stats;  // what was read
};
// The first record, ended by "*" and cut at spaces: 1 starts, 2 unique_starts,
// 3 likes, 4 last_like_nick, 5-16 finished_games_by_flag, 17 reserved_y, 18
// reserved_z; every field but 4 and 18 a whole integer, or the reading stops
// there with ok false. A reply without a record is a failure too: the club
// always has totals, so such a page (an error page from a proxy) must not show
// as zeros.
UsageStatisticsReply ReadUsageStatisticsReply(std::string_view reply, std::int32_t game_id);
// The club's side: "$", fields 1-18 cut at spaces, "*".
std::string WriteUsageStatisticsReply(const UsageStats& stats);

// SendLike (PlainFormBody): the game's id, the like, the nick. The three
// writes are answered by TailMarkerReply (WriteTailMarkerReply).
std::vector<FormField> SendLikeFields(std::int32_t game_id, std::string_view nick);
// CountStart (PlainFormBody): the game's id, the start, and whether it is the
// first start of an installation (`unique`).
std::vector<FormField> CountStartFields(std::int32_t game_id, bool unique);
// CountFinishedGame (PlainFormBody): the game's id, then the twelve flags (1
// at the index of the mode played, 1-based, the rest 0).
std::vector<FormField> CountFinishedGameFields(std::int32_t game_id,
                                               const std::array<int, 12>& flags);

}  // namespace braxo
