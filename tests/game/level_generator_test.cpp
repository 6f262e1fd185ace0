#include <gtest/gtest.h>

#include <map>
#include <set>

#include "club/wire/WireConstants.h"
#include "game/GameState.h"
#include "game/LevelGenerator.h"

namespace braxo {
namespace {

// The shapes as pictures: "##" holds a tile, ".." stays empty; layers 1 to 3.
const char* kShapes[kLevelCount] = {
    // Level 1
    "## ## ## ## ## ##\n## ## ## ## ## ##\n## ## ## ## ## ##\n## ## ## ## ## ##\n"
    "## ## ## ## ## ##\n\n"
    ".. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. ## ## .. ..\n.. .. .. .. .. ..\n"
    ".. .. .. .. .. ..\n",
    // Level 2
    "## ## ## ## ## ##\n## ## ## ## ## ##\n## ## ## ## ## ##\n## ## ## ## ## ##\n"
    "## ## ## ## ## ##\n\n"
    ".. .. ## ## .. ..\n.. ## ## ## ## ..\n.. .. ## ## .. ..\n.. ## ## ## ## ..\n"
    ".. .. ## ## .. ..\n",
    // Level 3
    "## ## ## ## ## ##\n## ## ## ## ## ##\n## ## ## ## ## ##\n## ## ## ## ## ##\n"
    "## ## ## ## ## ##\n\n"
    "## ## ## ## ## ##\n## .. ## ## .. ##\n## ## ## ## ## ##\n## .. ## ## .. ##\n"
    "## ## ## ## ## ##\n",
    // Level 4
    "## ## ## ## ## ##\n## ## ## ## ## ##\n## ## ## ## ## ##\n## ## ## ## ## ##\n"
    "## ## ## ## ## ##\n\n"
    "## ## ## ## ## ##\n## ## ## ## ## ##\n## ## ## ## ## ##\n## ## ## ## ## ##\n"
    "## ## ## ## ## ##\n\n"
    ".. .. .. .. .. ..\n.. ## ## ## ## ..\n.. .. .. .. .. ..\n.. ## ## ## ## ..\n"
    ".. .. .. .. .. ..\n",
    // Level 5
    "## ## ## ## ## ##\n## ## ## ## ## ##\n## ## ## ## ## ##\n## ## ## ## ## ##\n"
    "## ## ## ## ## ##\n\n"
    "## ## ## ## ## ##\n## ## ## ## ## ##\n## ## ## ## ## ##\n## ## ## ## ## ##\n"
    "## ## ## ## ## ##\n\n"
    "## ## ## ## ## ##\n## .. .. .. .. ##\n## .. ## ## .. ##\n## .. .. .. .. ##\n"
    "## ## ## ## ## ##\n",
};

// clang-format off
const std::map<std::string, int> kExpectedCounts[kLevelCount] = {
    {{"s1", 4}, {"r1", 4}, {"k1", 4}, {"s2", 4}, {"r2", 4}, {"k2", 4}, {"o0", 8}},
    {{"s1", 4}, {"r1", 4}, {"k1", 4}, {"s2", 4}, {"r2", 4}, {"k2", 4}, {"s3", 4}, {"r3", 4},
     {"k3", 4}, {"o0", 8}},
    {{"s1", 4}, {"r1", 4}, {"k1", 4}, {"s2", 4}, {"r2", 4}, {"k2", 4}, {"s3", 4}, {"r3", 4},
     {"k3", 4}, {"s4", 4}, {"r4", 4}, {"k4", 4}, {"o0", 8}},
    {{"s1", 4}, {"r1", 4}, {"k1", 4}, {"x1", 4}, {"s2", 4}, {"r2", 4}, {"k2", 4}, {"x2", 4},
     {"s3", 4}, {"r3", 4}, {"k3", 4}, {"x3", 4}, {"o0", 20}},
    {{"s1", 4}, {"r1", 4}, {"k1", 4}, {"x1", 4}, {"s2", 4}, {"r2", 4}, {"k2", 4}, {"x2", 4},
     {"s3", 4}, {"r3", 4}, {"k3", 4}, {"x3", 4}, {"s4", 4}, {"r4", 4}, {"k4", 4}, {"x4", 4},
     {"o0", 16}},
};
// clang-format on

TEST(GenerateLevel, DealsTheLevelsShapeAndExactlyItsCodes) {
  FixedRandom random(12345);
  for (int level = 1; level <= kLevelCount; ++level) {
    Board shape;
    ASSERT_TRUE(shape.FromText(kShapes[level - 1]));
    for (int deal = 0; deal < 50; ++deal) {
      Board board;
      GenerateLevel(level, board, random);
      std::map<std::string, int> counts;
      ForEachCellInBoardOrder([&](const BoardCell& cell) {
        EXPECT_EQ(board.HasTile(cell), shape.HasTile(cell))
            << "level " << level << " cell " << cell.layer << cell.row << cell.column;
        if (board.HasTile(cell)) ++counts[board.Code(cell)];
      });
      EXPECT_EQ(counts, kExpectedCounts[level - 1]) << "level " << level;
      EXPECT_EQ(board.TileCount(), LevelTileCount(level));
    }
  }
}

TEST(GenerateLevel, CodeTableGivesBlocksOfFourThenClouds) {
  struct Case {
    int level, number;
    const char* code;
  };
  const Case cases[] = {
      {1, 1, "s1"},  {1, 4, "s1"},  {1, 5, "r1"},  {1, 24, "k2"}, {1, 25, "o0"},
      {1, 32, "o0"}, {4, 16, "x1"}, {4, 48, "x3"}, {4, 49, "o0"}, {5, 64, "x4"},
      {5, 65, "o0"}, {3, 48, "k4"}, {3, 49, "o0"}, {2, 36, "k3"}, {2, 37, "o0"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(LevelCode(c.level, c.number), c.code) << c.level << "/" << c.number;
}

TEST(GenerateLevel, PlacementPositionsFollowTheLevelFormulas) {
  struct Case {
    int level, position;
    BoardCell cell;
  };
  const Case cases[] = {
      {1, 1, {1, 1, 1}},  {1, 2, {1, 2, 1}},  {1, 6, {1, 1, 2}},  {1, 30, {1, 5, 6}},
      {1, 31, {2, 3, 3}}, {1, 32, {2, 3, 4}}, {2, 31, {2, 1, 3}}, {2, 33, {2, 2, 2}},
      {4, 1, {1, 1, 1}},  {4, 2, {2, 1, 1}},  {4, 3, {1, 2, 1}},  {4, 11, {1, 1, 2}},
      {4, 60, {2, 5, 6}}, {4, 61, {3, 2, 2}}, {4, 68, {3, 4, 5}}, {5, 61, {3, 1, 1}},
      {5, 69, {3, 3, 1}}, {5, 80, {3, 5, 6}},
  };
  for (const Case& c : cases)
    EXPECT_EQ(LevelPosition(c.level, c.position), c.cell) << c.level << "/" << c.position;
}

TEST(GenerateLevel, SpreadsEveryCodeEvenlyOverTheCells) {
  // Level 1 dealt many times: every cell should hold a cloud about 8/32 of
  // the time and a sun "s1" about 4/32 of the time.
  FixedRandom random(777);
  constexpr int kDeals = 4000;
  std::map<int, int> clouds;
  std::map<int, int> suns;
  int index = 0;
  for (int deal = 0; deal < kDeals; ++deal) {
    Board board;
    GenerateLevel(1, board, random);
    index = 0;
    ForEachCellInBoardOrder([&](const BoardCell& cell) {
      ++index;
      if (board.Code(cell) == "o0") ++clouds[index];
      if (board.Code(cell) == "s1") ++suns[index];
    });
  }
  ASSERT_EQ(clouds.size(), 32u);
  for (const auto& [cell, count] : clouds) {
    EXPECT_NEAR(count, kDeals * 8 / 32, kDeals * 8 / 32 * 0.2) << "cell " << cell;
  }
  for (const auto& [cell, count] : suns) {
    EXPECT_NEAR(count, kDeals * 4 / 32, kDeals * 4 / 32 * 0.3) << "cell " << cell;
  }
}

TEST(GenerateLevel, ReseedsAtEveryDeal) {
  struct CountingRandom : RandomSource {
    int reseeds = 0;
    std::mt19937 engine{1};
    void Reseed() override { ++reseeds; }
    int Uniform(int low, int high) override {
      return std::uniform_int_distribution<int>(low, high)(engine);
    }
  } random;
  Board board;
  GenerateLevel(2, board, random);
  board.Clear();
  GenerateLevel(3, board, random);
  EXPECT_EQ(random.reseeds, 2);
}

TEST(GenerateLevel, ClockRandomDealsDifferentBoards) {
  ClockRandom random;
  std::set<std::string> deals;
  for (int i = 0; i < 5; ++i) {
    Board board;
    GenerateLevel(5, board, random);
    deals.insert(board.ToText());
  }
  EXPECT_EQ(deals.size(), 5u);
}

// The club refuses any score above its bound, so the bound must be the most a
// game can score, every level cleared before the clock takes a point: the
// start value plus the score of every pair of every level.
TEST(LevelShapes, GiveTheClubsScoreBound) {
  int pairs = 0;
  for (int level = 1; level <= kLevelCount; ++level) pairs += LevelTileCount(level) / 2;
  EXPECT_EQ(wire::kMaxGameScore, kStartScore + kPairScore * pairs);
  // 5000 + 100 x (16 + 22 + 28 + 34 + 40) pairs.
  EXPECT_EQ(wire::kMaxGameScore, 19000);
}

}  // namespace
}  // namespace braxo
