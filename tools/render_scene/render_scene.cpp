// Renders scenes of the game to PNG files, offscreen: the title screen and a
// full level-5 board in each mode.
//
//   render_scene OUTPUT_DIRECTORY
#include <QApplication>
#include <QDir>
#include <cstdio>

#include "game/NullPorts.h"
#include "ui/Drawing.h"
#include "ui/TForm1.h"

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
  braxo::TForm1 window(pictures);
  braxo::testing::NullPorts world;
  braxo::FixedRandom random(2026);
  braxo::GameState game({window, world, world, world, world, world.session}, random, {"a", "b"});
  window.SetGame(&game);
  game.FormCreate();
  window.show();
  QApplication::processEvents();
  game.FormPaint();
  for (int step = 0; step < 37; ++step) game.Timer1Timer();
  window.MainTimer().stop();
  bool ok = window.Snapshot().save(out.filePath("title.png"));

  game.Image1Click();
  const char* names[] = {"normal", "extra", "super"};
  for (int mode = 1; mode <= 3; ++mode) {
    game.GameMode = mode;
    game.Level = 5;
    game.NewLevel(false);
    game.Selection = {3, 1, 1};
    window.RenderBoard();
    QApplication::processEvents();
    ok = window.Snapshot().save(out.filePath(QStringLiteral("level5-%1.png").arg(names[mode - 1]))) && ok;
  }
  window.MainTimer().stop();
  if (!ok) std::fprintf(stderr, "could not write every picture\n");
  return ok ? 0 : 1;
}
