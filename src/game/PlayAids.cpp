#include "game/PlayAids.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

namespace braxo {
namespace {

constexpr char kOccupied[] = "##";

std::vector<BoardCell> OccupiedCells(const Board& board) {
  std::vector<BoardCell> cells;
  ForEachCellInBoardOrder([&](const BoardCell& cell) {
    if (board.HasTile(cell)) cells.push_back(cell);
  });
  return cells;
}

std::vector<BoardCell> FreeCells(const Board& board, int only_layer = 0) {
  std::vector<BoardCell> cells;
  ForEachCellInBoardOrder([&](const BoardCell& cell) {
    if (only_layer != 0 && cell.layer != only_layer) return;
    if (board.HasTile(cell) && board.IsTileFree(cell)) cells.push_back(cell);
  });
  return cells;
}

int HighestLayer(const Board& board) {
  int highest = 0;
  ForEachCellInBoardOrder([&](const BoardCell& cell) {
    if (board.HasTile(cell)) highest = std::max(highest, cell.layer);
  });
  return highest;
}

template <typename T>
void ShuffleInPlace(std::vector<T>& items, RandomSource& random) {
  for (int i = static_cast<int>(items.size()) - 1; i > 0; --i)
    std::swap(items[i], items[random.Uniform(0, i)]);
}

// Takes pairs of free cells off `cells` until none is left: the order of a
// game that clears them. Nothing when a board with tiles left has fewer than
// two free ones. With `highest_layer_only` both cells come from the highest
// layer that still holds tiles.
std::optional<std::vector<TilePair>> RemovalOrder(const std::vector<BoardCell>& cells,
                                                  RandomSource& random, bool highest_layer_only) {
  Board occupancy;
  for (const BoardCell& cell : cells) occupancy.SetCode(cell, kOccupied);
  std::vector<TilePair> order;
  for (std::size_t left = cells.size(); left > 0; left -= 2) {
    std::vector<BoardCell> free =
        FreeCells(occupancy, highest_layer_only ? HighestLayer(occupancy) : 0);
    if (free.size() < 2) return std::nullopt;
    const int a = random.Uniform(0, static_cast<int>(free.size()) - 1);
    int b = random.Uniform(0, static_cast<int>(free.size()) - 2);
    if (b >= a) ++b;
    order.push_back({free[a], free[b]});
    occupancy.SetCode(free[a], "");
    occupancy.SetCode(free[b], "");
  }
  return order;
}

// The codes as pairs of equal codes, in a random order. @pre every code
// occurs an even number of times
std::vector<TileCode> ShuffledCodePairs(std::vector<TileCode> codes, RandomSource& random) {
  std::sort(codes.begin(), codes.end());
  std::vector<TileCode> pairs;
  for (std::size_t i = 0; i + 1 < codes.size(); i += 2) pairs.push_back(codes[i]);
  ShuffleInPlace(pairs, random);
  return pairs;
}

void PlaceByOrder(const std::vector<TilePair>& order, const std::vector<TileCode>& code_pairs,
                  Board& board) {
  for (std::size_t i = 0; i < order.size(); ++i) {
    board.SetCode(order[i].first, code_pairs[i]);
    board.SetCode(order[i].second, code_pairs[i]);
  }
}

// Deals `codes` onto `cells` so that the board can be cleared: random tries,
// then the highest-layer order. False when neither finds an order (only
// possible when a layer holds an odd number of the cells).
bool ArrangeSolvably(const std::vector<BoardCell>& cells, const std::vector<TileCode>& codes,
                     Board& board, RandomSource& random) {
  std::optional<std::vector<TilePair>> order;
  for (int attempt = 0; attempt < kSolvableDealTries && !order; ++attempt)
    order = RemovalOrder(cells, random, false);
  if (!order) order = RemovalOrder(cells, random, true);
  if (!order) return false;
  PlaceByOrder(*order, ShuffledCodePairs(codes, random), board);
  return true;
}

}  // namespace

std::vector<TilePair> FreePairs(const Board& board) {
  const std::vector<BoardCell> free = FreeCells(board);
  std::vector<TilePair> pairs;
  for (std::size_t i = 0; i < free.size(); ++i)
    for (std::size_t j = i + 1; j < free.size(); ++j)
      if (board.Code(free[i]) == board.Code(free[j])) pairs.push_back({free[i], free[j]});
  return pairs;
}

void GenerateSolvableLevel(int level, Board& board, RandomSource& random) {
  const int n = LevelTileCount(level);
  random.Reseed();
  std::vector<BoardCell> cells;
  std::vector<TileCode> codes;
  for (int p = 1; p <= n; ++p) {
    cells.push_back(LevelPosition(level, p));
    codes.push_back(LevelCode(level, p));
  }
  // Every layer of every shape holds an even number of tiles, so the
  // highest-layer order always exists.
  ArrangeSolvably(cells, codes, board, random);
}

bool ShuffleCanLeaveAPair(const Board& board) { return FreeCells(board).size() >= 2; }

bool ShuffleTiles(Board& board, RandomSource& random) {
  if (!ShuffleCanLeaveAPair(board)) return false;
  random.Reseed();
  const std::vector<BoardCell> cells = OccupiedCells(board);
  std::vector<TileCode> codes;
  codes.reserve(cells.size());
  for (const BoardCell& cell : cells) codes.push_back(board.Code(cell));
  if (ArrangeSolvably(cells, codes, board, random)) return true;

  // No order clears these cells: one pair of equal codes on two free cells,
  // the rest anywhere.
  std::vector<BoardCell> free = FreeCells(board);
  ShuffleInPlace(free, random);
  std::vector<TileCode> pairs = ShuffledCodePairs(codes, random);
  const TileCode pair_code = pairs.front();
  board.SetCode(free[0], pair_code);
  board.SetCode(free[1], pair_code);
  std::vector<TileCode> rest;
  for (std::size_t i = 1; i < pairs.size(); ++i) {
    rest.push_back(pairs[i]);
    rest.push_back(pairs[i]);
  }
  ShuffleInPlace(rest, random);
  std::size_t next = 0;
  for (const BoardCell& cell : cells)
    if (cell != free[0] && cell != free[1]) board.SetCode(cell, rest[next++]);
  return true;
}

BoardCell StackTop(const Board& board, int row, int column) {
  for (int layer = kLayers; layer >= 1; --layer)
    if (board.HasTile({layer, row, column})) return {layer, row, column};
  return {};
}

BoardCell FirstFocusCell(const Board& board) {
  for (int r = 1; r <= kRows; ++r)
    for (int c = 1; c <= kColumns; ++c)
      if (const BoardCell top = StackTop(board, r, c); !top.IsNone()) return top;
  return {};
}

BoardCell MoveFocus(const Board& board, const BoardCell& from, FocusStep step) {
  if (from.IsNone()) return FirstFocusCell(board);
  std::optional<std::tuple<int, int, int, int, int>> best_key;
  BoardCell best = from;
  for (int r = 1; r <= kRows; ++r) {
    for (int c = 1; c <= kColumns; ++c) {
      const BoardCell top = StackTop(board, r, c);
      if (top.IsNone()) continue;
      int along = 0;
      int across = 0;
      switch (step) {
        case FocusStep::kLeft:
          along = from.column - c;
          across = std::abs(r - from.row);
          break;
        case FocusStep::kRight:
          along = c - from.column;
          across = std::abs(r - from.row);
          break;
        case FocusStep::kUp:
          along = from.row - r;
          across = std::abs(c - from.column);
          break;
        case FocusStep::kDown:
          along = r - from.row;
          across = std::abs(c - from.column);
          break;
      }
      if (along <= 0) continue;
      const auto key = std::make_tuple(along, across, -top.layer, r, c);
      if (!best_key || key < *best_key) {
        best_key = key;
        best = top;
      }
    }
  }
  return best;
}

}  // namespace braxo
