#include "game/LevelGenerator.h"

#include <array>
#include <chrono>
#include <stdexcept>

namespace braxo {
namespace {

// The upper layers of each level, one string per row: a digit marks a column
// holding a tile. Layer 1 is always full and layer 4 never used.
struct UpperLayer {
  int layer;
  std::array<const char*, kRows> rows;
};

const std::vector<UpperLayer>& UpperLayers(int level) {
  static const std::array<std::vector<UpperLayer>, kLevelCount> kShapes = {{
      {{2, {"", "", "34", "", ""}}},
      {{2, {"34", "2345", "34", "2345", "34"}}},
      {{2, {"123456", "1346", "123456", "1346", "123456"}}},
      {{2, {"123456", "123456", "123456", "123456", "123456"}}, {3, {"", "2345", "", "2345", ""}}},
      {{2, {"123456", "123456", "123456", "123456", "123456"}},
       {3, {"123456", "16", "1346", "16", "123456"}}},
  }};
  return kShapes[level - 1];
}

bool InUpperShape(const UpperLayer& upper, int row, int column) {
  for (const char* p = upper.rows[row - 1]; *p; ++p)
    if (*p - '0' == column) return true;
  return false;
}

// Placement-list position (index p - 1) to cell, per level.
std::vector<BoardCell> BuildPositions(int level) {
  std::vector<BoardCell> cells(LevelTileCount(level));
  const auto& uppers = UpperLayers(level);
  int next = 0;
  if (level <= 3) {
    // Layer 1 column by column, top to bottom; then layer 2 in board order.
    for (int r = 1; r <= kRows; ++r)
      for (int c = 1; c <= kColumns; ++c) cells[r + 5 * (c - 1) - 1] = BoardCell{1, r, c};
    next = 30;
  } else {
    // Layers 1 and 2 interleaved: layer 1 on the odd positions, layer 2 on
    // the even ones; then layer 3 in board order.
    for (int l = 1; l <= 2; ++l)
      for (int r = 1; r <= kRows; ++r)
        for (int c = 1; c <= kColumns; ++c)
          cells[2 * (r - 1) + l + 10 * (c - 1) - 1] = BoardCell{l, r, c};
    next = 60;
  }
  for (const UpperLayer& upper : uppers) {
    if (level >= 4 && upper.layer == 2) continue;  // already interleaved above
    for (int r = 1; r <= kRows; ++r)
      for (int c = 1; c <= kColumns; ++c)
        if (InUpperShape(upper, r, c)) cells[next++] = BoardCell{upper.layer, r, c};
  }
  if (next != LevelTileCount(level)) throw std::logic_error("level shape and tile count disagree");
  return cells;
}

void CheckLevel(int level) {
  if (level < 1 || level > kLevelCount) throw std::out_of_range("level out of range");
}

}  // namespace

void ClockRandom::Reseed() {
  const auto now = std::chrono::high_resolution_clock::now().time_since_epoch().count();
  std::seed_seq sequence{static_cast<std::uint32_t>(now), static_cast<std::uint32_t>(now >> 32),
                         static_cast<std::uint32_t>(deals_++)};
  engine_ = std::mt19937(sequence);
}

int ClockRandom::Uniform(int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(engine_);
}

int FixedRandom::Uniform(int low, int high) {
  return std::uniform_int_distribution<int>(low, high)(engine_);
}

int LevelTileCount(int level) {
  CheckLevel(level);
  static constexpr std::array<int, kLevelCount> kCounts = {32, 44, 56, 68, 80};
  return kCounts[level - 1];
}

const std::vector<std::string>& LevelKinds(int level) {
  CheckLevel(level);
  static const std::array<std::vector<std::string>, kLevelCount> kKinds = {{
      {"s1", "r1", "k1", "s2", "r2", "k2"},
      {"s1", "r1", "k1", "s2", "r2", "k2", "s3", "r3", "k3"},
      {"s1", "r1", "k1", "s2", "r2", "k2", "s3", "r3", "k3", "s4", "r4", "k4"},
      {"s1", "r1", "k1", "x1", "s2", "r2", "k2", "x2", "s3", "r3", "k3", "x3"},
      {"s1", "r1", "k1", "x1", "s2", "r2", "k2", "x2", "s3", "r3", "k3", "x3", "s4", "r4", "k4",
       "x4"},
  }};
  return kKinds[level - 1];
}

const std::string& LevelCode(int level, int number) {
  static const std::string kCloud = "o0";
  const auto& kinds = LevelKinds(level);
  if (number < 1 || number > LevelTileCount(level)) throw std::out_of_range("number out of range");
  const std::size_t block = static_cast<std::size_t>((number - 1) / 4);
  return block < kinds.size() ? kinds[block] : kCloud;
}

BoardCell LevelPosition(int level, int position) {
  CheckLevel(level);
  static const std::array<std::vector<BoardCell>, kLevelCount> kPositions = {
      BuildPositions(1), BuildPositions(2), BuildPositions(3), BuildPositions(4),
      BuildPositions(5)};
  const auto& cells = kPositions[level - 1];
  if (position < 1 || position > static_cast<int>(cells.size()))
    throw std::out_of_range("position out of range");
  return cells[position - 1];
}

void GenerateLevel(int level, Board& board, RandomSource& random) {
  const int n = LevelTileCount(level);
  random.Reseed();
  // The deal: a random permutation of 1..N drawn by rejection, number v at
  // position p giving the code of position p.
  std::array<bool, 81> drawn{};
  for (int p = 1; p <= n; ++p) {
    int v = random.Uniform(1, n);
    while (drawn[v]) v = random.Uniform(1, n);
    drawn[v] = true;
    board.SetCode(LevelPosition(level, p), LevelCode(level, v));
  }
}

}  // namespace braxo
