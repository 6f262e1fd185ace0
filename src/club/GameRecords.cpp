#include "club/GameRecords.h"

#include <cstddef>
#include <limits>
#include <utility>

#include "club/ReplyRules.h"
#include "club/wire/RequestTable.h"
#include "storage/TextFile.h"

namespace braxo {
namespace {

// Takes field `number` into `target` when the record has it; false when it is
// there but not a whole integer.
bool TakeInteger(const ReplyRecord& record, std::size_t number, std::int32_t& target) {
  if (record.size() < number) return true;
  const std::optional<std::int32_t> value = ParseClubInteger(record[number - 1]);
  if (!value) return false;
  target = *value;
  return true;
}

// The fields both forms share (1 rated games, 2 best score, 3 rating) must be
// there.
bool TakeCommon(const ReplyRecord& record, GameRecord& game) {
  if (record.size() < 3) return false;
  if (!TakeInteger(record, 1, game.rated_games) || !TakeInteger(record, 2, game.best_score))
    return false;
  const std::optional<double> rating = ParseClubNumber(record[2], 0.0);
  if (!rating) return false;
  game.rating = *rating;
  return true;
}

}  // namespace

double RatingAfterStart(double a, double b, double c, double d, double x) {
  const double diff = a - b;
  return (diff * (x - diff / d) - c) / a + a / d;
}

double RatingAfterScore(double a, double b, double c, double d, double x) {
  return (c + a * (x - a / d) + b) / a + a / d;
}

std::vector<std::string> ReadGameRecordLines(std::string_view game_field_prefix,
                                             std::string_view nick, std::string_view pw) {
  return wire::ListRequestLines(wire::Request::kReadGameRecord, {nick, pw}, game_field_prefix);
}

GameRecord PrefilledGameRecord(GameRecord base) {
  base.rated_games = base.score = base.sessions = base.reserved_r1 = 0;
  base.rating = 0;
  base.playing_now = 'N';
  // Not `= "#"`: gcc 12 warns falsely (-Wrestrict) on that assignment here.
  base.reserved_r2.assign(1, '#');
  return base;
}

std::string WriteGameRecordReply(std::int64_t rated_games, std::int64_t best_score, double rating) {
  return RecordText({std::to_string(rated_games), std::to_string(best_score),
                     FormatClubNumber(rating), "0", "0", "0", "0", "0"},
                    ' ', '$');
}

GameRecordReply ReadGameRecordReply(std::string_view reply, GameRecord base) {
  GameRecordReply result{false, PrefilledGameRecord(std::move(base))};
  const std::optional<ReplyRecord> record = RecordReply(reply, '$', ' ');
  if (!record || !TakeCommon(*record, result.record)) return result;
  if (!TakeInteger(*record, 4, result.record.reserved_r1)) return result;
  if (record->size() >= 5) result.record.reserved_r2 = Cp1251ToUtf8((*record)[4]);
  result.ok = true;
  return result;
}

GameRecordReply ReadGameRecordFullReply(std::string_view reply, GameRecord base) {
  GameRecordReply result{false, PrefilledGameRecord(std::move(base))};
  const std::optional<ReplyRecord> record = RecordReply(reply, '$', ' ');
  if (!record || !TakeCommon(*record, result.record)) return result;
  GameRecord& game = result.record;
  if (!TakeInteger(*record, 4, game.sessions) || !TakeInteger(*record, 5, game.long_form_games) ||
      !TakeInteger(*record, 6, game.score) || !TakeInteger(*record, 7, game.reserved_r1)) {
    return result;
  }
  if (record->size() >= 8) game.reserved_r2 = Cp1251ToUtf8((*record)[7]);
  result.ok = true;
  return result;
}

std::vector<FormField> SaveGameRecordFields(std::string_view game_field_prefix,
                                            std::string_view nick, std::string_view pw,
                                            const GameRecord& record) {
  return wire::PlainRequestFields(
      wire::Request::kSaveGameRecord,
      {nick, pw, std::to_string(record.rated_games), std::to_string(record.best_score),
       FormatClubNumber(record.rating), std::to_string(record.reserved_r1), record.reserved_r2},
      game_field_prefix);
}

bool ApplyRatedStart(GameRecord& record) {
  if (record.rated_games < 0 || record.rated_games == std::numeric_limits<std::int32_t>::max())
    return false;
  const double old_rating = record.rating;
  record.rated_games += 1;
  record.rating = RatingAfterStart(record.rated_games, 1, 0, 1, old_rating);
  return true;
}

bool ApplyRatedScore(GameRecord& record, std::int32_t score) {
  if (record.rated_games <= 0) return false;
  record.rating = RatingAfterScore(record.rated_games, score, 0, 1, record.rating);
  if (record.best_score < score) record.best_score = score;
  return true;
}

}  // namespace braxo
