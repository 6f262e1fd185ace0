// The game a player left by closing the window: its text form, written when
// the window closes and read at the next start. The form is checked whole
// (its first line, every field, a checksum over the rest, and a board that
// the level and the score can have come from), so that a damaged file or a
// file of anything else is refused rather than played.
#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "game/Board.h"
#include "game/Ports.h"

namespace braxo {

// The saved game's file, in the game's data folder.
inline constexpr char kSavedGameFileName[] = "Braxo.save";

struct SavedGame {
  GameMode mode = GameMode::kNormal;
  int level = 1;
  int score = 0;
  // The seconds the clock has run in this game.
  int elapsed_seconds = 0;
  bool casual = false;
  // True once a pair of the level has been taken (the clock runs on resume).
  bool clock_running = false;
  Board board;
};

// The text form:
//   Braxo saved game 1
//   mode=1  level=3  score=5234  seconds=312  casual=0  clock=1  (one a line)
//   board=<120 codes in board order, ".." for an empty cell, one space apart>
//   check=<FNV-1a 64 of every byte before this line, 16 lower-case hex digits>
// each line ended by LF.
std::string EncodeSavedGame(const SavedGame& game);

// Nothing when `text` is not such a form, its checksum does not match, or it
// describes a game no play can reach: a level outside 1..5, cells outside
// the level's shape, codes that are not the level's or not in pairs, a score
// below 0 or above 5000 plus 100 for every pair taken so far in the game.
std::optional<SavedGame> DecodeSavedGame(std::string_view text);

}  // namespace braxo
