// The main window moving between two screens of different pixel ratios, on
// Qt's offscreen platform given two screens: one at 100 %, one at 200 %.
#include <gtest/gtest.h>

#include <QApplication>
#include <QPainter>
#include <QScreen>
#include <QTemporaryFile>
#include <QTest>
#include <QWindow>

#include "game/FakePorts.h"
#include "ui/Drawing.h"
#include "ui/ImageControl.h"
#include "ui/MainWindow.h"
#include "ui/StatusPanels.h"

namespace braxo {
namespace {

class ScreenChangeTest : public ::testing::Test {
 protected:
  ScreenChangeTest()
      : pictures_(QStringLiteral(":/assets")),
        window_(pictures_, world_.language),
        game_(GamePorts{window_, world_, world_, world_, world_, world_.session, world_.language},
              random_, {"a", "b"}, [](int, Board& board) {
                board.SetCode({1, 1, 1}, "s1");
                board.SetCode({1, 1, 6}, "s1");
                board.SetCode({1, 2, 1}, "r1");
                board.SetCode({1, 2, 6}, "k1");
              }) {
    window_.SetGame(&game_);
    game_.Start();
  }

  void SetUp() override {
    ASSERT_EQ(QGuiApplication::screens().size(), 2);
    ASSERT_NE(ScreenAt(1), nullptr);
    ASSERT_NE(ScreenAt(2), nullptr);
    window_.move(ScreenAt(1)->geometry().topLeft() + QPoint(20, 20));
    window_.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window_));
    for (int i = 0; i < 100 && world_.Only("CheckChampionsFile").empty(); ++i) QTest::qWait(10);
    ASSERT_FALSE(world_.Only("CheckChampionsFile").empty());
  }

  static QScreen* ScreenAt(double ratio) {
    for (QScreen* screen : QGuiApplication::screens())
      if (screen->devicePixelRatio() == ratio) return screen;
    return nullptr;
  }

  // Moves the window onto the screen of `ratio`.
  void MoveToScreen(double ratio) {
    QScreen* screen = ScreenAt(ratio);
    window_.move(screen->geometry().topLeft() + QPoint(20, 20));
    QTest::qWait(20);
    ASSERT_EQ(window_.windowHandle()->screen(), screen);
    ASSERT_EQ(window_.devicePixelRatioF(), screen->devicePixelRatio());
  }

  // Whether `image` shows the picture `name` of `ratio` pixel for pixel in
  // `device_area` (a part where nothing is drawn over it).
  bool Shows(const QImage& image, const QString& name, int ratio, const QRect& device_area) {
    const QImage& picture = pictures_.LoadPicture(name, ratio);
    if (picture.devicePixelRatio() != ratio || image.devicePixelRatio() != ratio) return false;
    for (int y = device_area.top(); y <= device_area.bottom(); ++y)
      for (int x = device_area.left(); x <= device_area.right(); ++x)
        if (image.pixel(x, y) != picture.pixel(x, y)) return false;
    return true;
  }

  PictureStore pictures_;
  testing::FakeWorld world_;
  MainWindow window_;
  FixedRandom random_{1};
  GameState game_;
};

TEST_F(ScreenChangeTest, TheTitleIsDrawnAgainAtTheRatioOfTheScreenItMovesTo) {
  EXPECT_EQ(window_.BoardImage().PixelRatio(), 1);
  const int steps = window_.Title().Steps();
  MoveToScreen(2);
  const QImage& title = window_.BoardImage().Image();
  EXPECT_EQ(window_.BoardImage().PixelRatio(), 2);
  EXPECT_EQ(title.size(), QSize(1700, 1020));
  // The frames' silver and the makers' mark are there at once, drawn at 2x,
  // and the animation went on from where it stood.
  EXPECT_EQ(title.pixelColor(320, 180), QColor(192, 192, 192));
  EXPECT_EQ(title.pixelColor(300, 160), QColor(Qt::white));  // the outer frame's rim
  EXPECT_GE(window_.Title().Steps(), steps);
  MoveToScreen(1);
  EXPECT_EQ(window_.BoardImage().PixelRatio(), 1);
  EXPECT_EQ(window_.BoardImage().Image().pixelColor(160, 90), QColor(192, 192, 192));
}

