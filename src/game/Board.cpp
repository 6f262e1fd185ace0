#include "game/Board.h"

#include <sstream>
#include <vector>

namespace braxo {

CellRect ComputeCellRect(const BoardCell& cell) {
  CellRect rect;
  rect.left = kCellPitch * cell.column - kLayerShift * cell.layer - 38;
  rect.top = kCellPitch * cell.row - kLayerShift * cell.layer - 38;
  rect.right = rect.left + kCellPitch;
  rect.bottom = rect.top + kCellPitch;
  return rect;
}

Board::Board() { ComputeCellRects(); }

void Board::Clear() {
  for (TileCode& code : codes_) code.clear();
}

void Board::ComputeCellRects() {
  ForEachCellInBoardOrder(
      [this](const BoardCell& cell) { rects_[Index(cell)] = ComputeCellRect(cell); });
}

bool Board::IsTileFree(int layer, int row, int column) const {
  // Only the cell directly above counts: the neighbours of the layer above
  // overlap the picture by 9 pixels but do not hold the tile down.
  const bool nothing_on_top = layer == kLayers || !HasTile(BoardCell{layer + 1, row, column});
  if (!nothing_on_top) return false;
  if (column == 1 || column == kColumns) return true;
  return !HasTile(BoardCell{layer, row, column - 1}) || !HasTile(BoardCell{layer, row, column + 1});
}

int Board::CountPossiblePairs() const {
  // Free tiles grouped by code; n free tiles of one code make n(n-1)/2 pairs,
  // which is the ordered count over all cell pairs halved.
  std::vector<std::pair<std::string_view, int>> free_by_code;
  ForEachCellInBoardOrder([&](const BoardCell& cell) {
    if (!HasTile(cell) || !IsTileFree(cell)) return;
    const std::string_view code = Code(cell);
    for (auto& entry : free_by_code) {
      if (entry.first == code) {
        ++entry.second;
        return;
      }
    }
    free_by_code.emplace_back(code, 1);
  });
  int pairs = 0;
  for (const auto& entry : free_by_code) pairs += entry.second * (entry.second - 1) / 2;
  return pairs;
}

bool Board::IsBoardCleared() const {
  for (const TileCode& code : codes_)
    if (!code.empty()) return false;
  return true;
}

int Board::TileCount() const {
  int count = 0;
  for (const TileCode& code : codes_)
    if (!code.empty()) ++count;
  return count;
}

std::string Board::ToText() const {
  int top_layer = 1;
  ForEachCellInBoardOrder([&](const BoardCell& cell) {
    if (HasTile(cell)) top_layer = cell.layer;
  });
  std::string out;
  for (int l = 1; l <= top_layer; ++l) {
    if (l > 1) out += '\n';
    for (int r = 1; r <= kRows; ++r) {
      for (int c = 1; c <= kColumns; ++c) {
        const TileCode& code = Code({l, r, c});
        out += code.empty() ? std::string("..") : code;
        out += c < kColumns ? ' ' : '\n';
      }
    }
  }
  return out;
}

bool Board::FromText(std::string_view text) {
  Clear();
  std::istringstream in{std::string(text)};
  std::string line;
  int layer = 1;
  int row = 0;
  while (std::getline(in, line)) {
    std::istringstream words(line);
    std::vector<std::string> codes;
    std::string word;
    while (words >> word) codes.push_back(word);
    if (codes.empty()) {
      if (row != 0) return false;  // a blank line inside a layer
      continue;
    }
    if (codes.size() != kColumns || layer > kLayers) return false;
    ++row;
    for (int c = 1; c <= kColumns; ++c) {
      const std::string& code = codes[c - 1];
      SetCode({layer, row, c}, code == ".." ? std::string() : code);
    }
    if (row == kRows) {
      row = 0;
      ++layer;
    }
  }
  return row == 0;
}

}  // namespace braxo
