// The casual mode's undo and redo: the moves of the current level, each kept
// small (a pair is two cells, a code and two scores) so that a whole level's
// history stays a few kilobytes.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "game/Board.h"

namespace braxo {

class MoveHistory {
 public:
  // Forgets every move (a new level or a new game).
  void Clear();

  // A pair taken off the board: its cells, its code and the score right
  // before and right after it. Drops the moves that were undone.
  void RecordPair(const BoardCell& first, const BoardCell& second, const TileCode& code,
                  int score_before, int score_after);
  // A shuffle: the board before and after it (the same cells hold tiles).
  // Drops the moves that were undone.
  void RecordShuffle(const Board& before, const Board& after, int score);

  bool CanUndo() const { return done_ > 0; }
  bool CanRedo() const { return done_ < moves_.size(); }

  // Takes the last move back on `board` and returns the score it started
  // from; nothing when no move is left to undo. @pre the board is the one the
  // moves were recorded on, every burst landed
  std::optional<int> Undo(Board& board);
  // Plays the last undone move again and returns the score it gave; nothing
  // when no move is left to redo.
  std::optional<int> Redo(Board& board);

  // The moves recorded, undone ones included.
  std::size_t Size() const { return moves_.size(); }

 private:
  struct Move {
    bool shuffle = false;
    BoardCell first;
    BoardCell second;
    TileCode code;
    // For a shuffle: the codes of the cells holding tiles, in board order.
    std::vector<TileCode> codes_before;
    std::vector<TileCode> codes_after;
    int score_before = 0;
    int score_after = 0;
  };
  void Push(Move move);

  std::vector<Move> moves_;
  std::size_t done_ = 0;  // moves_[0, done_) are on the board
};

}  // namespace braxo
