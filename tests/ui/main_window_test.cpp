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
              random_, {"a", "b"}, [this](int, Board& board) {
                if (!deal_.empty()) {
                  ASSERT_TRUE(board.FromText(deal_));
                  return;
                }
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
  // The board every level deals, when given; else two pairs' worth of tiles
  // with one pair.
  std::string deal_;
  GameState game_;

  void LeaveTitle() {
    WaitForTitle();
    QTest::mouseClick(&window_.BoardImage(), Qt::LeftButton, {}, QPoint(400, 300));
    ASSERT_TRUE(game_.Playing());
  }
  QColor BoardAt(const BoardCell& cell, int dx = 40, int dy = 40) {
    const CellRect& r = game_.GameBoard().Rect(cell);
    return window_.BoardImage().Image().pixelColor(r.left + dx, r.top + dy);
  }
};

TEST_F(MainWindowTest, TitleScreenCoversTheWindowAndAnimates) {
  WaitForTitle();
  EXPECT_EQ(window_.size(), QSize(850, 510));
  EXPECT_EQ(window_.BoardImage().geometry(), QRect(0, 0, 850, 510));
  EXPECT_EQ(window_.BoardImage().Image().pixelColor(0, 0), QColor(Qt::black));
  EXPECT_TRUE(window_.TickTimer().isActive());
  EXPECT_EQ(window_.TickTimer().interval(), kTitleTickMs);
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
    const int paused_at = window_.Title().Steps();
    QTest::qWait(100);
    EXPECT_EQ(window_.Title().Steps(), paused_at);

    c.reveal();
    for (int i = 0; i < 200 && window_.Title().Steps() == paused_at; ++i) QTest::qWait(1);
    // The steps go on from the one that was next: neither from the start nor
    // caught up by the ten or more steps the pause lasted (a loaded machine
    // may run a tick or two more before this loop looks again).
    EXPECT_GE(window_.Title().Steps(), paused_at + 1);
    EXPECT_LE(window_.Title().Steps(), paused_at + 3 * TitleScreen::kStepsPerTick);
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

TEST_F(MainWindowTest, KeysPlayThePairPauseAndResume) {
  LeaveTitle();
  QTest::keyClick(&window_, Qt::Key_Right);
  EXPECT_EQ(game_.View().focus, (BoardCell{1, 1, 1}));
  EXPECT_EQ(BoardAt({1, 1, 1}, 2, 40), kFocusColour);
  QTest::keyClick(&window_, Qt::Key_Space);
  EXPECT_EQ(game_.Selection(), (BoardCell{1, 1, 1}));
  QTest::keyClick(&window_, Qt::Key_Escape);
  EXPECT_EQ(game_.Selection(), BoardCell{});
  QTest::keyClick(&window_, Qt::Key_Return);
  QTest::keyClick(&window_, Qt::Key_Right);
  QTest::keyClick(&window_, Qt::Key_Enter);
  EXPECT_EQ(game_.Score(), 5100);
  EXPECT_TRUE(window_.AnimationTimer().isActive());

  QTest::keyClick(&window_, Qt::Key_P);
  ASSERT_TRUE(game_.Paused());
  EXPECT_EQ(window_.BoardImage().Image().pixelColor(60, 60), kPausePanelColour);
  EXPECT_EQ(window_.BoardImage().Image().pixelColor(300, 300), kPausePanelColour);
  QTest::keyClick(&window_, Qt::Key_Left);  // any key resumes, and only resumes
  EXPECT_FALSE(game_.Paused());
  EXPECT_EQ(game_.View().focus, BoardCell{});  // its tile has gone; the focus did not move
  QTest::keyClick(&window_, Qt::Key_Left);
  EXPECT_EQ(game_.View().focus, (BoardCell{1, 2, 1}));
  QTest::keyClick(&window_, Qt::Key_Pause);
  EXPECT_TRUE(game_.Paused());
  QTest::mousePress(&window_.BoardImage(), Qt::LeftButton, {}, QPoint(50, 120));
  EXPECT_FALSE(game_.Paused());
  EXPECT_EQ(game_.Selection(), BoardCell{});  // the click only resumed
}

TEST_F(MainWindowTest, AGameGoingOnPausesWhenTheWindowIsMinimizedOrHidden) {
  LeaveTitle();
  QTest::mousePress(&window_.BoardImage(), Qt::LeftButton, {}, QPoint(50, 50));
  QTest::mousePress(&window_.BoardImage(), Qt::LeftButton, {}, QPoint(400, 50));
  ASSERT_TRUE(game_.ClockRunning());
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
    QTRY_VERIFY_WITH_TIMEOUT(game_.Paused(), 2000);
    c.reveal();
    QTest::qWait(50);
    // Seen again, the board stays hidden until the player asks for it.
    EXPECT_TRUE(game_.Paused());
    EXPECT_EQ(window_.BoardImage().Image().pixelColor(300, 300), kPausePanelColour);
    QTest::keyClick(&window_, Qt::Key_Space);
    EXPECT_FALSE(game_.Paused());
  }
}

