// Builds the objects, wires the game's ports to the window, the files, the
// sound and the club, and runs.
#include <sys/socket.h>
#include <unistd.h>

#include <QApplication>
#include <QSocketNotifier>
#include <QTimer>
#include <algorithm>
#include <chrono>
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
    char byte = 0;
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
    struct timespec now {};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now;
  }();
  struct timespec now {};
  clock_gettime(CLOCK_MONOTONIC, &now);
  std::fprintf(stderr, "startup %7.1f ms %s\n",
               (now.tv_sec - start.tv_sec) * 1e3 + (now.tv_nsec - start.tv_nsec) / 1e6, step);
}

constexpr std::chrono::seconds kTitleDeadline(10);

// With BRAXO_EXIT_AFTER_TITLE_MS=N, for testing an installed game: once the
// title screen is up and the start-up's club steps have run, the game waits
// N ms more, prints "title screen shown", saves a picture of the window to
// $BRAXO_TITLE_SNAPSHOT when that is set, and closes as its close box does,
// so the run ends as a player's would. It exits with status 1 when the title
// screen is not up within ten seconds.
void ExitAfterTitle(braxo::MainWindow& window, const braxo::GameState& game) {
  const char* value = std::getenv("BRAXO_EXIT_AFTER_TITLE_MS");
  if (value == nullptr) return;
  const int delay_ms = static_cast<int>(std::clamp(std::strtol(value, nullptr, 10), 0L, 60000L));
  const auto started = std::chrono::steady_clock::now();
  auto* poll = new QTimer(&window);
  QObject::connect(poll, &QTimer::timeout, &window, [&window, &game, poll, delay_ms, started] {
    if (!(game.OnTitleScreen() && game.ClubStarted() && window.isVisible())) {
      if (std::chrono::steady_clock::now() - started < kTitleDeadline) return;
      std::fprintf(stderr, "braxo: no title screen within 10 s\n");
      QApplication::exit(1);
      return;
    }
    poll->stop();
    QTimer::singleShot(delay_ms, &window, [&window] {
      std::printf("title screen shown\n");
      std::fflush(stdout);
      const char* snapshot = std::getenv("BRAXO_TITLE_SNAPSHOT");
      if (snapshot != nullptr && !window.Snapshot().save(QString::fromLocal8Bit(snapshot), "PNG")) {
        std::fprintf(stderr, "braxo: cannot save %s\n", snapshot);
        QApplication::exit(1);
        return;
      }
      window.close();
      QApplication::quit();
    });
  });
  poll->start(20);
}

}  // namespace

int main(int argc, char** argv) {
  TraceStartup("main");
  QApplication app(argc, argv);
  TraceStartup("application");
  QApplication::setApplicationName(QStringLiteral("braxo"));
  // The desktop entry's name (without ".desktop"), which Wayland desktops
  // match to show the game's icon; the build passes it in.
  QGuiApplication::setDesktopFileName(QStringLiteral(BRAXO_APP_ID));
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
  TraceStartup("creation");
  CloseOnTerminationSignals(window);
  ExitAfterTitle(window, game);
  window.RestorePlacement(services.MutableOptions());
  window.show();
  TraceStartup("shown");
  QTimer::singleShot(0, &window, [] { TraceStartup("event loop running"); });
  const int status = QApplication::exec();
  // A usage report still out when the window closed (a game that had just
  // ended) goes out whole, within the club client's bounds, and the start's
  // outcome is saved when its reply comes; the window is already gone.
  if (services.ReportsInFlight()) {
    services.WhenReportsSettled([] { QApplication::quit(); });
    QApplication::exec();
  }
  window.KeepPlacement(services.MutableOptions());
  services.SaveOptions();
  return status;
}
