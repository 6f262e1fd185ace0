// The board: up to four layers of square tiles over 5 rows by 6 columns, its
// geometry in board-image pixels, the free-tile rule and the pair count.
#pragma once

#include <array>
#include <string>
#include <string_view>

namespace braxo {

inline constexpr int kLayers = 4;
inline constexpr int kRows = 5;
inline constexpr int kColumns = 6;
inline constexpr int kCellCount = kLayers * kRows * kColumns;
inline constexpr int kCellPitch = 70;  // cells of one layer lie edge to edge
inline constexpr int kLayerShift = 9;  // each layer sits this much further up and left
inline constexpr int kTileSize = 84;   // a tile picture overhangs its cell by 14 pixels

// A position on the board, 1-based. All zero means "no cell".
struct BoardCell {
  int layer = 0;
  int row = 0;
  int column = 0;

  bool IsNone() const { return layer == 0 && row == 0 && column == 0; }
  bool IsValid() const {
    return layer >= 1 && layer <= kLayers && row >= 1 && row <= kRows && column >= 1 &&
           column <= kColumns;
  }
  friend bool operator==(const BoardCell&, const BoardCell&) = default;
};

// A cell's rectangle in board-image pixels; hit tests include all four bounds.
struct CellRect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  bool Contains(int x, int y) const { return x >= left && x <= right && y >= top && y <= bottom; }
  friend bool operator==(const CellRect&, const CellRect&) = default;
};

// A tile code such as "s1" or "o0"; the empty text is an empty cell. Two tiles
// match when their codes are equal texts.
using TileCode = std::string;

// The rectangle of a cell by the fixed geometry: 70-pixel pitch, each layer
// 9 pixels further left and up. @pre cell.IsValid()
CellRect ComputeCellRect(const BoardCell& cell);

// Calls f(cell) for every cell in board order: layer, then row, then column,
// each ascending. Every scan of the board runs in this order.
template <typename F>
void ForEachCellInBoardOrder(F&& f) {
  for (int l = 1; l <= kLayers; ++l)
    for (int r = 1; r <= kRows; ++r)
      for (int c = 1; c <= kColumns; ++c) f(BoardCell{l, r, c});
}

class Board {
 public:
  Board();

  // @pre cell.IsValid()
  const TileCode& Code(const BoardCell& cell) const { return codes_[Index(cell)]; }
  void SetCode(const BoardCell& cell, std::string_view code) { codes_[Index(cell)] = code; }
  bool HasTile(const BoardCell& cell) const { return !codes_[Index(cell)].empty(); }
  // @pre cell.IsValid()
  const CellRect& Rect(const BoardCell& cell) const { return rects_[Index(cell)]; }

  // Empties all 120 cells.
  void Clear();
  // Recomputes every cell rectangle (done at the start of every level).
  void ComputeCellRects();

  // The free-tile rule: nothing lies directly on the tile, and it has an edge
  // column or an empty left or right neighbour. Does not look at the cell
  // itself: callers check that it holds a tile. Coordinates are 1-based.
  bool IsTileFree(int layer, int row, int column) const;
  bool IsTileFree(const BoardCell& cell) const {
    return IsTileFree(cell.layer, cell.row, cell.column);
  }

  // The number of unordered pairs of free tiles with equal codes.
  int CountPossiblePairs() const;
  // True when none of the 120 cells holds a tile.
  bool IsBoardCleared() const;
  int TileCount() const;

  // The first cell in board order whose rectangle contains (x, y), that holds
  // a tile and that is free; BoardCell{} when there is none. `skip` names
  // cells that must not be hit even though they qualify (tiles on their way
  // off the board); the scan then goes on to later cells.
  template <typename Skip>
  BoardCell FindFreeTileAt(int x, int y, Skip&& skip) const {
    BoardCell found;
    bool done = false;
    ForEachCellInBoardOrder([&](const BoardCell& cell) {
      if (done) return;
      if (Rect(cell).Contains(x, y) && HasTile(cell) && IsTileFree(cell) && !skip(cell)) {
        found = cell;
        done = true;
      }
    });
    return found;
  }
  BoardCell FindFreeTileAt(int x, int y) const {
    return FindFreeTileAt(x, y, [](const BoardCell&) { return false; });
  }

  // A picture of the board for tests and logs: one block of five lines per
  // layer, from layer 1 up to the highest layer that holds a tile; each line
  // six codes separated by spaces, ".." for an empty cell; blocks separated by
  // a blank line.
  std::string ToText() const;
  // Reads the form ToText writes, layer 1 first; layers not given stay empty.
  // Returns false on a malformed picture (the board is then unspecified).
  bool FromText(std::string_view text);

 private:
  static int Index(const BoardCell& cell) {
    return ((cell.layer - 1) * kRows + (cell.row - 1)) * kColumns + (cell.column - 1);
  }

  std::array<TileCode, kCellCount> codes_;
  std::array<CellRect, kCellCount> rects_;
};

}  // namespace braxo
