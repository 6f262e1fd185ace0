#include "game/Board.h"

#include <gtest/gtest.h>

namespace braxo {
namespace {

Board FromPicture(const std::string& picture) {
  Board board;
  EXPECT_TRUE(board.FromText(picture)) << picture;
  return board;
}

// One layer with a tile at each of the given cells of row 1.
const char* kFullLayer1 =
    "s1 s1 s1 s1 s1 s1\n"
    "s1 s1 s1 s1 s1 s1\n"
    "s1 s1 s1 s1 s1 s1\n"
    "s1 s1 s1 s1 s1 s1\n"
    "s1 s1 s1 s1 s1 s1\n";

TEST(CellGeometry, FollowsThePitchAndTheLayerShift) {
  struct Case {
    BoardCell cell;
    CellRect rect;
  };
  // clang-format off
  const Case cases[] = {
      {{1, 1, 1}, {23, 23, 93, 93}},
      {{1, 5, 6}, {373, 303, 443, 373}},
      {{2, 1, 1}, {14, 14, 84, 84}},
      {{4, 1, 1}, {-4, -4, 66, 66}},
      {{3, 1, 1}, {5, 5, 75, 75}},
  };
  // clang-format on
  Board board;
  for (const Case& c : cases) {
    EXPECT_EQ(board.Rect(c.cell), c.rect) << c.cell.layer << c.cell.row << c.cell.column;
  }
}

TEST(FreeTileRule, DecidesByTheCellAboveAndTheRowNeighbours) {
  struct Case {
    const char* name;
    std::string picture;
    BoardCell cell;
    bool free;
  };
  // clang-format off
  const std::string empty_layer = ".. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n"
                                  ".. .. .. .. .. ..\n.. .. .. .. .. ..\n";
  const Case cases[] = {
      {"edge column, nothing above", kFullLayer1, {1, 3, 1}, true},
      {"edge column 6, nothing above", kFullLayer1, {1, 3, 6}, true},
      {"inner column between two tiles", kFullLayer1, {1, 3, 3}, false},
      {"inner column, left neighbour empty",
       "s1 .. s1 s1 .. ..\n" + empty_layer.substr(18 * 1), {1, 1, 3}, true},
      {"inner column, right neighbour empty",
       ".. s1 s1 .. .. ..\n" + empty_layer.substr(18 * 1), {1, 1, 2}, true},
      {"left neighbour empty but a tile lies on it",
       "s1 .. s1 s1 .. ..\n" + empty_layer.substr(18) + "\n.. .. s1 .. .. ..\n" +
           empty_layer.substr(18),
       {1, 1, 3}, false},
      {"edge column with a tile on it",
       "s1 .. .. .. .. ..\n" + empty_layer.substr(18) + "\ns1 .. .. .. .. ..\n" +
           empty_layer.substr(18),
       {1, 1, 1}, false},
      {"a tile on the neighbouring cell above does not hold it",
       "s1 .. .. .. .. ..\n" + empty_layer.substr(18) + "\n.. s1 .. .. .. ..\n" +
           empty_layer.substr(18),
       {1, 1, 1}, true},
      {"rows above and below do not count",
       ".. .. .. .. .. ..\ns1 s1 s1 .. .. ..\n.. s1 .. .. .. ..\n" + empty_layer.substr(18 * 3),
       {1, 2, 2}, false},
      {"layer 4, edge column, neighbours full",
       empty_layer + "\n" + empty_layer + "\n" + empty_layer + "\ns1 s1 .. .. .. ..\n" +
           empty_layer.substr(18),
       {4, 1, 1}, true},
      {"layer 4, inner column between two tiles",
       empty_layer + "\n" + empty_layer + "\n" + empty_layer + "\ns1 s1 s1 .. .. ..\n" +
           empty_layer.substr(18),
       {4, 1, 2}, false},
      {"layer 4, inner column, one side empty",
       empty_layer + "\n" + empty_layer + "\n" + empty_layer + "\ns1 s1 .. .. .. ..\n" +
           empty_layer.substr(18),
       {4, 1, 2}, true},
  };
  // clang-format on
  for (const Case& c : cases) {
    Board board = FromPicture(c.picture);
    EXPECT_EQ(board.IsTileFree(c.cell), c.free) << c.name << "\n" << board.ToText();
  }
}

TEST(FreeTileRule, FullLayerOneFreesOnlyTheEdgeColumns) {
  Board board = FromPicture(kFullLayer1);
  int free = 0;
  ForEachCellInBoardOrder([&](const BoardCell& cell) {
    if (board.HasTile(cell) && board.IsTileFree(cell)) {
      ++free;
      EXPECT_TRUE(cell.column == 1 || cell.column == 6);
    }
  });
  EXPECT_EQ(free, 10);
}

TEST(PossiblePairs, CountsUnorderedPairsOfEqualFreeTiles) {
  struct Case {
    const char* name;
    std::string row1;  // the rest of the board is empty
    int pairs;
  };
  // clang-format off
  const Case cases[] = {
      {"empty board", ".. .. .. .. .. ..", 0},
      {"two free clouds", "o0 .. o0 .. .. ..", 1},
      {"three free of one code", "s1 .. s1 .. s1 ..", 3},
      {"four free of one code", "s1 .. s1 .. s1 s1", 6},
      {"codes compare exactly", "s1 .. s2 .. r1 ..", 0},
      {"a blocked tile does not pair", "s1 s1 s1 .. .. ..", 1},
      {"two kinds", "s1 .. s1 .. o0 o0", 2},
  };
  // clang-format on
  for (const Case& c : cases) {
    Board board = FromPicture(c.row1 +
                              "\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n"
                              ".. .. .. .. .. ..\n.. .. .. .. .. ..\n");
    EXPECT_EQ(board.CountPossiblePairs(), c.pairs) << c.name;
  }
}

TEST(PossiblePairs, FullLayerOfOneCodeHasFortyFivePairs) {
  // 10 free tiles of one code: 10 * 9 / 2.
  EXPECT_EQ(FromPicture(kFullLayer1).CountPossiblePairs(), 45);
}

TEST(ClearedTest, IsTrueOnlyWithNoTileLeft) {
  Board board;
  EXPECT_TRUE(board.IsBoardCleared());
  board.SetCode({3, 2, 4}, "x1");
  EXPECT_FALSE(board.IsBoardCleared());
  board.SetCode({3, 2, 4}, "");
  EXPECT_TRUE(board.IsBoardCleared());
}

TEST(HitTest, TakesTheFirstQualifyingCellInBoardOrder) {
  const std::string two_free_in_row1 =
      "s1 s2 .. .. .. ..\n.. .. .. .. .. ..\n"
      ".. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n";
  const std::string upper_over_lower =
      // Layer 1: (1,1) and (1,2) free; layer 2 tile on (1,2) blocks that one.
      "s1 s2 .. .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n"
      ".. .. .. .. .. ..\n\n.. r1 .. .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n"
      ".. .. .. .. .. ..\n.. .. .. .. .. ..\n";
  struct Case {
    const char* name;
    const std::string& picture;
    int x, y;
    BoardCell expected;
  };
  // clang-format off
  const Case cases[] = {
      {"shared edge goes to the left cell", two_free_in_row1, 93, 50, {1, 1, 1}},
      {"just right of the shared edge", two_free_in_row1, 94, 50, {1, 1, 2}},
      {"top-left corner is inside", two_free_in_row1, 23, 23, {1, 1, 1}},
      {"one pixel left of the corner", two_free_in_row1, 22, 23, {}},
      {"bottom-right corner is inside", two_free_in_row1, 163, 93, {1, 1, 2}},
      {"empty cell", two_free_in_row1, 200, 50, {}},
      {"free lower tile wins in the upper tile's left strip", upper_over_lower, 84, 50, {1, 1, 1}},
      {"upper tile away from the strip", upper_over_lower, 120, 50, {2, 1, 2}},
      {"a blocked tile under a free one is never hit", upper_over_lower, 150, 90, {}},
  };
  // clang-format on
  for (const Case& c : cases) {
    Board board = FromPicture(c.picture);
    EXPECT_EQ(board.FindFreeTileAt(c.x, c.y), c.expected) << c.name;
  }
}

TEST(HitTest, SkipsCellsTheCallerExcludes) {
  Board board = FromPicture(
      "s1 s2 .. .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n"
      ".. .. .. .. .. ..\n.. .. .. .. .. ..\n");
  const BoardCell skip{1, 1, 1};
  EXPECT_EQ(board.FindFreeTileAt(93, 50, [&](const BoardCell& c) { return c == skip; }),
            (BoardCell{1, 1, 2}));
  EXPECT_TRUE(board.FindFreeTileAt(50, 50, [&](const BoardCell& c) { return c == skip; }).IsNone());
}

TEST(BoardPicture, RoundTripsAndRejectsMalformedText) {
  Board board;
  board.SetCode({1, 1, 1}, "s1");
  board.SetCode({3, 5, 6}, "o0");
  Board copy;
  ASSERT_TRUE(copy.FromText(board.ToText()));
  EXPECT_EQ(copy.ToText(), board.ToText());
  EXPECT_EQ(copy.Code({3, 5, 6}), "o0");
  EXPECT_FALSE(copy.HasTile({2, 5, 6}));

  EXPECT_FALSE(copy.FromText("s1 s1\n"));                                   // short row
  EXPECT_FALSE(copy.FromText(".. .. .. .. .. ..\n\n.. .. .. .. .. ..\n"));  // blank inside a layer
}

}  // namespace
}  // namespace braxo
