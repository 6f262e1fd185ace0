// Speed of the board rules and the level generator.
#include <benchmark/benchmark.h>

#include "game/Board.h"
#include "game/LevelGenerator.h"

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

}  // namespace
}  // namespace braxo

BENCHMARK_MAIN();
