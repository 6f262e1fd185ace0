#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>

#include "FakePorts.h"
#include "game/GameState.h"

namespace braxo {
namespace {

using testing::FakeWorld;
using enum AccountState;

const char* kEmptyRows = ".. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n";

// Two pairs on layer 1, all free: suns in row 1, clouds in row 2.
std::string TwoPairs() {
  return std::string("s1 .. .. .. .. s1\no0 .. .. .. .. o0\n") + kEmptyRows;
}

// Changes a running game's position directly.
template <typename Change>
void Adjust(GameState& game, Change change) {
  GamePosition position = game.Position();
  change(position);
  game.SetPosition(std::move(position));
}

class GameFlowTest : public ::testing::Test {
 protected:
  GameFlowTest()
      : random_(1),
        game_(world_.Ports(), random_, {"https://one.example", "https://two.example"},
              [this](int level, Board& board) {
                const auto it = deals_.find(level);
                ASSERT_TRUE(board.FromText(it != deals_.end() ? it->second : TwoPairs()));
              }) {}

  // Start-up, first paint and the click that leaves the title screen: a
  // Normal game on level 1.
  void StartPlaying() {
    game_.Start();
    game_.Paint();
    game_.LeaveTitleScreen();
    world_.Clear();
  }

  void Click(const BoardCell& cell) {
    const CellRect& r = game_.GameBoard().Rect(cell);
    game_.PressBoardAt(r.left + 35, r.top + 35);
  }
  void ClickPair(const BoardCell& a, const BoardCell& b) {
    Click(a);
    Click(b);
  }
  void Animate() {
    int steps = 0;
    while (game_.StepBurstsIfRunning()) ASSERT_LT(++steps, 100);
  }
  // Clears a TwoPairs level the way a player does: pair, tick, pair, tick.
  void PlayTwoPairsLevel() {
    ClickPair({1, 1, 1}, {1, 1, 6});
    Animate();
    game_.Tick();
    ClickPair({1, 2, 1}, {1, 2, 6});
    Animate();
    game_.Tick();
  }
  int Count(const std::string& entry) const {
    return static_cast<int>(std::count(world_.log.begin(), world_.log.end(), entry));
  }

