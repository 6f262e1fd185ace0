// The game itself: the state the main window keeps while a game is played and
// what the window's events do to it, as plain operations. Driven with
// board-image coordinates and one-second ticks, it plays a whole game without
// a window.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "game/Board.h"
#include "game/Flights.h"
#include "game/InterfaceLanguage.h"
#include "game/LevelGenerator.h"
#include "game/MoveHistory.h"
#include "game/PlayAids.h"
#include "game/Ports.h"
#include "game/SavedGame.h"

namespace braxo {

inline constexpr int kStartScore = 5000;
inline constexpr int kPairScore = 100;
// The title screen's tick; the window moves its animation two steps a tick.
inline constexpr int kTitleTickMs = 20;
inline constexpr int kClockTickMs = 1000;

// What the flow works with from outside: the ports, and the club session and
// the interface language the application owns (the flow keeps the account
// state and the open rated game in the session, so that the club windows see
// the same values).
struct GamePorts {
  ViewPort& view;
  SoundPort& sound;
  DialogPort& dialogs;
  StoragePort& storage;
  ClubPort& club;
  ClubSession& session;
  InterfaceLanguage& language;
};

// Deals a level onto an empty board; the game uses GenerateLevel with its
// random source, tests deal fixed boards.
using LevelDealer = std::function<void(int level, Board& board)>;

// What the status panels show; the mode and the level also pick the picture
// under the board.
struct GameStatus {
  GameMode mode = GameMode::kNormal;
  int level = 1;  // 1..5
  int score = kStartScore;
  int possible_pairs = 0;
  // A casual game: marked on the mode's panel.
  bool casual = false;
};

// The club step the flow waits for. Until it ends the board takes no input,
// the clock stands still, no game starts and the account window stays shut;
// the window shows that the game waits for the club.
enum class ClubStep {
  kNone,
  kRegisteringRatedGame,  // the pre-game check's rated registration
  kSavingRatedResult,     // the end of a rated game
  kCreditingKezs,         // the reward for a top-ten place
  kReadingKezsBalance,    // the balance after the reward
};

// What the board image says over its picture.
enum class BoardMessage {
  kNone,
  kLevelCleared,   // the level (1 to 4) is cleared: a click goes on
  kModeCompleted,  // level 5 is cleared: the game is won
  kGameOver,       // no pair is left on the board
  kNoPairDealt,    // the deal itself has no pair
  kNoHint,         // a hint was asked for with no pair left
};

// Everything the board image shows besides the tiles.
struct BoardView {
  BoardCell selection;
  // The keyboard's focus: the tile on top of its stack; none until an arrow
  // key is used, and again after a mouse press.
  BoardCell focus;
  std::optional<TilePair> hint;
  bool mark_free_tiles = true;
  // The board is hidden behind the pause panel.
  bool paused = false;
  BoardMessage message = BoardMessage::kNone;
  // A club step is under way: the window says the game waits for the club.
  bool waiting_for_club = false;
};

// A position of a running game, for tests and the scene renderer that need
// one without playing up to it.
struct GamePosition {
  GameMode mode = GameMode::kNormal;
  int level = 1;
  int score = kStartScore;
  Board board;
  BoardCell selection;
  bool clock_running = false;
};

class GameState {
 public:
  // `random` deals the levels (unless `dealer` is given) and picks the help
  // mirror. `help_mirrors` are the two web sites of the help pages (one page
  // per language, "/help/<code>.html"), without a trailing "/".
  GameState(GamePorts ports, RandomSource& random, std::array<std::string, 2> help_mirrors,
            LevelDealer dealer = nullptr);
  GameState(const GameState&) = delete;
  GameState& operator=(const GameState&) = delete;
  // A club step still under way is cancelled: its completion never runs.
  ~GameState();

