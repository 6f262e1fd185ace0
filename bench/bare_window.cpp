// The floor for the game's start-up figures: a bare Qt window of the game's
// size, with nothing in it, measured in the same run as the game
// (bench/startup_figures.sh).
#include <QApplication>
#include <QWidget>

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  QWidget window;
  window.setWindowTitle(QStringLiteral("Bare Qt window"));
  window.resize(850, 510);
  window.show();
  return QApplication::exec();
}