TEST_F(MainWindowTest, AClickOnABlockedTileShakesIt) {
  deal_ =
      "s1 r1 s1 .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n"
      ".. .. .. .. .. ..\n";
  LeaveTitle();
  const CellRect& held = game_.GameBoard().Rect({1, 1, 2});
  QTest::mousePress(&window_.BoardImage(), Qt::LeftButton, {},
                    QPoint(held.left + 40, held.top + 40));
  EXPECT_TRUE(window_.ShakeTimer().isActive());
  EXPECT_EQ(window_.Overlay().shaken, (BoardCell{1, 1, 2}));
  EXPECT_EQ(game_.Selection(), BoardCell{});
  QTRY_VERIFY_WITH_TIMEOUT(!window_.ShakeTimer().isActive(), 2000);
  EXPECT_EQ(window_.Overlay().shaken, BoardCell{});
  // The marks are on by default: the held tile is dimmed, the others not.
  EXPECT_NE(BoardAt({1, 1, 2}), testing::kNormalTile);
  EXPECT_EQ(BoardAt({1, 1, 3}), testing::kNormalTile);
}

TEST_F(MainWindowTest, ButtonsIconsAndTheBoardHaveAccessibleTextsInTheCurrentLanguage) {
  LeaveTitle();
  std::vector<QWidget*> controls;
  for (SkinnedButton* button : window_.findChildren<SkinnedButton*>()) controls.push_back(button);
  for (ImageControl* control : window_.findChildren<ImageControl*>())
    if (control->isVisible() && control->cursor().shape() == Qt::PointingHandCursor &&
        control != &window_.BoardImage())
      controls.push_back(control);
  controls.push_back(&window_.BoardImage());
  ASSERT_EQ(controls.size(), 6u + 6u + 1u);  // the store icon waits for its link
  const auto texts = [&] {
    std::vector<std::string> out;
    for (QWidget* control : controls) {
      EXPECT_FALSE(control->accessibleName().isEmpty()) << control->geometry().x();
      EXPECT_FALSE(control->accessibleDescription().isEmpty()) << control->geometry().x();
      out.push_back(control->accessibleName().toStdString() + "|" +
                    control->accessibleDescription().toStdString());
    }
    return out;
  };
  const std::vector<std::string> english = texts();
  EXPECT_EQ(english.front(), "New game: Normal|Starts a new game. Key: N");
  EXPECT_EQ(english.back(),
            game_.Text(MsgId::MsgA11yBoard) + "|" + game_.Text(MsgId::MsgA11yBoardKeys));
  game_.ChangeLanguage(2);  // the next language: Russian
  const std::vector<std::string> russian = texts();
  EXPECT_EQ(russian.front(), "Новая игра: Обычный|Начинает новую игру. Клавиша: N");
  int changed = 0;
  for (std::size_t i = 0; i < english.size(); ++i) changed += english[i] != russian[i];
  EXPECT_EQ(changed, static_cast<int>(english.size()));
  // The names themselves, not only their descriptions, are in the language.
  for (std::size_t i = 0; i < english.size(); ++i) {
    const std::string english_name = english[i].substr(0, english[i].find('|'));
    const std::string russian_name = russian[i].substr(0, russian[i].find('|'));
    EXPECT_NE(english_name, russian_name) << english_name;
  }
}

