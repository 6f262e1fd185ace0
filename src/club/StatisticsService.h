// The usage statistics as words on the wire: the totals record, the fields of
// the read and the "like", and how the totals reply is read. Plain C++; the
// requests go out through UsageStatistics.h.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "club/FormBody.h"

namespace braxo {

struct UsageStats {
  std::int32_t GID = 0;
  std::int32_t Stat1 = 0;                // starts
  std::int32_t Stat2 = 0;                // unique starts
  std::int32_t Stat3 = 0;                // likes
  std::string Stat4;                     // the nick of the last like
  std::array<std::int32_t, 12> StatX{};  // finished games per flag (1-3: the modes)
  std::int32_t StatY = 0;
  std::string StatZ;
  friend bool operator==(const UsageStats&, const UsageStats&) = default;
};

// ReadUsageStatistics (ListFormBody): "gid" = the game's id.
std::vector<std::string> ReadUsageStatisticsLines(std::int32_t game_id);

struct UsageStatisticsReply {
  bool ok = true;
  UsageStats stat;  // what was read
};
// The first record, ended by "*" and cut at spaces: 1-3 Stat1-Stat3, 4
// Stat4, 5-16 StatX, 17 StatY, 18 StatZ; every field but 4 and 18 a whole
// integer, or the reading stops there with ok false. A reply without a record
// is a failure too: the club always has totals, so such a page (an error page
// from a proxy) must not show as zeros.
UsageStatisticsReply ReadUsageStatisticsReply(std::string_view reply, std::int32_t game_id);

// SendLike (PlainFormBody): "gid", "stat3" = "1", "stat4" = nick.
std::vector<FormField> SendLikeFields(std::int32_t game_id, std::string_view nick);

}  // namespace braxo
