// The readers of the account, game-record, tournament and statistics replies
// and the name check, on arbitrary bytes.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "club/AccountService.h"
#include "club/GameRecords.h"
#include "club/StatisticsService.h"
#include "club/TopTenService.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view reply(reinterpret_cast<const char*>(data), size);
  const bool has_dollar = reply.find('$') != std::string_view::npos;

  // Nothing without a "$" record may log anybody in or read as a record.
  const braxo::LoginReply login = braxo::ReadLoginReply(reply, "Ann", "pw");
  if (login.ok && (!has_dollar || login.user.nick != "Ann")) std::abort();
  const int created = braxo::ReadCreateAccountReply(reply);
  if (created < 0 || created > 2) std::abort();
  braxo::ReadPersonalInfoReply(reply);
  braxo::ReadKezsBalanceReply(reply);
  braxo::ReadRatedTopTenReply(reply);

  for (bool full : {false, true}) {
    braxo::GameRecordReply record =
        full ? braxo::ReadGameRecordFullReply(reply) : braxo::ReadGameRecordReply(reply);
    if (record.ok && !has_dollar) std::abort();
    if (record.record.playing_now != 'N') std::abort();
    braxo::GameRecord game = record.record;
    if (braxo::ApplyRatedStart(game) && game.rated_games < 1) std::abort();
    game = record.record;
    braxo::ApplyRatedScore(game, static_cast<std::int32_t>(size));
  }

  const braxo::TableReply table = braxo::ReadTableReply(reply, 76);
  for (const braxo::TableEntry& entry : table.entries) {
    if (entry.table_id != 76) std::abort();
  }
  const braxo::UsageStatisticsReply stat = braxo::ReadUsageStatisticsReply(reply, 76);
  if (stat.ok && !has_dollar) std::abort();

  for (int kind : {0, 1, 2}) {
    const int rate = braxo::RateNameTextUtf8(reply, kind);
    if (rate < 1 || rate > 3) std::abort();
  }
  braxo::PhotoAddress("http://127.0.0.1/photos/", reply);
  return 0;
}
