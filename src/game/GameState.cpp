#include "game/GameState.h"

#include <optional>
#include <string>
#include <utility>

#include "i18n/Language.h"

namespace braxo {
namespace {

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
      dealer_(std::move(dealer)),
      own_dealer_(static_cast<bool>(dealer_)) {
  if (!dealer_) dealer_ = [this](int level, Board& b) { GenerateLevel(level, b, random_); };
}

GameState::~GameState() {
  if (WaitingForClub()) ports_.club.CancelClubStep();
}

void GameState::Start() {
  title_screen_ = true;
  // The page is read while the title screen runs; the club steps of the
  // first paint wait for it (ClubStart).
  ports_.club.ReadAnnouncements([this] {
    config_page_arrived_ = true;
    ClubStart();
  });
  ports_.view.SetCaption(Text(MsgId::MsgTitle));
  flights_.Reset();
  ports_.sound.Start();
  Session().rated_game_open = false;
  game_in_progress_ = false;
}

void GameState::Paint() {
  // The window draws its own background on every paint; only the first
  // paint starts anything.
  if (first_paint_done_) return;
  first_paint_done_ = true;

  ports_.view.ShowTitleLayout();
  ports_.storage.LoadSettings();
  options_ = ports_.storage.CurrentOptions();
  ports_.view.SetCaption(Text(MsgId::MsgTitle));
  ports_.view.DrawTitleScreen(true);
  // The title animates from here on, also behind the windows below.
  ports_.view.SetTimerInterval(kTitleTickMs);
  ports_.view.StartTimer();

  const ChampionsCheck check = ports_.storage.CheckChampionsFile();
  if (check != ChampionsCheck::kOk) {
    const MsgId what =
        check == ChampionsCheck::kNotFound ? MsgId::MsgFileNotFound : MsgId::MsgInvalidFile;
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
  if (ports_.storage.DeveloperMarker() != kDeveloperMarker) {
    ports_.club.CountStart();
    ports_.storage.SaveSettings();
  }
  ClubSession& session = Session();
  session.account_state = AccountState::kNobody;
  if (ports_.club.LoginFromUserFile()) session.account_state = AccountState::kLoggedIn;
  // The player may have left the title screen while the page was on its way.
  if (online_icons_shown_) ports_.view.DrawAccountLamp(session.account_state);
}

void GameState::LeaveTitleScreen() {
  if (!title_screen_) return;
  ports_.view.StopTimer();
  ports_.view.SetTimerInterval(kClockTickMs);
  title_screen_ = false;
  playing_ = true;
  ChangeLanguage(0);
  ports_.view.ShowMenuButtons();
  if (!OfferSavedGame()) StartNormalGame();
  ports_.view.ShowOnlineIcons();
  online_icons_shown_ = true;
}

void GameState::StartGame(GameMode mode) {
  mode_ = mode;
  level_ = 1;
  possible_pairs_ = 0;
  score_ = kStartScore;
  game_started_ = true;
  game_over_ = false;
  casual_game_ = options_.casual_mode;
  pair_taken_in_game_ = false;
  elapsed_seconds_ = 0;
  paused_ = false;
  DealLevel(true);
}

void GameState::StartGameWhenChecked(GameMode mode) {
  if (WaitingForClub()) return;
  if (!online_icons_shown_) {
    StartGame(mode);
  } else if (options_.casual_mode) {
    if (CasualGameCheck()) StartGame(mode);
  } else {
    PreGameCheck(mode);
  }
}

void GameState::StartNormalGame() { StartGameWhenChecked(GameMode::kNormal); }

void GameState::StartModeWithPassword(GameMode mode, const std::string& password) {
  if (WaitingForClub()) return;
  if (!ports_.dialogs.AskModePassword(mode, password)) return;
  StartGameWhenChecked(mode);
}

void GameState::StartExtraGame() {
  StartModeWithPassword(GameMode::kExtra, AssembleExtraPassword());
}

void GameState::StartSuperGame() {
  StartModeWithPassword(GameMode::kSuper, AssembleSuperPassword());
}

void GameState::ShowChampionsPage() {
  ports_.dialogs.ShowInfoWindow(InfoPage::kChampions, [this](int step) { ChangeLanguage(step); });
}

void GameState::ShowOptionsPage() {
  ports_.dialogs.ShowInfoWindow(InfoPage::kOptions, [this](int step) { ChangeLanguage(step); });
  // The free-tile marks show at once; the casual mode starts with the next
  // game.
  options_ = ports_.storage.CurrentOptions();
  if (game_started_) ports_.view.RenderBoard();
}

void GameState::ShowAboutPage() {
  ports_.dialogs.ShowInfoWindow(InfoPage::kAbout, [this](int step) { ChangeLanguage(step); });
}

bool GameState::CasualGameCheck() {
  ClubSession& session = Session();
  if (session.rated_game_open && !ports_.dialogs.AskYesNo(Text(MsgId::MsgGameOnRating) + "\n\r" +
                                                          Text(MsgId::MsgConfirmNewGame)))
    return false;
  session.rated_game_open = false;
  if (session.account_state == AccountState::kRated)
    session.account_state = AccountState::kLoggedIn;
  ports_.view.DrawAccountLamp(session.account_state);
  game_in_progress_ = true;
  return true;
}

void GameState::PreGameCheck(GameMode mode) {
  ClubSession& session = Session();
  // The clock waits while the check's windows are open and while the club
  // registers the game: a game that ended inside the check would lose its
  // rated result.
  const bool clock_was_running = clock_running_;
  clock_running_ = false;
  if (session.rated_game_open && !ports_.dialogs.AskYesNo(Text(MsgId::MsgGameOnRating) + "\n\r" +
                                                          Text(MsgId::MsgConfirmNewGame))) {
    clock_running_ = clock_was_running;
    game_in_progress_ = true;
    return;
  }
  session.rated_game_open = false;
  game_in_progress_ = false;
  if (const std::optional<AccountState> left =
          ports_.dialogs.ShowAccountWindow(AccountWindowPurpose::kPreGameCheck, game_in_progress_))
    session.account_state = *left;
  if (session.account_state != AccountState::kRated) {
    FinishPreGameCheck(mode, false);
    return;
  }
  step_mode_ = mode;
  BeginClubStep(ClubStep::kRegisteringRatedGame);
  ports_.club.RegisterRatedGame([this](bool registered) {
    if (club_step_ != ClubStep::kRegisteringRatedGame) return;
    EndClubStep();
    FinishPreGameCheck(step_mode_, registered);
  });
}

void GameState::FinishPreGameCheck(GameMode mode, bool registered) {
  ClubSession& session = Session();
  session.rated_game_open = session.account_state == AccountState::kRated && registered;
  if (session.account_state == AccountState::kRated && !session.rated_game_open) {
    ports_.dialogs.ShowNotice({Text(MsgId::MsgCannotConnect), Text(MsgId::MsgGameNotOnRating), ""});
    session.account_state = AccountState::kNobody;
  }
  ports_.view.DrawAccountLamp(session.account_state);
  game_in_progress_ = true;
  StartGame(mode);
}

void GameState::BeginClubStep(ClubStep step) {
  club_step_ = step;
  clock_running_ = false;
  selection_ = BoardCell{};
  hint_.reset();
  focus_shown_ = false;
  ports_.view.RenderBoard();
}

void GameState::EndClubStep() {
  club_step_ = ClubStep::kNone;
  ports_.view.RenderBoard();
}

void GameState::StopWaitingForClub() {
  const ClubStep step = club_step_;
  if (step == ClubStep::kNone) return;
  ports_.club.CancelClubStep();
  EndClubStep();
  ClubSession& session = Session();
  switch (step) {
    case ClubStep::kNone:
      break;
    case ClubStep::kRegisteringRatedGame:
      // The player is still logged in; only this game is off the rating.
      session.account_state = AccountState::kLoggedIn;
      ports_.dialogs.ShowNotice({Text(MsgId::MsgGameNotOnRating), "", ""});
      FinishPreGameCheck(step_mode_, false);
      break;
    case ClubStep::kSavingRatedResult:
      ports_.dialogs.ShowNotice({Text(MsgId::MsgResultNotWritten), "", ""});
      session.rated_game_open = false;
      AfterRatedResult(step_mode_completed_);
      break;
    case ClubStep::kCreditingKezs:
    case ClubStep::kReadingKezsBalance:
      EndRatedGame();
      break;
  }
}

void GameState::PressEscape() {
  if (WaitingForClub())
    StopWaitingForClub();
  else
    DropSelection();
}

void GameState::DealLevel(bool first_of_game) {
  clock_running_ = false;
  ports_.view.ShowBoardLayout();
  selection_ = BoardCell{};
  board_.ComputeCellRects();
  if (first_of_game) level_ = 1;
  board_.Clear();
  if (casual_game_ && !own_dealer_)
    GenerateSolvableLevel(level_, board_, random_);
  else
    dealer_(level_, board_);
  possible_pairs_ = board_.CountPossiblePairs();
  message_ = BoardMessage::kNone;
  hint_.reset();
  history_.Clear();
  ports_.view.RenderBoard();
  for (int panel = 1; panel <= 4; ++panel) ports_.view.DrawStatusPanel(panel);
  // Bursts still running from the previous level vanish; their cells are
  // already empty, since a level only advances from a cleared board.
  flights_.Reset();
  // A deal without a pair cannot be played at all: it ends at once rather
  // than waiting for a clock that only starts with the first pair.
  if (possible_pairs_ == 0 && !board_.IsBoardCleared() && !(casual_game_ && OfferShuffle())) {
    ports_.sound.Play("SHaHa");
    FinishGame(false, BoardMessage::kNoPairDealt);
  }
}

BoardCell GameState::FindSelectableTileAt(int x, int y) const {
  return board_.FindFreeTileAt(x, y,
                               [this](const BoardCell& cell) { return flights_.IsInFlight(cell); });
}

void GameState::PressBoardAt(int x, int y) {
  if (!playing_ || WaitingForClub()) return;
  if (paused_) {
    Resume();
    return;
  }
  if (focus_shown_) {
    focus_shown_ = false;
    ports_.view.RenderBoard();
  }
  if (board_.IsBoardCleared() && level_ < kLevelCount) {
    ++level_;
    ports_.sound.Play("SClick1");
    DealLevel(false);
    return;
  }
  // A tile whose pair is already taken stays on the board until its burst
  // empties the cell; it must not be taken a second time with another tile.
  const BoardCell tile = FindSelectableTileAt(x, y);
  if (!tile.IsNone()) {
    PressTile(tile);
    return;
  }
  // The tile the player sees at that point: the highest one there.
  BoardCell seen;
  ForEachCellInBoardOrder([&](const BoardCell& cell) {
    if (board_.Rect(cell).Contains(x, y) && board_.HasTile(cell) && !flights_.IsInFlight(cell))
      seen = cell;
  });
  if (!seen.IsNone()) RefuseBlockedTile(seen);
}

void GameState::PressTile(const BoardCell& tile) {
  if (message_ == BoardMessage::kNoHint) message_ = BoardMessage::kNone;
  if (tile == selection_) {
    selection_ = BoardCell{};
  } else if (!selection_.IsNone() && board_.Code(selection_) == board_.Code(tile)) {
    TakePair(tile, selection_);
    return;
  } else {
    selection_ = tile;
  }
  ports_.view.RenderBoard();
  ports_.sound.Play("SClick1");
}

void GameState::RefuseBlockedTile(const BoardCell& tile) {
  // Only the picture moves: the selection, the score and the sounds stay.
  ports_.view.ShakeTile(tile);
}

void GameState::TakePair(const BoardCell& clicked, const BoardCell& selected) {
  if (casual_game_)
    history_.RecordPair(clicked, selected, board_.Code(clicked), score_, score_ + kPairScore);
  pair_taken_in_game_ = true;
  hint_.reset();
  if (message_ == BoardMessage::kNoHint) message_ = BoardMessage::kNone;
  const CellRect& t = board_.Rect(clicked);
  flights_.Enter(t.left - 15, t.top - 45, clicked, board_);
  const CellRect& s = board_.Rect(selected);
  flights_.Enter(s.left - 12, s.top - 40, selected, board_);
  selection_ = BoardCell{};
  ports_.sound.Play("SClick2");
  possible_pairs_ = board_.CountPossiblePairs();
  ports_.view.DrawStatusPanel(4);
  score_ += kPairScore;
  ports_.view.DrawStatusPanel(3);
  clock_running_ = true;
  ports_.view.StartTimer();
}

void GameState::PointAt(int x, int y) {
  if (!playing_) return;
  const bool hand = !WaitingForClub() && (paused_ || (board_.IsBoardCleared() && level_ <= 4) ||
                                          !FindSelectableTileAt(x, y).IsNone());
  ports_.view.SetHandCursor(hand);
}

void GameState::Tick() {
  if (title_screen_) {
    ports_.view.DrawTitleScreen(false);
    return;
  }
  if (!playing_ || paused_) return;
  if (clock_running_) ++elapsed_seconds_;
  if (clock_running_ && score_ > 0) {
    --score_;
    ports_.view.DrawStatusPanel(3);
    ports_.sound.Play("STimer");
  }
  if (!clock_running_) return;
  possible_pairs_ = board_.CountPossiblePairs();
  ports_.view.DrawStatusPanel(4);
  const bool cleared = board_.IsBoardCleared();
  if (cleared) {
    if (level_ == kLevelCount)
      ports_.sound.Play("SEnd");
    else
      ports_.sound.Play(mode_ == GameMode::kNormal ? "STada" : "SSton");
    clock_running_ = false;
    if (level_ < kLevelCount) {
      message_ = BoardMessage::kLevelCleared;
      ports_.view.RenderBoard();
    }
  }
  const bool lost = possible_pairs_ == 0 && !cleared;
  if (lost) {
    // The clock waits while the shuffle is offered: a tick inside the
    // question must not offer it again.
    clock_running_ = false;
    if (casual_game_ && OfferShuffle()) {
      clock_running_ = true;
      return;
    }
    ports_.sound.Play("SHaHa");
  }
  if (lost) FinishGame(false, BoardMessage::kGameOver);
  if (level_ == kLevelCount && cleared) FinishGame(true, BoardMessage::kModeCompleted);
}

void GameState::FinishGame(bool mode_completed, BoardMessage message) {
  clock_running_ = false;
  game_over_ = true;
  selection_ = BoardCell{};
  hint_.reset();
  message_ = message;
  ports_.view.RenderBoard();
  EndOfGame(mode_completed);
}

void GameState::EndOfGame(bool mode_completed) {
  clock_running_ = false;

  // The report flags the finished game's mode by its number.
  std::array<int, 12> flags{};
  flags[static_cast<std::size_t>(mode_) - 1] = 1;
  ports_.club.CountFinishedGame(flags);

  // A casual game counts nowhere else: no rated result, no champions table,
  // no world top ten, no reward.
  if (casual_game_) {
    game_in_progress_ = false;
    return;
  }

  const ClubSession& session = Session();
  if (session.account_state == AccountState::kRated && session.rated_game_open) {
    SaveRatedResult(mode_completed);
    return;
  }
  AfterRatedResult(mode_completed);
}

void GameState::SaveRatedResult(bool mode_completed) {
  step_mode_completed_ = mode_completed;
  BeginClubStep(ClubStep::kSavingRatedResult);
  ports_.club.SaveRatedResult(score_, [this](RatedSave saved) {
    if (club_step_ != ClubStep::kSavingRatedResult) return;
    EndClubStep();
    RatedResultSettled(saved, step_mode_completed_);
  });
}

void GameState::RatedResultSettled(RatedSave saved, bool mode_completed) {
  if (saved == RatedSave::kFailed &&
      ports_.dialogs.AskYesNo(Text(MsgId::MsgCannotConnect) + "\n\r" + Text(MsgId::MsgRepeat))) {
    SaveRatedResult(mode_completed);
    return;
  }
  // The club holds no started game to put the score on; asking again would
  // only repeat the same answer.
  if (saved == RatedSave::kNotRecordable)
    ports_.dialogs.ShowNotice({Text(MsgId::MsgResultNotWritten), "", ""});
  Session().rated_game_open = false;
  AfterRatedResult(mode_completed);
}

void GameState::AfterRatedResult(bool mode_completed) {
  game_in_progress_ = false;

  if (score_ >= ports_.storage.ChampionsThreshold()) {
    if (std::optional<std::string> name = ports_.dialogs.AskChampionName())
      champion_name_ = std::move(*name);
    ports_.storage.AddChampion(champion_name_, score_);
  }

  if (mode_completed) {
    const std::optional<int> place = ports_.dialogs.ShowTopTenEntryWindow(score_);
    if (Session().account_state == AccountState::kRated && place && *place >= 1 && *place <= 10) {
      CreditReward(*place == 1 ? 25 : 10);
      return;
    }
  }
  EndRatedGame();
}

void GameState::CreditReward(int reward) {
  BeginClubStep(ClubStep::kCreditingKezs);
  ports_.club.CreditKezs(reward, [this, reward](bool credited) {
    if (club_step_ != ClubStep::kCreditingKezs) return;
    EndClubStep();
    if (!credited) {
      EndRatedGame();
      return;
    }
    ports_.dialogs.ShowNotice(
        {Text(MsgId::MsgYouGet) + " " + std::to_string(reward) + " Kezs!!!", "", ""});
    BeginClubStep(ClubStep::kReadingKezsBalance);
    ports_.club.ReadKezsBalance([this](bool) {
      if (club_step_ != ClubStep::kReadingKezsBalance) return;
      EndClubStep();
      EndRatedGame();
    });
  });
}

void GameState::EndRatedGame() {
  ClubSession& session = Session();
  if (session.account_state == AccountState::kRated) {
    session.account_state = AccountState::kLoggedIn;
    // The lamp follows the state: the finished game no longer counts.
    ports_.view.DrawAccountLamp(session.account_state);
  }
}

bool GameState::StepBurstsIfRunning() { return flights_.Step(board_, ports_.view); }

void GameState::DownloadNewVersion() { ports_.club.DownloadNewVersion(); }
void GameState::OpenStorePage() { ports_.club.OpenStorePage(); }

void GameState::OpenChat() {
  if (ports_.club.ChatAvailable())
    ports_.dialogs.ShowChatWindow();
  else
    ports_.dialogs.ShowNotice({Text(MsgId::MsgChatUnavailable), "", ""});
}

void GameState::OpenWorldTopTen() {
  if (ports_.club.TopTenAvailable())
    ports_.dialogs.ShowTopTenTableWindow();
  else
    ports_.dialogs.ShowNotice({Text(MsgId::MsgTopTenUnavailable), "", ""});
}

void GameState::OpenStatistics() { ports_.dialogs.ShowStatisticsWindow(); }

void GameState::OpenHelp() {
  random_.Reseed();
  const std::string& site = help_mirrors_[random_.Uniform(1, 2) == 1 ? 0 : 1];
  ports_.dialogs.OpenWebPage(site + "/help/" + std::string(Language(ports_.language.Index()).code) +
                             ".html");
}

void GameState::OpenAccount() {
  // The account window could log the member out under the step.
  if (WaitingForClub()) return;
  ClubSession& session = Session();
  if (const std::optional<AccountState> left =
          ports_.dialogs.ShowAccountWindow(AccountWindowPurpose::kAccountIcon, game_in_progress_))
    session.account_state = *left;
  ports_.view.DrawAccountLamp(session.account_state);
}

void GameState::ShutDown() {
  // A step under way is given up; a result that will not be saved is said
  // before the window goes. The game the pre-game check was leaving is not
  // kept for later: the player asked for a new one.
  const ClubStep step = club_step_;
  if (step != ClubStep::kNone) {
    ports_.club.CancelClubStep();
    club_step_ = ClubStep::kNone;
    if (step == ClubStep::kSavingRatedResult)
      ports_.dialogs.ShowNotice({Text(MsgId::MsgResultNotWritten), "", ""});
  }
  if (step != ClubStep::kRegisteringRatedGame) SaveGameForLater();
  ports_.storage.SaveSettings();
  ports_.sound.Release();
}

void GameState::ChangeLanguage(int step) {
  ports_.language.Step(step);
  ports_.view.RefreshLanguage();
  for (int panel = 1; panel <= 4; ++panel) ports_.view.DrawStatusPanel(panel);
  // Texts over the board follow the language too.
  if (paused_ || message_ != BoardMessage::kNone) ports_.view.RenderBoard();
}

BoardView GameState::View() const {
  BoardView view;
  view.selection = selection_;
  if (focus_shown_ && !focus_.IsNone()) view.focus = StackTop(board_, focus_.row, focus_.column);
  view.hint = hint_;
  view.mark_free_tiles = options_.mark_free_tiles;
  view.paused = paused_;
  view.message = message_;
  view.waiting_for_club = WaitingForClub();
  return view;
}

void GameState::Pause() {
  if (!GameGoingOn() || paused_ || WaitingForClub()) return;
  // The bursts would draw over the pause panel; their tiles are taken anyway.
  LandBursts();
  paused_ = true;
  ports_.view.RenderBoard();
}

void GameState::Resume() {
  if (!paused_) return;
  paused_ = false;
  ports_.view.RenderBoard();
}

void GameState::TogglePause() {
  if (paused_)
    Resume();
  else
    Pause();
}

void GameState::MoveKeyboardFocus(FocusStep step) {
  if (!GameGoingOn() || paused_ || WaitingForClub()) return;
  focus_ =
      focus_shown_ && !focus_.IsNone() ? MoveFocus(board_, focus_, step) : FirstFocusCell(board_);
  focus_shown_ = true;
  ports_.view.RenderBoard();
}

void GameState::PressFocusedTile() {
  if (!playing_ || paused_ || WaitingForClub()) return;
  if (board_.IsBoardCleared() && level_ < kLevelCount) {
    const CellRect& anywhere = board_.Rect({1, 1, 1});
    PressBoardAt(anywhere.left, anywhere.top);
    return;
  }
  if (!focus_shown_ || focus_.IsNone()) return;
  const BoardCell tile = StackTop(board_, focus_.row, focus_.column);
  if (tile.IsNone() || flights_.IsInFlight(tile)) return;
  if (board_.IsTileFree(tile))
    PressTile(tile);
  else
    RefuseBlockedTile(tile);
}

void GameState::DropSelection() {
  if (!playing_ || paused_ || WaitingForClub() || selection_.IsNone()) return;
  selection_ = BoardCell{};
  ports_.view.RenderBoard();
}

void GameState::ShowHint() {
  if (!CasualAidsAllowed()) return;
  std::vector<TilePair> pairs = FreePairs(board_);
  std::erase_if(pairs, [this](const TilePair& pair) {
    return flights_.IsInFlight(pair.first) || flights_.IsInFlight(pair.second);
  });
  if (pairs.empty()) {
    hint_.reset();
    message_ = BoardMessage::kNoHint;
  } else {
    hint_index_ = hint_ ? (hint_index_ + 1) % static_cast<int>(pairs.size()) : 0;
    hint_ = pairs[hint_index_];
  }
  ports_.view.RenderBoard();
}

void GameState::LandBursts() {
  for (const FlightSlot& slot : flights_.Slots())
    if (slot.active && slot.cell.IsValid()) board_.SetCode(slot.cell, "");
  flights_.Reset();
}

void GameState::BoardChanged() {
  selection_ = BoardCell{};
  hint_.reset();
  message_ = BoardMessage::kNone;
  possible_pairs_ = board_.CountPossiblePairs();
  ports_.view.RenderBoard();
  ports_.view.DrawStatusPanel(3);
  ports_.view.DrawStatusPanel(4);
}

void GameState::Undo() {
  if (!CasualAidsAllowed()) return;
  LandBursts();
  const std::optional<int> score = history_.Undo(board_);
  if (!score) return;
  score_ = *score;
  // Back at the level's first move the clock waits for a pair again.
  clock_running_ = history_.CanUndo();
  BoardChanged();
}

void GameState::Redo() {
  if (!CasualAidsAllowed()) return;
  LandBursts();
  const std::optional<int> score = history_.Redo(board_);
  if (!score) return;
  score_ = *score;
  clock_running_ = true;
  ports_.view.StartTimer();
  BoardChanged();
}

void GameState::ShuffleOnDemand() {
  if (!CasualAidsAllowed() || board_.IsBoardCleared()) return;
  LandBursts();
  Shuffle();
}

void GameState::Shuffle() {
  const Board before = board_;
  if (!ShuffleTiles(board_, random_)) return;
  history_.RecordShuffle(before, board_, score_);
  BoardChanged();
}

bool GameState::OfferShuffle() {
  LandBursts();
  if (!ShuffleCanLeaveAPair(board_)) return false;
  if (!ports_.dialogs.AskYesNo(Text(MsgId::MsgOfferShuffle))) return false;
  Shuffle();
  return true;
}

void GameState::SaveGameForLater() {
  // A rated game keeps its rules: closing the window gives it up.
  if (!GameGoingOn() || !pair_taken_in_game_ || Session().rated_game_open) return;
  LandBursts();
  SavedGame saved;
  saved.mode = mode_;
  saved.level = level_;
  saved.score = score_;
  saved.elapsed_seconds = elapsed_seconds_;
  saved.casual = casual_game_;
  saved.clock_running = clock_running_;
  saved.board = board_;
  ports_.storage.WriteSavedGame(EncodeSavedGame(saved));
}

bool GameState::OfferSavedGame() {
  const std::optional<std::string> text = ports_.storage.ReadSavedGame();
  if (!text) return false;
  // The save is used once: resumed, declined or refused, it goes.
  ports_.storage.RemoveSavedGame();
  std::optional<SavedGame> saved = DecodeSavedGame(*text);
  if (!saved) {
    ports_.dialogs.ShowNotice({Text(MsgId::MsgSavedGameRefused), "", ""});
    return false;
  }
  // The question is asked over the resumed game's layout, its board hidden.
  mode_ = saved->mode;
  level_ = saved->level;
  score_ = saved->score;
  elapsed_seconds_ = saved->elapsed_seconds;
  casual_game_ = saved->casual;
  clock_running_ = false;
  game_started_ = true;
  game_over_ = false;
  pair_taken_in_game_ = true;
  paused_ = true;
  message_ = BoardMessage::kNone;
  selection_ = BoardCell{};
  hint_.reset();
  history_.Clear();
  flights_.Reset();
  ports_.view.ShowBoardLayout();
  board_ = std::move(saved->board);
  board_.ComputeCellRects();
  possible_pairs_ = board_.CountPossiblePairs();
  ports_.view.RenderBoard();
  for (int panel = 1; panel <= 4; ++panel) ports_.view.DrawStatusPanel(panel);
  if (!ports_.dialogs.AskYesNo(Text(MsgId::MsgResumeQuestion))) {
    paused_ = false;
    return false;
  }
  clock_running_ = saved->clock_running;
  if (board_.IsBoardCleared()) message_ = BoardMessage::kLevelCleared;
  ports_.view.StartTimer();
  return true;
}

GamePosition GameState::Position() const {
  return {mode_, level_, score_, board_, selection_, clock_running_};
}

void GameState::SetPosition(GamePosition position) {
  mode_ = position.mode;
  level_ = position.level;
  score_ = position.score;
  board_ = std::move(position.board);
  selection_ = position.selection;
  clock_running_ = position.clock_running;
  possible_pairs_ = board_.CountPossiblePairs();
}

}  // namespace braxo