  // --- What the main window's events do ---
  // The window is created: the title screen, the sound starting and the
  // configuration page on its way.
  void Start();
  // Every paint of the window. The first one runs the start-up (settings,
  // title screen, champions check, then the club steps); later ones draw the
  // background while playing.
  void Paint();
  // A click on the title screen: the menu, a Normal game and the online icons.
  void LeaveTitleScreen();
  // The menu buttons. A new game runs the pre-game check once the online
  // icons are out; Extra and Super ask for their password first.
  void StartNormalGame();
  void StartExtraGame();
  void StartSuperGame();
  void ShowChampionsPage();
  void ShowOptionsPage();
  void ShowAboutPage();
  // A press of any mouse button at (x, y) of the board image. A press on a
  // tile that is not free shakes it and changes nothing else; while paused a
  // press only resumes.
  void PressBoardAt(int x, int y);
  // Sets the pointer shape for (x, y) of the board image.
  void PointAt(int x, int y);
  // One tick of the window's timer: a title step, or a second of the clock.
  void Tick();
  // One step of the removal bursts. True when bursts were running (and
  // stepped); false, doing nothing, when none is.
  bool StepBurstsIfRunning();
  // The online icons.
  void DownloadNewVersion();
  void OpenStorePage();
  void OpenChat();
  void OpenWorldTopTen();
  void OpenStatistics();
  void OpenHelp();
  void OpenAccount();
  // The window closes: a game that is going on and is not rated is saved for
  // the next start, the settings are saved and the sound released.
  void ShutDown();

  // --- Aids for every game (none changes a score) ---
  // Pause hides the board and stops the clock; nothing but Resume (a click or
  // a key) changes the game while it lasts. Only a game that is going on
  // pauses.
  void Pause();
  void Resume();
  void TogglePause();
  bool Paused() const { return paused_; }
  // The arrow keys: the focus moves to the nearest tile that way (MoveFocus);
  // the first arrow shows it on the first tile.
  void MoveKeyboardFocus(FocusStep step);
  // Space or Enter: what a click on the focused tile does (a cleared level
  // goes on to the next one).
  void PressFocusedTile();
  // Esc: no tile selected.
  void DropSelection();
  // The Esc key: stops waiting for a club step under way (StopWaitingForClub),
  // otherwise drops the selection.
  void PressEscape();
  // Gives up the club step under way and goes on as its failure would, with
  // the player told what was given up: a game not registered starts off the
  // rating, a result not saved is said to be unwritten; a reward not
  // confirmed is not announced.
  void StopWaitingForClub();

  // --- The casual mode's aids; nothing outside a casual game going on ---
  // Shows a free pair; again, the next one; none left says so on the board.
  void ShowHint();
  void Undo();
  void Redo();
  // Deals the tiles left anew onto the same cells, leaving a free pair.
  void ShuffleOnDemand();
  bool CasualGame() const { return casual_game_; }

  // Steps the language (0 keep, 1 previous, 2 next, wrapping) and shows the
  // main window in it.
  void ChangeLanguage(int step);
  // A message in the current language.
  const std::string& Text(MsgId id) const { return ports_.language.Text(id); }

  // --- The game, read-only (what the window draws) ---
  bool OnTitleScreen() const { return title_screen_; }
  bool Playing() const { return playing_; }
  GameMode Mode() const { return mode_; }
  int Level() const { return level_; }
  int Score() const { return score_; }
  int PossiblePairs() const { return possible_pairs_; }
  const BoardCell& Selection() const { return selection_; }
  bool ClockRunning() const { return clock_running_; }
  const Board& GameBoard() const { return board_; }
  const Flights& Bursts() const { return flights_; }
  GameStatus Status() const { return {mode_, level_, score_, possible_pairs_, casual_game_}; }
  BoardView View() const;
  BoardMessage Message() const { return message_; }
  // True from the start of a game until its end (a loss or level 5 cleared).
  bool GameGoingOn() const { return playing_ && game_started_ && !game_over_; }
  // The seconds the clock has run in this game.
  int ElapsedSeconds() const { return elapsed_seconds_; }
  const Options& CurrentOptions() const { return options_; }

  // The account state, the open rated game and the rest of the club's state
  // of the run.
  ClubSession& Session() { return ports_.session; }
  const ClubSession& Session() const { return ports_.session; }
  // True once the club steps of the start-up (announcement, start report,
  // automatic login) have run.
  bool ClubStarted() const { return club_started_; }
  ClubStep PendingClubStep() const { return club_step_; }
  bool WaitingForClub() const { return club_step_ != ClubStep::kNone; }

  // --- Setting up a position directly ---
  GamePosition Position() const;
  // Puts the game at `position` as if play had reached it; the pair count
  // follows the board. Draws nothing; the title screen, the bursts and the
  // club's state stay as they are.
  void SetPosition(GamePosition position);

