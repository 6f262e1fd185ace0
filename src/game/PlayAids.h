// The aids around the rules: the free pairs of a board (the hint), deals that
// can be won, the shuffle of the tiles left, and where the keyboard's focus
// goes. None of them changes the free-tile rule or the score of a pair.
#pragma once

#include <vector>

#include "game/Board.h"
#include "game/LevelGenerator.h"

namespace braxo {

// Two cells holding equal codes; `first` comes before `second` in board order.
struct TilePair {
  BoardCell first;
  BoardCell second;
  friend bool operator==(const TilePair&, const TilePair&) = default;
};

// Every pair of free tiles with equal codes, ordered by the first tile's
// board order, then by the second's. Its size is CountPossiblePairs().
std::vector<TilePair> FreePairs(const Board& board);

// How many arrangements a solvable deal tries with every choice left to
// chance before it keeps to the highest layer; each try takes microseconds.
inline constexpr int kSolvableDealTries = 40;

// Deals `level` with the level's shape and codes, so that at least one order
// of play clears the board. The deal is played backwards: pairs of cells are
// taken off the full shape, each pair free when it is taken, and each such
// pair gets two equal codes; played forwards in the reverse order every pair
// is free when its turn comes. The cells are picked at random among the free
// ones; a try that runs into a board with one free tile is dropped, and after
// kSolvableDealTries the pairs are taken from the highest layer that still
// holds tiles, which always succeeds (every layer of every shape holds an
// even number of tiles). @pre the board is empty, 1 <= level <= 5
void GenerateSolvableLevel(int level, Board& board, RandomSource& random);

// True when the tiles on `board` can be arranged so that a pair is free:
// at least two cells holding tiles are free (the free-tile rule looks only at
// which cells hold tiles, never at their codes). False only for a lone stack.
bool ShuffleCanLeaveAPair(const Board& board);

// Deals the tiles on the board anew onto the same cells: the same multiset
// of codes, at least one free pair afterwards, and a board that can be
// cleared whenever the random tries or the highest-layer order find one.
// Returns false, leaving the board as it was, when ShuffleCanLeaveAPair is
// false. @pre every code on the board occurs an even number of times
bool ShuffleTiles(Board& board, RandomSource& random);

// The keyboard focus rests on the tile on top of a stack: the highest layer
// holding a tile at a row and column.
enum class FocusStep { kLeft, kRight, kUp, kDown };

// The cell on top of the stack at (row, column); BoardCell{} when it is empty.
BoardCell StackTop(const Board& board, int row, int column);

// Where the focus starts: the top of the first stack in row order, then
// column order. BoardCell{} on an empty board.
BoardCell FirstFocusCell(const Board& board);

// The focus after one arrow key from `from`: the top of the nearest stack in
// that direction (fewest columns for left and right, fewest rows for up and
// down), then the one nearest on the other axis, then the higher tile, then
// the one first in board order. `from` stays when nothing lies that way; a
// `from` that is none gives FirstFocusCell. Only the row and column of
// `from` count, so a focus whose tile has gone still moves from its place.
BoardCell MoveFocus(const Board& board, const BoardCell& from, FocusStep step);

}  // namespace braxo
