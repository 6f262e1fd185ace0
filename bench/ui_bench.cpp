// Painting a full level-5 board: pictures decoded on every draw against
// pictures decoded once and kept; and the full board redrawn at 1x, 2x and
// 3x device pixels per design pixel (a window at 100 %, 200 %, 300 %), with
// the median and the 99th percentile of single redraws.
#include <benchmark/benchmark.h>

#include <QGuiApplication>
#include <algorithm>
#include <chrono>
#include <vector>

#include "game/GameState.h"
#include "game/LevelGenerator.h"
#include "ui/BoardRenderer.h"
#include "ui/Pictures.h"

namespace braxo {
namespace {

void RenderFullLevelFive(benchmark::State& state, bool caching) {
  FixedRandom random(5);
  Board board;
  GenerateLevel(5, board, random);
  const BoardCell selection{3, 1, 1};
  GameStatus status;
  status.level = 5;
  PictureStore pictures;
  pictures.SetCaching(caching);
  QImage image(kBoardImageWidth, kBoardImageHeight, QImage::Format_RGB32);
  for (auto _ : state) {
    RenderBoard(image, board, selection, status, pictures);
    benchmark::DoNotOptimize(image.constBits());
  }
}

void BM_RenderBoard_DecodeEveryDraw(benchmark::State& state) { RenderFullLevelFive(state, false); }
void BM_RenderBoard_Cached(benchmark::State& state) { RenderFullLevelFive(state, true); }
BENCHMARK(BM_RenderBoard_DecodeEveryDraw)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RenderBoard_Cached)->Unit(benchmark::kMicrosecond);

// A full redraw of the board image as the window makes it at a pixel ratio:
// the tiles drawn for that ratio, kept once decoded.
void BM_RenderBoard_AtPixelRatio(benchmark::State& state) {
  const int ratio = static_cast<int>(state.range(0));
  FixedRandom random(5);
  Board board;
  GenerateLevel(5, board, random);
  GameStatus status;
  status.level = 5;
  BoardOverlay overlay;
  overlay.selection = {3, 1, 1};
  overlay.mark_free_tiles = true;
  PictureStore pictures;
  QImage image(kBoardImageWidth * ratio, kBoardImageHeight * ratio, QImage::Format_RGB32);
  image.setDevicePixelRatio(ratio);
  RenderBoard(image, board, overlay, status, pictures);  // the pictures decoded once
  std::vector<double> micros;
  for (auto _ : state) {
    const auto start = std::chrono::steady_clock::now();
    RenderBoard(image, board, overlay, status, pictures);
    benchmark::DoNotOptimize(image.constBits());
    micros.push_back(
        std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start)
            .count());
  }
  std::sort(micros.begin(), micros.end());
  const auto at = [&micros](double fraction) {
    return micros[static_cast<std::size_t>(fraction * static_cast<double>(micros.size() - 1))];
  };
  state.counters["median_us"] = at(0.5);
  state.counters["p99_us"] = at(0.99);
}
BENCHMARK(BM_RenderBoard_AtPixelRatio)->Arg(1)->Arg(2)->Arg(3)->Unit(benchmark::kMicrosecond);

}  // namespace
}  // namespace braxo

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
