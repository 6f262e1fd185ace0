// The usage statistics as words on the wire: the totals record, the fields of
// the read and the "like", and how the totals reply is read. Plain C++; the
// requests go out through UsageStatistics.h.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "club/ClubRecords.h"
#include "club/FormBody.h"

namespace braxo {

// ReadUsageStatistics (ListFormBody): "gid" = the game's id.
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

// SendLike (PlainFormBody): "gid", "stat3" = "1", "stat4" = nick.
std::vector<FormField> SendLikeFields(std::int32_t game_id, std::string_view nick);

}  // namespace braxo
