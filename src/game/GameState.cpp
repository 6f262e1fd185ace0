#include "game/GameState.h"

#include <utility>

#include "i18n/Language.h"

namespace braxo {
namespace {

constexpr char kChampionsFileName[] = "Braxo.clb";

// The mode passwords, each character mixed with a key that changes along the
// word. The key is read through a volatile so that the compiler cannot fold
// the words back into plain strings.
constexpr unsigned char kExtraMixed[] = {0x11, 0x0A, 0xF7, 0xED, 0xDC, 0xA6, 0xB4};
constexpr unsigned char kSuperMixed[] = {0x14, 0x0E, 0xF1, 0xED, 0xC7, 0xAF, 0xAD, 0x9E};

template <std::size_t N>
std::string Unmix(const unsigned char (&mixed)[N]) {
  volatile unsigned char base = 0x5A;
  std::string word;
  for (std::size_t i = 0; i < N; ++i)
    word += static_cast<char>(mixed[i] ^ static_cast<unsigned char>(base + 21 * i));
  return word;
}

}  // namespace

std::string AssembleExtraPassword() { return Unmix(kExtraMixed); }
std::string AssembleSuperPassword() { return Unmix(kSuperMixed); }

GameState::GameState(GamePorts ports, RandomSource& random, std::array<std::string, 2> help_mirrors,
                     LevelDealer dealer)
    : ports_(ports),
      random_(random),
      help_mirrors_(std::move(help_mirrors)),
      dealer_(std::move(dealer)) {
  if (!dealer_) dealer_ = [this](int level, Board& b) { GenerateLevel(level, b, random_); };
}

void GameState::FormCreate() {
  ExtraPassword = AssembleExtraPassword();
  SuperPassword = AssembleSuperPassword();
  TitleScreen = true;
  // The page is read while the title screen runs; the club steps of the
  // first paint wait for it (ClubStart).
  ports_.club.ReadAnnouncements([this] {
    config_page_arrived_ = true;
    ClubStart();
  });
  ports_.view.SetCaption(Text(MsgId::MsgTitle));
  flights.Reset();
  ports_.sound.Start();
  Session().RatedGameOpen = false;
  GameInProgress = false;
}

void GameState::FormPaint() {
  if (first_paint_done_) {
    if (Playing) ports_.view.DrawBackground();
    return;
  }
  first_paint_done_ = true;

  ports_.view.ShowTitleLayout();
  ports_.storage.LoadSettings();
  ports_.view.SetCaption(Text(MsgId::MsgTitle));
  ports_.view.DrawTitleScreen(true);
  // The title animates from here on, also behind the windows below.
  ports_.view.SetTimerInterval(kTitleTickMs);
  ports_.view.StartTimer();

  const ChampionsStatus check = ports_.storage.CheckChampionsFile();
  if (check != ChampionsStatus::kOk) {
    const MsgId what =
        check == ChampionsStatus::kNotFound ? MsgId::MsgFileNotFound : MsgId::MsgInvalidFile;
    ports_.view.StopTimer();
    ports_.dialogs.ShowError(Text(what) + " \"" + kChampionsFileName + "\"!");
    ports_.view.CloseWindow();
    return;
  }

  ports_.sound.Play("SBegin");
  champions_checked_ = true;
  ClubStart();
}

void GameState::ClubStart() {
  if (!champions_checked_ || !config_page_arrived_ || club_started_) return;
  club_started_ = true;
  if (std::optional<Notice> announcement = ports_.club.StartupAnnouncement())
    ports_.dialogs.ShowNotice(*announcement);
  if (ports_.storage.DeveloperMarker() != "qzx") {
    ports_.club.CountStart();
    ports_.storage.SaveSettings();
  }
  ClubSession& session = Session();
  session.AccountState = kAccountNobody;
  if (ports_.club.LoginFromUserFile()) session.AccountState = kAccountLoggedIn;
  // The player may have left the title screen while the page was on its way.
  if (online_icons_shown_) ports_.view.DrawAccountLamp(session.AccountState);
}

void GameState::Image1Click() {
  if (!TitleScreen) return;
  ports_.view.StopTimer();
  ports_.view.SetTimerInterval(kClockTickMs);
  TitleScreen = false;
  Playing = true;
  ApplyLanguage(0);
  ports_.view.ShowMenuButtons();
  Button1Click();
  ports_.view.ShowOnlineIcons();
  online_icons_shown_ = true;
}

void GameState::StartGame(int mode) {
  GameMode = mode;
  Level = 1;
  PossiblePairs = 0;
  Score = kStartScore;
  NewLevel(true);
}

void GameState::Button1Click() {
  if (online_icons_shown_ && !PreGameCheck()) return;
  StartGame(1);
}

void GameState::Button2Click() {
  ExtraPasswordAccepted = false;
  PasswordWindowRole = 0;
  ports_.dialogs.ShowPasswordWindow(0);
  if (!ExtraPasswordAccepted) return;
  if (!online_icons_shown_ || PreGameCheck()) StartGame(2);
  ExtraPasswordAccepted = false;
}

void GameState::Button3Click() {
  SuperPasswordAccepted = false;
  PasswordWindowRole = 1;
  ports_.dialogs.ShowPasswordWindow(1);
  if (!SuperPasswordAccepted) return;
  if (!online_icons_shown_ || PreGameCheck()) StartGame(3);
  SuperPasswordAccepted = false;
}

void GameState::Button4Click() {
  InfoWindowPage = 3;
  ports_.dialogs.ShowInfoWindow();
}

void GameState::Button5Click() {
  InfoWindowPage = 2;
  ports_.dialogs.ShowInfoWindow();
}

void GameState::Button6Click() {
  InfoWindowPage = 1;
  ports_.dialogs.ShowInfoWindow();
}

bool GameState::PreGameCheck() {
  ClubSession& session = Session();
  // The clock waits while the check's windows are open: a game that ended
  // inside the check would lose its rated result.
  const bool clock_was_running = ClockRunning;
  ClockRunning = false;
  bool answer = true;
  if (session.RatedGameOpen && !ports_.dialogs.AskYesNo(Text(MsgId::MsgGameOnRating) + "\n\r" +
                                                        Text(MsgId::MsgConfirmNewGame))) {
    answer = false;
    ClockRunning = clock_was_running;
  } else {
    session.RatedGameOpen = false;
    AccountWindowRole = 1;
    GameInProgress = false;
    ports_.dialogs.ShowAccountWindow();
    if (session.AccountState == kAccountRated)
      session.RatedGameOpen = ports_.club.RegisterRatedGame();
    if (session.AccountState == kAccountNobody || session.AccountState == kAccountLoggedIn)
      session.RatedGameOpen = false;
    if (session.AccountState == kAccountRated && !session.RatedGameOpen) {
      ports_.dialogs.ShowNotice(
          {Text(MsgId::MsgCannotConnect), Text(MsgId::MsgGameNotOnRating), ""});
      session.AccountState = kAccountNobody;
    }
    ports_.view.DrawAccountLamp(session.AccountState);
  }
  GameInProgress = true;
  return answer;
}

void GameState::NewLevel(bool first_of_game) {
  ClockRunning = false;
  ports_.view.ShowBoardLayout();
  Selection = BoardCell{};
  board.ComputeCellRects();
  if (first_of_game) Level = 1;
  board.Clear();
  dealer_(Level, board);
  PossiblePairs = board.CountPossiblePairs();
  ports_.view.RenderBoard();
  for (int panel = 1; panel <= 4; ++panel) ports_.view.DrawStatusPanel(panel);
  // Bursts still running from the previous level vanish; their cells are
  // already empty, since a level only advances from a cleared board.
  flights.Reset();
}

BoardCell GameState::FindSelectableTileAt(int x, int y) const {
  return board.FindFreeTileAt(x, y,
                              [this](const BoardCell& cell) { return flights.IsInFlight(cell); });
}

void GameState::Image1MouseDown(int x, int y) {
  if (!Playing) return;
  if (board.IsBoardCleared() && Level < kLevelCount) {
    ++Level;
    ports_.sound.Play("SClick1");
    NewLevel(false);
    return;
  }
  // A tile whose pair is already taken stays on the board until its burst
  // empties the cell; it must not be taken a second time with another tile.
  const BoardCell tile = FindSelectableTileAt(x, y);
  if (tile.IsNone()) return;
  if (tile == Selection) {
    Selection = BoardCell{};
  } else if (!Selection.IsNone() && board.Code(Selection) == board.Code(tile)) {
    TakePair(tile, Selection);
    return;
  } else {
    Selection = tile;
  }
  ports_.view.RenderBoard();
  ports_.sound.Play("SClick1");
}

void GameState::TakePair(const BoardCell& clicked, const BoardCell& selected) {
  const CellRect& t = board.Rect(clicked);
  flights.Enter(t.left - 15, t.top - 45, clicked, board);
  const CellRect& s = board.Rect(selected);
  flights.Enter(s.left - 12, s.top - 40, selected, board);
  Selection = BoardCell{};
  ports_.sound.Play("SClick2");
  PossiblePairs = board.CountPossiblePairs();
  ports_.view.DrawStatusPanel(4);
  Score += kPairScore;
  ports_.view.DrawStatusPanel(3);
  ClockRunning = true;
  ports_.view.StartTimer();
}

void GameState::Image1MouseMove(int x, int y) {
  if (!Playing) return;
  const bool hand = (board.IsBoardCleared() && Level <= 4) || !FindSelectableTileAt(x, y).IsNone();
  ports_.view.SetHandCursor(hand);
}

void GameState::Timer1Timer() {
  if (TitleScreen) {
    ports_.view.DrawTitleScreen(false);
    return;
  }
  if (!Playing) return;
  if (ClockRunning && Score > 0) {
    --Score;
    ports_.view.DrawStatusPanel(3);
    ports_.sound.Play("STimer");
  }
  if (!ClockRunning) return;
  PossiblePairs = board.CountPossiblePairs();
  ports_.view.DrawStatusPanel(4);
  const bool cleared = board.IsBoardCleared();
  if (cleared) {
    if (Level == kLevelCount)
      ports_.sound.Play("SEnd");
    else
      ports_.sound.Play(GameMode == 1 ? "STada" : "SSton");
    ClockRunning = false;
  }
  const bool lost = PossiblePairs == 0 && !cleared;
  if (lost) {
    ports_.sound.Play("SHaHa");
    ClockRunning = false;
  }
  if (lost || (Level == kLevelCount && cleared)) EndOfGame(!lost);
}

void GameState::EndOfGame(bool mode_completed) {
  ClockRunning = false;

  std::array<int, 12> flags{};
  flags[GameMode - 1] = 1;
  ports_.club.CountFinishedGame(flags);

  ClubSession& session = Session();
  if (session.AccountState == kAccountRated && session.RatedGameOpen) {
    while (true) {
      const RatedSave saved = ports_.club.SaveRatedResult(Score);
      if (saved == RatedSave::kSaved) break;
      // The club holds no started game to put the score on; asking again
      // would only repeat the same answer.
      if (saved == RatedSave::kNotRecordable) {
        ports_.dialogs.ShowNotice({Text(MsgId::MsgResultNotWritten), "", ""});
        break;
      }
      if (!ports_.dialogs.AskYesNo(Text(MsgId::MsgCannotConnect) + "\n\r" + Text(MsgId::MsgRepeat)))
        break;
    }
    session.RatedGameOpen = false;
  }
  GameInProgress = false;

  if (Score >= ports_.storage.ChampionsThreshold()) {
    PasswordWindowRole = 2;
    ports_.dialogs.ShowPasswordWindow(2);
    ports_.storage.AddChampion(ChampionName, Score);
  }

  if (mode_completed) {
    TopTenScore = Score;
    TopTenPlace = -1;
    ports_.dialogs.ShowTopTenEntryWindow();
    if (session.AccountState == kAccountRated && TopTenPlace >= 1 && TopTenPlace <= 10) {
      const int reward = TopTenPlace == 1 ? 25 : 10;
      if (ports_.club.CreditKezs(reward)) {
        ports_.dialogs.ShowNotice(
            {Text(MsgId::MsgYouGet) + " " + std::to_string(reward) + " Kezs!!!", "", ""});
        ports_.club.ReadKezsBalance();
      }
    }
  }

  if (session.AccountState == kAccountRated) {
    session.AccountState = kAccountLoggedIn;
    // The lamp follows the state: the finished game no longer counts.
    ports_.view.DrawAccountLamp(session.AccountState);
  }
}

bool GameState::AnimationIdle() { return flights.Step(board, ports_.view); }

void GameState::ImAnClick() { ports_.club.ImAnClick(); }
void GameState::ImGPClick() { ports_.club.ImGPClick(); }

void GameState::ImChClick() {
  if (ports_.club.ChatAvailable())
    ports_.dialogs.ShowChatWindow();
  else
    ports_.dialogs.ShowNotice({Text(MsgId::MsgChatUnavailable), "", ""});
}

void GameState::ImWTClick() {
  if (ports_.club.TopTenAvailable())
    ports_.dialogs.ShowTopTenTableWindow();
  else
    ports_.dialogs.ShowNotice({Text(MsgId::MsgTopTenUnavailable), "", ""});
}

void GameState::ImStClick() { ports_.dialogs.ShowStatisticsWindow(); }

void GameState::ImHpClick() {
  random_.Reseed();
  if (random_.Uniform(1, 2) == 1)
    ports_.dialogs.OpenWebPage(help_mirrors_[0] + "/progr/xxx.php#Label_Braxo");
  else
    ports_.dialogs.OpenWebPage(help_mirrors_[1] + "/progr/xxx.html#Label_Braxo");
}

void GameState::ImAcClick() {
  AccountWindowRole = 0;
  ports_.dialogs.ShowAccountWindow();
  ports_.view.DrawAccountLamp(Session().AccountState);
}

void GameState::FormDestroy() {
  ports_.storage.SaveSettings();
  ports_.sound.Release();
}

void GameState::ApplyLanguage(int step) {
  LanguageIndex = StepLanguage(LanguageIndex, step);
  ports_.view.RefreshLanguage();
  for (int panel = 1; panel <= 4; ++panel) ports_.view.DrawStatusPanel(panel);
}

}  // namespace braxo