TEST_F(MainWindowTest, TabGoesFromTheBoardThroughTheMenuButtonsInOrder) {
  LeaveTitle();
  std::vector<QWidget*> order;
  QWidget* next = &window_.BoardImage();
  for (int i = 0; i < 40 && order.size() < 7; ++i, next = next->nextInFocusChain())
    if (next->focusPolicy() & Qt::TabFocus && next->isVisible()) order.push_back(next);
  ASSERT_EQ(order.size(), 7u);
  EXPECT_EQ(order[0], &window_.BoardImage());
  const std::array<QPoint, 6> buttons = {QPoint(5, 90),   QPoint(5, 160),   QPoint(5, 230),
                                         QPoint(665, 90), QPoint(665, 160), QPoint(665, 230)};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(order[i + 1]->geometry().topLeft(), buttons[i]) << i;
  // A click on a button leaves the keys with the board.
  EXPECT_EQ(order[1]->focusPolicy(), Qt::TabFocus);
}

TEST_F(MainWindowTest, ClicksLandOnTheTileUnderThePointerAtEverySizeAndScale) {
  LeaveTitle();
  struct Case {
    const char* label;
    QSize window;
    double scale;
    int board_ratio;  // device pixels per design pixel the board is drawn at
    QPoint point;     // in the window
    BoardCell cell;
  };
  // The pair's tiles lie under the board's design points (50, 50) and
  // (400, 50), the board at (193, 88) in the design; (250, 250) is no free
  // tile.
  // clang-format off
  const Case cases[] = {
      {"design size",              {850, 510},   1.0,     1, {243, 138},  {1, 1, 1}},
      {"200 %",                    {1700, 1020}, 2.0,     2, {486, 276},  {1, 1, 1}},
      {"200 %, the other tile",    {1700, 1020}, 2.0,     2, {1186, 276}, {1, 1, 6}},
      {"150 %",                    {1275, 765},  1.5,     2, {890, 207},  {1, 1, 6}},
      {"125 %, not exact",         {1062, 637},  637 / 510.0, 2, {304, 172}, {1, 1, 1}},
      {"300 %",                    {2550, 1530}, 3.0,     3, {729, 414},  {1, 1, 1}},
      {"taller: bands above and below", {1700, 1500}, 2.0, 2, {486, 516}, {1, 1, 1}},
      {"wider: bands left and right",   {2550, 1020}, 2.0, 2, {911, 276}, {1, 1, 1}},
      {"the band above the stage",      {1700, 1500}, 2.0, 2, {486, 200}, {}},
      {"no free tile under it",         {1700, 1020}, 2.0, 2, {886, 676}, {}},
      {"back to the design size",       {850, 510},   1.0, 1, {593, 138}, {1, 1, 6}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    game_.DropSelection();
    window_.resize(c.window);
    QTest::qWait(0);
    ASSERT_EQ(window_.size(), c.window);
    EXPECT_NEAR(window_.Stage().scale, c.scale, 1e-9);
    EXPECT_EQ(window_.BoardImage().PixelRatio(), c.board_ratio);
    QTest::mouseClick(window_.windowHandle(), Qt::LeftButton, {}, c.point);
    const BoardCell selected = game_.View().selection;
    EXPECT_EQ(selected.layer, c.cell.layer);
    EXPECT_EQ(selected.row, c.cell.row);
    EXPECT_EQ(selected.column, c.cell.column);
    // What the player sees under the pointer is what the click took.
    const QColor seen = window_.Snapshot().pixelColor(c.point);
    if (!c.cell.IsNone()) {
      EXPECT_EQ(seen, testing::kSelectedTile);
    }
  }
}

TEST_F(MainWindowTest, TheContentScalesAsOnePictureWithTheBackdropAroundIt) {
  LeaveTitle();
  QTest::mouseClick(window_.windowHandle(), Qt::LeftButton, {}, QPoint(243, 138));
  const QImage design = window_.Snapshot();
  ASSERT_EQ(design.size(), QSize(850, 510));

  // Taller than the design's proportions: the stage keeps them, centred,
  // and the room above and below shows the backdrop, not black.
  window_.resize(1700, 1500);
  QTest::qWait(0);
  const QImage tall = window_.Snapshot();
  ASSERT_EQ(tall.size(), QSize(1700, 1500));
  for (const QPoint band : {QPoint(10, 10), QPoint(850, 230), QPoint(1690, 1490)})
    EXPECT_EQ(tall.pixelColor(band), testing::kBackground) << band.x() << "," << band.y();
  // Every design pixel lies at twice its place, 240 pixels down: compare on
  // a grid away from the edges between colours.
  int differing = 0;
  int compared = 0;
  for (int y = 3; y < 510; y += 7) {
    for (int x = 3; x < 850; x += 7) {
      const QColor want = design.pixelColor(x, y);
      const bool flat =
          design.pixelColor(x - 1, y - 1) == want && design.pixelColor(x + 1, y + 1) == want &&
          design.pixelColor(x + 1, y - 1) == want && design.pixelColor(x - 1, y + 1) == want;
      if (!flat) continue;
      ++compared;
      const QColor got = tall.pixelColor(2 * x + 1, 240 + 2 * y + 1);
      if (std::abs(got.red() - want.red()) + std::abs(got.green() - want.green()) +
              std::abs(got.blue() - want.blue()) >
          24)
        ++differing;
    }
  }
  ASSERT_GT(compared, 5000);
  EXPECT_EQ(differing, 0);
}

TEST_F(MainWindowTest, TheWindowIsNeverSmallerThanTheDesign) {
  WaitForTitle();
  EXPECT_EQ(window_.minimumSize(), QSize(850, 510));
  window_.resize(400, 300);
  QTest::qWait(0);
  EXPECT_EQ(window_.size(), QSize(850, 510));
  EXPECT_EQ(window_.Stage().scale, 1.0);
  EXPECT_EQ(window_.BoardImage().geometry(), QRect(0, 0, 850, 510));
}

TEST(MainWindowPlacementTest, TheWindowTakesThePlaceItWasLeftInAndGivesItBack) {
  testing::TestPictures test_pictures;
  PictureStore pictures(test_pictures.Root());
  testing::FakeWorld world;
  struct Case {
    const char* label;
    int width, height;
    bool placed;
    int left, top;
    QSize size;
    QPoint at;  // where the window is afterwards
  };
  // The offscreen platform's one screen is 800 x 600 at (0, 0).
  // clang-format off
  const Case cases[] = {
      {"larger, placed on the screen",  1200, 800,   true,  100, 50,       {1200, 800},   {100, 50}},
      {"below the design size",         -5,   300,   false, 0,   0,        {850, 510},    {0, 0}},
      {"a size no screen has",          90000, 90000, false, 0,  0,        {16384, 16384}, {0, 0}},
      {"placed where no screen is",     900,  600,   true,  -30000, -30000, {900, 600},   {0, 0}},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    MainWindow window(pictures, world.language);
    window.move(0, 0);
    Options options;
    options.window_width = c.width;
    options.window_height = c.height;
    options.window_placed = c.placed;
    options.window_left = c.left;
    options.window_top = c.top;
    window.RestorePlacement(options);
    EXPECT_EQ(window.size(), c.size);
    EXPECT_EQ(window.pos(), c.at);
    EXPECT_FALSE(window.isMaximized());

    Options kept;
    window.KeepPlacement(kept);
    EXPECT_EQ(QSize(kept.window_width, kept.window_height), c.size);
    EXPECT_TRUE(kept.window_placed);
    EXPECT_EQ(QPoint(kept.window_left, kept.window_top), c.at);
    EXPECT_FALSE(kept.window_maximized);
  }

  // A maximized window comes back maximized, and remembers the size it
  // returns to.
  MainWindow window(pictures, world.language);
  Options options;
  options.window_width = 1000;
  options.window_height = 700;
  options.window_maximized = true;
  window.RestorePlacement(options);
  window.show();
  QTest::qWait(0);
  EXPECT_TRUE(window.isMaximized());
  Options kept;
  window.KeepPlacement(kept);
  EXPECT_TRUE(kept.window_maximized);
  EXPECT_EQ(QSize(kept.window_width, kept.window_height), QSize(1000, 700));
}

}  // namespace
}  // namespace braxo
