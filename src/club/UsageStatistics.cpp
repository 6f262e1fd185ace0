#include "club/UsageStatistics.h"

#include <utility>

#include "club/FormBody.h"
#include "club/ReplyRules.h"
#include "club/StatisticsService.h"

namespace braxo {
namespace {

bool Confirmed(const HttpResult& reply) { return reply.ok() && TailMarkerReply(reply.body); }

void SendReport(ClubClient& client, QObject* owner, std::string_view stat_address,
                const std::vector<FormField>& fields, std::function<void(bool)> done) {
  client.SendBody(owner, stat_address, PlainFormBody(fields),
                  [done = std::move(done)](const HttpResult& reply) { done(Confirmed(reply)); });
}

}  // namespace

void CountStart(ClubClient& client, QObject* owner, std::string_view stat_address, int game_id,
                bool unique, std::function<void(bool)> done) {
  SendReport(client, owner, stat_address, CountStartFields(game_id, unique), std::move(done));
}

void CountFinishedGame(ClubClient& client, QObject* owner, std::string_view stat_address,
                       int game_id, const std::array<int, 12>& flags,
                       std::function<void(bool)> done) {
  SendReport(client, owner, stat_address, CountFinishedGameFields(game_id, flags), std::move(done));
}

void CountStartOfRun(ClubClient& client, QObject* owner, int game_id, Settings& settings,
                     std::function<void(bool)> settled) {
  const bool unique = !settings.unique_start_counted;
  CountStart(client, owner, settings.stat_address.plain, game_id, unique,
             [&settings, unique, settled = std::move(settled)](bool confirmed) {
               const bool changed = unique && confirmed && !settings.unique_start_counted;
               if (changed) settings.unique_start_counted = true;
               settled(changed);
             });
}

bool CountStart(ClubClient& client, std::string_view stat_address, int game_id, bool unique) {
  const HttpResult reply = client.PostPlain(stat_address, CountStartFields(game_id, unique));
  return Confirmed(reply);
}

bool CountFinishedGame(ClubClient& client, std::string_view stat_address, int game_id,
                       const std::array<int, 12>& flags) {
  const HttpResult reply = client.PostPlain(stat_address, CountFinishedGameFields(game_id, flags));
  return Confirmed(reply);
}

}  // namespace braxo
