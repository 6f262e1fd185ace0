#include "club/UsageStatistics.h"

#include "club/ReplyRules.h"
#include "club/StatisticsService.h"

namespace braxo {

bool CountStart(ClubClient& client, std::string_view stat_address, int game_id, bool unique) {
  const HttpResult reply = client.PostPlain(stat_address, CountStartFields(game_id, unique));
  return reply.ok() && TailMarkerReply(reply.body);
}

void CountStartOfRun(ClubClient& client, int game_id, Settings& settings) {
  if (!settings.unique_start_counted) {
    settings.unique_start_counted = CountStart(client, settings.stat_address.plain, game_id, true);
  } else {
    CountStart(client, settings.stat_address.plain, game_id, false);
  }
}

bool CountFinishedGame(ClubClient& client, std::string_view stat_address, int game_id,
                       const std::array<int, 12>& flags) {
  const HttpResult reply = client.PostPlain(stat_address, CountFinishedGameFields(game_id, flags));
  return reply.ok() && TailMarkerReply(reply.body);
}

}  // namespace braxo