  FakeWorld world_;
  FixedRandom random_;
  std::map<int, std::string> deals_;
  GameState game_;
};

TEST_F(GameFlowTest, WholeNormalGameIsWonLevelByLevel) {
  StartPlaying();
  EXPECT_EQ(game_.Mode(), GameMode::kNormal);
  for (int level = 1; level <= 5; ++level) {
    ASSERT_EQ(game_.Level(), level);
    PlayTwoPairsLevel();
    EXPECT_TRUE(game_.GameBoard().IsBoardCleared());
    EXPECT_FALSE(game_.ClockRunning());
    if (level < 5) game_.PressBoardAt(200, 200);  // on to the next level
  }
  // Per level: two pairs (+200) and two running ticks (-2).
  EXPECT_EQ(game_.Score(), 5000 + 5 * (200 - 2));
  EXPECT_EQ(world_.Only("Play STimer").size(), 10u);  // one per running tick
  EXPECT_EQ(Count("Play STada"), 4);
  EXPECT_EQ(Count("Play SEnd"), 1);
  EXPECT_EQ(Count("Play SHaHa"), 0);
  EXPECT_EQ(Count("CountFinishedGame 100000000000"), 1);
  EXPECT_EQ(Count("TopTenEntryWindow"), 1);
  EXPECT_EQ(world_.top_ten_entry_scores, std::vector<int>{game_.Score()});

  // The game is over: neither clicks nor ticks do anything more.
  world_.Clear();
  game_.PressBoardAt(200, 200);
  game_.Tick();
  EXPECT_TRUE(world_.log.empty()) << world_.log.front();
}

TEST_F(GameFlowTest, FirstTickAfterTheFirstPairGives5099) {
  StartPlaying();
  EXPECT_EQ(game_.Score(), 5000);
  EXPECT_FALSE(game_.ClockRunning());
  game_.Tick();  // the clock does not run before the first pair
  EXPECT_EQ(game_.Score(), 5000);
  ClickPair({1, 1, 1}, {1, 1, 6});
  EXPECT_EQ(game_.Score(), 5100);
  EXPECT_TRUE(game_.ClockRunning());
  game_.Tick();
  EXPECT_EQ(game_.Score(), 5099);
}

TEST_F(GameFlowTest, TakingAPairFollowsTheOrderOfTheRemoval) {
  StartPlaying();
  Click({1, 1, 1});
  world_.Clear();
  Click({1, 1, 6});
  EXPECT_EQ(world_.log, (std::vector<std::string>{"Play SClick2", "DrawStatusPanel 4",
                                                  "DrawStatusPanel 3", "StartTimer"}));
  // The clicked tile bursts at (left - 15, top - 45), the selected one at
  // (left - 12, top - 40).
  EXPECT_EQ(game_.Bursts().Slots()[0].x, 373 - 15);
  EXPECT_EQ(game_.Bursts().Slots()[0].y, 23 - 45);
  EXPECT_EQ(game_.Bursts().Slots()[1].x, 23 - 12);
  EXPECT_EQ(game_.Bursts().Slots()[1].y, 23 - 40);
  // Until the bursts empty the cells the pair still counts.
  EXPECT_EQ(game_.PossiblePairs(), 2);
}

TEST_F(GameFlowTest, GameIsLostWhenNoPairIsLeft) {
  deals_[1] = std::string("s1 .. .. .. .. s1\nr1 .. .. .. .. k1\n") + kEmptyRows;
  StartPlaying();
  ClickPair({1, 1, 1}, {1, 1, 6});
  Animate();
  game_.Tick();
  EXPECT_EQ(Count("Play SHaHa"), 1);
  EXPECT_FALSE(game_.ClockRunning());
  EXPECT_EQ(Count("CountFinishedGame 100000000000"), 1);
  EXPECT_EQ(Count("TopTenEntryWindow"), 0);  // only a completed mode enters the tournament
  const int score = game_.Score();

  // After the loss the clock is still, and clicks only move the selection.
  world_.Clear();
  game_.Tick();
  Click({1, 2, 1});
  Click({1, 2, 6});
  EXPECT_EQ(game_.Score(), score);
  EXPECT_EQ(game_.Selection(), (BoardCell{1, 2, 6}));
  EXPECT_EQ(world_.Only("Play"), (std::vector<std::string>{"Play SClick1", "Play SClick1"}));
}

TEST_F(GameFlowTest, DealWithoutAnyPairIsLostAtOnce) {
  deals_[1] = std::string("s1 .. .. .. .. r1\n.. .. .. .. .. ..\n") + kEmptyRows;
  StartPlaying();
  // Lost with the deal, without waiting for a clock that never starts.
  EXPECT_EQ(game_.PossiblePairs(), 0);
  EXPECT_EQ(game_.Message(), BoardMessage::kNoPairDealt);
  EXPECT_FALSE(game_.GameGoingOn());
  EXPECT_EQ(game_.Score(), 5000);
  world_.Clear();
  game_.StartNormalGame();  // the same deal again
  EXPECT_EQ(Count("Play SHaHa"), 1);
  EXPECT_EQ(Count("CountFinishedGame 100000000000"), 1);
  EXPECT_EQ(game_.Message(), BoardMessage::kNoPairDealt);
  world_.Clear();
  for (int i = 0; i < 5; ++i) game_.Tick();
  EXPECT_EQ(game_.Score(), 5000);
  EXPECT_TRUE(world_.log.empty());
}

TEST_F(GameFlowTest, TheBoardSaysWhatHappened) {
  deals_[2] = std::string("s1 .. .. .. .. s1\nr1 .. .. .. .. k1\n") + kEmptyRows;
  StartPlaying();
  EXPECT_EQ(game_.Message(), BoardMessage::kNone);
  PlayTwoPairsLevel();
  EXPECT_EQ(game_.Message(), BoardMessage::kLevelCleared);
  EXPECT_EQ(game_.View().message, BoardMessage::kLevelCleared);
  game_.PressBoardAt(200, 200);
  EXPECT_EQ(game_.Message(), BoardMessage::kNone);
  ClickPair({1, 1, 1}, {1, 1, 6});
  Animate();
  world_.Clear();
  game_.Tick();
  EXPECT_EQ(game_.Message(), BoardMessage::kGameOver);
  // The message is drawn before the end of the game opens its windows.
  const auto render = std::find(world_.log.begin(), world_.log.end(), "RenderBoard");
  const auto report =
      std::find(world_.log.begin(), world_.log.end(), "CountFinishedGame 100000000000");
  EXPECT_LT(render, report);
  EXPECT_EQ(game_.Selection(), BoardCell{});

  // A whole mode cleared says so too.
  deals_.erase(2);
  game_.StartNormalGame();
  for (int level = 1; level <= 5; ++level) {
    PlayTwoPairsLevel();
    if (level < 5) game_.PressBoardAt(200, 200);
  }
  EXPECT_EQ(game_.Message(), BoardMessage::kModeCompleted);
}

TEST_F(GameFlowTest, PauseHidesTheBoardAndStopsTheClock) {
  StartPlaying();
  ClickPair({1, 1, 1}, {1, 1, 6});
  game_.Tick();
  const int score = game_.Score();
  EXPECT_EQ(score, 5099);
  Click({1, 2, 1});
  world_.Clear();
  game_.TogglePause();
  EXPECT_TRUE(game_.Paused());
  EXPECT_TRUE(game_.View().paused);
  // The bursts are landed at once: none is drawn over the pause panel.
  EXPECT_FALSE(game_.Bursts().AnyActive());
  EXPECT_FALSE(game_.GameBoard().HasTile({1, 1, 1}));
  EXPECT_EQ(world_.Only("RenderBoard").size(), 1u);
  for (int i = 0; i < 10; ++i) game_.Tick();
  EXPECT_EQ(game_.Score(), score);
  EXPECT_TRUE(world_.Only("Play").empty());

  // While paused the keys and clicks of play do nothing; a click resumes only.
  game_.MoveKeyboardFocus(FocusStep::kRight);
  game_.Undo();
  game_.PressBoardAt(400, 120);
  EXPECT_FALSE(game_.Paused());
  EXPECT_EQ(game_.Selection(), (BoardCell{1, 2, 1}));
  EXPECT_EQ(game_.Score(), score);
  game_.Tick();
  EXPECT_EQ(game_.Score(), score - 1);

  // A game that is over does not pause.
  Click({1, 2, 6});
  Animate();
  game_.Tick();
  ASSERT_TRUE(game_.GameBoard().IsBoardCleared());
  game_.Pause();
  EXPECT_TRUE(game_.Paused()) << "a cleared level waiting for its click is still a game";
  game_.Resume();
  deals_[2] = std::string("s1 .. .. .. .. r1\n.. .. .. .. .. ..\n") + kEmptyRows;
  game_.PressBoardAt(200, 200);
  ASSERT_FALSE(game_.GameGoingOn());
  game_.Pause();
  EXPECT_FALSE(game_.Paused());
}

TEST_F(GameFlowTest, KeyboardPlaysAPairAndDropsTheSelection) {
  StartPlaying();
  EXPECT_EQ(game_.View().focus, BoardCell{});
  game_.MoveKeyboardFocus(FocusStep::kDown);  // the first arrow shows the focus
  EXPECT_EQ(game_.View().focus, (BoardCell{1, 1, 1}));
  game_.PressFocusedTile();
  EXPECT_EQ(game_.Selection(), (BoardCell{1, 1, 1}));
  game_.DropSelection();
  EXPECT_EQ(game_.Selection(), BoardCell{});
  game_.PressFocusedTile();
  game_.MoveKeyboardFocus(FocusStep::kRight);
  EXPECT_EQ(game_.View().focus, (BoardCell{1, 1, 6}));
  game_.PressFocusedTile();
  EXPECT_EQ(game_.Score(), 5100);
  // A mouse press hides the focus again.
  game_.PressBoardAt(300, 300);
  EXPECT_EQ(game_.View().focus, BoardCell{});
}

TEST_F(GameFlowTest, KeyboardOnABlockedTileShakesItAndAClearedLevelGoesOn) {
  deals_[1] = std::string("s1 s2 s1 .. .. ..\n.. .. .. .. .. ..\n") + kEmptyRows;
  StartPlaying();
  game_.MoveKeyboardFocus(FocusStep::kRight);
  game_.MoveKeyboardFocus(FocusStep::kRight);
  world_.Clear();
  game_.PressFocusedTile();
  EXPECT_EQ(world_.log, std::vector<std::string>{"ShakeTile 1,1,2"});
  EXPECT_EQ(game_.Selection(), BoardCell{});

  deals_.erase(1);
  game_.StartNormalGame();
  PlayTwoPairsLevel();
  game_.PressFocusedTile();
  EXPECT_EQ(game_.Level(), 2);
}

class CasualGameTest : public GameFlowTest {
 protected:
  CasualGameTest() { world_.options.casual_mode = true; }
};

TEST_F(CasualGameTest, HintShowsOnlyRealPairsInTurnAndSaysWhenNoneIsLeft) {
  deals_[1] = std::string("s1 k1 .. .. k1 s1\nr1 .. .. .. .. r2\n") + kEmptyRows;
  StartPlaying();
  ASSERT_TRUE(game_.CasualGame());
  game_.ShowHint();
  ASSERT_TRUE(game_.View().hint);
  EXPECT_EQ(*game_.View().hint, (TilePair{{1, 1, 1}, {1, 1, 6}}));
  game_.ShowHint();  // the next one
  EXPECT_EQ(*game_.View().hint, (TilePair{{1, 1, 2}, {1, 1, 5}}));
  game_.ShowHint();  // and round again
  EXPECT_EQ(*game_.View().hint, (TilePair{{1, 1, 1}, {1, 1, 6}}));
  ClickPair({1, 1, 1}, {1, 1, 6});
  EXPECT_FALSE(game_.View().hint);  // a taken pair clears the hint
  game_.ShowHint();                 // the tiles in the air are no hint
  EXPECT_EQ(*game_.View().hint, (TilePair{{1, 1, 2}, {1, 1, 5}}));
  ClickPair({1, 1, 2}, {1, 1, 5});
  game_.ShowHint();
  EXPECT_FALSE(game_.View().hint);
  EXPECT_EQ(game_.Message(), BoardMessage::kNoHint);
}

TEST_F(CasualGameTest, UndoAndRedoRestoreExactBoardsAndScores) {
  deals_[1] = std::string("s1 k1 .. .. k1 s1\nr1 .. .. .. .. r1\n") + kEmptyRows;
  StartPlaying();
  const std::string dealt = game_.GameBoard().ToText();
  ClickPair({1, 1, 1}, {1, 1, 6});
  Animate();
  game_.Tick();
  game_.Tick();
  const std::string after_first = game_.GameBoard().ToText();
  const int score_after_first = game_.Score();  // 5098
  ClickPair({1, 1, 2}, {1, 1, 5});
  Animate();
  const std::string after_second = game_.GameBoard().ToText();
  const int score_after_second = game_.Score();

  game_.Undo();
  EXPECT_EQ(game_.GameBoard().ToText(), after_first);
  EXPECT_EQ(game_.Score(), score_after_first);
  game_.Undo();
  EXPECT_EQ(game_.GameBoard().ToText(), dealt);
  EXPECT_EQ(game_.Score(), 5000);
  EXPECT_FALSE(game_.ClockRunning());  // back at the level's first move
  game_.Undo();                        // nothing before the level's first move
  EXPECT_EQ(game_.GameBoard().ToText(), dealt);
  game_.Redo();
  game_.Redo();
  EXPECT_EQ(game_.GameBoard().ToText(), after_second);
  EXPECT_EQ(game_.Score(), score_after_second);
  EXPECT_TRUE(game_.ClockRunning());
  game_.Redo();  // nothing undone left
  EXPECT_EQ(game_.GameBoard().ToText(), after_second);

  // A new move drops what was undone.
  game_.Undo();
  ClickPair({1, 2, 1}, {1, 2, 6});
  game_.Redo();
  EXPECT_TRUE(game_.GameBoard().HasTile({1, 1, 2}));
}

TEST_F(CasualGameTest, ADealWithoutAPairOffersTheShuffleBeforeTheLoss) {
  deals_[1] = std::string("s1 r1 k1 s1 r1 k1\n.. .. .. .. .. ..\n") + kEmptyRows;
  StartPlaying();
  world_.Clear();
  game_.StartNormalGame();  // the player says no
  EXPECT_EQ(Count("AskYesNo " + game_.Text(MsgId::MsgOfferShuffle)), 1);
  EXPECT_EQ(Count("Play SHaHa"), 1);
  EXPECT_FALSE(game_.GameGoingOn());
  EXPECT_EQ(game_.Message(), BoardMessage::kNoPairDealt);
}

TEST_F(CasualGameTest, ShuffleKeepsTheTilesLeavesAPairAndCanBeUndone) {
  deals_[1] = std::string("s1 r1 k1 k1 r1 s1\nr2 r2 .. .. .. ..\n") + kEmptyRows;
  StartPlaying();
  ClickPair({1, 2, 1}, {1, 2, 2});
  Animate();
  const Board before = game_.GameBoard();
  const int score = game_.Score();
  game_.ShuffleOnDemand();
  std::map<std::string, int> codes;
  ForEachCellInBoardOrder([&](const BoardCell& cell) {
    EXPECT_EQ(game_.GameBoard().HasTile(cell), before.HasTile(cell));
    if (game_.GameBoard().HasTile(cell)) ++codes[game_.GameBoard().Code(cell)];
  });
  EXPECT_EQ(codes, (std::map<std::string, int>{{"k1", 2}, {"r1", 2}, {"s1", 2}}));
  EXPECT_GT(game_.PossiblePairs(), 0);
  EXPECT_EQ(game_.Score(), score);
  game_.Undo();
  EXPECT_EQ(game_.GameBoard().ToText(), before.ToText());

  // With no pair left the player is asked; yes shuffles and play goes on.
  deals_[1] = std::string("s1 r1 s1 r1 .. ..\n.. .. .. .. .. ..\n") + kEmptyRows;
  world_.yes_no_answers = {true};
  world_.Clear();
  game_.StartNormalGame();
  EXPECT_EQ(Count("AskYesNo " + game_.Text(MsgId::MsgOfferShuffle)), 1);
  EXPECT_GT(game_.PossiblePairs(), 0);
  EXPECT_TRUE(game_.GameGoingOn());
  EXPECT_EQ(Count("Play SHaHa"), 0);
}

TEST_F(CasualGameTest, ALoneStackCannotBeShuffledAndTheGameIsLost) {
  deals_[1] = std::string(
                  ".. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. s1 .. .. ..\n"
                  ".. .. .. .. .. ..\n.. .. .. .. .. ..\n\n") +
              ".. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. s1 .. .. ..\n.. .. .. .. .. ..\n"
              ".. .. .. .. .. ..\n";
  world_.yes_no_answers = {true};
  StartPlaying();
  EXPECT_FALSE(game_.GameGoingOn());
  EXPECT_EQ(game_.Message(), BoardMessage::kNoPairDealt);
  EXPECT_EQ(world_.yes_no_answers.size(), 1u);  // nothing was asked
}

TEST_F(CasualGameTest, ACasualGameCountsNowhereButInTheUsageReport) {
  world_.champions_threshold = 0;  // any score would enter the table
  world_.on_account_window = [](AccountWindowPurpose, bool) { return AccountState::kRated; };
  world_.on_top_ten_entry_window = [](int) { return 1; };
  StartPlaying();
  // A rated game is going on when the casual one starts: given up only on yes.
  world_.session.account_state = kRated;
  world_.session.rated_game_open = true;
  world_.yes_no_answers = {true};
  world_.Clear();
  game_.StartNormalGame();
  ASSERT_TRUE(game_.CasualGame());
  EXPECT_FALSE(world_.session.rated_game_open);
  EXPECT_EQ(world_.session.account_state, kLoggedIn);
  struct Ending {
    const char* label;
    bool win;
  };
  for (const Ending ending : {Ending{"the mode completed", true}, Ending{"a loss", false}}) {
    SCOPED_TRACE(ending.label);
    if (!ending.win) {
      deals_[1] = std::string("s1 .. .. .. .. s1\nr1 .. .. .. .. k1\n") + kEmptyRows;
      game_.StartNormalGame();
      ClickPair({1, 1, 1}, {1, 1, 6});
      Animate();
      game_.Tick();  // no pair: the shuffle is refused (no answer left)
    } else {
      for (int level = 1; level <= 5; ++level) {
        PlayTwoPairsLevel();
        if (level < 5) game_.PressBoardAt(200, 200);
      }
    }
    EXPECT_FALSE(game_.GameGoingOn());
    EXPECT_EQ(Count("CountFinishedGame 100000000000"), 1);
    for (const char* never :
         {"AccountWindow", "RegisterRatedGame", "SaveRatedResult", "PasswordWindow 2",
          "AddChampion", "ChampionsThreshold", "TopTenEntryWindow", "CreditKezs"})
      EXPECT_TRUE(world_.Only(never).empty()) << never;
    world_.Clear();
  }
}

TEST_F(GameFlowTest, AGameLeftByClosingIsOfferedAtTheNextStartAndResumedPaused) {
  deals_[1] = std::string("s1 k1 .. .. k1 s1\nr1 .. .. .. .. r1\n") + kEmptyRows;
  StartPlaying();
  ClickPair({1, 1, 1}, {1, 1, 6});  // in the air when the window closes
  game_.Tick();
  Click({1, 1, 2});
  const int score = game_.Score();
  game_.ShutDown();
  ASSERT_TRUE(world_.saved_game);

  struct Case {
    const char* label;
    bool yes;
  };
  for (const Case c : {Case{"declined", false}, Case{"resumed", true}}) {
    SCOPED_TRACE(c.label);
    const std::optional<std::string> saved = world_.saved_game;
    FakeWorld world;
    world.saved_game = saved;
    world.yes_no_answers = {c.yes};
    FixedRandom random(1);
    GameState next(world.Ports(), random, {"a", "b"},
                   [](int, Board& board) { ASSERT_TRUE(board.FromText(TwoPairs())); });
    next.Start();
    next.Paint();
    next.LeaveTitleScreen();
    EXPECT_FALSE(world.saved_game) << "the save is used once";
    EXPECT_EQ(world.Only("AskYesNo").size(), 1u);
    if (!c.yes) {
      EXPECT_EQ(next.Score(), 5000);
      EXPECT_FALSE(next.Paused());
      EXPECT_EQ(next.GameBoard().ToText(), [] {
        Board b;
        b.FromText(TwoPairs());
        return b.ToText();
      }());
      continue;
    }
    EXPECT_TRUE(next.Paused());
    EXPECT_EQ(next.Score(), score);
    EXPECT_EQ(next.Level(), 1);
    EXPECT_EQ(next.Mode(), GameMode::kNormal);
    EXPECT_EQ(next.ElapsedSeconds(), 1);
    EXPECT_EQ(next.Selection(), BoardCell{});  // the selection is dropped
    EXPECT_EQ(next.GameBoard().ToText(), game_.GameBoard().ToText());
    EXPECT_FALSE(next.GameBoard().HasTile({1, 1, 1}));  // the pair in the air was taken
    next.Tick();
    EXPECT_EQ(next.Score(), score);
    next.PressBoardAt(10, 10);  // resumes
    next.Tick();
    EXPECT_EQ(next.Score(), score - 1);
  }
}

TEST_F(GameFlowTest, ADamagedSaveIsRefusedWithItsMessageAndAFreshGameStarts) {
  world_.saved_game = "Braxo saved game 1\nmode=1\n";
  game_.Start();
  game_.Paint();
  game_.LeaveTitleScreen();
  EXPECT_EQ(world_.Only("Notice"),
            std::vector<std::string>{"Notice " + game_.Text(MsgId::MsgSavedGameRefused) + "||"});
  EXPECT_FALSE(world_.saved_game);
  EXPECT_FALSE(game_.Paused());
  EXPECT_EQ(game_.Score(), 5000);
  EXPECT_TRUE(game_.GameGoingOn());
}

TEST_F(GameFlowTest, OnlyAGameGoingOnAndNotRatedIsSavedAtTheClose) {
  enum class Play { kNothing, kAPair, kARatedPair, kWholeMode };
  struct Case {
    const char* label;
    Play play;
    bool saved;
  };
  const Case cases[] = {
      {"no pair taken yet", Play::kNothing, false},
      {"a pair taken", Play::kAPair, true},
      {"a rated game", Play::kARatedPair, false},
      {"a game that is over", Play::kWholeMode, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    world_.saved_game.reset();
    world_.session.rated_game_open = false;
    game_.Start();
    StartPlaying();
    switch (c.play) {
      case Play::kNothing:
        break;
      case Play::kARatedPair:
        world_.session.rated_game_open = true;
        [[fallthrough]];
      case Play::kAPair:
        ClickPair({1, 1, 1}, {1, 1, 6});
        break;
      case Play::kWholeMode:
        for (int level = 1; level <= 5; ++level) {
          PlayTwoPairsLevel();
          if (level < 5) game_.PressBoardAt(200, 200);
        }
        break;
    }
    game_.ShutDown();
    EXPECT_EQ(world_.saved_game.has_value(), c.saved);
  }
}

TEST_F(GameFlowTest, ClicksChooseDropOrMoveTheSelection) {
  deals_[1] = std::string("s1 s2 s2 .. .. s1\n.. .. .. .. .. ..\n") + kEmptyRows +
              "\n.. .. .. .. .. s2\n.. .. .. .. .. ..\n" + kEmptyRows;
  StartPlaying();
  struct Step {
    const char* what;
    int x, y;
    BoardCell selection_after;
    const char* sound;           // nullptr: no sound at all
    const char* only = nullptr;  // with no sound: the one thing that happens, if any
  };
  const Step steps[] = {
      {"first free tile selects", 50, 50, {1, 1, 1}, "Play SClick1"},
      {"a blocked tile only shakes", 128, 50, {1, 1, 1}, nullptr, "ShakeTile 1,1,2"},
      {"no tile does nothing", 300, 300, {1, 1, 1}, nullptr},
      {"the selected tile again deselects", 50, 50, {}, "Play SClick1"},
      {"select a sun again", 50, 50, {1, 1, 1}, "Play SClick1"},
      {"a different code moves the selection", 198, 50, {1, 1, 3}, "Play SClick1"},
      {"an equal code on another layer takes the pair", 400, 50, {}, "Play SClick2"},
  };
  for (const Step& s : steps) {
    world_.Clear();
    game_.PressBoardAt(s.x, s.y);
    EXPECT_EQ(game_.Selection(), s.selection_after) << s.what;
    if (s.sound) {
      EXPECT_EQ(world_.Only("Play"), std::vector<std::string>{s.sound}) << s.what;
    } else if (s.only) {
      EXPECT_EQ(world_.log, std::vector<std::string>{s.only}) << s.what;
    } else {
      EXPECT_TRUE(world_.log.empty()) << s.what;
    }
  }
  EXPECT_EQ(game_.Score(), 5100);
}

TEST_F(GameFlowTest, TileOnItsWayOffCannotBeTakenAgain) {
  // Four suns. Without the guard, a flying sun could be paired with a third
  // one and the fourth would be stranded with no partner.
  deals_[1] = std::string("s1 .. .. .. .. s1\n.. .. .. .. .. ..\ns1 .. .. .. .. s1\n") +
              ".. .. .. .. .. ..\n.. .. .. .. .. ..\n";
  StartPlaying();
  ClickPair({1, 1, 1}, {1, 1, 6});
  Click({1, 1, 1});  // flying: not selectable
  EXPECT_TRUE(game_.Selection().IsNone());
  Click({1, 3, 1});
  Click({1, 1, 6});  // flying: cannot complete a pair
  EXPECT_EQ(game_.Selection(), (BoardCell{1, 3, 1}));
  EXPECT_EQ(game_.Score(), 5100);
  Animate();
  Click({1, 3, 6});
  Animate();
  EXPECT_TRUE(game_.GameBoard().IsBoardCleared());
  EXPECT_EQ(game_.Score(), 5200);
}

TEST_F(GameFlowTest, ClickOnAClearedLevelAdvancesBeforeTheTickNotices) {
  StartPlaying();
  ClickPair({1, 1, 1}, {1, 1, 6});
  ClickPair({1, 2, 1}, {1, 2, 6});
  Animate();
  world_.Clear();
  game_.PressBoardAt(5, 5);  // anywhere on the board
  EXPECT_EQ(game_.Level(), 2);
  EXPECT_EQ(world_.Only("Play"), std::vector<std::string>{"Play SClick1"});
  EXPECT_FALSE(game_.ClockRunning());
  EXPECT_EQ(game_.Score(), 5200);  // carried over, no tick ran
  game_.Tick();
  EXPECT_EQ(Count("Play STada"), 0);
}

TEST_F(GameFlowTest, ScoreStopsAtZeroAndTheTickSoundWithIt) {
  StartPlaying();
  ClickPair({1, 1, 1}, {1, 1, 6});
  Adjust(game_, [](GamePosition& p) { p.score = 1; });
  game_.Tick();
  EXPECT_EQ(game_.Score(), 0);
  world_.Clear();
  game_.Tick();
  EXPECT_EQ(game_.Score(), 0);
  EXPECT_EQ(Count("Play STimer"), 0);
}

TEST_F(GameFlowTest, LevelSoundsFollowTheMode) {
  world_.on_mode_password = [](GameMode mode, const std::string&) {
    return mode == GameMode::kExtra;
  };
  StartPlaying();
  game_.StartExtraGame();
  PlayTwoPairsLevel();
  EXPECT_EQ(Count("Play SSton"), 1);
  EXPECT_EQ(Count("Play STada"), 0);
}

TEST_F(GameFlowTest, PasswordWindowOpensExtraAndSuper) {
  struct Case {
    const char* name;
    int button;
    bool accept;
    GameMode expected_mode;
  };
  const Case cases[] = {
      {"Extra accepted", 2, true, GameMode::kExtra},
      {"Super accepted", 3, true, GameMode::kSuper},
      {"Extra refused leaves the game", 2, false, GameMode::kNormal},
      {"Super refused leaves the game", 3, false, GameMode::kNormal},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWorld world;
    FixedRandom random(3);
    GameState game(world.Ports(), random, {"a", "b"});
    world.on_mode_password = [&](GameMode mode, const std::string& password) {
      EXPECT_EQ(static_cast<int>(mode), c.button);
      // The window checks against the mode's own password, and only the flow
      // starts the mode.
      EXPECT_EQ(password,
                mode == GameMode::kExtra ? AssembleExtraPassword() : AssembleSuperPassword());
      EXPECT_EQ(game.Mode(), GameMode::kNormal);
      return c.accept;
    };
    game.Start();
    game.Paint();
    game.LeaveTitleScreen();
    const std::string board_before = game.GameBoard().ToText();
    world.Clear();
    c.button == 2 ? game.StartExtraGame() : game.StartSuperGame();
    EXPECT_EQ(game.Mode(), c.expected_mode);
    EXPECT_EQ(world.Only("PasswordWindow"),
              std::vector<std::string>{c.button == 2 ? "PasswordWindow 0" : "PasswordWindow 1"});
    if (c.accept) {
      EXPECT_EQ(world.Only("ShowBoardLayout").size(), 1u);
      EXPECT_EQ(game.Score(), 5000);
    } else {
      EXPECT_EQ(game.GameBoard().ToText(), board_before);
      EXPECT_TRUE(world.Only("ShowBoardLayout").empty());
      EXPECT_TRUE(world.Only("AccountWindow").empty());
    }
  }
}

TEST_F(GameFlowTest, PreGameCheckBranches) {
  struct Case {
    const char* name;
    bool rated_open_before;
    std::deque<bool> answers;
    std::optional<AccountState> state_left_by_window;  // none: the window is not shown
    bool register_ok;
    bool starts;
    AccountState state_after;
    bool rated_after;
    bool notice;
  };
  const Case cases[] = {
      {"nobody logged in", false, {}, kNobody, true, true, kNobody, false, false},
      {"logged in, not rated", false, {}, kLoggedIn, true, true, kLoggedIn, false, false},
      {"rated game registered", false, {}, kRated, true, true, kRated, true, false},
      {"registration fails", false, {}, kRated, false, true, kNobody, false, true},
      {"rated game open, player keeps it",
       true,
       {false},
       std::nullopt,
       true,
       false,
       kRated,
       true,
       false},
      {"rated game open, player starts anew",
       true,
       {true},
       kLoggedIn,
       true,
       true,
       kLoggedIn,
       false,
       false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWorld world;
    FixedRandom random(3);
    GameState game(world.Ports(), random, {"a", "b"});
    game.Start();
    game.Paint();
    game.LeaveTitleScreen();
    game.Session().account_state = c.rated_open_before ? kRated : kNobody;
    game.Session().rated_game_open = c.rated_open_before;
    Adjust(game, [](GamePosition& p) { p.level = 4; });
    world.yes_no_answers = c.answers;
    world.register_ok = c.register_ok;
    world.on_account_window = [&](AccountWindowPurpose purpose, bool game_in_progress) {
      EXPECT_EQ(purpose, AccountWindowPurpose::kPreGameCheck);
      EXPECT_FALSE(game_in_progress);
      return c.state_left_by_window;
    };
    world.Clear();
    game.StartNormalGame();
    world.FinishClubSteps();
    EXPECT_EQ(world.Only("AccountWindow").size(), c.state_left_by_window ? 1u : 0u);
    EXPECT_EQ(game.Level(), c.starts ? 1 : 4);
    EXPECT_EQ(game.Session().account_state, c.state_after);
    EXPECT_EQ(game.Session().rated_game_open, c.rated_after);
    EXPECT_EQ(world.Only("Notice").size(), c.notice ? 1u : 0u);
    if (c.notice) {
      EXPECT_EQ(world.Only("Notice")[0],
                "Notice Could not connect to server!|The game is not on the rating!|");
    }
    if (c.starts) {
      EXPECT_EQ(world.Only("DrawAccountLamp").back(),
                "DrawAccountLamp " + std::to_string(static_cast<int>(c.state_after)));
    }
    if (c.rated_open_before) {
      EXPECT_EQ(world.Only("AskYesNo")[0],
                "AskYesNo There is a game on the rating!\n\rDo you really want to start a new "
                "game?");
    }
    // After the check a game is in progress: the account icon opens the
    // window for browsing only.
    world.on_account_window = nullptr;
    game.OpenAccount();
    ASSERT_FALSE(world.account_windows.empty());
    EXPECT_TRUE(world.account_windows.back().game_in_progress);
  }
}

TEST_F(GameFlowTest, EndOfACompletedRatedGameRunsItsStepsInOrder) {
  StartPlaying();
  game_.Session().account_state = kRated;
  game_.Session().rated_game_open = true;
  world_.champions_threshold = 5000;
  world_.save_rated_results = {RatedSave::kFailed, RatedSave::kFailed, RatedSave::kSaved};
  world_.yes_no_answers = {true, true};
  world_.on_champion_name = [] { return std::optional<std::string>("Ann"); };
  world_.on_top_ten_entry_window = [this](int score) {
    EXPECT_EQ(score, game_.Score());
    return std::optional<int>(1);
  };
  for (int level = 1; level <= 5; ++level) {
    if (level == 5) world_.Clear();
    PlayTwoPairsLevel();
    if (level < 5) game_.PressBoardAt(200, 200);
  }
  world_.FinishClubSteps();
  const std::string score = std::to_string(game_.Score());
  std::vector<std::string> end;
  for (const std::string& entry : world_.log) {
    if (entry.rfind("RenderBoard", 0) == 0 || entry.rfind("DrawBurst", 0) == 0 ||
        entry.rfind("DrawStatusPanel", 0) == 0 || entry.rfind("Play", 0) == 0 ||
        entry.rfind("StartTimer", 0) == 0)
      continue;
    end.push_back(entry);
  }
  const std::string retry = "AskYesNo Could not connect to server!\n\rRepeat?";
  EXPECT_EQ(
      end, (std::vector<std::string>{
               "CountFinishedGame 100000000000", "SaveRatedResult " + score, retry,
               "SaveRatedResult " + score, retry, "SaveRatedResult " + score, "ChampionsThreshold",
               "PasswordWindow 2", "AddChampion Ann " + score, "TopTenEntryWindow", "CreditKezs 25",
               "Notice You get 25 Kezs!!!||", "ReadKezsBalance", "DrawAccountLamp 2"}));
  EXPECT_FALSE(game_.Session().rated_game_open);
  EXPECT_EQ(game_.Session().account_state, kLoggedIn);
  // The game is over: the account icon opens the whole window again.
  game_.OpenAccount();
  ASSERT_FALSE(world_.account_windows.empty());
  EXPECT_FALSE(world_.account_windows.back().game_in_progress);
}

TEST_F(GameFlowTest, ARecordWithoutAStartedGameIsReportedOnceWithoutRepeats) {
  StartPlaying();
  game_.Session().account_state = kRated;
  game_.Session().rated_game_open = true;
  world_.save_rated_results = {RatedSave::kNotRecordable};
  world_.yes_no_answers = {true, true, true};
  for (int level = 1; level <= 5; ++level) {
    PlayTwoPairsLevel();
    if (level < 5) game_.PressBoardAt(200, 200);
  }
  world_.FinishClubSteps();
  EXPECT_EQ(world_.Only("SaveRatedResult").size(), 1u);
  EXPECT_TRUE(world_.Only("AskYesNo").empty());
  EXPECT_EQ(world_.Only("Notice"),
            std::vector<std::string>{"Notice Unable to write the result of the game!||"});
  EXPECT_FALSE(game_.Session().rated_game_open);
}

// A game whose last pair is gone but whose end the clock has not yet seen:
// the ticks that arrive while the pre-game check's windows are open must not
// end it inside the check.
TEST_F(GameFlowTest, TheClockWaitsWhileThePreGameCheckIsOpen) {
  for (const bool start_anew : {false, true}) {
    SCOPED_TRACE(start_anew ? "player starts anew" : "player keeps the rated game");
    FakeWorld world;
    FixedRandom random(3);
    GameState game(world.Ports(), random, {"a", "b"},
                   [](int, Board& board) { ASSERT_TRUE(board.FromText(TwoPairs())); });
    game.Start();
    game.Paint();
    game.LeaveTitleScreen();
    game.Session().account_state = kRated;
    game.Session().rated_game_open = true;
    const auto take = [&](const BoardCell& a, const BoardCell& b) {
      for (const BoardCell& cell : {a, b}) {
        const CellRect& r = game.GameBoard().Rect(cell);
        game.PressBoardAt(r.left + 35, r.top + 35);
      }
      for (int steps = 0; game.StepBurstsIfRunning();) ASSERT_LT(++steps, 100);
    };
    for (int level = 1; level <= 5; ++level) {
      take({1, 1, 1}, {1, 1, 6});
      game.Tick();
      take({1, 2, 1}, {1, 2, 6});
      if (level < 5) {
        game.Tick();
        game.PressBoardAt(200, 200);
      }
    }
    ASSERT_TRUE(game.GameBoard().IsBoardCleared());
    ASSERT_TRUE(game.ClockRunning());
    const int score = game.Score();
    const auto ticks_do_nothing = [&] {
      for (int i = 0; i < 3; ++i) game.Tick();
      EXPECT_EQ(game.Score(), score);
      EXPECT_TRUE(world.Only("SaveRatedResult").empty());
      EXPECT_TRUE(world.Only("CountFinishedGame").empty());
    };
    world.on_yes_no = ticks_do_nothing;
    world.on_account_window = [&](AccountWindowPurpose, bool) {
      ticks_do_nothing();
      return std::optional<AccountState>(kLoggedIn);
    };
    world.yes_no_answers = {start_anew};
    world.Clear();
    game.StartNormalGame();
    if (start_anew) {
      EXPECT_EQ(game.Level(), 1);
      EXPECT_FALSE(game.ClockRunning());
      EXPECT_TRUE(world.Only("SaveRatedResult").empty());
    } else {
      // The kept game goes on and its end, with the rated result, follows
      // at the next tick.
      EXPECT_TRUE(game.ClockRunning());
      world.on_yes_no = nullptr;
      game.Tick();
      world.FinishClubSteps();
      EXPECT_EQ(world.Only("SaveRatedResult"),
                std::vector<std::string>{"SaveRatedResult " + std::to_string(score - 1)});
    }
  }
}

// Each club step holds the game until it ends: no input reaches the board,
// the clock stands still, no game starts and the account window stays shut.
// Then the step ends as the club answers, or the player stops waiting with
// Esc, or closes the window.
TEST_F(GameFlowTest, AClubStepHoldsTheGameUntilItEndsIsStoppedOrTheWindowCloses) {
  enum class Ending { kClubAnswers, kEscape, kClose };
  struct Case {
    const char* label;
    ClubStep step;
    Ending ending;
    std::vector<std::string> notices;
    bool new_game_started;  // a registration's game
    AccountState state_after;
    bool rated_after;
    bool top_ten_window_after;  // the end of the game went on to the world top ten
    bool saved_for_later;
  };
  const std::string not_on_rating = "Notice The game is not on the rating!||";
  const std::string not_written = "Notice Unable to write the result of the game!||";
  const std::string reward = "Notice You get 25 Kezs!!!||";
  // clang-format off
  const Case cases[] = {
      {"registration answered", ClubStep::kRegisteringRatedGame, Ending::kClubAnswers, {}, true, kRated, true, false, false},
      {"registration stopped", ClubStep::kRegisteringRatedGame, Ending::kEscape, {not_on_rating}, true, kLoggedIn, false, false, false},
      {"registration, window closed", ClubStep::kRegisteringRatedGame, Ending::kClose, {}, false, kRated, false, false, false},
      {"result answered", ClubStep::kSavingRatedResult, Ending::kClubAnswers, {}, false, kLoggedIn, false, true, false},
      {"result stopped", ClubStep::kSavingRatedResult, Ending::kEscape, {not_written}, false, kLoggedIn, false, true, false},
      {"result, window closed", ClubStep::kSavingRatedResult, Ending::kClose, {not_written}, false, kRated, true, false, false},
      {"credit answered", ClubStep::kCreditingKezs, Ending::kClubAnswers, {reward}, false, kLoggedIn, false, false, false},
      {"credit stopped", ClubStep::kCreditingKezs, Ending::kEscape, {}, false, kLoggedIn, false, false, false},
      {"credit, window closed", ClubStep::kCreditingKezs, Ending::kClose, {}, false, kRated, false, false, false},
      {"balance stopped", ClubStep::kReadingKezsBalance, Ending::kEscape, {}, false, kLoggedIn, false, false, false},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    FakeWorld world;
    FixedRandom random(3);
    GameState game(world.Ports(), random, {"a", "b"},
                   [](int, Board& board) { ASSERT_TRUE(board.FromText(TwoPairs())); });
    game.Start();
    game.Paint();
    game.LeaveTitleScreen();
    const auto click = [&](const BoardCell& cell) {
      const CellRect& r = game.GameBoard().Rect(cell);
      game.PressBoardAt(r.left + 35, r.top + 35);
    };
    const auto take = [&](const BoardCell& a, const BoardCell& b) {
      click(a);
      click(b);
      for (int steps = 0; game.StepBurstsIfRunning();) ASSERT_LT(++steps, 100);
    };
    // A place that earns a reward, except after a result (the reward has a
    // case of its own).
    world.on_top_ten_entry_window = [&c](int) {
      return c.step == ClubStep::kSavingRatedResult ? std::nullopt : std::optional<int>(1);
    };
    if (c.step == ClubStep::kRegisteringRatedGame) {
      // A game going on, with a pair taken, when the player asks for a new one.
      take({1, 1, 1}, {1, 1, 6});
      world.on_account_window = [](AccountWindowPurpose, bool) {
        return std::optional<AccountState>(kRated);
      };
      world.Clear();
      game.StartNormalGame();
    } else {
      game.Session().account_state = kRated;
      game.Session().rated_game_open = c.step == ClubStep::kSavingRatedResult;
      for (int level = 1; level <= 5; ++level) {
        take({1, 1, 1}, {1, 1, 6});
        game.Tick();
        take({1, 2, 1}, {1, 2, 6});
        if (level == 5) world.Clear();
        game.Tick();
        if (level < 5) game.PressBoardAt(200, 200);
      }
      if (c.step == ClubStep::kReadingKezsBalance) {
        ASSERT_TRUE(world.FinishClubStep());
      }
    }
    ASSERT_EQ(game.PendingClubStep(), c.step);
    ASSERT_TRUE(world.ClubStepPending());
    EXPECT_TRUE(game.View().waiting_for_club);

    // While the step runs.
    const int score = game.Score();
    const std::string board = game.GameBoard().ToText();
    const std::size_t windows = world.account_windows.size();
    EXPECT_FALSE(game.ClockRunning());
    for (int i = 0; i < 3; ++i) game.Tick();
    click({1, 2, 1});
    game.MoveKeyboardFocus(FocusStep::kRight);
    game.PressFocusedTile();
    game.Pause();
    game.StartNormalGame();
    game.OpenAccount();
    game.PointAt(200, 200);
    EXPECT_EQ(game.Score(), score);
    EXPECT_EQ(game.GameBoard().ToText(), board);
    EXPECT_EQ(game.Selection(), BoardCell{});
    EXPECT_FALSE(game.Paused());
    EXPECT_FALSE(world.hand_cursor);
    EXPECT_EQ(world.account_windows.size(), windows);
    EXPECT_EQ(game.PendingClubStep(), c.step);

    world.Clear();
    world.saved_game.reset();
    switch (c.ending) {
      case Ending::kClubAnswers:
        world.FinishClubSteps();
        break;
      case Ending::kEscape:
        game.PressEscape();
        break;
      case Ending::kClose:
        game.ShutDown();
        break;
    }
    EXPECT_FALSE(game.WaitingForClub());
    EXPECT_FALSE(game.View().waiting_for_club);
    EXPECT_FALSE(world.ClubStepPending());
    EXPECT_EQ(world.Only("CancelClubStep").size(), c.ending == Ending::kClubAnswers ? 0u : 1u);
    EXPECT_EQ(world.Only("Notice"), c.notices);
    EXPECT_EQ(game.Session().account_state, c.state_after);
    EXPECT_EQ(game.Session().rated_game_open, c.rated_after);
    EXPECT_EQ(world.Only("TopTenEntryWindow").size(), c.top_ten_window_after ? 1u : 0u);
    EXPECT_EQ(world.saved_game.has_value(), c.saved_for_later);
    if (c.step == ClubStep::kRegisteringRatedGame) {
      EXPECT_EQ(game.GameBoard().ToText() != board, c.new_game_started);
      EXPECT_EQ(game.Score(), c.new_game_started ? kStartScore : score);
    }
    if (c.ending == Ending::kClose) continue;
    // The game takes input again.
    if (c.new_game_started) {
      click({1, 1, 1});
      EXPECT_EQ(game.Selection(), (BoardCell{1, 1, 1}));
    }
    game.OpenAccount();
    EXPECT_EQ(world.account_windows.size(), windows + 1);
  }
}

TEST_F(GameFlowTest, RewardDependsOnThePlaceAndTheRating) {
  struct Case {
    AccountState account_state;
    std::optional<int> place;  // none: no result was written
    bool credit_ok;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {kRated, 2, true, {"CreditKezs 10", "Notice You get 10 Kezs!!!||", "ReadKezsBalance"}},
      {kRated, 10, true, {"CreditKezs 10", "Notice You get 10 Kezs!!!||", "ReadKezsBalance"}},
      {kRated, 11, true, {}},
      {kRated, std::nullopt, true, {}},
      {kLoggedIn, 1, true, {}},
      {kRated, 1, false, {"CreditKezs 25"}},  // a failed credit shows nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(static_cast<int>(c.account_state)) + "/" +
                 (c.place ? std::to_string(*c.place) : "none"));
    FakeWorld world;
    FixedRandom random(3);
    GameState game(world.Ports(), random, {"a", "b"},
                   [](int, Board& b) { b.FromText(TwoPairs()); });
    game.Start();
    game.Paint();
    game.LeaveTitleScreen();
    game.Session().account_state = c.account_state;
    world.credit_ok = c.credit_ok;
    world.on_top_ten_entry_window = [&](int) { return c.place; };
    Adjust(game, [](GamePosition& p) {
      p.level = 5;
      p.board.Clear();
      p.clock_running = true;
    });
    world.Clear();
    game.Tick();
    world.FinishClubSteps();
    std::vector<std::string> reward;
    for (const std::string& e : world.log)
      if (e.rfind("CreditKezs", 0) == 0 || e.rfind("Notice", 0) == 0 ||
          e.rfind("ReadKezsBalance", 0) == 0)
        reward.push_back(e);
    EXPECT_EQ(reward, c.expected);
  }
}

// A champion who closes the name window without confirming is entered under
// the name the last champion confirmed (none yet: an empty name).
TEST_F(GameFlowTest, ChampionWithoutAConfirmedNameTakesTheLastConfirmedOne) {
  world_.champions_threshold = 0;
  std::deque<std::optional<std::string>> names = {std::nullopt, "Ann", std::nullopt};
  world_.on_champion_name = [&names] {
    const std::optional<std::string> name = names.front();
    names.pop_front();
    return name;
  };
  StartPlaying();
  for (int game = 1; game <= 3; ++game) {
    Adjust(game_, [](GamePosition& p) {
      p.level = 5;
      p.score = 3001;
      p.board.Clear();
      p.clock_running = true;
    });
    game_.Tick();  // the last second, then the end of the game
  }
  EXPECT_EQ(world_.Only("AddChampion"),
            (std::vector<std::string>{"AddChampion  3000", "AddChampion Ann 3000",
                                      "AddChampion Ann 3000"}));
}

TEST_F(GameFlowTest, LowScoreNeverOpensTheNameWindow) {
  world_.champions_threshold = 999999;
  StartPlaying();
  Adjust(game_, [](GamePosition& p) {
    p.level = 5;
    p.board.Clear();
    p.clock_running = true;
  });
  game_.Tick();
  EXPECT_EQ(Count("ChampionsThreshold"), 1);
  EXPECT_TRUE(world_.Only("PasswordWindow").empty());
  EXPECT_TRUE(world_.Only("AddChampion").empty());
}

TEST_F(GameFlowTest, StartUpRunsInOrder) {
  world_.announcement = Notice{"News", "More", "https://braxo.example/news"};
  world_.login_ok = true;
  game_.Start();
  game_.Paint();
  EXPECT_EQ(world_.log,
            (std::vector<std::string>{
                "ReadAnnouncements", "SetCaption Braxo", "Sound start", "ShowTitleLayout",
                "LoadSettings", "SetCaption Braxo", "DrawTitleScreen first",
                "TimerInterval " + std::to_string(kTitleTickMs), "StartTimer", "CheckChampionsFile",
                "Play SBegin", "Notice News|More|https://braxo.example/news", "CountStart",
                "SaveSettings", "LoginFromUserFile"}));
  EXPECT_TRUE(game_.OnTitleScreen());
  EXPECT_EQ(game_.Session().account_state, kLoggedIn);

  // Later paints start nothing, on the title screen or in play (the window
  // draws its own background).
  world_.Clear();
  game_.Paint();
  EXPECT_TRUE(world_.log.empty());
  game_.LeaveTitleScreen();
  world_.Clear();
  game_.Paint();
  EXPECT_TRUE(world_.log.empty());
}

TEST_F(GameFlowTest, ClubStepsWaitForTheConfigurationPage) {
  // The page is still on its way at the first paint: the title screen runs
  // and the club steps come when the page does, in their order.
  world_.hold_config_page = true;
  world_.announcement = Notice{"News", "", ""};
  world_.login_ok = true;
  game_.Start();
  game_.Paint();
  EXPECT_EQ(world_.Only("TimerInterval " + std::to_string(kTitleTickMs)).size(), 1u);
  EXPECT_EQ(world_.Only("Play SBegin").size(), 1u);
  EXPECT_TRUE(world_.Only("CountStart").empty());
  EXPECT_TRUE(world_.Only("LoginFromUserFile").empty());
  EXPECT_FALSE(game_.ClubStarted());
  // The player leaves the title screen before the page arrives.
  game_.LeaveTitleScreen();
  world_.Clear();
  ASSERT_TRUE(world_.page_arrival);
  world_.page_arrival();
  EXPECT_EQ(world_.log, (std::vector<std::string>{"Notice News||", "CountStart", "SaveSettings",
                                                  "LoginFromUserFile", "DrawAccountLamp 2"}));
  EXPECT_TRUE(game_.ClubStarted());
  EXPECT_EQ(game_.Session().account_state, kLoggedIn);
}

TEST_F(GameFlowTest, APageBeforeTheFirstPaintWaitsForTheChampionsCheck) {
  struct Case {
    ChampionsCheck check;
    bool club_steps;
  };
  for (const Case& c : {Case{ChampionsCheck::kOk, true}, Case{ChampionsCheck::kInvalid, false}}) {
    FakeWorld world;
    FixedRandom random(3);
    GameState game(world.Ports(), random, {"a", "b"});
    world.champions_check = c.check;
    world.hold_config_page = true;
    game.Start();
    world.page_arrival();
    EXPECT_TRUE(world.Only("CountStart").empty());
    game.Paint();
    // A refused champions file ends the program before any club step.
    EXPECT_EQ(game.ClubStarted(), c.club_steps);
    EXPECT_EQ(world.Only("LoginFromUserFile").size(), c.club_steps ? 1u : 0u);
  }
}

TEST_F(GameFlowTest, DeveloperMarkerSkipsTheStartReportAndItsSave) {
  world_.developer_marker = "qzx";
  game_.Start();
  game_.Paint();
  EXPECT_TRUE(world_.Only("CountStart").empty());
  EXPECT_TRUE(world_.Only("SaveSettings").empty());
  EXPECT_EQ(world_.Only("LoginFromUserFile").size(), 1u);
  EXPECT_EQ(game_.Session().account_state, kNobody);
}

TEST_F(GameFlowTest, BrokenChampionsFileEndsTheStartUp) {
  struct Case {
    ChampionsCheck check;
    const char* message;
  };
  const Case cases[] = {
      {ChampionsCheck::kNotFound, "Error Can not find the file \"Braxo.clb\"!"},
      {ChampionsCheck::kInvalid, "Error Invalid file \"Braxo.clb\"!"},
  };
  for (const Case& c : cases) {
    FakeWorld world;
    FixedRandom random(3);
    GameState game(world.Ports(), random, {"a", "b"});
    world.champions_check = c.check;
    game.Start();
    game.Paint();
    const auto check = std::find(world.log.begin(), world.log.end(), "CheckChampionsFile");
    ASSERT_NE(check, world.log.end());
    EXPECT_EQ(std::vector<std::string>(check + 1, world.log.end()),
              (std::vector<std::string>{"StopTimer", c.message, "CloseWindow"}));
  }
}

TEST_F(GameFlowTest, LeavingTheTitleScreenStartsANormalGame) {
  game_.Start();
  game_.Paint();
  world_.Clear();
  game_.Tick();
  EXPECT_EQ(world_.log, std::vector<std::string>{"DrawTitleScreen step"});
  world_.Clear();
  game_.PressBoardAt(100, 100);  // not playing yet: ignored
  EXPECT_TRUE(world_.log.empty());
  game_.LeaveTitleScreen();
  ASSERT_GE(world_.log.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(world_.log.begin(), world_.log.begin() + 3),
            (std::vector<std::string>{"StopTimer", "TimerInterval 1000", "RefreshLanguage"}));
  EXPECT_EQ(world_.log.back(), "ShowOnlineIcons");
  EXPECT_TRUE(world_.Only("AccountWindow").empty());  // the first game skips the check
  EXPECT_TRUE(game_.Playing());
  EXPECT_FALSE(game_.OnTitleScreen());
  EXPECT_EQ(game_.Score(), 5000);
  world_.Clear();
  game_.LeaveTitleScreen();  // only once
  EXPECT_TRUE(world_.log.empty());
}

TEST_F(GameFlowTest, PointerShowsAHandWhereAClickWouldDoSomething) {
  deals_[1] = std::string("s1 s2 s1 .. .. ..\n.. .. .. .. .. ..\n") + kEmptyRows;
  StartPlaying();
  struct Case {
    int x, y;
    bool hand;
  };
  for (const Case& c : {Case{50, 50, true}, Case{128, 50, false}, Case{300, 300, false}}) {
    game_.PointAt(c.x, c.y);
    EXPECT_EQ(world_.hand_cursor, c.hand) << c.x << "," << c.y;
  }
  Adjust(game_, [](GamePosition& p) { p.board.Clear(); });
  game_.PointAt(300, 300);
  EXPECT_TRUE(world_.hand_cursor);  // a click goes on to the next level
  Adjust(game_, [](GamePosition& p) { p.level = 5; });
  game_.PointAt(300, 300);
  EXPECT_FALSE(world_.hand_cursor);
}

TEST_F(GameFlowTest, OnlineIconsOpenTheirWindowsOrSayWhyNot) {
  StartPlaying();
  game_.OpenWorldTopTen();
  game_.OpenChat();
  world_.top_ten_available = true;
  world_.chat_available = true;
  game_.OpenWorldTopTen();
  game_.OpenChat();
  game_.OpenStatistics();
  game_.Session().account_state = kLoggedIn;
  game_.OpenAccount();
  EXPECT_EQ(world_.log,
            (std::vector<std::string>{
                "Notice World Top Ten Tournament is temporarily unavailable!||",
                "Notice Chat is temporarily unavailable!||", "TopTenTableWindow", "ChatWindow",
                "StatisticsWindow", "AccountWindow", "DrawAccountLamp 2"}));
  ASSERT_EQ(world_.account_windows.size(), 1u);
  EXPECT_EQ(world_.account_windows[0].purpose, AccountWindowPurpose::kAccountIcon);
}

TEST_F(GameFlowTest, HelpOpensTheLanguagesPageOnOneOfTwoMirrors) {
  StartPlaying();
  const std::pair<int, const char*> languages[] = {{0, "en"}, {1, "ru"}, {9, "ko"}};
  for (const auto& [language, code] : languages) {
    SCOPED_TRACE(code);
    world_.language.Set(language);
    world_.log.clear();
    for (int i = 0; i < 40; ++i) game_.OpenHelp();
    const auto opened = world_.Only("OpenWebPage");
    const std::string page = std::string("/help/") + code + ".html";
    const std::string first = "OpenWebPage https://one.example" + page;
    const std::string second = "OpenWebPage https://two.example" + page;
    const auto firsts = std::count(opened.begin(), opened.end(), first);
    const auto seconds = std::count(opened.begin(), opened.end(), second);
    EXPECT_EQ(firsts + seconds, 40);
    EXPECT_GT(firsts, 0);
    EXPECT_GT(seconds, 0);
  }
}

TEST_F(GameFlowTest, RightMenuButtonsOpenTheInformationPages) {
  StartPlaying();
  const std::pair<void (GameState::*)(), InfoPage> buttons[] = {
      {&GameState::ShowChampionsPage, InfoPage::kChampions},
      {&GameState::ShowOptionsPage, InfoPage::kOptions},
      {&GameState::ShowAboutPage, InfoPage::kAbout}};
  for (const auto& [button, page] : buttons) {
    (game_.*button)();
    ASSERT_FALSE(world_.info_pages.empty());
    EXPECT_EQ(world_.info_pages.back(), page);
  }
  EXPECT_EQ(world_.Only("InfoWindow").size(), 3u);
}

// The options page's arrows step the language through the flow, which shows
// the main window in the new language at once.
TEST_F(GameFlowTest, OptionsPageArrowsChangeTheLanguageThroughTheFlow) {
  StartPlaying();
  game_.ShowOptionsPage();
  ASSERT_TRUE(world_.info_window_stepper);
  world_.Clear();
  world_.info_window_stepper(2);
  EXPECT_EQ(world_.language.Index(), 1);
  EXPECT_EQ(world_.log,
            (std::vector<std::string>{"RefreshLanguage", "DrawStatusPanel 1", "DrawStatusPanel 2",
                                      "DrawStatusPanel 3", "DrawStatusPanel 4"}));
  world_.info_window_stepper(1);
  EXPECT_EQ(world_.language.Index(), 0);
}

TEST_F(GameFlowTest, LanguageStepsWrapBothWays) {
  StartPlaying();
  game_.ChangeLanguage(1);
  EXPECT_EQ(world_.language.Index(), 9);
  game_.ChangeLanguage(2);
  EXPECT_EQ(world_.language.Index(), 0);
  world_.language.Set(8);
  game_.ChangeLanguage(2);
  game_.ChangeLanguage(0);
  EXPECT_EQ(world_.language.Index(), 9);
  EXPECT_EQ(world_.Only("RefreshLanguage").size(), 4u);
}

TEST_F(GameFlowTest, ClosingSavesTheSettingsThenReleasesTheSound) {
  StartPlaying();
  game_.ShutDown();
  EXPECT_EQ(world_.log, (std::vector<std::string>{"SaveSettings", "Sound release"}));
}

TEST(ModePasswords, AreAssembledToTheirWords) {
  EXPECT_EQ(AssembleExtraPassword(), "Kestrel");
  EXPECT_EQ(AssembleSuperPassword(), "Nautilus");
}

}  // namespace
}  // namespace braxo
