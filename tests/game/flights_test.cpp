#include "game/Flights.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace braxo {
namespace {

struct RecordingPainter : BurstPainter {
  std::vector<std::string> calls;
  void RenderBoard() override { calls.push_back("board"); }
  void DrawBurst(int frame, int x, int y) override {
    calls.push_back("burst " + std::to_string(frame) + " " + std::to_string(x) + "," +
                    std::to_string(y));
  }
};

class FlightsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    board.SetCode(a, "s1");
    board.SetCode(b, "s1");
  }
  Board board;
  Flights flights;
  RecordingPainter painter;
  BoardCell a{1, 1, 1};
  BoardCell b{1, 1, 6};
};

TEST_F(FlightsTest, IdleDriverDoesNothing) {
  EXPECT_FALSE(flights.Step(board, painter));
  EXPECT_TRUE(painter.calls.empty());
}

TEST_F(FlightsTest, PairBurstsOverTwentySixStepsAndEmptiesCellsAtTen) {
  flights.Enter(8, -22, a, board);
  flights.Enter(361, -17, b, board);
  EXPECT_EQ(flights.NextSlot(), 3);
  for (int step = 1; step <= 26; ++step) {
    ASSERT_TRUE(flights.Step(board, painter));
    const bool gone = step >= 10;
    EXPECT_EQ(!board.HasTile(a), gone) << "step " << step;
    EXPECT_EQ(!board.HasTile(b), gone) << "step " << step;
    EXPECT_EQ(flights.AnyActive(), step < 26);
  }
  EXPECT_FALSE(flights.Step(board, painter));

  // Step 1: board, both first frames. Step 10: board, then for each slot a
  // repaint without its tile and its frame. Step 26: frames, then a final
  // repaint that removes the last burst.
  const std::vector<std::string> first(painter.calls.begin(), painter.calls.begin() + 3);
  EXPECT_EQ(first, (std::vector<std::string>{"board", "burst 1 8,-22", "burst 1 361,-17"}));
  const std::vector<std::string> last(painter.calls.end() - 4, painter.calls.end());
  EXPECT_EQ(last,
            (std::vector<std::string>{"board", "burst 26 8,-22", "burst 26 361,-17", "board"}));
  // 26 step repaints, 2 repaints at step 10 and one final repaint.
  int boards = 0;
  for (const auto& call : painter.calls) boards += call == "board";
  EXPECT_EQ(boards, 26 + 2 + 1);
}

TEST_F(FlightsTest, SlotIndexWrapsAfterSix) {
  for (int i = 0; i < 6; ++i) flights.Enter(0, 0, {1, 1 + i % 5, 1 + i / 5}, board);
  EXPECT_EQ(flights.NextSlot(), 1);
}

TEST_F(FlightsTest, FourthPairWithAllSlotsBusyTakesTheOldestTileOffAtOnce) {
  // Three pairs fill the six slots; a fourth cuts the first pair short, and
  // the first pair's tiles must not stay behind on the board.
  const BoardCell cells[8] = {{1, 1, 1}, {1, 1, 6}, {1, 2, 1}, {1, 2, 6},
                              {1, 3, 1}, {1, 3, 6}, {1, 4, 1}, {1, 4, 6}};
  for (const BoardCell& cell : cells) board.SetCode(cell, "o0");
  for (int i = 0; i < 6; ++i) flights.Enter(0, 0, cells[i], board);
  flights.Enter(0, 0, cells[6], board);
  flights.Enter(0, 0, cells[7], board);
  EXPECT_FALSE(board.HasTile(cells[0]));
  EXPECT_FALSE(board.HasTile(cells[1]));
  EXPECT_TRUE(board.HasTile(cells[2]));
  EXPECT_TRUE(flights.IsInFlight(cells[6]));
  EXPECT_FALSE(flights.IsInFlight(cells[0]));
}

TEST_F(FlightsTest, NewBurstPrefersAnIdleSlot) {
  flights.Enter(0, 0, a, board);  // slot 1
  flights.Enter(0, 0, b, board);  // slot 2
  for (int i = 0; i < 26; ++i) flights.Step(board, painter);
  // Slots 1 and 2 are idle again; the index points at 3, which is idle too.
  flights.Enter(0, 0, {1, 2, 1}, board);
  EXPECT_TRUE(flights.Slots()[2].active);
  EXPECT_EQ(flights.NextSlot(), 4);
}

TEST_F(FlightsTest, ResetStopsEveryBurst) {
  flights.Enter(0, 0, a, board);
  flights.Reset();
  EXPECT_FALSE(flights.AnyActive());
  EXPECT_EQ(flights.NextSlot(), 1);
  EXPECT_FALSE(flights.IsInFlight(a));
}

}  // namespace
}  // namespace braxo
