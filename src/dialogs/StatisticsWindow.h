// The statistics window: the game's usage totals from the club in a grid of
// seven rows, and "I like this game!", sent once per installation. Created
// for each opening.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QString>
#include <QTableWidget>
#include <functional>
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

class StatisticsWindow : public QDialog {
  Q_OBJECT

 public:
  // Asks for a nick with a modal text-input box (caption and prompt
  // `prompt`); a cancelled box gives `default_value`.
  using NickAsker =
      std::function<QString(QWidget* parent, const QString& prompt, const QString& default_value)>;
  static QString AskNickWithInputBox(QWidget* parent, const QString& prompt,
                                     const QString& default_value);

  // `settings` gives and takes the passport nick and like_sent; `save_settings`
  // writes them at once after a like. Everything passed in must outlive the
  // window.
  StatisticsWindow(ClubAccess& club, Settings& settings, std::function<void()> save_settings,
                   int language, PictureStore& pictures, QWidget* parent,
                   NickAsker ask_nick = AskNickWithInputBox);

  // Reads the totals and shows the window modally.
  int Execute();
  // What Execute does before the window shows: the totals read into the
  // grid, and the like button enabled until a like was sent.
  void PrepareShowing();
  // "I like this game!": asks for a nick while the passport's is
  // "Incognito", sends the like once and notes it in the settings.
  void LikeClicked();

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

  ClubAccess& club_;
  Settings& settings_;
  std::function<void()> save_settings_;
  int language_;
  PictureStore& pictures_;
  NickAsker ask_nick_;
  ImageControl* icon_box_;
  ImageControl* title_box_;
  QTableWidget* grid_;
  QLabel* since_note_;
  SkinnedButton* ok_button_;
  SkinnedButton* like_button_;
};

}  // namespace braxo
