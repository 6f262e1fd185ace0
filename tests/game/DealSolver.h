// A solver for the tests: depth-first search over the pairs that can be
// taken, remembering the positions from which no way clears the board. It
// answers whether some order of play clears a board.
//
// Rules that keep the search small without losing a solution:
//  - taking a tile off never holds another one down, so when every tile left
//    of one code is free, those tiles are taken at once: any way to clear the
//    board still works after them;
//  - a tile goes only after every tile above it, so a code whose tiles left
//    lie mostly in one stack can never pair them all, and a code down to its
//    last two tiles is taken only after the last two of any code lying on one
//    of them: a cycle of such codes (a code on itself included) never ends;
//  - the pairs that free the most tiles are tried first, and a search stuck
//    in one branch starts again with equally good pairs in another order,
//    keeping the positions it found dead.
#pragma once

#include <algorithm>
#include <array>
#include <bitset>
#include <map>
#include <optional>
#include <random>
#include <unordered_set>
#include <utility>
#include <vector>

#include "game/Board.h"

namespace braxo::testing {

class DealSolver {
 public:
  // True when some order of play clears `board`; nothing when no round of
  // the search went to its end within `round_nodes` positions.
  std::optional<bool> Solve(const Board& board, long round_nodes = 50'000, int rounds = 400) {
    Load(board);
    dead_.clear();
    nodes_ = 0;
    // Each round breaks ties between equally good moves its own way, the
    // same ways every run.
    std::mt19937 ways_of_rounds(12345);
    for (int round = 0; round < rounds; ++round) {
      tie_breaker_ = std::mt19937(ways_of_rounds());
      limit_ = nodes_ + round_nodes;
      if (Search()) return true;
      if (nodes_ <= limit_) return false;
    }
    return std::nullopt;
  }
  // The positions visited by the last Solve, over all its rounds.
  long Nodes() const { return nodes_; }

 private:
  static constexpr int kNone = -1;
  static int Index(int layer, int row, int column) {
    return ((layer - 1) * kRows + (row - 1)) * kColumns + (column - 1);
  }

  void Load(const Board& board) {
    std::map<TileCode, int> ids;
    present_.reset();
    ForEachCellInBoardOrder([&](const BoardCell& cell) {
      const int i = Index(cell.layer, cell.row, cell.column);
      above_[i] = cell.layer < kLayers ? Index(cell.layer + 1, cell.row, cell.column) : kNone;
      below_[i] = cell.layer > 1 ? Index(cell.layer - 1, cell.row, cell.column) : kNone;
      left_[i] = cell.column > 1 ? i - 1 : kNone;
      right_[i] = cell.column < kColumns ? i + 1 : kNone;
      stack_[i] = (cell.row - 1) * kColumns + (cell.column - 1);
      code_[i] = kNone;
      if (!board.HasTile(cell)) return;
      const auto [it, added] = ids.emplace(board.Code(cell), static_cast<int>(ids.size()));
      code_[i] = it->second;
      present_.set(i);
    });
    code_count_ = static_cast<int>(ids.size());
  }

  bool Has(int i) const { return i != kNone && present_[i]; }
  bool Free(int i) const {
    return present_[i] && !Has(above_[i]) &&
           (left_[i] == kNone || right_[i] == kNone || !present_[left_[i]] || !present_[right_[i]]);
  }

  bool DeadByStacks() const {
    std::vector<std::vector<int>> cells(code_count_);
    for (int i = 0; i < kCellCount; ++i)
      if (present_[i]) cells[code_[i]].push_back(i);
    std::vector<std::vector<int>> after(code_count_);  // code -> codes that must go first
    for (int code = 0; code < code_count_; ++code) {
      const std::vector<int>& where = cells[code];
      std::array<int, kRows * kColumns> per_stack{};
      for (int i : where)
        if (2 * ++per_stack[stack_[i]] > static_cast<int>(where.size())) return true;
      if (where.size() != 2) continue;
      for (int i : where)
        for (int up = above_[i]; up != kNone; up = above_[up])
          if (present_[up] && cells[code_[up]].size() == 2) after[code].push_back(code_[up]);
    }
    std::vector<int> state(code_count_, 0);  // 1 on the path, 2 done
    const auto cycle = [&](auto&& self, int code) -> bool {
      state[code] = 1;
      for (int next : after[code])
        if (state[next] == 1 || (state[next] == 0 && self(self, next))) return true;
      state[code] = 2;
      return false;
    };
    for (int code = 0; code < code_count_; ++code)
      if (state[code] == 0 && cycle(cycle, code)) return true;
    return false;
  }

  // The tiles around a and b that taking them may free, free afterwards
  // minus free before.
  int FreedBy(int a, int b) {
    const std::array<int, 6> around = {below_[a], left_[a], right_[a],
                                       below_[b], left_[b], right_[b]};
    const auto count = [&] {
      int n = 0;
      for (int i : around)
        if (i != kNone && i != a && i != b && Free(i)) ++n;
      return n;
    };
    const int before = count();
    present_.reset(a);
    present_.reset(b);
    const int after = count();
    present_.set(a);
    present_.set(b);
    return after - before;
  }

  bool Search() {
    if (present_.none()) return true;
    if (++nodes_ > limit_) return false;
    std::vector<std::vector<int>> free(code_count_);
    std::vector<int> left(code_count_, 0);
    for (int i = 0; i < kCellCount; ++i) {
      if (!present_[i]) continue;
      ++left[code_[i]];
      if (Free(i)) free[code_[i]].push_back(i);
    }
    std::vector<int> safe;
    for (int code = 0; code < code_count_; ++code)
      if (left[code] > 0 && static_cast<int>(free[code].size()) == left[code])
        safe.insert(safe.end(), free[code].begin(), free[code].end());
    if (!safe.empty()) {
      for (int i : safe) present_.reset(i);
      const bool solved = Search();
      for (int i : safe) present_.set(i);
      return solved;
    }
    if (dead_.count(present_)) return false;
    if (DeadByStacks()) {
      dead_.insert(present_);
      return false;
    }
    std::vector<std::pair<int, std::pair<int, int>>> ranked;
    for (const std::vector<int>& cells : free)
      for (std::size_t x = 0; x < cells.size(); ++x)
        for (std::size_t y = x + 1; y < cells.size(); ++y)
          ranked.push_back(
              {FreedBy(cells[x], cells[y]) * 1024 + static_cast<int>(tie_breaker_() % 1024),
               {cells[x], cells[y]}});
    std::sort(ranked.begin(), ranked.end(),
              [](const auto& p, const auto& q) { return p.first > q.first; });
    const std::bitset<kCellCount> here = present_;
    for (const auto& [rank, pair] : ranked) {
      present_.reset(pair.first);
      present_.reset(pair.second);
      const bool solved = Search();
      present_.set(pair.first);
      present_.set(pair.second);
      if (solved) return true;
      if (nodes_ > limit_) return false;
    }
    dead_.insert(here);
    return false;
  }

  std::array<int, kCellCount> above_{}, below_{}, left_{}, right_{}, stack_{}, code_{};
  int code_count_ = 0;
  std::bitset<kCellCount> present_;
  std::unordered_set<std::bitset<kCellCount>> dead_;
  long nodes_ = 0;
  long limit_ = 0;
  std::mt19937 tie_breaker_;
};

}  // namespace braxo::testing
