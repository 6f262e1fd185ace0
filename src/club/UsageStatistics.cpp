#include "club/UsageStatistics.h"

#include <string>
#include <vector>

#include "club/ReplyRules.h"

namespace braxo {

bool CountStart(ClubClient& client, std::string_view stat_address, int game_id, bool unique) {
  const HttpResult reply = client.PostPlain(
      stat_address,
      {{"gid", std::to_string(game_id)}, {"stat1", "1"}, {"stat2", unique ? "1" : "0"}});
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
  std::vector<FormField> fields;
  fields.reserve(13);
  fields.push_back({"gid", std::to_string(game_id)});
  for (size_t i = 0; i < flags.size(); ++i) {
    fields.push_back({"R" + std::to_string(i + 1), std::to_string(flags[i])});
  }
  const HttpResult reply = client.PostPlain(stat_address, fields);
  return reply.ok() && TailMarkerReply(reply.body);
}

}  // namespace braxo
