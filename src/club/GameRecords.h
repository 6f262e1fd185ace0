// The player's record of this game on the account service: games started,
// best score, rating; the two steps that put a game on the rating; the
// fields of the record requests and how their replies are read. Plain C++.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "club/FormBody.h"

namespace braxo {

// The record, fields in the club's order. Only Kon, Best, Rating, R1, R2 and
// Place are used by this game; the rest are carried for the club windows.
struct GameRecord {
  std::int32_t Kon = 0;  // rated games started
  std::int32_t Score = 0;
  std::int32_t Sessions = 0;
  double Rating = 0;
  char PlayNow = 'N';
  std::int32_t R1 = 0;
  std::string R2;
  std::int32_t Place = 0;
  std::int32_t Best = 0;
  std::int32_t Best5 = 0, Best6 = 0, Best7 = 0, Best8 = 0;
  std::int32_t KonL = 0;
  char WindA = 0, WindB = 0;
  std::uint8_t WhoL = 0, SkL = 0;
  std::int32_t Bank = 0;
  std::uint8_t DoBank = 0;
  std::int32_t Win = 0, WinL = 0, Won = 0, WonL = 0, Nih = 0, NihL = 0, Sco = 0, ScoL = 0;
  friend bool operator==(const GameRecord&, const GameRecord&) = default;
};

// The rating formulas (the game calls them with C = 0 and D = 1):
// RatingAfterStart: with d = A - B, (d * (X - d / D) - C) / A + A / D.
// RatingAfterScore: (C + A * (X - A / D) + B) / A + A / D.
// Both need A != 0 and D != 0.
double RatingAfterStart(double a, double b, double c, double d, double x);
double RatingAfterScore(double a, double b, double c, double d, double x);

// Both forms of the record read send the same request (ListFormBody).
std::vector<std::string> ReadGameRecordLines(std::string_view game_field_prefix,
                                             std::string_view nick, std::string_view pw);

// The record a read starts from: `base` with Kon, Score, Sessions, R1 and
// Rating zero, PlayNow "N" and R2 "#".
GameRecord PrefilledGameRecord(GameRecord base = {});

struct GameRecordReply {
  bool ok = false;
  GameRecord record;
};
// The short form: the "$" record up to the next "$", cut at spaces: 1 Kon,
// 2 Best, 3 Rating (ParseClubNumber, default 0), 4 R1, 5 R2. Without a "$"
// record the read fails: a page without one (an error page from a proxy)
// must not become a record of zeros that the next save would send back. A
// field 1, 2 or 4 that is present but not a whole integer, or a field 3 that
// is not a number, fails too. Fields 4 and 5 may be absent (pre-fill kept).
GameRecordReply ReadGameRecordReply(std::string_view reply, GameRecord base = {});
// The long form: 1 Kon, 2 Best, 3 Rating, 4 Sessions, 5 KonL, 6 Score, 7 R1,
// 8 R2, by the same rules (fields from 4 on may be absent).
GameRecordReply ReadGameRecordFullReply(std::string_view reply, GameRecord base = {});

// SaveGameRecord (PlainFormBody): nick, pw, then prefix + "kon", "best",
// "rating" (FormatClubNumber), "R1", "R2". ok = MarkerReply("ok").
std::vector<FormField> SaveGameRecordFields(std::string_view game_field_prefix,
                                            std::string_view nick, std::string_view pw,
                                            const GameRecord& record);

// The change a rated game's start makes: one more game, the rating as for a
// score of 0. Refused (record unchanged, false) for a Kon that is negative or
// cannot grow: the formula would divide by zero or overflow.
bool ApplyRatedStart(GameRecord& record);

// The change a rated game's score makes: the rating gains score / Kon, Best
// rises to the score. Refused (record unchanged, false) when Kon is not
// positive: the club lost the started game, and the rating cannot take it.
bool ApplyRatedScore(GameRecord& record, std::int32_t score);

}  // namespace braxo
