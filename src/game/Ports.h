// What the game flow needs from outside: drawing, sound, windows and
// questions, the local files and the club. The application implements these
// with the real window, sound and club; the tests implement them with fakes
// that record every call.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "club/AccountRules.h"
#include "club/ClubSession.h"
#include "game/Flights.h"
#include "storage/ChampionsFile.h"
#include "storage/OptionsFile.h"

namespace braxo {

// The three games; the numbers are those of the level pictures ("Level2_4")
// and of the finished-game report.
enum class GameMode { kNormal = 1, kExtra = 2, kSuper = 3 };

// The pages of the information window.
enum class InfoPage { kAbout = 1, kOptions = 2, kChampions = 3 };

// Steps the interface language (1 previous, 2 next) and shows the main
// window in the new language at once.
using LanguageStepper = std::function<void(int step)>;

// The main window as the flow sees it. RenderBoard and DrawBurst come from
// BurstPainter: the bursts paint through the same port.
class ViewPort : public BurstPainter {
 public:
  // The board image stretched over the whole window (title screen).
  virtual void ShowTitleLayout() = 0;
  virtual void SetCaption(const std::string& caption) = 0;
  // The title screen: still parts and a reset animation (first = true), or
  // one animation step.
  virtual void DrawTitleScreen(bool first) = 0;
  // The board image at (193, 88), 464 x 412, its backdrop painted in.
  virtual void ShowBoardLayout() = 0;
  virtual void DrawStatusPanel(int n) = 0;
  virtual void DrawAccountLamp(AccountState state) = 0;
  virtual void ShowMenuButtons() = 0;
  virtual void ShowOnlineIcons() = 0;
  // Caption, title lettering, options flag and button hints in the current
  // language (the panels are redrawn by the flow).
  virtual void RefreshLanguage() = 0;
  virtual void SetHandCursor(bool hand) = 0;
  virtual void SetTimerInterval(int milliseconds) = 0;
  virtual void StartTimer() = 0;
  virtual void StopTimer() = 0;
  // A short shake of the tile at `cell`: it was clicked but is not free.
  virtual void ShakeTile(const BoardCell& cell) = 0;
  // Closes the main window, which ends the program.
  virtual void CloseWindow() = 0;
};

class SoundPort {
 public:
  virtual ~SoundPort() = default;
  virtual void Start() = 0;
  // Plays a named sound ("SClick1", "STimer" …); an unknown name does nothing.
  virtual void Play(const std::string& name) = 0;
  virtual void Release() = 0;
};

// A notice: a message, an optional second line and an optional link.
struct Notice {
  std::string message;
  std::string second;
  std::string link;
  friend bool operator==(const Notice&, const Notice&) = default;
};

// The modal windows, questions and the web browser. Each window returns what
// the player decided; the flow alone changes the mode, the level, the score
// and the session's account state.
class DialogPort {
 public:
  virtual ~DialogPort() = default;
  // The password window asking for the password of `mode` (Extra or Super).
  // True once the player typed `password` exactly (a wrong one keeps the
  // window open for another try); false when it was closed without it.
  virtual bool AskModePassword(GameMode mode, const std::string& password) = 0;
  // The password window asking a new champion's name, offering the player's
  // name from the settings. The confirmed name; none when the window was
  // closed without confirming.
  virtual std::optional<std::string> AskChampionName() = 0;
  virtual bool AskYesNo(const std::string& question) = 0;
  virtual void ShowNotice(const Notice& notice) = 0;
  // A message box with one OK button (the damaged champions file).
  virtual void ShowError(const std::string& message) = 0;
  // The club account window for `purpose`; while `game_in_progress` (or a
  // rated game is open) it only shows the club's data. It may log in or out
  // and pick the rated game; returns the account state it left, or none when
  // it did not open (no club).
  virtual std::optional<AccountState> ShowAccountWindow(AccountWindowPurpose purpose,
                                                        bool game_in_progress) = 0;
  // The world-top-ten entry window for a completed mode's `score`: the place
  // the result was written at, or none when no result was written.
  virtual std::optional<int> ShowTopTenEntryWindow(int score) = 0;
  virtual void ShowTopTenTableWindow() = 0;
  virtual void ShowChatWindow() = 0;
  virtual void ShowStatisticsWindow() = 0;
  // The information window on `page`; the options page's arrows step the
  // language through `step_language`.
  virtual void ShowInfoWindow(InfoPage page, const LanguageStepper& step_language) = 0;
  virtual void OpenWebPage(const std::string& address) = 0;
};

// The settings file, the options file, the champions table and the saved
// game.
class StoragePort {
 public:
  virtual ~StoragePort() = default;
  // Reads the settings (and the language with them); runs the remote
  // configuration when the file was complete.
  virtual void LoadSettings() = 0;
  virtual void SaveSettings() = 0;
  virtual ChampionsCheck CheckChampionsFile() = 0;
  // The three-character developer marker of the champions file.
  virtual std::string DeveloperMarker() = 0;
  // The admission score: the score of entry 5.
  virtual int ChampionsThreshold() = 0;
  virtual void AddChampion(const std::string& name, int score) = 0;
  // The options as last read or changed on the options page.
  virtual Options CurrentOptions() = 0;
  // The game left by closing the window, in its text form: written
  // atomically (false when it could not be), read whole (nothing when there
  // is no saved game; an empty text when something is there that cannot be
  // read), removed.
  virtual bool WriteSavedGame(const std::string& text) = 0;
  virtual std::optional<std::string> ReadSavedGame() = 0;
  virtual void RemoveSavedGame() = 0;
};

// The club services as the flow uses them. Every operation reports failure
// in its result; none throws.
class ClubPort {
 public:
  virtual ~ClubPort() = default;
  // Starts reading the remote configuration page with the start-up
  // announcement and the download and store links, and returns at once.
  // `arrived` runs once from the event loop when the page has arrived or the
  // read has failed or run out of its time, after the remote configuration
  // has been applied to the settings read by then (or by the next
  // LoadSettings). A club that answers at once may run it before returning.
  virtual void ReadAnnouncements(std::function<void()> arrived) = 0;
  // The announcement to show at the first paint, if the club sent one.
  virtual std::optional<Notice> StartupAnnouncement() = 0;
  // The start-of-run usage report (counted as unique while the settings say
  // the unique start was not yet counted; the result is kept there). Returns
  // at once; the outcome reaches the settings, saved then, once the reply is
  // in.
  virtual void CountStart() = 0;
  // The start-up login from the local user file; true when it succeeded.
  virtual bool LoginFromUserFile() = 0;
  // The club steps of a rated game. Each starts its requests and returns at
  // once; `done` runs once, later, from the event loop (never inside the
  // call), with the step's outcome. At most one step runs at a time.
  // CancelClubStep drops the step under way: its `done` never runs, no
  // request of it is sent afterwards, and the session keeps nothing of it
  // (a write already sent reaches the club whole or not at all).
  //
  // Registers the coming game for the rating: true only when the player's
  // record was fetched and sent back.
  virtual void RegisterRatedGame(std::function<void(bool registered)> done) = 0;
  virtual void SaveRatedResult(int score, std::function<void(RatedSave)> done) = 0;
  virtual void CreditKezs(int amount, std::function<void(bool credited)> done) = 0;
  // Reads the balance back into the current user; false on failure.
  virtual void ReadKezsBalance(std::function<void(bool read)> done) = 0;
  virtual void CancelClubStep() = 0;
  // The finished game's usage report; returns at once, and a report still
  // out is never dropped by a later one or by a club step.
  virtual void CountFinishedGame(const std::array<int, 12>& flags) = 0;
  virtual bool TopTenAvailable() = 0;
  virtual bool ChatAvailable() = 0;
  // The download icon: the new version's package, saved where the player
  // chooses.
  virtual void DownloadNewVersion() = 0;
  // The store icon: the game's page in the store, in the web browser.
  virtual void OpenStorePage() = 0;
};

}  // namespace braxo
