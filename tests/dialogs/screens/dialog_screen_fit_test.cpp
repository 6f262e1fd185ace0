// Every dialog fits inside the screen it opens on, on a small laptop screen at
// 100 % and on a 4K screen at 300 % (the program runs once per screen: the
// screen is given as --screen=<width>x<height>@<ratio> in device pixels).
#include <gtest/gtest.h>

#include <QApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QTemporaryFile>
#include <QTest>
#include <string>

#include "dialogs/EveryWindow.h"
#include "ui/Drawing.h"

namespace braxo {
namespace {

using dialogs_test::Windows;
using dialogs_test::WindowWorld;

struct ScreenSpec {
  int width = 1366;  // device pixels
  int height = 768;
  int ratio = 1;
};
ScreenSpec the_screen;

class DialogScreenFit : public ::testing::TestWithParam<dialogs_test::WindowCase> {
 protected:
  static void SetUpTestSuite() { world_ = new WindowWorld; }
  static void TearDownTestSuite() {
    delete world_;
    world_ = nullptr;
  }
  static WindowWorld* world_;
};

WindowWorld* DialogScreenFit::world_ = nullptr;

TEST_P(DialogScreenFit, EveryWindowLiesInsideTheScreen) {
  QScreen* screen = QGuiApplication::primaryScreen();
  ASSERT_NE(screen, nullptr);
  ASSERT_EQ(screen->devicePixelRatio(), the_screen.ratio);
  // The room a window has, in the logical pixels it is laid out in.
  const QRect room = screen->availableGeometry();
  ASSERT_EQ(room.size(), QSize(the_screen.width, the_screen.height) / the_screen.ratio);
  Windows windows;
  GetParam().open(*world_, 0, windows);
  ASSERT_FALSE(windows.empty());
  for (auto& window : windows) {
    ASSERT_TRUE(QTest::qWaitForWindowExposed(window.get()));
    SCOPED_TRACE(window->metaObject()->className());
    const QRect frame = window->frameGeometry();
    EXPECT_TRUE(room.contains(frame))
        << frame.x() << "," << frame.y() << " " << frame.width() << "x" << frame.height()
        << " outside " << room.width() << "x" << room.height();
    // Nothing the window holds asks for more room than it has.
    EXPECT_LE(window->minimumSizeHint().width(), room.width());
    EXPECT_LE(window->minimumSizeHint().height(), room.height());
    // Its pictures are drawn for the screen's ratio.
    EXPECT_EQ(window->devicePixelRatioF(), the_screen.ratio);
  }
}

INSTANTIATE_TEST_SUITE_P(Windows, DialogScreenFit, ::testing::ValuesIn(dialogs_test::WindowCases()),
                         [](const ::testing::TestParamInfo<dialogs_test::WindowCase>& info) {
                           return std::string(info.param.name);
                         });

}  // namespace
}  // namespace braxo

int main(int argc, char** argv) {
  const QRegularExpression screen_option(QStringLiteral("^--screen=(\\d+)x(\\d+)@(\\d+)$"));
  for (int i = 1; i < argc; ++i) {
    const QRegularExpressionMatch match = screen_option.match(QString::fromLocal8Bit(argv[i]));
    if (match.hasMatch()) {
      braxo::the_screen = {match.captured(1).toInt(), match.captured(2).toInt(),
                           match.captured(3).toInt()};
    }
  }
  // The platform's screen is given in logical pixels.
  QTemporaryFile config;
  if (!config.open()) return 1;
  config.write(QStringLiteral(R"({"screens": [
    {"name": "Screen", "x": 0, "y": 0, "width": %1, "height": %2,
     "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": %3}]})")
                   .arg(braxo::the_screen.width / braxo::the_screen.ratio)
                   .arg(braxo::the_screen.height / braxo::the_screen.ratio)
                   .arg(braxo::the_screen.ratio)
                   .toUtf8());
  config.flush();
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
  QApplication app(argc, argv);
  braxo::RegisterEmbeddedFonts();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
