// braxo_art_gen: draws every picture and synthesizes every sound of the game
// into one folder, then checks the result against the manifest the build
// embeds. Run with the offscreen platform; the output is the same on every run.
// With --desktop-icons it draws only the desktop's icons of the game instead
// (installed, not embedded).
#include <QCommandLineParser>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#include "AssetWriter.h"
#include "Canvas.h"
#include "DesktopIcons.h"
#include "Generators.h"

namespace {

// Drops two notes that say nothing about the output: the SVG parser's about
// references it cannot resolve (two flags use a small gradient the renderer
// skips; they still come out right), and the missing runtime folder, which
// an offscreen run never uses.
void QuietNotes(QtMsgType type, const QMessageLogContext& context, const QString& message) {
  if (type == QtWarningMsg && (message.startsWith("Could not resolve property") ||
                               message.startsWith("QStandardPaths: XDG_RUNTIME_DIR"))) {
    return;
  }
  std::fprintf(stderr, "%s\n", qPrintable(qFormatLogMessage(type, context, message)));
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  qInstallMessageHandler(QuietNotes);
  QGuiApplication app(argc, argv);
  QLoggingCategory::setFilterRules("qt.svg*=false");

  QCommandLineParser parser;
  parser.setApplicationDescription("Draws the pictures and sounds of Braxo.");
  parser.addHelpOption();
  const QCommandLineOption out_option("out", "Output folder.", "dir");
  const QCommandLineOption flags_option("flags", "Folder of the 4x3 flag SVGs.", "dir");
  const QCommandLineOption manifest_option("manifest", "List of the expected files.", "file");
  const QCommandLineOption font_option("font", "A font file to register (repeatable).", "file");
  const QCommandLineOption icons_option(
      "desktop-icons", "Draw only the desktop icons, into this hicolor theme folder.", "dir");
  parser.addOptions({out_option, flags_option, manifest_option, font_option, icons_option});
  parser.process(app);
  if (parser.isSet(icons_option)) {
    const QStringList problems = braxo::art::WriteDesktopIcons(parser.value(icons_option), "braxo");
    for (const QString& problem : problems) {
      std::fprintf(stderr, "braxo_art_gen: %s\n", qPrintable(problem));
    }
    return problems.isEmpty() ? 0 : 1;
  }
  if (!parser.isSet(out_option) || !parser.isSet(flags_option) || !parser.isSet(manifest_option)) {
    std::fprintf(stderr, "braxo_art_gen: --out, --flags and --manifest are required\n");
    return 2;
  }

  for (const QString& font_file : parser.values(font_option)) {
    if (QFontDatabase::addApplicationFont(font_file) < 0) {
      std::fprintf(stderr, "braxo_art_gen: cannot load font %s\n", qPrintable(font_file));
      return 1;
    }
  }
  for (const char* family : {braxo::art::kSansFamily, braxo::art::kCjkFamily}) {
    if (!QFontDatabase::hasFamily(family)) {
      std::fprintf(stderr, "braxo_art_gen: font family \"%s\" was not given with --font\n", family);
      return 1;
    }
  }

  QElapsedTimer clock;
  clock.start();
  braxo::art::AssetWriter writer(parser.value(out_option));
  const QString flag_dir = parser.value(flags_option);
  // The groups whose pictures the game draws at the screen's ratio run once
  // per ratio, each in a DrawingRatioScope.
  const auto at_ratio = [](int ratio, std::function<void()> group) {
    return [ratio, group = std::move(group)] {
      const braxo::art::DrawingRatioScope scope(ratio);
      group();
    };
  };
  std::vector<std::function<void()>> groups = {
      [&] { braxo::art::MakeScenes(writer); },
      [&] { braxo::art::MakeSounds(writer); },
  };
  // Largest groups first, so that the workers finish close together.
  for (const int ratio : {3, 2, 1}) {
    groups.insert(groups.begin() + 1,
                  at_ratio(ratio, [&] { braxo::art::MakeCountryFlags(writer, flag_dir); }));
    groups.push_back(at_ratio(ratio, [&] { braxo::art::MakeLanguageFlags(writer, flag_dir); }));
    groups.push_back(at_ratio(ratio, [&] { braxo::art::MakeBursts(writer); }));
    groups.push_back(at_ratio(ratio, [&] { braxo::art::MakeStars(writer); }));
    groups.push_back(at_ratio(ratio, [&] { braxo::art::MakeIcons(writer); }));
    groups.push_back(at_ratio(ratio, [&] { braxo::art::MakeFrames(writer); }));
    groups.push_back(at_ratio(ratio, [&] { braxo::art::MakeLettering(writer); }));
    groups.push_back(at_ratio(ratio, [&] { braxo::art::MakeTiles(writer); }));
  }
  const unsigned worker_count = std::max(1u, std::min(4u, std::thread::hardware_concurrency()));
  std::vector<std::thread> workers;
  std::atomic<size_t> next{0};
  for (unsigned w = 0; w < worker_count; ++w) {
    workers.emplace_back([&] {
      for (size_t i = next++; i < groups.size(); i = next++) groups[i]();
    });
  }
  for (std::thread& worker : workers) worker.join();

  QStringList problems = writer.Errors();
  problems << writer.CompareWithManifest(parser.value(manifest_option));
  for (const QString& problem : problems) {
    std::fprintf(stderr, "braxo_art_gen: %s\n", qPrintable(problem));
  }
  std::printf("braxo_art_gen: done in %lld ms\n", static_cast<long long>(clock.elapsed()));
  return problems.isEmpty() ? 0 : 1;
}
