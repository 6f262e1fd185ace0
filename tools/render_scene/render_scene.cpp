// Renders scenes of the game to PNG files, offscreen: the title screen, a
// full level-5 board in each mode, the play aids (free-tile marks, the pause
// panel, the question that offers a saved game, the level-cleared and
// game-over messages), the world top ten and chat windows and,
// when the club server is built, the club account window against a real
// braxo-club with a fresh database (started on loopback for the scene and
// stopped afterwards).
//
//   render_scene OUTPUT_DIRECTORY
#include <QApplication>
#include <QDir>
#include <QMessageBox>
#include <QPainter>
#include <cmath>
#include <cstdio>
#include <utility>

#include "ClubScenes.h"
#ifdef BRAXO_SCENE_WITH_CLUB
#include "AccountScene.h"
#endif

#include "game/LevelGenerator.h"
#include "game/NullPorts.h"
#include "game/PlayAids.h"
#include "ui/Drawing.h"
#include "ui/MainWindow.h"

namespace {

bool Save(braxo::MainWindow& window, const QDir& out, const char* name) {
  for (int panel = 1; panel <= 4; ++panel) window.DrawStatusPanel(panel);
  window.RenderBoard();
  QApplication::processEvents();
  return window.Snapshot().save(out.filePath(QString::fromLatin1(name)));
}

// Plays the first free pair of the board through the game.
void TakeFirstPair(braxo::GameState& game) {
  const std::vector<braxo::TilePair> pairs = braxo::FreePairs(game.GameBoard());
  if (pairs.empty()) return;
  for (const braxo::BoardCell& cell : {pairs.front().first, pairs.front().second}) {
    const braxo::CellRect& r = game.GameBoard().Rect(cell);
    game.PressBoardAt(r.left + 35, r.top + 35);
  }
  while (game.StepBurstsIfRunning()) {
  }
}

bool RenderPlayAids(braxo::GameState& game, braxo::MainWindow& window, braxo::FixedRandom& random,
                    const QDir& out) {
  // A game going on (a random first deal may have no pair at all).
  for (int deal = 0; deal < 10 && !game.GameGoingOn(); ++deal) game.StartNormalGame();
  // A level-3 Normal game some pairs in, the blocked tiles dimmed, one tile
  // selected.
  braxo::GamePosition position;
  position.level = 3;
  braxo::GenerateSolvableLevel(3, position.board, random);
  game.SetPosition(std::move(position));
  for (int pair = 0; pair < 6; ++pair) TakeFirstPair(game);
  const std::vector<braxo::TilePair> next = braxo::FreePairs(game.GameBoard());
  if (!next.empty()) {
    const braxo::CellRect& r = game.GameBoard().Rect(next.front().first);
    game.PressBoardAt(r.left + 35, r.top + 35);
  }
  bool ok = Save(window, out, "free-tiles.png");

  game.Pause();
  ok = Save(window, out, "paused.png") && ok;

  // The question at the next start, over the saved game's hidden board.
  QMessageBox question(QMessageBox::Question, window.windowTitle(),
                       QString::fromStdString(game.Text(braxo::MsgId::MsgResumeQuestion)),
                       QMessageBox::Yes | QMessageBox::No, &window);
  question.show();
  QApplication::processEvents();
  QImage scene = window.Snapshot();
  {
    const QImage box = question.grab().toImage();
    QPainter painter(&scene);
    painter.drawImage((scene.width() - box.width()) / 2, (scene.height() - box.height()) / 2, box);
  }
  question.hide();
  ok = scene.save(out.filePath("resume.png")) && ok;
  game.Resume();

  // A level cleared: the last pair taken and the clock's next tick.
  while (!braxo::FreePairs(game.GameBoard()).empty()) TakeFirstPair(game);
  braxo::GamePosition cleared = game.Position();
  cleared.board.Clear();
  cleared.clock_running = true;
  game.SetPosition(std::move(cleared));
  game.Tick();
  ok = Save(window, out, "level-cleared.png") && ok;

  // A level 4 with no pair left: the clock's tick ends the game.
  braxo::GamePosition stuck;
  stuck.level = 4;
  stuck.score = 6873;
  braxo::GenerateLevel(4, stuck.board, random);
  while (!braxo::FreePairs(stuck.board).empty()) {
    const braxo::TilePair pair = braxo::FreePairs(stuck.board).front();
    stuck.board.SetCode(pair.first, "");
    stuck.board.SetCode(pair.second, "");
  }
  stuck.clock_running = true;
  game.StartNormalGame();
  game.SetPosition(std::move(stuck));
  game.Tick();
  ok = Save(window, out, "game-over.png") && ok;
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUTPUT_DIRECTORY\n", argv[0]);
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  braxo::RegisterEmbeddedFonts();
  const QDir out(QString::fromLocal8Bit(argv[1]));
  if (!out.exists() && !QDir().mkpath(out.path())) {
    std::fprintf(stderr, "cannot create %s\n", argv[1]);
    return 1;
  }

  braxo::PictureStore pictures;
  braxo::testing::NullPorts world;
  braxo::MainWindow window(pictures, world.language);
  braxo::FixedRandom random(2026);
  braxo::GameState game({window, world, world, world, world, world.session, world.language}, random,
                        {"a", "b"});
  window.SetGame(&game);
  game.Start();
  window.show();
  QApplication::processEvents();
  game.Paint();
  for (int step = 0; step < 37; ++step) game.Tick();
  window.TickTimer().stop();
  bool ok = window.Snapshot().save(out.filePath("title.png"));

  game.LeaveTitleScreen();
  const std::pair<braxo::GameMode, const char*> modes[] = {{braxo::GameMode::kNormal, "normal"},
                                                           {braxo::GameMode::kExtra, "extra"},
                                                           {braxo::GameMode::kSuper, "super"}};
  for (const auto& [mode, name] : modes) {
    // A full level 5, dealt as the game deals it, with a tile of the top
    // layer selected.
    braxo::GamePosition position;
    position.mode = mode;
    position.level = 5;
    braxo::GenerateLevel(5, position.board, random);
    position.selection = {3, 1, 1};
    game.SetPosition(std::move(position));
    window.RenderBoard();
    for (int panel = 1; panel <= 4; ++panel) window.DrawStatusPanel(panel);
    QApplication::processEvents();
    ok = window.Snapshot().save(out.filePath(QStringLiteral("level5-%1.png").arg(name))) && ok;
  }
  // The last board, the Super mode's, at 100 %, 150 % and 200 %: the
  // pictures drawn for the ratio, the captions in real fonts. On a screen of
  // another pixel ratio than 1 (QT_SCREEN_SCALE_FACTORS) the window keeps its
  // design size and the screen's ratio is the scale; on a screen of ratio 1
  // the window is resized to that much of its design size.
  const double screen_ratio = window.devicePixelRatioF();
  if (screen_ratio != 1.0) {
    const auto percent = static_cast<int>(std::lround(screen_ratio * 100));
    ok = window.Snapshot().save(out.filePath(QStringLiteral("scaled-%1.png").arg(percent))) && ok;
  } else {
    for (const int percent : {100, 150, 200}) {
      window.resize(850 * percent / 100, 510 * percent / 100);
      QApplication::processEvents();
      ok = window.Snapshot().save(out.filePath(QStringLiteral("scaled-%1.png").arg(percent))) && ok;
    }
  }
  window.resize(850, 510);
  QApplication::processEvents();
  window.TickTimer().stop();
  ok = RenderPlayAids(game, window, random, out) && ok;
  ok = braxo::RenderClubWindows(out, pictures) && ok;
#ifdef BRAXO_SCENE_WITH_CLUB
  ok = braxo::RenderAccountScene(pictures, out) && ok;
#endif
  if (!ok) std::fprintf(stderr, "could not write every picture\n");
  return ok ? 0 : 1;
}
