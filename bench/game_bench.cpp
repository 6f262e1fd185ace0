// Speed of the board rules and the level generator; the figures of the play
// aids: how often the first-free-pair player clears a whole mode on random
// and on solvable deals, how long a solvable deal takes, and the memory of a
// whole level's undo history.
#include <benchmark/benchmark.h>
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <vector>

#include "game/Board.h"
#include "game/LevelGenerator.h"
#include "game/MoveHistory.h"
#include "game/PlayAids.h"

// The heap bytes in use, from the C library's allocator, for the undo
// history's figure.
namespace {
long HeapBytesInUse() { return static_cast<long>(mallinfo2().uordblks); }
}  // namespace

namespace braxo {
namespace {

void BM_GenerateLevel(benchmark::State& state) {
  const int level = static_cast<int>(state.range(0));
  FixedRandom random(42);
  Board board;
  for (auto _ : state) {
    board.Clear();
    GenerateLevel(level, board, random);
    benchmark::DoNotOptimize(board);
  }
}
BENCHMARK(BM_GenerateLevel)->DenseRange(1, 5);

Board FullLevelFive() {
  FixedRandom random(7);
  Board board;
  GenerateLevel(5, board, random);
  return board;
}

void BM_CountPossiblePairs(benchmark::State& state) {
  const Board board = FullLevelFive();
  for (auto _ : state) benchmark::DoNotOptimize(board.CountPossiblePairs());
}
BENCHMARK(BM_CountPossiblePairs);

// One hit test at each of 64 points spread over the board image.
void BM_FindFreeTileAt(benchmark::State& state) {
  const Board board = FullLevelFive();
  for (auto _ : state) {
    for (int y = 0; y < 412; y += 52)
      for (int x = 0; x < 464; x += 58) benchmark::DoNotOptimize(board.FindFreeTileAt(x, y));
  }
  state.SetItemsProcessed(state.iterations() * 64);
}
BENCHMARK(BM_FindFreeTileAt);

void BM_GenerateSolvableLevel(benchmark::State& state) {
  const int level = static_cast<int>(state.range(0));
  FixedRandom random(42);
  Board board;
  for (auto _ : state) {
    board.Clear();
    GenerateSolvableLevel(level, board, random);
    benchmark::DoNotOptimize(board);
  }
}
BENCHMARK(BM_GenerateSolvableLevel)->DenseRange(1, 5);

// 1,000 solvable deals of a level, each timed alone: the median and the 99th
// percentile in microseconds.
void BM_SolvableDealTimes(benchmark::State& state) {
  const int level = static_cast<int>(state.range(0));
  FixedRandom random(7);
  std::vector<double> micros;
  for (auto _ : state) {
    micros.clear();
    for (int deal = 0; deal < 1000; ++deal) {
      Board board;
      const auto start = std::chrono::steady_clock::now();
      GenerateSolvableLevel(level, board, random);
      const auto end = std::chrono::steady_clock::now();
      benchmark::DoNotOptimize(board);
      micros.push_back(std::chrono::duration<double, std::micro>(end - start).count());
    }
  }
  std::sort(micros.begin(), micros.end());
  state.counters["median_us"] = micros[micros.size() / 2];
  state.counters["p99_us"] = micros[micros.size() * 99 / 100];
  state.counters["max_us"] = micros.back();
}
BENCHMARK(BM_SolvableDealTimes)->DenseRange(1, 5)->Iterations(1)->Unit(benchmark::kMillisecond);

// Takes the first free pair in board order until none is left, shuffling
// the tiles left when no pair is and `shuffle` is set (as the casual mode
// offers); true when the board is cleared.
bool PlayFirstFreePairs(Board& board, bool shuffle, RandomSource& random) {
  for (;;) {
    const std::vector<TilePair> pairs = FreePairs(board);
    if (pairs.empty()) {
      if (board.IsBoardCleared() || !shuffle || !ShuffleTiles(board, random)) break;
      continue;
    }
    board.SetCode(pairs.front().first, "");
    board.SetCode(pairs.front().second, "");
  }
  return board.IsBoardCleared();
}

// 300 games of a mode (the modes deal alike; each has its own games) played
// by the first-free-pair player: the share that clears all five levels, and
// the levels cleared on average. range(1): 0 random deals, 1 solvable deals,
// 2 solvable deals and the shuffle whenever no pair is left.
void BM_FirstFreePairPlayer(benchmark::State& state) {
  const int mode = static_cast<int>(state.range(0));
  const bool solvable = state.range(1) >= 1;
  const bool shuffle = state.range(1) == 2;
  constexpr int kGames = 300;
  int completed = 0;
  int levels_cleared = 0;
  for (auto _ : state) {
    FixedRandom random(static_cast<std::uint32_t>(1000 * mode));
    completed = 0;
    levels_cleared = 0;
    for (int game = 0; game < kGames; ++game) {
      bool going_on = true;
      for (int level = 1; level <= kLevelCount && going_on; ++level) {
        Board board;
        if (solvable)
          GenerateSolvableLevel(level, board, random);
        else
          GenerateLevel(level, board, random);
        going_on = PlayFirstFreePairs(board, shuffle, random);
        levels_cleared += going_on;
      }
      completed += going_on;
    }
  }
  state.counters["completed_pct"] = 100.0 * completed / kGames;
  state.counters["levels_per_game"] = static_cast<double>(levels_cleared) / kGames;
}
BENCHMARK(BM_FirstFreePairPlayer)
    ->ArgsProduct({{1, 2, 3}, {0, 1, 2}})
    ->ArgNames({"mode", "deals"})
    ->Iterations(1)
    ->Unit(benchmark::kMillisecond);

// The undo history of a whole level 5 (the largest), played to its end as a
// casual player does (the first free pair, and a shuffle whenever none is
// left), over 100 deals: the heap bytes the history holds with its own size,
// on average and at most, and the most moves it kept.
void BM_UndoHistoryOfAWholeLevel(benchmark::State& state) {
  constexpr int kDeals = 100;
  long total_bytes = 0;
  long most_bytes = 0;
  std::size_t most_moves = 0;
  for (auto _ : state) {
    FixedRandom random(5);
    total_bytes = 0;
    most_bytes = 0;
    most_moves = 0;
    for (int deal = 0; deal < kDeals; ++deal) {
      Board board;
      GenerateLevel(5, board, random);
      const long before = HeapBytesInUse();
      MoveHistory history;
      int score = 5000;
      while (!board.IsBoardCleared()) {
        const std::vector<TilePair> pairs = FreePairs(board);
        if (pairs.empty()) {
          const Board shuffled_from = board;
          if (!ShuffleTiles(board, random)) break;
          history.RecordShuffle(shuffled_from, board, score);
          continue;
        }
        const TileCode code = board.Code(pairs.front().first);
        board.SetCode(pairs.front().first, "");
        board.SetCode(pairs.front().second, "");
        history.RecordPair(pairs.front().first, pairs.front().second, code, score, score + 100);
        score += 99;
      }
      const long bytes = HeapBytesInUse() - before + static_cast<long>(sizeof(MoveHistory));
      benchmark::DoNotOptimize(history);
      total_bytes += bytes;
      most_bytes = std::max(most_bytes, bytes);
      most_moves = std::max(most_moves, history.Size());
    }
  }
  state.counters["mean_bytes"] = static_cast<double>(total_bytes) / kDeals;
  state.counters["max_bytes"] = static_cast<double>(most_bytes);
  state.counters["max_moves"] = static_cast<double>(most_moves);
}
BENCHMARK(BM_UndoHistoryOfAWholeLevel)->Iterations(1);

}  // namespace
}  // namespace braxo

BENCHMARK_MAIN();
