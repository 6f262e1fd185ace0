// Builds the objects, wires the game's ports to the window, the files, the
// sound and the club, and runs.
#include <QApplication>

#include "app/AppDialogs.h"
#include "app/AppServices.h"
#include "game/GameState.h"
#include "game/LevelGenerator.h"
#include "ui/Drawing.h"
#include "ui/Pictures.h"
#include "ui/TForm1.h"

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QApplication::setApplicationName(QStringLiteral("braxo"));
  braxo::RegisterEmbeddedFonts();

  braxo::PictureStore pictures;
  braxo::TForm1 window(pictures);
  braxo::GameState* game = nullptr;
  braxo::AppDialogs dialogs(window, game, pictures);
  braxo::AppServices services(window, dialogs, pictures, game);
  braxo::ClockRandom random;
  braxo::GameState state({window, services.Sound(), dialogs, services.Storage(), services.Club()},
                         random, services.HelpMirrors());
  game = &state;
  dialogs.CreateWindows(state, services.MutableSettings().PlayerName, services.Champions());
  window.SetGame(&state);

  state.FormCreate();
  window.SetStoreIconVisible(services.HasStoreLink());
  window.show();
  return app.exec();
}
