// The game itself: the state the main window keeps while a game is played and
// the handlers that change it, as plain operations. Driven with board-image
// coordinates and one-second ticks, it plays a whole game without a window.
#pragma once

#include <functional>
#include <string>

#include "game/Board.h"
#include "game/Flights.h"
#include "game/LevelGenerator.h"
#include "game/Ports.h"
#include "i18n/MessageCatalogue.h"

namespace braxo {

inline constexpr int kGameId = 76;
inline constexpr int kStartScore = 5000;
inline constexpr int kPairScore = 100;
inline constexpr int kTitleTickMs = 10;
inline constexpr int kClockTickMs = 1000;

// What the flow works with from outside: the ports, and the club session the
// application owns (the flow keeps AccountState and RatedGameOpen there, so
// that the club windows see the same values).
struct GamePorts {
  ViewPort& view;
  SoundPort& sound;
  DialogPort& dialogs;
  StoragePort& storage;
  ClubPort& club;
  ClubSession& session;
};

// Deals a level onto an empty board; the game uses GenerateLevel with its
// random source, tests deal fixed boards.
using LevelDealer = std::function<void(int level, Board& board)>;

class GameState {
 public:
  // `random` deals the levels (unless `dealer` is given) and picks the help
  // mirror. `help_mirrors` are the two web sites of the help page, without a
  // trailing "/".
  GameState(GamePorts ports, RandomSource& random, std::array<std::string, 2> help_mirrors,
            LevelDealer dealer = nullptr);
  GameState(const GameState&) = delete;
  GameState& operator=(const GameState&) = delete;

  // --- The main window's handlers ---
  void FormCreate();
  void FormPaint();
  void Image1Click();
  void Button1Click();
  void Button2Click();
  void Button3Click();
  void Button4Click();
  void Button5Click();
  void Button6Click();
  void NewLevel(bool first_of_game);
  // A press of any mouse button at (x, y) of the board image.
  void Image1MouseDown(int x, int y);
  // Sets the pointer shape for (x, y) of the board image.
  void Image1MouseMove(int x, int y);
  void Timer1Timer();
  // One step of the removal bursts; false while none is running.
  bool AnimationIdle();
  void ImAnClick();
  void ImGPClick();
  void ImChClick();
  void ImWTClick();
  void ImStClick();
  void ImHpClick();
  void ImAcClick();
  void ImCaptionClick() {}
  void FormDestroy();

  // Steps the language (0 keep, 1 previous, 2 next, wrapping) and refreshes
  // the main window in it.
  void ApplyLanguage(int step);
  // A message in the current language.
  const std::string& Text(MsgId id) const { return MessageText(id, LanguageIndex); }

  // The cell the player can take at (x, y): free, holding a tile, and not on
  // its way off the board. BoardCell{} when there is none.
  BoardCell FindSelectableTileAt(int x, int y) const;

  // --- The game (what the window draws) ---
  bool TitleScreen = false;
  bool Playing = false;
  int GameMode = 1;  // 1 "Normal", 2 "Extra", 3 "Super"
  int Level = 1;     // 1..5
  int Score = kStartScore;
  int PossiblePairs = 0;
  BoardCell Selection;
  bool ClockRunning = false;
  Board board;
  Flights flights;

  // --- Values shared with the dialogs ---
  std::string ExtraPassword;   // 7 characters, assembled at start-up
  std::string SuperPassword;   // 8 characters
  int PasswordWindowRole = 0;  // 0 Extra, 1 Super, 2 champion's name
  bool ExtraPasswordAccepted = false;
  bool SuperPasswordAccepted = false;
  std::string ChampionName;
  bool GameInProgress = false;
  int AccountWindowRole = 0;  // 1 from the pre-game check, 0 from the account icon
  int InfoWindowPage = 1;     // 1 about, 2 options, 3 champions
  int TopTenScore = 0;
  int TopTenPlace = -1;
  int LanguageIndex = 0;  // 0..9
  const int GameId = kGameId;

  bool OnlineIconsShown() const { return online_icons_shown_; }
  // AccountState, RatedGameOpen and the rest of the club's state of the run.
  ClubSession& Session() { return ports_.session; }
  const ClubSession& Session() const { return ports_.session; }
  // True once the club steps of the start-up (announcement, start report,
  // automatic login) have run.
  bool ClubStarted() const { return club_started_; }

 private:
  // The club steps of the first paint; they run once the champions file has
  // passed its check and the configuration page has arrived (or failed),
  // whichever comes last.
  void ClubStart();
  bool PreGameCheck();
  void StartGame(int mode);
  void TakePair(const BoardCell& clicked, const BoardCell& selected);
  void EndOfGame(bool mode_completed);

  GamePorts ports_;
  RandomSource& random_;
  std::array<std::string, 2> help_mirrors_;
  LevelDealer dealer_;
  bool first_paint_done_ = false;
  bool champions_checked_ = false;
  bool config_page_arrived_ = false;
  bool club_started_ = false;
  bool online_icons_shown_ = false;
};

// The two mode passwords, assembled character by character so that neither
// appears as a plain string in the program.
std::string AssembleExtraPassword();
std::string AssembleSuperPassword();

}  // namespace braxo
