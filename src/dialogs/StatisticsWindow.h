// The statistics window: the game's usage totals from the club in a grid of
// seven rows, and "I like this game!", sent once per installation. Created
// for each opening. It never waits for the club: it shows at once the figures
// the last window read (or none) with a loading note and fills the grid when
// the club's reply comes; the like goes out the same way. The requests are
// tied to the window, so closing it cancels them and no reply reaches it.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QString>
#include <QTableWidget>
#include <functional>
#include <memory>
#include <optional>

#include "club/ClubAccess.h"
#include "dialogs/ClubWindowShared.h"
#include "storage/SettingsFile.h"
#include "ui/ImageControl.h"
#include "ui/Pictures.h"
#include "ui/SkinnedButton.h"

namespace braxo {

inline constexpr int kStatRows = 7;

// The likes cell after a like: a number goes up by one; any other text
// (nothing was read) stays as it is.
QString LikesAfterLike(const QString& cell);

// The figures the last statistics window read, kept by its opener for the
// next window to show while it reads them again; nothing before the first
// read that succeeded.
using LastUsageStats = std::optional<UsageStats>;

class StatisticsWindow : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(StatisticsWindow)

 public:
  // Asks for a nick with a modal text-input box (caption and prompt
  // `prompt`); a cancelled box gives `default_value`.
  using NickAsker =
      std::function<QString(QWidget* parent, const QString& prompt, const QString& default_value)>;
  static QString AskNickWithInputBox(QWidget* parent, const QString& prompt,
                                     const QString& default_value);

  // `settings` gives and takes the passport nick and like_sent; `save_settings`
  // writes them at once after a like; `last` gives the figures to show first
  // and takes the ones read. Everything passed in must outlive the window.
  StatisticsWindow(ClubAccess& club, Settings& settings, std::function<void()> save_settings,
                   LastUsageStats& last, int language, PictureStore& pictures, QWidget* parent,
                   NickAsker ask_nick = AskNickWithInputBox);
  ~StatisticsWindow() override;

  // Starts reading the totals and shows the window modally at once.
  int Execute();
  // What Execute does before the window shows: the labels, the last figures
  // (or empty values) with the loading note, the read of the totals sent
  // unless one is already out, and the like button enabled until a like was
  // sent. The reply fills the grid ("No Connect" in the first cell when the
  // read failed) and takes the note back.
  void PrepareShowing();
  // "I like this game!": asks for a nick while the passport's is
  // "Incognito", sends the like once and notes it in the settings when the
  // club confirmed it. Nothing while the totals are read or a like is out.
  void LikeClicked();
  // The read of the totals is out.
  bool ReadingClub() const { return reading_; }
  // A like is out.
  bool SendingLike() const { return liking_; }

  QTableWidget& TotalsGrid() { return *grid_; }
  // The text of a grid cell.
  QString Cell(int column, int row) const;
  SkinnedButton& OkButton() { return *ok_button_; }
  SkinnedButton& LikeButton() { return *like_button_; }
  // Since when the club counts.
  QLabel& SinceNote() { return *since_note_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void SetCell(int column, int row, const QString& text);
  void ShowFigures(const UsageStats& stat);
  void FiguresArrived(const UsageStatisticsReply& reply);
  void LikeAnswered(const std::string& nick, bool counted);
  void UpdateLikeButton();

  ClubAccess& club_;
  Settings& settings_;
  std::function<void()> save_settings_;
  LastUsageStats& last_;
  int language_;
  PictureStore& pictures_;
  NickAsker ask_nick_;
  ImageControl* icon_box_;
  ImageControl* title_box_;
  QTableWidget* grid_;
  QLabel* since_note_;
  SkinnedButton* ok_button_;
  SkinnedButton* like_button_;
  // The owner of the window's club requests: destroyed first, it cancels them.
  std::unique_ptr<QObject> club_requests_;
  bool reading_ = false;
  bool liking_ = false;
};

}  // namespace braxo
