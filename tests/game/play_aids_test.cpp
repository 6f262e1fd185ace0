#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

#include "DealSolver.h"
#include "game/LevelGenerator.h"
#include "game/PlayAids.h"
#include "game/SavedGame.h"

namespace braxo {
namespace {

const char* kEmptyLayer =
    ".. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n"
    ".. .. .. .. .. ..\n";

Board BoardOf(const std::string& text) {
  Board board;
  EXPECT_TRUE(board.FromText(text)) << text;
  return board;
}

std::map<std::string, int> Codes(const Board& board) {
  std::map<std::string, int> counts;
  ForEachCellInBoardOrder([&](const BoardCell& cell) {
    if (board.HasTile(cell)) ++counts[board.Code(cell)];
  });
  return counts;
}

std::vector<BoardCell> Occupied(const Board& board) {
  std::vector<BoardCell> cells;
  ForEachCellInBoardOrder([&](const BoardCell& cell) {
    if (board.HasTile(cell)) cells.push_back(cell);
  });
  return cells;
}

// Takes the first free pair in board order until none is left.
void PlayFirstFreePairs(Board& board) {
  for (std::vector<TilePair> pairs = FreePairs(board); !pairs.empty(); pairs = FreePairs(board)) {
    board.SetCode(pairs.front().first, "");
    board.SetCode(pairs.front().second, "");
  }
}

TEST(FreePairs, AreThePairsOfFreeTilesWithEqualCodes) {
  struct Case {
    const char* label;
    std::string board;
    std::vector<TilePair> pairs;
  };
  const Case cases[] = {
      {"two pairs at the edges",
       std::string("s1 .. .. .. .. s1\no0 .. .. .. .. o0\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n"
                   ".. .. .. .. .. ..\n"),
       {{{1, 1, 1}, {1, 1, 6}}, {{1, 2, 1}, {1, 2, 6}}}},
      {"the middle of three is held by both neighbours",
       std::string("s1 s1 s1 .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n"
                   ".. .. .. .. .. ..\n"),
       {{{1, 1, 1}, {1, 1, 3}}}},
      {"a tile under another is not free",
       std::string("s1 .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. s1 .. .. ..\n.. .. .. .. .. ..\n"
                   ".. .. .. .. .. ..\n\n") +
           ".. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. k1 .. .. ..\n.. .. .. .. .. ..\n"
           ".. .. .. .. .. ..\n",
       {}},
      {"four free equal tiles make six pairs",
       std::string("r2 .. .. .. .. r2\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n"
                   "r2 .. .. .. .. r2\n"),
       {{{1, 1, 1}, {1, 1, 6}},
        {{1, 1, 1}, {1, 5, 1}},
        {{1, 1, 1}, {1, 5, 6}},
        {{1, 1, 6}, {1, 5, 1}},
        {{1, 1, 6}, {1, 5, 6}},
        {{1, 5, 1}, {1, 5, 6}}}},
      {"an empty board", kEmptyLayer, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    const Board board = BoardOf(c.board);
    EXPECT_EQ(FreePairs(board), c.pairs);
    EXPECT_EQ(static_cast<int>(FreePairs(board).size()), board.CountPossiblePairs());
  }
}

TEST(SolvableDeals, AThousandDealsOfEveryLevelAreEachClearedByTheSolver) {
  FixedRandom random(2026);
  testing::DealSolver solver;
  for (int level = 1; level <= kLevelCount; ++level) {
    Board plain;
    GenerateLevel(level, plain, random);
    for (int deal = 0; deal < 1000; ++deal) {
      Board board;
      GenerateSolvableLevel(level, board, random);
      // The level's own shape and tiles, only their order differs.
      ASSERT_EQ(Occupied(board), Occupied(plain)) << "level " << level;
      ASSERT_EQ(Codes(board), Codes(plain)) << "level " << level;
      const std::optional<bool> solved = solver.Solve(board);
      ASSERT_TRUE(solved.has_value()) << "level " << level << " deal " << deal << "\n"
                                      << board.ToText();
      ASSERT_TRUE(*solved) << "level " << level << " deal " << deal << "\n" << board.ToText();
    }
  }
}

TEST(SolvableDeals, TheSolverFindsBoardsThatCannotBeCleared) {
  // Guards the test above: a solver that said yes to everything would pass it.
  testing::DealSolver solver;
  const Board crossed = BoardOf(
      "s1 k1 .. .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n"
      ".. .. .. .. .. ..\n\n"
      "k1 s1 .. .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n"
      ".. .. .. .. .. ..\n");
  EXPECT_EQ(solver.Solve(crossed), false);
  const Board stacked_pair = BoardOf(
      ".. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. s1 .. .. ..\n.. .. .. .. .. ..\n"
      ".. .. .. .. .. ..\n\n"
      ".. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. s1 .. .. ..\n.. .. .. .. .. ..\n"
      ".. .. .. .. .. ..\n");
  EXPECT_EQ(solver.Solve(stacked_pair), false);
  const Board one_way = BoardOf(
      "s1 k1 k1 s1 .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n"
      ".. .. .. .. .. ..\n");
  EXPECT_EQ(solver.Solve(one_way), true);
}

TEST(SolvableDeals, DifferFromDealToDeal) {
  FixedRandom random(5);
  std::map<std::string, int> seen;
  for (int deal = 0; deal < 20; ++deal) {
    Board board;
    GenerateSolvableLevel(5, board, random);
    ++seen[board.ToText()];
  }
  EXPECT_EQ(seen.size(), 20u);
}

TEST(Shuffle, KeepsTheTilesAndTheirCellsAndAlwaysLeavesAPair) {
  FixedRandom random(99);
  int shuffled = 0;
  for (int level = 1; level <= kLevelCount; ++level) {
    for (int game = 0; game < 100; ++game) {
      Board board;
      GenerateLevel(level, board, random);
      PlayFirstFreePairs(board);  // stuck, or cleared
      if (board.IsBoardCleared()) continue;
      const auto cells = Occupied(board);
      const auto codes = Codes(board);
      const bool possible = ShuffleCanLeaveAPair(board);
      ASSERT_EQ(ShuffleTiles(board, random), possible);
      EXPECT_EQ(Occupied(board), cells);
      EXPECT_EQ(Codes(board), codes);
      if (possible) {
        ++shuffled;
        EXPECT_GT(board.CountPossiblePairs(), 0) << board.ToText();
      }
    }
  }
  EXPECT_GT(shuffled, 200);
}

TEST(Shuffle, LeavesAPairOnBoardsNoOrderCanClear) {
  // Layer 1 holds three tiles and layer 2 one: no order of play clears it,
  // yet three cells are free, so a pair can be placed on two of them.
  const std::string text =
      std::string(
          "s1 .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. k1 .. .. ..\n.. .. .. .. .. ..\n"
          ".. .. .. .. k1 ..\n\n") +
      "s1 .. .. .. .. ..\n" +
      ".. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n"
      ".. .. .. .. .. ..\n";
  FixedRandom random(3);
  for (int i = 0; i < 50; ++i) {
    Board board = BoardOf(text);
    ASSERT_TRUE(ShuffleTiles(board, random));
    EXPECT_GT(board.CountPossiblePairs(), 0) << board.ToText();
    EXPECT_EQ(Codes(board), Codes(BoardOf(text)));
    EXPECT_EQ(Occupied(board), Occupied(BoardOf(text)));
  }
}

TEST(Shuffle, ALoneStackCannotBeHelpedAndStaysAsItIs) {
  const std::string text =
      std::string(
          ".. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. s1 .. .. ..\n.. .. .. .. .. ..\n"
          ".. .. .. .. .. ..\n\n") +
      ".. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. s1 .. .. ..\n.. .. .. .. .. ..\n"
      ".. .. .. .. .. ..\n";
  Board board = BoardOf(text);
  FixedRandom random(1);
  EXPECT_FALSE(ShuffleCanLeaveAPair(board));
  EXPECT_FALSE(ShuffleTiles(board, random));
  EXPECT_EQ(board.ToText(), BoardOf(text).ToText());
}

TEST(KeyboardFocus, ArrowsMoveToTheNearestStackTopThatWay) {
  // Layer 1 and one tile on layer 2 at row 2, column 2.
  const Board board = BoardOf(
      "s1 s2 .. .. .. ..\ns1 s2 .. s3 .. ..\n.. .. s3 .. .. s4\n.. .. .. .. .. ..\n"
      ".. .. .. .. .. s4\n\n"
      ".. .. .. .. .. ..\n.. r1 .. .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n"
      ".. .. .. .. .. ..\n");
  using enum FocusStep;
  struct Case {
    BoardCell from;
    FocusStep step;
    BoardCell to;
  };
  // clang-format off
  const Case cases[] = {
      {{},        kRight, {1, 1, 1}},  // no focus yet: the first stack
      {{1, 1, 1}, kRight, {1, 1, 2}},
      {{1, 1, 2}, kRight, {1, 3, 3}},  // the nearest column first, however far the row
      {{1, 2, 1}, kRight, {2, 2, 2}},  // the top of the stack, in the same row
      {{1, 1, 2}, kDown,  {2, 2, 2}},
      {{1, 3, 3}, kUp,    {2, 2, 2}},  // two one column away: the higher tile
      {{1, 3, 3}, kRight, {1, 2, 4}},
      {{1, 3, 6}, kRight, {1, 3, 6}},  // nothing that way: the focus stays
      {{1, 3, 6}, kDown,  {1, 5, 6}},
      {{1, 5, 6}, kUp,    {1, 3, 6}},
      {{1, 5, 6}, kLeft,  {1, 2, 4}},
      {{1, 4, 1}, kUp,    {1, 3, 3}},  // from the place of a tile that has gone
      {{1, 1, 1}, kUp,    {1, 1, 1}},
      {{1, 1, 1}, kLeft,  {1, 1, 1}},
  };
  // clang-format on
  for (const Case& c : cases) {
    EXPECT_EQ(MoveFocus(board, c.from, c.step), c.to)
        << "from " << c.from.layer << c.from.row << c.from.column << " step "
        << static_cast<int>(c.step);
  }
  EXPECT_EQ(FirstFocusCell(Board()), BoardCell{});
  EXPECT_EQ(StackTop(board, 2, 2), (BoardCell{2, 2, 2}));
  EXPECT_EQ(StackTop(board, 4, 4), BoardCell{});
}

SavedGame ASavedGame() {
  FixedRandom random(4);
  SavedGame game;
  game.mode = GameMode::kExtra;
  game.level = 3;
  game.score = 7123;
  game.elapsed_seconds = 321;
  game.casual = true;
  game.clock_running = true;
  GenerateLevel(3, game.board, random);
  PlayFirstFreePairs(game.board);
  return game;
}

// The checksum the form ends with, for texts made by hand.
std::string Seal(const std::string& body) {
  std::uint64_t hash = 0xcbf29ce484222325ULL;
  for (const char byte : body) {
    hash ^= static_cast<unsigned char>(byte);
    hash *= 0x100000001b3ULL;
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(hash));
  return body + "check=" + hex + "\n";
}

std::string Body(const std::string& text) { return text.substr(0, text.rfind("check=")); }

TEST(SavedGameForm, ReadsBackWhatItWrote) {
  const SavedGame game = ASavedGame();
  const std::optional<SavedGame> read = DecodeSavedGame(EncodeSavedGame(game));
  ASSERT_TRUE(read);
  EXPECT_EQ(read->mode, game.mode);
  EXPECT_EQ(read->level, game.level);
  EXPECT_EQ(read->score, game.score);
  EXPECT_EQ(read->elapsed_seconds, game.elapsed_seconds);
  EXPECT_EQ(read->casual, game.casual);
  EXPECT_EQ(read->clock_running, game.clock_running);
  EXPECT_EQ(read->board.ToText(), game.board.ToText());
}

TEST(SavedGameForm, RefusesDamagedForeignAndImpossibleGames) {
  const std::string good = EncodeSavedGame(ASavedGame());
  const auto edited = [](SavedGame game, auto change) {
    change(game);
    return EncodeSavedGame(game);
  };
  const auto replaced = [&good](const std::string& from, const std::string& to) {
    std::string body = Body(good);
    body.replace(body.find(from), from.size(), to);
    return Seal(body);
  };
  struct Case {
    const char* label;
    std::string text;
  };
  const Case cases[] = {
      {"empty", ""},
      {"another file", "[Desktop Entry]\nName=Braxo\n"},
      {"a byte changed",
       [&] {
         std::string text = good;
         text[text.find("score=") + 6] ^= 1;
         return text;
       }()},
      {"cut short", good.substr(0, good.size() / 2)},
      {"no checksum", Body(good)},
      {"another first line", replaced("Braxo saved game 1", "Braxo saved game 2")},
      {"a line missing", replaced("casual=1\n", "")},
      {"a number with a sign", replaced("level=3", "level=+3")},
      {"mode 4", replaced("mode=2", "mode=4")},
      {"level 6", replaced("level=3", "level=6")},
      {"a negative score", edited(ASavedGame(), [](SavedGame& g) { g.score = -1; })},
      {"a score no play reaches",
       edited(ASavedGame(), [](SavedGame& g) { g.score = 5000 + 100 * 80; })},
      {"a code the level does not deal", edited(ASavedGame(),
                                                [](SavedGame& g) {
                                                  g.board.SetCode({1, 1, 1}, "x4");
                                                })},
      {"a tile outside the level's shape", edited(ASavedGame(),
                                                  [](SavedGame& g) {
                                                    g.board.SetCode({4, 1, 1}, "o0");
                                                  })},
      {"a code without its pair", edited(ASavedGame(),
                                         [](SavedGame& g) {
                                           g.board.Clear();
                                           g.board.SetCode({1, 1, 1}, "s1");
                                         })},
  };
  for (const Case& c : cases) EXPECT_FALSE(DecodeSavedGame(c.text)) << c.label;
}

}  // namespace
}  // namespace braxo
