// Painting a full level-5 board: pictures decoded on every draw against
// pictures decoded once and kept.
#include <benchmark/benchmark.h>

#include <QGuiApplication>

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

}  // namespace
}  // namespace braxo

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  benchmark::Initialize(&argc, argv);
  benchmark::RunSpecifiedBenchmarks();
  return 0;
}
