// What the game flow needs from outside: drawing, sound, windows and
// questions, the local files and the club. The application implements these
// with the real window, sound and club; the tests implement them with fakes
// that record every call.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <string>

#include "club/ClubSession.h"
#include "game/Flights.h"

namespace braxo {

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
  virtual void DrawAccountLamp(int state) = 0;
  virtual void ShowMenuButtons() = 0;
  virtual void ShowOnlineIcons() = 0;
  // Caption, title lettering, options flag and button hints in the current
  // language (the panels are redrawn by the flow).
  virtual void RefreshLanguage() = 0;
  virtual void SetHandCursor(bool hand) = 0;
  virtual void SetTimerInterval(int milliseconds) = 0;
  virtual void StartTimer() = 0;
  virtual void StopTimer() = 0;
  // Every later paint while playing shows the background behind the board.
  virtual void DrawBackground() = 0;
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

// The modal windows, questions and the web browser.
class DialogPort {
 public:
  virtual ~DialogPort() = default;
  // The password window in `role` (0 Extra, 1 Super, 2 champion's name). It
  // sets the state's accepted flags or ChampionName; the flow alone changes
  // GameMode and Level.
  virtual void ShowPasswordWindow(int role) = 0;
  virtual bool AskYesNo(const std::string& question) = 0;
  virtual void ShowNotice(const Notice& notice) = 0;
  // A message box with one OK button (the damaged champions file).
  virtual void ShowError(const std::string& message) = 0;
  // The club account window; it may log in or out and change the session's
  // AccountState.
  virtual void ShowAccountWindow() = 0;
  // The world-top-ten entry window; it reads TopTenScore and sets TopTenPlace.
  virtual void ShowTopTenEntryWindow() = 0;
  virtual void ShowTopTenTableWindow() = 0;
  virtual void ShowChatWindow() = 0;
  virtual void ShowStatisticsWindow() = 0;
  // The information window on InfoWindowPage.
  virtual void ShowInfoWindow() = 0;
  virtual void OpenWebPage(const std::string& address) = 0;
};

enum class ChampionsStatus { kOk, kNotFound, kInvalid };

// The settings file and the champions table.
class StoragePort {
 public:
  virtual ~StoragePort() = default;
  // Reads the settings (and the language into the state); runs the remote
  // configuration when the file was complete.
  virtual void LoadSettings() = 0;
  virtual void SaveSettings() = 0;
  virtual ChampionsStatus CheckChampionsFile() = 0;
  // The three-character developer marker of the champions file.
  virtual std::string DeveloperMarker() = 0;
  // The admission score: the score of entry 5.
  virtual int ChampionsThreshold() = 0;
  virtual void AddChampion(const std::string& name, int score) = 0;
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
  // the unique start was not yet counted; the result is kept there).
  virtual void CountStart() = 0;
  // The start-up login from the local user file; true when it succeeded.
  virtual bool LoginFromUserFile() = 0;
  // Registers the coming game for the rating; true only when the player's
  // record was fetched and sent back.
  virtual bool RegisterRatedGame() = 0;
  virtual RatedSave SaveRatedResult(int score) = 0;
  virtual void CountFinishedGame(const std::array<int, 12>& flags) = 0;
  virtual bool CreditKezs(int amount) = 0;
  // Reads the balance back into the current user; false on failure.
  virtual bool ReadKezsBalance() = 0;
  virtual bool TopTenAvailable() = 0;
  virtual bool ChatAvailable() = 0;
  // The download and store icons.
  virtual void ImAnClick() = 0;
  virtual void ImGPClick() = 0;
};

}  // namespace braxo
