#include "game/MoveHistory.h"

#include <utility>

namespace braxo {
namespace {

std::vector<TileCode> CodesInBoardOrder(const Board& board) {
  std::vector<TileCode> codes;
  ForEachCellInBoardOrder([&](const BoardCell& cell) {
    if (board.HasTile(cell)) codes.push_back(board.Code(cell));
  });
  return codes;
}

void PutCodesInBoardOrder(const std::vector<TileCode>& codes, Board& board) {
  std::size_t next = 0;
  ForEachCellInBoardOrder([&](const BoardCell& cell) {
    if (board.HasTile(cell) && next < codes.size()) board.SetCode(cell, codes[next++]);
  });
}

}  // namespace

void MoveHistory::Clear() {
  moves_.clear();
  done_ = 0;
}

void MoveHistory::Push(Move move) {
  moves_.resize(done_);
  moves_.push_back(std::move(move));
  done_ = moves_.size();
}

void MoveHistory::RecordPair(const BoardCell& first, const BoardCell& second, const TileCode& code,
                             int score_before, int score_after) {
  Move move;
  move.first = first;
  move.second = second;
  move.code = code;
  move.score_before = score_before;
  move.score_after = score_after;
  Push(std::move(move));
}

void MoveHistory::RecordShuffle(const Board& before, const Board& after, int score) {
  Move move;
  move.shuffle = true;
  move.codes_before = CodesInBoardOrder(before);
  move.codes_after = CodesInBoardOrder(after);
  move.score_before = score;
  move.score_after = score;
  Push(std::move(move));
}

std::optional<int> MoveHistory::Undo(Board& board) {
  if (!CanUndo()) return std::nullopt;
  const Move& move = moves_[--done_];
  if (move.shuffle) {
    PutCodesInBoardOrder(move.codes_before, board);
  } else {
    board.SetCode(move.first, move.code);
    board.SetCode(move.second, move.code);
  }
  return move.score_before;
}

std::optional<int> MoveHistory::Redo(Board& board) {
  if (!CanRedo()) return std::nullopt;
  const Move& move = moves_[done_++];
  if (move.shuffle) {
    PutCodesInBoardOrder(move.codes_after, board);
  } else {
    board.SetCode(move.first, "");
    board.SetCode(move.second, "");
  }
  return move.score_after;
}

}  // namespace braxo
