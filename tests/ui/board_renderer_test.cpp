#include <gtest/gtest.h>

#include "game/Flights.h"
#include "game/GameState.h"
#include "ui/BoardRenderer.h"
#include "ui/TestPictures.h"

namespace braxo {
namespace {

using testing::kBackground;
using testing::kBurst;
using testing::kLevelPicture;
using testing::kNormalTile;
using testing::kSelectedTile;

class BoardRendererTest : public ::testing::Test {
 protected:
  BoardRendererTest()
      : pictures_(test_pictures_.Root()),
        image_(kBoardImageWidth, kBoardImageHeight, QImage::Format_RGB32) {}

  QColor At(int x, int y) const { return image_.pixelColor(x, y); }

  testing::TestPictures test_pictures_;
  PictureStore pictures_;
  // What a new game on level 1 of mode Normal shows.
  Board board_;
  BoardCell selection_;
  Flights flights_;
  GameStatus status_;
  QImage image_;
};

TEST_F(BoardRendererTest, EmptyBoardShowsTheFrameAndTheWholeLevelPicture) {
  RenderBoard(image_, board_, selection_, status_, pictures_);
  EXPECT_EQ(At(29, 29), kBackground);        // outside the frame: the background
  EXPECT_EQ(At(30, 30), QColor(Qt::white));  // the frame's outer corner
  EXPECT_EQ(At(35, 35), QColor(Qt::black));  // its sunken inner rim
  EXPECT_EQ(At(30, 394), QColor(Qt::white));
  EXPECT_EQ(At(31, 394), QColor(Qt::black));
  EXPECT_EQ(At(37, 37), kLevelPicture);  // the level picture's corner
  EXPECT_EQ(At(456, 386), kLevelPicture);
  EXPECT_NE(At(457, 387), kLevelPicture);
}

TEST_F(BoardRendererTest, TilesSitAtTheirCellsCorner) {
  board_.SetCode({1, 1, 1}, "s1");
  board_.SetCode({3, 1, 1}, "o0");
  board_.SetCode({1, 5, 6}, "x4");
  RenderBoard(image_, board_, selection_, status_, pictures_);
  // Layer 3 (1, 1) at (5, 5) covers layer 1 (1, 1) at (23, 23) in part.
  EXPECT_EQ(At(5, 5), kNormalTile);
  EXPECT_NE(At(4, 4), kNormalTile);
  EXPECT_EQ(At(88, 88), kNormalTile);    // layer 3 ends at 5 + 83
  EXPECT_EQ(At(106, 106), kNormalTile);  // layer 1's overhang: 23 + 83
  EXPECT_NE(At(107, 107), kNormalTile);
  EXPECT_EQ(At(373, 303), kNormalTile);
  EXPECT_EQ(At(372, 302), kLevelPicture);
}

TEST_F(BoardRendererTest, ExactlyTheSelectedTileShowsItsSelectedPicture) {
  board_.SetCode({1, 1, 1}, "s1");
  board_.SetCode({1, 3, 1}, "s1");
  board_.SetCode({1, 5, 1}, "r2");
  auto selected_corners = [&] {
    int n = 0;
    for (int row : {1, 3, 5}) {
      const CellRect& r = board_.Rect({1, row, 1});
      n += At(r.left + 40, r.top + 40) == kSelectedTile;
    }
    return n;
  };
  RenderBoard(image_, board_, selection_, status_, pictures_);
  EXPECT_EQ(selected_corners(), 0);
  selection_ = {1, 3, 1};
  RenderBoard(image_, board_, selection_, status_, pictures_);
  EXPECT_EQ(selected_corners(), 1);
  EXPECT_EQ(At(23 + 40, 163 + 40), kSelectedTile);
}

TEST_F(BoardRendererTest, BurstsEmptyTheirCellsAtStepTenAndEndIdle) {
  // The bursts drawn through the same painter the window uses.
  struct Painter : BurstPainter {
    QImage& image;
    const Board& board;
    const GameStatus& status;
    PictureStore& pictures;
    Painter(QImage& i, const Board& b, const GameStatus& s, PictureStore& p)
        : image(i), board(b), status(s), pictures(p) {}
    void RenderBoard() override { braxo::RenderBoard(image, board, BoardCell{}, status, pictures); }
    void DrawBurst(int frame, int x, int y) override {
      braxo::DrawBurst(image, frame, x, y, pictures);
    }
  } painter(image_, board_, status_, pictures_);
  board_.SetCode({1, 3, 1}, "s1");
  board_.SetCode({1, 3, 6}, "s1");
  flights_.Enter(8, 118, {1, 3, 1}, board_);
  flights_.Enter(361, 123, {1, 3, 6}, board_);
  for (int step = 1; step <= 26; ++step) {
    ASSERT_TRUE(flights_.Step(board_, painter));
    EXPECT_EQ(board_.HasTile({1, 3, 1}), step < 10) << step;
    // On step 10 the second cell's repaint covers the first burst for one frame.
    if (step < 26 && step != 10) {
      EXPECT_EQ(At(8, 118), kBurst) << step;
    }
  }
  EXPECT_FALSE(flights_.AnyActive());
  // The final repaint removed the last burst: only board and frame remain.
  EXPECT_NE(At(20, 130), kBurst);
  EXPECT_EQ(At(60, 200), kLevelPicture);
}

}  // namespace
}  // namespace braxo