TEST_F(ScreenChangeTest, TheBoardPanelsCaptionAndIconsTakeThe2xPicturesOnA200PercentScreen) {
  QTest::mouseClick(&window_.BoardImage(), Qt::LeftButton, {}, QPoint(400, 300));
  ASSERT_TRUE(game_.Playing());
  window_.ShowOnlineIcons();
  // Inside the panel's gilded border, along its top, where no text lies.
  const QRect panel_border_1x(20, 3, 140, 2);
  const QRect panel_border_2x(40, 6, 280, 4);
  EXPECT_TRUE(Shows(window_.StatusPanel(1).Image(), "Ramka180", 1, panel_border_1x));

  MoveToScreen(2);
  EXPECT_EQ(window_.BoardImage().PixelRatio(), 2);
  EXPECT_EQ(window_.Caption().PixelRatio(), 2);
  for (int n = 1; n <= 4; ++n) {
    SCOPED_TRACE(n);
    EXPECT_EQ(window_.StatusPanel(n).PixelRatio(), 2);
    EXPECT_TRUE(Shows(window_.StatusPanel(n).Image(), "Ramka180", 2, panel_border_2x));
  }
  // The tiles at 2x on the board.
  const CellRect& r = game_.GameBoard().Rect({1, 1, 1});
  const QImage& tile = pictures_.LoadPicture("GKSun1", 2);
  ASSERT_EQ(tile.devicePixelRatio(), 2);
  const QPoint face((r.left + 40) * 2, (r.top + 40) * 2);
  EXPECT_EQ(window_.BoardImage().Image().pixel(face), tile.pixel(80, 80));

  MoveToScreen(1);
  EXPECT_EQ(window_.Caption().PixelRatio(), 1);
  EXPECT_TRUE(Shows(window_.StatusPanel(1).Image(), "Ramka180", 1, panel_border_1x));
}

// A dialog's image controls are made on the dialog's screen: the pictures it
// draws into them are the ones drawn for that screen's ratio.
TEST(ImageControlScreenTest, ANewControlDrawsAtTheRatioOfItsWindowsScreen) {
  PictureStore pictures(QStringLiteral(":/assets"));
  for (const int ratio : {1, 2}) {
    SCOPED_TRACE(ratio);
    QScreen* screen = nullptr;
    for (QScreen* candidate : QGuiApplication::screens())
      if (candidate->devicePixelRatio() == ratio) screen = candidate;
    ASSERT_NE(screen, nullptr);
    QWidget dialog;
    dialog.setScreen(screen);
    dialog.move(screen->geometry().topLeft() + QPoint(20, 20));
    ImageControl control(&dialog);
    control.Place(10, 10, 150, 182);
    EXPECT_EQ(control.PixelRatio(), ratio);
    EXPECT_EQ(control.Image().size(), QSize(150, 182) * ratio);
    EXPECT_EQ(control.Image().deviceIndependentSize(), QSizeF(150, 182));

    QPainter painter(&control.Image());
    const QImage& flag = pictures.PictureFor(painter, "FlagEng");
    painter.drawImage(0, 0, flag);
    painter.end();
    EXPECT_EQ(flag.devicePixelRatio(), ratio);
    // The cloth's pixels are the flag's own, device pixel for device pixel.
    const QPoint cloth(80 * ratio, 60 * ratio);
    EXPECT_EQ(control.Image().pixel(cloth), flag.pixel(cloth) | 0xff000000u);
  }
}

}  // namespace
}  // namespace braxo

int main(int argc, char** argv) {
  // Two screens side by side, the second at twice the pixel ratio.
  QTemporaryFile config;
  if (!config.open()) return 1;
  config.write(R"({"screens": [
    {"name": "Normal", "x": 0, "y": 0, "width": 1920, "height": 1080,
     "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 1},
    {"name": "Fine", "x": 1920, "y": 0, "width": 1920, "height": 1080,
     "logicalDpi": 96, "logicalBaseDpi": 96, "dpr": 2}]})");
  config.flush();
  qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" + config.fileName().toLocal8Bit());
  QApplication app(argc, argv);
  braxo::RegisterEmbeddedFonts();
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
