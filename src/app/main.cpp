// Builds the objects, wires the game's ports to the window, the files, the
// sound and the club, and runs.
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "app/AppDialogs.h"
#include "app/AppServices.h"
#include "game/GameState.h"
#include "game/InterfaceLanguage.h"
#include "game/LevelGenerator.h"
#include "ui/Drawing.h"
#include "ui/MainWindow.h"
#include "ui/Pictures.h"

namespace {

int signal_pipe[2] = {-1, -1};

void OnTerminationSignal(int) {
  const char byte = 1;
  [[maybe_unused]] const ssize_t written = write(signal_pipe[1], &byte, 1);
}

// SIGTERM, SIGINT and SIGHUP (a logout, `kill`, Ctrl+C in a terminal) close
// the main window as its close box does, so the settings are saved on the
// way out. The handler only writes a byte; the window closes from the event
// loop.
void CloseOnTerminationSignals(QWidget& window) {
  if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, signal_pipe) != 0) return;
  auto* notifier = new QSocketNotifier(signal_pipe[0], QSocketNotifier::Read, &window);
  QObject::connect(notifier, &QSocketNotifier::activated, &window, [&window] {
    char byte;
    [[maybe_unused]] const ssize_t got = read(signal_pipe[0], &byte, 1);
    window.close();
    // Also ends modal windows that are open at that moment.
    QApplication::quit();
  });
  struct sigaction action = {};
  action.sa_handler = OnTerminationSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  for (int signal_number : {SIGTERM, SIGINT, SIGHUP}) sigaction(signal_number, &action, nullptr);
}

// With BRAXO_TRACE_STARTUP set, the milliseconds since main began at each
// step of the start-up go to stderr: the profile of what the window waits
// for.
void TraceStartup(const char* step) {
  static const bool enabled = std::getenv("BRAXO_TRACE_STARTUP") != nullptr;
  if (!enabled) return;
  static const auto start = [] {
    struct timespec now;
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
  }();
  struct timespec now;
  clock_gettime(CLOCK_MONOTONIC, &now);
  std::fprintf(stderr, "startup %7.1f ms %s\n",
               (now.tv_sec - start.tv_sec) * 1e3 + (now.tv_nsec - start.tv_nsec) / 1e6, step);
}

}  // namespace

int main(int argc, char** argv) {
  TraceStartup("main");
  QApplication app(argc, argv);
  TraceStartup("application");
  QApplication::setApplicationName(QStringLiteral("braxo"));
  braxo::RegisterEmbeddedFonts();
  TraceStartup("fonts");

  braxo::PictureStore pictures;
  braxo::InterfaceLanguage language;
  braxo::MainWindow window(pictures, language);
  TraceStartup("main window");
  braxo::AppDialogs dialogs(window, language, pictures);
  braxo::AppServices services(window, dialogs, pictures, language);
  TraceStartup("services");
  braxo::ClockRandom random;
  braxo::GameState game({window, services.Sound(), dialogs, services.Storage(), services.Club(),
                         services.Session(), language},
                        random, services.HelpMirrors());
  dialogs.CreateWindows(services.MutableSettings().player_name, services.Champions());
  dialogs.AttachClub(services);
  dialogs.AttachOptions(&services.MutableOptions(), [&services] { services.SaveOptions(); });
  window.SetGame(&game);
  TraceStartup("game and dialogs");

  services.SetConfigPageListener([&] { window.SetStoreIconVisible(services.HasStoreLink()); });
  game.Start();
  TraceStartup("creation (sound started)");
  CloseOnTerminationSignals(window);
  window.show();
  TraceStartup("shown");
  QTimer::singleShot(0, &window, [] { TraceStartup("event loop running"); });
  return app.exec();
}
