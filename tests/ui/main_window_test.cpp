#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>
#include <functional>

#include "game/FakePorts.h"
#include "ui/MainWindow.h"
#include "ui/TestPictures.h"

namespace braxo {
namespace {

class MainWindowTest : public ::testing::Test {
 protected:
  MainWindowTest()
      : pictures_(test_pictures_.Root()),
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
    window_.show();
  }

  // Waits until the first paint's sequence has run.
  void WaitForTitle() {
    for (int i = 0; i < 100 && world_.Only("CheckChampionsFile").empty(); ++i) QTest::qWait(10);
    ASSERT_FALSE(world_.Only("CheckChampionsFile").empty());
  }

  testing::TestPictures test_pictures_;
  PictureStore pictures_;
  testing::FakeWorld world_;
  MainWindow window_;
  FixedRandom random_{1};
  GameState game_;
};

TEST_F(MainWindowTest, TitleScreenCoversTheWindowAndAnimates) {
  WaitForTitle();
  EXPECT_EQ(window_.size(), QSize(850, 510));
  EXPECT_EQ(window_.BoardImage().geometry(), QRect(0, 0, 850, 510));
  EXPECT_EQ(window_.BoardImage().Image().pixelColor(0, 0), QColor(Qt::black));
  EXPECT_TRUE(window_.TickTimer().isActive());
  EXPECT_EQ(window_.TickTimer().interval(), 10);
  const int ticks = window_.Title().Ticks();
  QTest::qWait(100);
  EXPECT_NE(window_.Title().Ticks(), ticks);
}

TEST_F(MainWindowTest, TitleWaitsWhileNobodySeesItAndGoesOnFromTheSameStep) {
  WaitForTitle();
  QTest::qWait(50);
  struct Case {
    const char* label;
    std::function<void()> conceal;
    std::function<void()> reveal;
  };
  const Case cases[] = {
      {"minimized", [this] { window_.setWindowState(Qt::WindowMinimized); },
       [this] { window_.setWindowState(Qt::WindowNoState); }},
      {"hidden", [this] { window_.hide(); }, [this] { window_.show(); }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    c.conceal();
    for (int i = 0; i < 100 && !window_.TitlePaused(); ++i) QTest::qWait(5);
    ASSERT_TRUE(window_.TitlePaused());
    EXPECT_FALSE(window_.TickTimer().isActive());
    const int paused_at = window_.Title().Ticks();
    QTest::qWait(100);
    EXPECT_EQ(window_.Title().Ticks(), paused_at);

    c.reveal();
    for (int i = 0; i < 200 && window_.Title().Ticks() == paused_at; ++i) QTest::qWait(1);
    // The steps go on from the one that was next: neither from the start nor
    // caught up by the ten or more steps the pause lasted (a loaded machine
    // may run one or two more before this loop looks again).
    EXPECT_GE(window_.Title().Ticks(), paused_at + 1);
    EXPECT_LE(window_.Title().Ticks(), paused_at + 3);
    EXPECT_FALSE(window_.TitlePaused());
    EXPECT_TRUE(window_.TickTimer().isActive());
  }
}

TEST_F(MainWindowTest, ClickLeavesTheTitleAndPairsBurstAway) {
  WaitForTitle();
  QTest::mouseClick(&window_.BoardImage(), Qt::LeftButton, {}, QPoint(400, 300));
  ASSERT_TRUE(game_.Playing());
  EXPECT_EQ(window_.BoardImage().geometry(), QRect(193, 88, 464, 412));
  EXPECT_EQ(window_.TickTimer().interval(), 1000);
  for (int n = 1; n <= 4; ++n) EXPECT_TRUE(window_.StatusPanel(n).isVisible()) << n;
  EXPECT_EQ(window_.StatusPanel(3).geometry(), QRect(658, 295, 180, 100));

  QTest::mousePress(&window_.BoardImage(), Qt::LeftButton, {}, QPoint(50, 50));
  QTest::mousePress(&window_.BoardImage(), Qt::LeftButton, {}, QPoint(400, 50));
  EXPECT_EQ(game_.Score(), 5100);
  EXPECT_TRUE(window_.AnimationTimer().isActive());
  QTRY_VERIFY_WITH_TIMEOUT(!window_.AnimationTimer().isActive(), 5000);
  EXPECT_FALSE(game_.GameBoard().HasTile({1, 1, 1}));
  EXPECT_FALSE(game_.GameBoard().HasTile({1, 1, 6}));
  EXPECT_EQ(window_.BoardImage().Image().pixelColor(50, 50), testing::kLevelPicture);
}

TEST_F(MainWindowTest, PointerIsAHandOverAFreeTileOnly) {
  WaitForTitle();
  QTest::mouseClick(&window_.BoardImage(), Qt::LeftButton, {}, QPoint(400, 300));
  QTest::mouseMove(&window_.BoardImage(), QPoint(50, 50));
  EXPECT_EQ(window_.BoardImage().cursor().shape(), Qt::PointingHandCursor);
  QTest::mouseMove(&window_.BoardImage(), QPoint(250, 250));
  EXPECT_EQ(window_.BoardImage().cursor().shape(), Qt::ArrowCursor);
}

TEST_F(MainWindowTest, IdleWindowStopsRepainting) {
  // A paint must not ask for the next one: an endless chain of repaints
  // starves every modal window opened over the game.
  struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* event) override {
      if (event->type() == QEvent::Paint) ++paints;
      return false;
    }
  } counter;
  WaitForTitle();
  QTest::mouseClick(&window_.BoardImage(), Qt::LeftButton, {}, QPoint(400, 300));
  window_.update();
  QTest::qWait(100);
  window_.installEventFilter(&counter);
  QTest::qWait(300);
  EXPECT_LE(counter.paints, 2);
}

TEST_F(MainWindowTest, ClosingRunsTheShutDownOnce) {
  WaitForTitle();
  window_.close();
  window_.close();
  EXPECT_EQ(world_.Only("SaveSettings").size(), 2u);  // the start report's save and the close
  EXPECT_EQ(world_.Only("Sound release").size(), 1u);
}

}  // namespace
}  // namespace braxo
