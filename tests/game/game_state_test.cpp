#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "FakePorts.h"
#include "game/GameState.h"

namespace braxo {
namespace {

using testing::FakeWorld;

const char* kEmptyRows = ".. .. .. .. .. ..\n.. .. .. .. .. ..\n.. .. .. .. .. ..\n";

// Two pairs on layer 1, all free: suns in row 1, clouds in row 2.
std::string TwoPairs() {
  return std::string("s1 .. .. .. .. s1\no0 .. .. .. .. o0\n") + kEmptyRows;
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
    game_.FormCreate();
    game_.FormPaint();
    game_.Image1Click();
    world_.Clear();
  }

  void Click(const BoardCell& cell) {
    const CellRect& r = game_.board.Rect(cell);
    game_.Image1MouseDown(r.left + 35, r.top + 35);
  }
  void ClickPair(const BoardCell& a, const BoardCell& b) {
    Click(a);
    Click(b);
  }
  void Animate() {
    int steps = 0;
    while (game_.AnimationIdle()) ASSERT_LT(++steps, 100);
  }
  // Clears a TwoPairs level the way a player does: pair, tick, pair, tick.
  void PlayTwoPairsLevel() {
    ClickPair({1, 1, 1}, {1, 1, 6});
    Animate();
    game_.Timer1Timer();
    ClickPair({1, 2, 1}, {1, 2, 6});
    Animate();
    game_.Timer1Timer();
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
  EXPECT_EQ(game_.GameMode, 1);
  for (int level = 1; level <= 5; ++level) {
    ASSERT_EQ(game_.Level, level);
    PlayTwoPairsLevel();
    EXPECT_TRUE(game_.board.IsBoardCleared());
    EXPECT_FALSE(game_.ClockRunning);
    if (level < 5) game_.Image1MouseDown(200, 200);  // on to the next level
  }
  // Per level: two pairs (+200) and two running ticks (-2).
  EXPECT_EQ(game_.Score, 5000 + 5 * (200 - 2));
  EXPECT_EQ(world_.Only("Play STimer").size(), 10u);  // one per running tick
  EXPECT_EQ(Count("Play STada"), 4);
  EXPECT_EQ(Count("Play SEnd"), 1);
  EXPECT_EQ(Count("Play SHaHa"), 0);
  EXPECT_EQ(Count("CountFinishedGame 100000000000"), 1);
  EXPECT_EQ(Count("TopTenEntryWindow"), 1);
  EXPECT_EQ(game_.TopTenScore, game_.Score);

  // The game is over: neither clicks nor ticks do anything more.
  world_.Clear();
  game_.Image1MouseDown(200, 200);
  game_.Timer1Timer();
  EXPECT_TRUE(world_.log.empty()) << world_.log.front();
}

TEST_F(GameFlowTest, FirstTickAfterTheFirstPairGives5099) {
  StartPlaying();
  EXPECT_EQ(game_.Score, 5000);
  EXPECT_FALSE(game_.ClockRunning);
  game_.Timer1Timer();  // the clock does not run before the first pair
  EXPECT_EQ(game_.Score, 5000);
  ClickPair({1, 1, 1}, {1, 1, 6});
  EXPECT_EQ(game_.Score, 5100);
  EXPECT_TRUE(game_.ClockRunning);
  game_.Timer1Timer();
  EXPECT_EQ(game_.Score, 5099);
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
  EXPECT_EQ(game_.flights.Slots()[0].x, 373 - 15);
  EXPECT_EQ(game_.flights.Slots()[0].y, 23 - 45);
  EXPECT_EQ(game_.flights.Slots()[1].x, 23 - 12);
  EXPECT_EQ(game_.flights.Slots()[1].y, 23 - 40);
  // Until the bursts empty the cells the pair still counts.
  EXPECT_EQ(game_.PossiblePairs, 2);
}

TEST_F(GameFlowTest, GameIsLostWhenNoPairIsLeft) {
  deals_[1] = std::string("s1 .. .. .. .. s1\nr1 .. .. .. .. k1\n") + kEmptyRows;
  StartPlaying();
  ClickPair({1, 1, 1}, {1, 1, 6});
  Animate();
  game_.Timer1Timer();
  EXPECT_EQ(Count("Play SHaHa"), 1);
  EXPECT_FALSE(game_.ClockRunning);
  EXPECT_EQ(Count("CountFinishedGame 100000000000"), 1);
  EXPECT_EQ(Count("TopTenEntryWindow"), 0);  // only a completed mode enters the tournament
  const int score = game_.Score;

  // After the loss the clock is still, and clicks only move the selection.
  world_.Clear();
  game_.Timer1Timer();
  Click({1, 2, 1});
  Click({1, 2, 6});
  EXPECT_EQ(game_.Score, score);
  EXPECT_EQ(game_.Selection, (BoardCell{1, 2, 6}));
  EXPECT_EQ(world_.Only("Play"), (std::vector<std::string>{"Play SClick1", "Play SClick1"}));
}

TEST_F(GameFlowTest, DealWithoutAnyPairNeverStartsTheClock) {
  deals_[1] = std::string("s1 .. .. .. .. r1\n.. .. .. .. .. ..\n") + kEmptyRows;
  StartPlaying();
  EXPECT_EQ(game_.PossiblePairs, 0);
  for (int i = 0; i < 5; ++i) game_.Timer1Timer();
  EXPECT_EQ(game_.Score, 5000);
  EXPECT_EQ(Count("Play SHaHa"), 0);
  EXPECT_EQ(Count("CountFinishedGame 100000000000"), 0);
}

TEST_F(GameFlowTest, ClicksChooseDropOrMoveTheSelection) {
  deals_[1] = std::string("s1 s2 s2 .. .. s1\n.. .. .. .. .. ..\n") + kEmptyRows +
              "\n.. .. .. .. .. s2\n.. .. .. .. .. ..\n" + kEmptyRows;
  StartPlaying();
  struct Step {
    const char* what;
    int x, y;
    BoardCell selection_after;
    const char* sound;  // nullptr: no sound at all
  };
  const Step steps[] = {
      {"first free tile selects", 50, 50, {1, 1, 1}, "Play SClick1"},
      {"a blocked tile does nothing", 128, 50, {1, 1, 1}, nullptr},
      {"no tile does nothing", 300, 300, {1, 1, 1}, nullptr},
      {"the selected tile again deselects", 50, 50, {}, "Play SClick1"},
      {"select a sun again", 50, 50, {1, 1, 1}, "Play SClick1"},
      {"a different code moves the selection", 198, 50, {1, 1, 3}, "Play SClick1"},
      {"an equal code on another layer takes the pair", 400, 50, {}, "Play SClick2"},
  };
  for (const Step& s : steps) {
    world_.Clear();
    game_.Image1MouseDown(s.x, s.y);
    EXPECT_EQ(game_.Selection, s.selection_after) << s.what;
    if (s.sound) {
      EXPECT_EQ(world_.Only("Play"), std::vector<std::string>{s.sound}) << s.what;
    } else {
      EXPECT_TRUE(world_.log.empty()) << s.what;
    }
  }
  EXPECT_EQ(game_.Score, 5100);
}

TEST_F(GameFlowTest, TileOnItsWayOffCannotBeTakenAgain) {
  // Four suns. Without the guard, a flying sun could be paired with a third
  // one and the fourth would be stranded with no partner.
  deals_[1] = std::string("s1 .. .. .. .. s1\n.. .. .. .. .. ..\ns1 .. .. .. .. s1\n") +
              ".. .. .. .. .. ..\n.. .. .. .. .. ..\n";
  StartPlaying();
  ClickPair({1, 1, 1}, {1, 1, 6});
  Click({1, 1, 1});  // flying: not selectable
  EXPECT_TRUE(game_.Selection.IsNone());
  Click({1, 3, 1});
  Click({1, 1, 6});  // flying: cannot complete a pair
  EXPECT_EQ(game_.Selection, (BoardCell{1, 3, 1}));
  EXPECT_EQ(game_.Score, 5100);
  Animate();
  Click({1, 3, 6});
  Animate();
  EXPECT_TRUE(game_.board.IsBoardCleared());
  EXPECT_EQ(game_.Score, 5200);
}

TEST_F(GameFlowTest, ClickOnAClearedLevelAdvancesBeforeTheTickNotices) {
  StartPlaying();
  ClickPair({1, 1, 1}, {1, 1, 6});
  ClickPair({1, 2, 1}, {1, 2, 6});
  Animate();
  world_.Clear();
  game_.Image1MouseDown(5, 5);  // anywhere on the board
  EXPECT_EQ(game_.Level, 2);
  EXPECT_EQ(world_.Only("Play"), std::vector<std::string>{"Play SClick1"});
  EXPECT_FALSE(game_.ClockRunning);
  EXPECT_EQ(game_.Score, 5200);  // carried over, no tick ran
  game_.Timer1Timer();
  EXPECT_EQ(Count("Play STada"), 0);
}

TEST_F(GameFlowTest, ScoreStopsAtZeroAndTheTickSoundWithIt) {
  StartPlaying();
  ClickPair({1, 1, 1}, {1, 1, 6});
  game_.Score = 1;
  game_.Timer1Timer();
  EXPECT_EQ(game_.Score, 0);
  world_.Clear();
  game_.Timer1Timer();
  EXPECT_EQ(game_.Score, 0);
  EXPECT_EQ(Count("Play STimer"), 0);
}

TEST_F(GameFlowTest, LevelSoundsFollowTheMode) {
  world_.on_password_window = [this](int role) {
    if (role == 0) {
      game_.ExtraPasswordAccepted = true;
      game_.GameMode = 2;
      game_.Level = 1;
    }
  };
  StartPlaying();
  game_.Button2Click();
  PlayTwoPairsLevel();
  EXPECT_EQ(Count("Play SSton"), 1);
  EXPECT_EQ(Count("Play STada"), 0);
}

TEST_F(GameFlowTest, PasswordWindowOpensExtraAndSuper) {
  struct Case {
    const char* name;
    int button;
    bool accept;
    int expected_mode;
  };
  const Case cases[] = {
      {"Extra accepted", 2, true, 2},
      {"Super accepted", 3, true, 3},
      {"Extra refused leaves the game", 2, false, 1},
      {"Super refused leaves the game", 3, false, 1},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWorld world;
    FixedRandom random(3);
    GameState game(world.Ports(), random, {"a", "b"});
    world.on_password_window = [&](int role) {
      EXPECT_EQ(role, c.button - 2);
      EXPECT_EQ(game.PasswordWindowRole, c.button - 2);
      if (!c.accept) return;
      (role == 0 ? game.ExtraPasswordAccepted : game.SuperPasswordAccepted) = true;
      game.GameMode = role + 2;
      game.Level = 1;
    };
    game.FormCreate();
    game.FormPaint();
    game.Image1Click();
    const std::string board_before = game.board.ToText();
    world.Clear();
    c.button == 2 ? game.Button2Click() : game.Button3Click();
    EXPECT_EQ(game.GameMode, c.expected_mode);
    EXPECT_FALSE(game.ExtraPasswordAccepted);
    EXPECT_FALSE(game.SuperPasswordAccepted);
    if (c.accept) {
      EXPECT_EQ(world.Only("ShowBoardLayout").size(), 1u);
      EXPECT_EQ(game.Score, 5000);
    } else {
      EXPECT_EQ(game.board.ToText(), board_before);
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
    int state_set_by_window;  // 0: the window is not shown
    bool register_ok;
    bool starts;
    int state_after;
    bool rated_after;
    bool notice;
  };
  const Case cases[] = {
      {"nobody logged in", false, {}, 1, true, true, 1, false, false},
      {"logged in, not rated", false, {}, 2, true, true, 2, false, false},
      {"rated game registered", false, {}, 3, true, true, 3, true, false},
      {"registration fails", false, {}, 3, false, true, 1, false, true},
      {"rated game open, player keeps it", true, {false}, 0, true, false, 3, true, false},
      {"rated game open, player starts anew", true, {true}, 2, true, true, 2, false, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    FakeWorld world;
    FixedRandom random(3);
    GameState game(world.Ports(), random, {"a", "b"});
    game.FormCreate();
    game.FormPaint();
    game.Image1Click();
    game.Session().AccountState = c.rated_open_before ? 3 : 1;
    game.Session().RatedGameOpen = c.rated_open_before;
    game.Level = 4;
    world.yes_no_answers = c.answers;
    world.register_ok = c.register_ok;
    world.on_account_window = [&] {
      EXPECT_EQ(game.AccountWindowRole, 1);
      EXPECT_FALSE(game.GameInProgress);
      game.Session().AccountState = c.state_set_by_window;
    };
    world.Clear();
    game.Button1Click();
    EXPECT_EQ(world.Only("AccountWindow").size(), c.state_set_by_window ? 1u : 0u);
    EXPECT_EQ(game.Level, c.starts ? 1 : 4);
    EXPECT_EQ(game.Session().AccountState, c.state_after);
    EXPECT_EQ(game.Session().RatedGameOpen, c.rated_after);
    EXPECT_TRUE(game.GameInProgress);
    EXPECT_EQ(world.Only("Notice").size(), c.notice ? 1u : 0u);
    if (c.notice) {
      EXPECT_EQ(world.Only("Notice")[0],
                "Notice Could not connect to server!|The game is not on the rating!|");
    }
    if (c.starts) {
      EXPECT_EQ(world.Only("DrawAccountLamp").back(),
                "DrawAccountLamp " + std::to_string(c.state_after));
    }
    if (c.rated_open_before) {
      EXPECT_EQ(world.Only("AskYesNo")[0],
                "AskYesNo There is a game on the rating!\n\rDo you really want to start a new "
                "game?");
    }
  }
}

TEST_F(GameFlowTest, EndOfACompletedRatedGameRunsItsStepsInOrder) {
  StartPlaying();
  game_.Session().AccountState = 3;
  game_.Session().RatedGameOpen = true;
  world_.champions_threshold = 5000;
  world_.save_rated_results = {RatedSave::kFailed, RatedSave::kFailed, RatedSave::kSaved};
  world_.yes_no_answers = {true, true};
  world_.on_password_window = [this](int role) {
    EXPECT_EQ(role, 2);
    game_.ChampionName = "Ann";
  };
  world_.on_top_ten_entry_window = [this] {
    EXPECT_EQ(game_.TopTenPlace, -1);
    game_.TopTenPlace = 1;
  };
  for (int level = 1; level <= 5; ++level) {
    if (level == 5) world_.Clear();
    PlayTwoPairsLevel();
    if (level < 5) game_.Image1MouseDown(200, 200);
  }
  const std::string score = std::to_string(game_.Score);
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
  EXPECT_FALSE(game_.Session().RatedGameOpen);
  EXPECT_FALSE(game_.GameInProgress);
  EXPECT_EQ(game_.Session().AccountState, 2);
}

TEST_F(GameFlowTest, ARecordWithoutAStartedGameIsReportedOnceWithoutRepeats) {
  StartPlaying();
  game_.Session().AccountState = 3;
  game_.Session().RatedGameOpen = true;
  world_.save_rated_results = {RatedSave::kNotRecordable};
  world_.yes_no_answers = {true, true, true};
  for (int level = 1; level <= 5; ++level) {
    PlayTwoPairsLevel();
    if (level < 5) game_.Image1MouseDown(200, 200);
  }
  EXPECT_EQ(world_.Only("SaveRatedResult").size(), 1u);
  EXPECT_TRUE(world_.Only("AskYesNo").empty());
  EXPECT_EQ(world_.Only("Notice"),
            std::vector<std::string>{"Notice Unable to write the result of the game!||"});
  EXPECT_FALSE(game_.Session().RatedGameOpen);
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
    game.FormCreate();
    game.FormPaint();
    game.Image1Click();
    game.Session().AccountState = 3;
    game.Session().RatedGameOpen = true;
    const auto take = [&](const BoardCell& a, const BoardCell& b) {
      for (const BoardCell& cell : {a, b}) {
        const CellRect& r = game.board.Rect(cell);
        game.Image1MouseDown(r.left + 35, r.top + 35);
      }
      for (int steps = 0; game.AnimationIdle();) ASSERT_LT(++steps, 100);
    };
    for (int level = 1; level <= 5; ++level) {
      take({1, 1, 1}, {1, 1, 6});
      game.Timer1Timer();
      take({1, 2, 1}, {1, 2, 6});
      if (level < 5) {
        game.Timer1Timer();
        game.Image1MouseDown(200, 200);
      }
    }
    ASSERT_TRUE(game.board.IsBoardCleared());
    ASSERT_TRUE(game.ClockRunning);
    const int score = game.Score;
    const auto ticks_do_nothing = [&] {
      for (int i = 0; i < 3; ++i) game.Timer1Timer();
      EXPECT_EQ(game.Score, score);
      EXPECT_TRUE(world.Only("SaveRatedResult").empty());
      EXPECT_TRUE(world.Only("CountFinishedGame").empty());
    };
    world.on_yes_no = ticks_do_nothing;
    world.on_account_window = [&] {
      ticks_do_nothing();
      game.Session().AccountState = 2;
    };
    world.yes_no_answers = {start_anew};
    world.Clear();
    game.Button1Click();
    if (start_anew) {
      EXPECT_EQ(game.Level, 1);
      EXPECT_FALSE(game.ClockRunning);
      EXPECT_TRUE(world.Only("SaveRatedResult").empty());
    } else {
      // The kept game goes on and its end, with the rated result, follows
      // at the next tick.
      EXPECT_TRUE(game.ClockRunning);
      world.on_yes_no = nullptr;
      game.Timer1Timer();
      EXPECT_EQ(world.Only("SaveRatedResult"),
                std::vector<std::string>{"SaveRatedResult " + std::to_string(score - 1)});
    }
  }
}

TEST_F(GameFlowTest, RewardDependsOnThePlaceAndTheRating) {
  struct Case {
    int account_state;
    int place;
    bool credit_ok;
    std::vector<std::string> expected;
  };
  const Case cases[] = {
      {3, 2, true, {"CreditKezs 10", "Notice You get 10 Kezs!!!||", "ReadKezsBalance"}},
      {3, 10, true, {"CreditKezs 10", "Notice You get 10 Kezs!!!||", "ReadKezsBalance"}},
      {3, 11, true, {}},
      {3, -1, true, {}},
      {2, 1, true, {}},
      {3, 1, false, {"CreditKezs 25"}},  // a failed credit shows nothing
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::to_string(c.account_state) + "/" + std::to_string(c.place));
    FakeWorld world;
    FixedRandom random(3);
    GameState game(world.Ports(), random, {"a", "b"},
                   [](int, Board& b) { b.FromText(TwoPairs()); });
    game.FormCreate();
    game.FormPaint();
    game.Image1Click();
    game.Session().AccountState = c.account_state;
    world.credit_ok = c.credit_ok;
    world.on_top_ten_entry_window = [&] { game.TopTenPlace = c.place; };
    game.Level = 5;
    game.board.Clear();
    game.ClockRunning = true;
    world.Clear();
    game.Timer1Timer();
    std::vector<std::string> reward;
    for (const std::string& e : world.log)
      if (e.rfind("CreditKezs", 0) == 0 || e.rfind("Notice", 0) == 0 ||
          e.rfind("ReadKezsBalance", 0) == 0)
        reward.push_back(e);
    EXPECT_EQ(reward, c.expected);
  }
}

TEST_F(GameFlowTest, LowScoreNeverOpensTheNameWindow) {
  world_.champions_threshold = 999999;
  StartPlaying();
  game_.Level = 5;
  game_.board.Clear();
  game_.ClockRunning = true;
  game_.Timer1Timer();
  EXPECT_EQ(Count("ChampionsThreshold"), 1);
  EXPECT_TRUE(world_.Only("PasswordWindow").empty());
  EXPECT_TRUE(world_.Only("AddChampion").empty());
}

TEST_F(GameFlowTest, StartUpRunsInOrder) {
  world_.announcement = Notice{"News", "More", "https://braxo.example/news"};
  world_.login_ok = true;
  game_.FormCreate();
  game_.FormPaint();
  EXPECT_EQ(
      world_.log,
      (std::vector<std::string>{
          "ReadAnnouncements", "SetCaption Braxo", "Sound start", "ShowTitleLayout", "LoadSettings",
          "SetCaption Braxo", "DrawTitleScreen first", "TimerInterval 10", "StartTimer",
          "CheckChampionsFile", "Play SBegin", "Notice News|More|https://braxo.example/news",
          "CountStart", "SaveSettings", "LoginFromUserFile"}));
  EXPECT_TRUE(game_.TitleScreen);
  EXPECT_EQ(game_.Session().AccountState, 2);
  EXPECT_EQ(game_.ExtraPassword.size(), 7u);
  EXPECT_EQ(game_.SuperPassword.size(), 8u);

  // Later paints draw the background only once playing.
  world_.Clear();
  game_.FormPaint();
  EXPECT_TRUE(world_.log.empty());
  game_.Image1Click();
  world_.Clear();
  game_.FormPaint();
  EXPECT_EQ(world_.log, std::vector<std::string>{"DrawBackground"});
}

TEST_F(GameFlowTest, ClubStepsWaitForTheConfigurationPage) {
  // The page is still on its way at the first paint: the title screen runs
  // and the club steps come when the page does, in their order.
  world_.hold_config_page = true;
  world_.announcement = Notice{"News", "", ""};
  world_.login_ok = true;
  game_.FormCreate();
  game_.FormPaint();
  EXPECT_EQ(world_.Only("TimerInterval 10").size(), 1u);
  EXPECT_EQ(world_.Only("Play SBegin").size(), 1u);
  EXPECT_TRUE(world_.Only("CountStart").empty());
  EXPECT_TRUE(world_.Only("LoginFromUserFile").empty());
  EXPECT_FALSE(game_.ClubStarted());
  // The player leaves the title screen before the page arrives.
  game_.Image1Click();
  world_.Clear();
  ASSERT_TRUE(world_.page_arrival);
  world_.page_arrival();
  EXPECT_EQ(world_.log, (std::vector<std::string>{"Notice News||", "CountStart", "SaveSettings",
                                                  "LoginFromUserFile", "DrawAccountLamp 2"}));
  EXPECT_TRUE(game_.ClubStarted());
  EXPECT_EQ(game_.Session().AccountState, 2);
}

TEST_F(GameFlowTest, APageBeforeTheFirstPaintWaitsForTheChampionsCheck) {
  struct Case {
    ChampionsStatus check;
    bool club_steps;
  };
  for (const Case& c : {Case{ChampionsStatus::kOk, true}, Case{ChampionsStatus::kInvalid, false}}) {
    FakeWorld world;
    FixedRandom random(3);
    GameState game(world.Ports(), random, {"a", "b"});
    world.champions_check = c.check;
    world.hold_config_page = true;
    game.FormCreate();
    world.page_arrival();
    EXPECT_TRUE(world.Only("CountStart").empty());
    game.FormPaint();
    // A refused champions file ends the program before any club step.
    EXPECT_EQ(game.ClubStarted(), c.club_steps);
    EXPECT_EQ(world.Only("LoginFromUserFile").size(), c.club_steps ? 1u : 0u);
  }
}

TEST_F(GameFlowTest, DeveloperMarkerSkipsTheStartReportAndItsSave) {
  world_.developer_marker = "qzx";
  game_.FormCreate();
  game_.FormPaint();
  EXPECT_TRUE(world_.Only("CountStart").empty());
  EXPECT_TRUE(world_.Only("SaveSettings").empty());
  EXPECT_EQ(world_.Only("LoginFromUserFile").size(), 1u);
  EXPECT_EQ(game_.Session().AccountState, 1);
}

TEST_F(GameFlowTest, BrokenChampionsFileEndsTheStartUp) {
  struct Case {
    ChampionsStatus check;
    const char* message;
  };
  const Case cases[] = {
      {ChampionsStatus::kNotFound, "Error Can not find the file \"Braxo.clb\"!"},
      {ChampionsStatus::kInvalid, "Error Invalid file \"Braxo.clb\"!"},
  };
  for (const Case& c : cases) {
    FakeWorld world;
    FixedRandom random(3);
    GameState game(world.Ports(), random, {"a", "b"});
    world.champions_check = c.check;
    game.FormCreate();
    game.FormPaint();
    const auto check = std::find(world.log.begin(), world.log.end(), "CheckChampionsFile");
    ASSERT_NE(check, world.log.end());
    EXPECT_EQ(std::vector<std::string>(check + 1, world.log.end()),
              (std::vector<std::string>{"StopTimer", c.message, "CloseWindow"}));
  }
}

TEST_F(GameFlowTest, LeavingTheTitleScreenStartsANormalGame) {
  game_.FormCreate();
  game_.FormPaint();
  world_.Clear();
  game_.Timer1Timer();
  EXPECT_EQ(world_.log, std::vector<std::string>{"DrawTitleScreen step"});
  world_.Clear();
  game_.Image1MouseDown(100, 100);  // not playing yet: ignored
  EXPECT_TRUE(world_.log.empty());
  game_.Image1Click();
  ASSERT_GE(world_.log.size(), 5u);
  EXPECT_EQ(std::vector<std::string>(world_.log.begin(), world_.log.begin() + 3),
            (std::vector<std::string>{"StopTimer", "TimerInterval 1000", "RefreshLanguage"}));
  EXPECT_EQ(world_.log.back(), "ShowOnlineIcons");
  EXPECT_TRUE(world_.Only("AccountWindow").empty());  // the first game skips the check
  EXPECT_TRUE(game_.Playing);
  EXPECT_FALSE(game_.TitleScreen);
  EXPECT_EQ(game_.Score, 5000);
  world_.Clear();
  game_.Image1Click();  // only once
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
    game_.Image1MouseMove(c.x, c.y);
    EXPECT_EQ(world_.hand_cursor, c.hand) << c.x << "," << c.y;
  }
  game_.board.Clear();
  game_.Image1MouseMove(300, 300);
  EXPECT_TRUE(world_.hand_cursor);  // a click goes on to the next level
  game_.Level = 5;
  game_.Image1MouseMove(300, 300);
  EXPECT_FALSE(world_.hand_cursor);
}

TEST_F(GameFlowTest, OnlineIconsOpenTheirWindowsOrSayWhyNot) {
  StartPlaying();
  game_.ImWTClick();
  game_.ImChClick();
  world_.top_ten_available = true;
  world_.chat_available = true;
  game_.ImWTClick();
  game_.ImChClick();
  game_.ImStClick();
  game_.Session().AccountState = 2;
  game_.ImAcClick();
  game_.ImCaptionClick();
  EXPECT_EQ(world_.log,
            (std::vector<std::string>{
                "Notice World Top Ten Tournament is temporarily unavailable!||",
                "Notice Chat is temporarily unavailable!||", "TopTenTableWindow", "ChatWindow",
                "StatisticsWindow", "AccountWindow", "DrawAccountLamp 2"}));
  EXPECT_EQ(game_.AccountWindowRole, 0);
}

TEST_F(GameFlowTest, HelpOpensOneOfTwoMirrors) {
  StartPlaying();
  for (int i = 0; i < 40; ++i) game_.ImHpClick();
  const auto opened = world_.Only("OpenWebPage");
  const std::string first = "OpenWebPage https://one.example/progr/xxx.php#Label_Braxo";
  const std::string second = "OpenWebPage https://two.example/progr/xxx.html#Label_Braxo";
  const auto firsts = std::count(opened.begin(), opened.end(), first);
  const auto seconds = std::count(opened.begin(), opened.end(), second);
  EXPECT_EQ(firsts + seconds, 40);
  EXPECT_GT(firsts, 0);
  EXPECT_GT(seconds, 0);
}

TEST_F(GameFlowTest, RightMenuButtonsOpenTheInformationPages) {
  StartPlaying();
  const std::pair<void (GameState::*)(), int> buttons[] = {
      {&GameState::Button4Click, 3}, {&GameState::Button5Click, 2}, {&GameState::Button6Click, 1}};
  for (const auto& [button, page] : buttons) {
    (game_.*button)();
    EXPECT_EQ(game_.InfoWindowPage, page);
  }
  EXPECT_EQ(world_.Only("InfoWindow").size(), 3u);
}

TEST_F(GameFlowTest, LanguageStepsWrapBothWays) {
  StartPlaying();
  game_.ApplyLanguage(1);
  EXPECT_EQ(game_.LanguageIndex, 9);
  game_.ApplyLanguage(2);
  EXPECT_EQ(game_.LanguageIndex, 0);
  game_.LanguageIndex = 8;
  game_.ApplyLanguage(2);
  game_.ApplyLanguage(0);
  EXPECT_EQ(game_.LanguageIndex, 9);
  EXPECT_EQ(world_.Only("RefreshLanguage").size(), 4u);
}

TEST_F(GameFlowTest, ClosingSavesTheSettingsThenReleasesTheSound) {
  StartPlaying();
  game_.FormDestroy();
  EXPECT_EQ(world_.log, (std::vector<std::string>{"SaveSettings", "Sound release"}));
}

TEST(ModePasswords, AreAssembledAtStartUp) {
  EXPECT_EQ(AssembleExtraPassword(), "Kestrel");
  EXPECT_EQ(AssembleSuperPassword(), "Nautilus");
}

}  // namespace
}  // namespace braxo
