// The player's record of this game on the account service: games started,
// best score, rating; the two steps that put a game on the rating; the
// fields of the record requests (named in wire/RequestTable.h), the club's
// writer of the record reply and the game's two readers of it. Plain C++.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "club/ClubRecords.h"
#include "club/FormBody.h"

namespace braxo {

// The rating formulas (the game calls them with C = 0 and D = 1):
// RatingAfterStart: with d = A - B, (d * (X - d / D) - C) / A + A / D.
// RatingAfterScore: (C + A * (X - A / D) + B) / A + A / D.
// Both need A != 0 and D != 0.
double RatingAfterStart(double a, double b, double c, double d, double x);
double RatingAfterScore(double a, double b, double c, double d, double x);

// Both forms of the record read send the same request (ListFormBody).
std::vector<std::string> ReadGameRecordLines(std::string_view game_field_prefix,
                                             std::string_view nick, std::string_view pw);

// The record a read starts from: `base` with rated_games, score, sessions,
// reserved_r1 and rating zero, playing_now "N" and reserved_r2 "#".
GameRecord PrefilledGameRecord(GameRecord base = {});

struct GameRecordReply {
  bool ok = false;
  GameRecord record;
};
// The short form: the "$" record up to the next "$", cut at spaces: 1
// rated_games, 2 best_score, 3 rating (ParseClubNumber, default 0), 4
// reserved_r1, 5 reserved_r2. Without a "$" record the read fails: a page
// without one (an error page from a proxy) must not become a record of zeros
// that the next save would send back. A field 1, 2 or 4 that is present but
// not a whole integer, or a field 3 that is not a number, fails too. Fields 4
// and 5 may be absent (pre-fill kept).
GameRecordReply ReadGameRecordReply(std::string_view reply, GameRecord base = {});
// The long form: 1 rated_games, 2 best_score, 3 rating, 4 sessions, 5
// long_form_games, 6 score, 7 reserved_r1, 8 reserved_r2, by the same rules
// (fields from 4 on may be absent).
GameRecordReply ReadGameRecordFullReply(std::string_view reply, GameRecord base = {});
// The club's side, for both: "$", the three numbers the club keeps (the
// rating by FormatClubNumber), then five "0", cut at spaces, "$". The two
// forms disagree on what fields 4-8 hold, and 0 suits both.
std::string WriteGameRecordReply(std::int64_t rated_games, std::int64_t best_score, double rating);

// SaveGameRecord (PlainFormBody): nick, password, rated_games, best_score,
// rating (FormatClubNumber), reserved_r1, reserved_r2, the last five under
// per-game names with `game_field_prefix`. ok = MarkerReply("ok").
std::vector<FormField> SaveGameRecordFields(std::string_view game_field_prefix,
                                            std::string_view nick, std::string_view pw,
                                            const GameRecord& record);

// The change a rated game's start makes: one more game, the rating as for a
// score of 0. Refused (record unchanged, false) for a count of rated games
// that is negative or cannot grow: the formula would divide by zero or
// overflow.
bool ApplyRatedStart(GameRecord& record);

// The change a rated game's score makes: the rating gains score /
// rated_games, best_score rises to the score. Refused (record unchanged,
// false) when rated_games is not positive: the club lost the started game,
// and the rating cannot take it.
bool ApplyRatedScore(GameRecord& record, std::int32_t score);

}  // namespace braxo
