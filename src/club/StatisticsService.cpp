#include "club/StatisticsService.h"

#include <cstddef>
#include <optional>

#include "club/ReplyRules.h"
#include "club/wire/RequestTable.h"
#include "storage/TextFile.h"

namespace braxo {

std::vector<std::string> ReadUsageStatisticsLines(std::int32_t game_id) {
  return wire::ListRequestLines(wire::Request::kReadUsageStatistics, {std::to_string(game_id)});
}

std::string WriteUsageStatisticsReply(const UsageStats& stats) {
  ReplyRecord fields = {std::to_string(stats.starts), std::to_string(stats.unique_starts),
                        std::to_string(stats.likes), stats.last_like_nick};
  for (const std::int64_t count : stats.finished_games_by_flag)
    fields.push_back(std::to_string(count));
  fields.push_back(std::to_string(stats.reserved_y));
  fields.push_back(stats.reserved_z);
  return ReplyBytes(RecordText(fields, ' ', '*'));
}

UsageStatisticsReply ReadUsageStatisticsReply(std::string_view reply, std::int32_t game_id) {
  UsageStatisticsReply result;
  result.stats.game_id = game_id;
  const std::optional<ReplyRecord> record = RecordReply(reply, '*', ' ');
  if (!record) {
    result.ok = false;
    return result;
  }
  std::int64_t* integers[16] = {&result.stats.starts, &result.stats.unique_starts,
                                &result.stats.likes};
  for (std::size_t i = 0; i < 12; ++i) integers[3 + i] = &result.stats.finished_games_by_flag[i];
  integers[15] = &result.stats.reserved_y;
  // Field numbers of the integers above, in order; 4 and 18 are texts.
  constexpr std::size_t kFields[16] = {1, 2, 3, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17};
  for (std::size_t i = 0; i < 16; ++i) {
    if (kFields[i] == 5) result.stats.last_like_nick = Cp1251ToUtf8(RecordField(*record, 4));
    const std::optional<std::int32_t> value = ParseClubInteger(RecordField(*record, kFields[i]));
    if (!value) {
      result.ok = false;
      return result;
    }
    *integers[i] = *value;
  }
  result.stats.reserved_z = Cp1251ToUtf8(RecordField(*record, 18));
  return result;
}

std::vector<FormField> SendLikeFields(std::int32_t game_id, std::string_view nick) {
  return wire::PlainRequestFields(wire::Request::kSendLike, {std::to_string(game_id), nick});
}

std::vector<FormField> CountStartFields(std::int32_t game_id, bool unique) {
  return wire::PlainRequestFields(wire::Request::kCountStart,
                                  {std::to_string(game_id), unique ? "1" : "0"});
}

std::vector<FormField> CountFinishedGameFields(std::int32_t game_id,
                                               const std::array<int, 12>& flags) {
  std::vector<std::string> texts = {std::to_string(game_id)};
  for (const int flag : flags) texts.push_back(std::to_string(flag));
  return wire::PlainRequestFields(wire::Request::kCountFinishedGame,
                                  std::vector<std::string_view>(texts.begin(), texts.end()));
}

}  // namespace braxo
