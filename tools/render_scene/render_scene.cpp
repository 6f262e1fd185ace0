// Renders scenes of the game to PNG files, offscreen: the title screen, a
// full level-5 board in each mode, the world top ten and chat windows and,
// when the club server is built, the club account window against a real
// braxo-club with a fresh database (started on loopback for the scene and
// stopped afterwards).
//
//   render_scene OUTPUT_DIRECTORY
#include <QApplication>
#include <QDir>
#include <cstdio>
#include <utility>

#include "ClubScenes.h"
#ifdef BRAXO_SCENE_WITH_CLUB
#include "AccountScene.h"
#endif

#include "game/LevelGenerator.h"
#include "game/NullPorts.h"
#include "ui/Drawing.h"
#include "ui/MainWindow.h"

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
  window.TickTimer().stop();
  ok = braxo::RenderClubWindows(out, pictures) && ok;
#ifdef BRAXO_SCENE_WITH_CLUB
  ok = braxo::RenderAccountScene(pictures, out) && ok;
#endif
  if (!ok) std::fprintf(stderr, "could not write every picture\n");
  return ok ? 0 : 1;
}
