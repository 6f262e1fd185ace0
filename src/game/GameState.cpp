#include "game/GameState.h"

#include <optional>
#include <string>
#include <utility>

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
      dealer_(std::move(dealer)) {
  if (!dealer_) dealer_ = [this](int level, Board& b) { GenerateLevel(level, b, random_); };
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
  if (first_paint_done_) {
    if (playing_) ports_.view.DrawBackground();
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
  StartNormalGame();
  ports_.view.ShowOnlineIcons();
  online_icons_shown_ = true;
}

void GameState::StartGame(GameMode mode) {
  mode_ = mode;
  level_ = 1;
  possible_pairs_ = 0;
  score_ = kStartScore;
  DealLevel(true);
}

void GameState::StartNormalGame() {
  if (online_icons_shown_ && !PreGameCheck()) return;
  StartGame(GameMode::kNormal);
}

void GameState::StartModeWithPassword(GameMode mode, const std::string& password) {
  if (!ports_.dialogs.AskModePassword(mode, password)) return;
  if (!online_icons_shown_ || PreGameCheck()) StartGame(mode);
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
}

void GameState::ShowAboutPage() {
  ports_.dialogs.ShowInfoWindow(InfoPage::kAbout, [this](int step) { ChangeLanguage(step); });
}

bool GameState::PreGameCheck() {
  ClubSession& session = Session();
  // The clock waits while the check's windows are open: a game that ended
  // inside the check would lose its rated result.
  const bool clock_was_running = clock_running_;
  clock_running_ = false;
  bool answer = true;
  if (session.rated_game_open && !ports_.dialogs.AskYesNo(Text(MsgId::MsgGameOnRating) + "\n\r" +
                                                          Text(MsgId::MsgConfirmNewGame))) {
    answer = false;
    clock_running_ = clock_was_running;
  } else {
    session.rated_game_open = false;
    game_in_progress_ = false;
    if (const std::optional<AccountState> left = ports_.dialogs.ShowAccountWindow(
            AccountWindowPurpose::kPreGameCheck, game_in_progress_))
      session.account_state = *left;
    if (session.account_state == AccountState::kRated)
      session.rated_game_open = ports_.club.RegisterRatedGame();
    else
      session.rated_game_open = false;
    if (session.account_state == AccountState::kRated && !session.rated_game_open) {
      ports_.dialogs.ShowNotice(
          {Text(MsgId::MsgCannotConnect), Text(MsgId::MsgGameNotOnRating), ""});
      session.account_state = AccountState::kNobody;
    }
    ports_.view.DrawAccountLamp(session.account_state);
  }
  game_in_progress_ = true;
  return answer;
}

void GameState::DealLevel(bool first_of_game) {
  clock_running_ = false;
  ports_.view.ShowBoardLayout();
  selection_ = BoardCell{};
  board_.ComputeCellRects();
  if (first_of_game) level_ = 1;
  board_.Clear();
  dealer_(level_, board_);
  possible_pairs_ = board_.CountPossiblePairs();
  ports_.view.RenderBoard();
  for (int panel = 1; panel <= 4; ++panel) ports_.view.DrawStatusPanel(panel);
  // Bursts still running from the previous level vanish; their cells are
  // already empty, since a level only advances from a cleared board.
  flights_.Reset();
}

BoardCell GameState::FindSelectableTileAt(int x, int y) const {
  return board_.FindFreeTileAt(x, y,
                               [this](const BoardCell& cell) { return flights_.IsInFlight(cell); });
}

void GameState::PressBoardAt(int x, int y) {
  if (!playing_) return;
  if (board_.IsBoardCleared() && level_ < kLevelCount) {
    ++level_;
    ports_.sound.Play("SClick1");
    DealLevel(false);
    return;
  }
  // A tile whose pair is already taken stays on the board until its burst
  // empties the cell; it must not be taken a second time with another tile.
  const BoardCell tile = FindSelectableTileAt(x, y);
  if (tile.IsNone()) return;
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

void GameState::TakePair(const BoardCell& clicked, const BoardCell& selected) {
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
  const bool hand =
      (board_.IsBoardCleared() && level_ <= 4) || !FindSelectableTileAt(x, y).IsNone();
  ports_.view.SetHandCursor(hand);
}

void GameState::Tick() {
  if (title_screen_) {
    ports_.view.DrawTitleScreen(false);
    return;
  }
  if (!playing_) return;
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
  }
  const bool lost = possible_pairs_ == 0 && !cleared;
  if (lost) {
    ports_.sound.Play("SHaHa");
    clock_running_ = false;
  }
  if (lost || (level_ == kLevelCount && cleared)) EndOfGame(!lost);
}

void GameState::EndOfGame(bool mode_completed) {
  clock_running_ = false;

  // The report flags the finished game's mode by its number.
  std::array<int, 12> flags{};
  flags[static_cast<std::size_t>(mode_) - 1] = 1;
  ports_.club.CountFinishedGame(flags);

  ClubSession& session = Session();
  if (session.account_state == AccountState::kRated && session.rated_game_open) {
    while (true) {
      const RatedSave saved = ports_.club.SaveRatedResult(score_);
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
    session.rated_game_open = false;
  }
  game_in_progress_ = false;

  if (score_ >= ports_.storage.ChampionsThreshold()) {
    if (std::optional<std::string> name = ports_.dialogs.AskChampionName())
      champion_name_ = std::move(*name);
    ports_.storage.AddChampion(champion_name_, score_);
  }

  if (mode_completed) {
    const std::optional<int> place = ports_.dialogs.ShowTopTenEntryWindow(score_);
    if (session.account_state == AccountState::kRated && place && *place >= 1 && *place <= 10) {
      const int reward = *place == 1 ? 25 : 10;
      if (ports_.club.CreditKezs(reward)) {
        ports_.dialogs.ShowNotice(
            {Text(MsgId::MsgYouGet) + " " + std::to_string(reward) + " Kezs!!!", "", ""});
        ports_.club.ReadKezsBalance();
      }
    }
  }

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
  if (random_.Uniform(1, 2) == 1)
    ports_.dialogs.OpenWebPage(help_mirrors_[0] + "/progr/xxx.php#Label_Braxo");
  else
    ports_.dialogs.OpenWebPage(help_mirrors_[1] + "/progr/xxx.html#Label_Braxo");
}

void GameState::OpenAccount() {
  ClubSession& session = Session();
  if (const std::optional<AccountState> left =
          ports_.dialogs.ShowAccountWindow(AccountWindowPurpose::kAccountIcon, game_in_progress_))
    session.account_state = *left;
  ports_.view.DrawAccountLamp(session.account_state);
}

void GameState::ShutDown() {
  ports_.storage.SaveSettings();
  ports_.sound.Release();
}

void GameState::ChangeLanguage(int step) {
  ports_.language.Step(step);
  ports_.view.RefreshLanguage();
  for (int panel = 1; panel <= 4; ++panel) ports_.view.DrawStatusPanel(panel);
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