 private:
  // The club steps of the first paint; they run once the champions file has
  // passed its check and the configuration page has arrived (or failed),
  // whichever comes last.
  void ClubStart();
  // Starts a game of `mode` after the pre-game check (or the casual game's
  // check) where one is due; nothing while a club step is under way.
  void StartGameWhenChecked(GameMode mode);
  // The pre-game check; the game of `mode` starts when it ends, unless the
  // player keeps the open rated game.
  void PreGameCheck(GameMode mode);
  void FinishPreGameCheck(GameMode mode, bool registered);
  // A club step begins or ends: the waiting state and the clock follow.
  void BeginClubStep(ClubStep step);
  void EndClubStep();
  void StartModeWithPassword(GameMode mode, const std::string& password);
  void StartGame(GameMode mode);
  // Deals the level (level 1 for a new game) and draws the board and panels.
  void DealLevel(bool first_of_game);
  // The cell the player can take at (x, y): free, holding a tile, and not on
  // its way off the board. BoardCell{} when there is none.
  BoardCell FindSelectableTileAt(int x, int y) const;
  void TakePair(const BoardCell& clicked, const BoardCell& selected);
  // A click or Space on a free tile that may be taken: select, drop or take.
  void PressTile(const BoardCell& tile);
  // A click on a tile that is not free: the tile shakes.
  void RefuseBlockedTile(const BoardCell& tile);
  // The end of a level's play seen by the clock or at the deal: the message,
  // then the end of the game.
  void FinishGame(bool mode_completed, BoardMessage message);
  void EndOfGame(bool mode_completed);
  // The steps of the end of a game, in order: the rated result (asked again
  // on a failed connection while the player wants), the champions table and
  // the world top ten, the reward and the balance, the account lamp.
  void SaveRatedResult(bool mode_completed);
  void RatedResultSettled(RatedSave saved, bool mode_completed);
  void AfterRatedResult(bool mode_completed);
  void CreditReward(int reward);
  void EndRatedGame();
  // Before a casual game: an open rated game is given up only when the
  // player agrees, and the game does not go on the rating.
  bool CasualGameCheck();
  // With no pair left in a casual game: offers the shuffle. True when the
  // tiles were shuffled and play goes on.
  bool OfferShuffle();
  void Shuffle();
  // Empties the cells of every burst still in the air and stops the bursts,
  // so that the board is what the player will see.
  void LandBursts();
  // The board changed under the player (undo, redo, shuffle): drops the
  // selection and the hint, recounts and redraws.
  void BoardChanged();
  // The offer of the game saved at the last close, at the first game of a
  // run. True when the player took it up.
  bool OfferSavedGame();
  void SaveGameForLater();
  bool CasualAidsAllowed() const {
    return casual_game_ && GameGoingOn() && !paused_ && !WaitingForClub();
  }

  GamePorts ports_;
  RandomSource& random_;
  std::array<std::string, 2> help_mirrors_;
  LevelDealer dealer_;

  bool title_screen_ = false;
  bool playing_ = false;
  GameMode mode_ = GameMode::kNormal;
  int level_ = 1;
  int score_ = kStartScore;
  int possible_pairs_ = 0;
  BoardCell selection_;
  bool clock_running_ = false;
  Board board_;
  Flights flights_;
  // Set by the pre-game check, cleared when the game ends: the account window
  // then only shows the club's data.
  bool game_in_progress_ = false;
  // The name the last champion confirmed; a champion who closes the name
  // window without confirming is entered under it.
  std::string champion_name_;

  ClubStep club_step_ = ClubStep::kNone;
  // The step's context: the game the registration is for, whether the mode
  // was completed.
  GameMode step_mode_ = GameMode::kNormal;
  bool step_mode_completed_ = false;

  bool first_paint_done_ = false;
  bool champions_checked_ = false;
  bool config_page_arrived_ = false;
  bool club_started_ = false;
  bool online_icons_shown_ = false;

  Options options_;
  bool game_started_ = false;
  bool game_over_ = false;
  bool casual_game_ = false;
  // A pair has been taken in this game: only then is it saved at the close.
  bool pair_taken_in_game_ = false;
  int elapsed_seconds_ = 0;
  bool paused_ = false;
  BoardCell focus_;
  bool focus_shown_ = false;
  std::optional<TilePair> hint_;
  int hint_index_ = -1;
  BoardMessage message_ = BoardMessage::kNone;
  MoveHistory history_;
  // True when the game was given a dealer of its own (tests): casual games
  // use it too instead of the solvable deal.
  bool own_dealer_ = false;
};

// The two mode passwords, assembled character by character so that neither
// appears as a plain string in the program.
std::string AssembleExtraPassword();
std::string AssembleSuperPassword();

}  // namespace braxo
