// The world top ten result window, opened after a completed mode: the
// passport and the final score, Send (at most one result per opening) and
// the passport button. The place reached goes back to the game. The write
// runs while the window lives: the card says it waits for the club, and
// Send, the passport button and Close wait with it.
#pragma once

#include <QDialog>
#include <optional>
#include <vector>

#include "club/ClubAccess.h"
#include "dialogs/ClubWindowShared.h"
#include "storage/SettingsFile.h"
#include "ui/ImageControl.h"
#include "ui/Pictures.h"
#include "ui/SkinnedButton.h"

namespace braxo {

class TopTenEntryWindow : public QDialog {
  Q_OBJECT

 public:
  // `score` is the completed mode's final score. Everything passed in must
  // outlive the window.
  TopTenEntryWindow(ClubAccess& club, const TournamentPassport& passport, int score, int language,
                    PictureStore& pictures, PassportOpener open_passport, QWidget* parent,
                    NoticeOverShower show_notice = ShowNoticeWindow);

  // Draws the card, decides Send and shows the window modally; with the nick
  // "Incognito" the passport window opens at once over it. Returns the place
  // the result was written at, or none when no result was written.
  std::optional<int> Execute();
  // The steps of opening without showing: the card and Send's state. True
  // when the passport window should open at once.
  bool PrepareShowing();
  void DrawCard();

  // Sends the result to the Windows table, once per opening; the place or
  // the refusal's notice follow when the club answers.
  void SendClicked();
  // Opens the passport window; Send is decided again afterwards.
  void PassportClicked();

  ImageControl& CardBox() { return *card_box_; }
  SkinnedButton& SendButton() { return *send_button_; }
  SkinnedButton& PassportButton() { return *passport_button_; }
  SkinnedButton& CloseButton() { return *close_button_; }
  bool Sent() const { return sent_; }
  // True while the write is out.
  bool Sending() const { return write_ != nullptr; }
  // The place of the result written from this window; none before Send.
  const std::optional<int>& Place() const { return place_; }
  const std::vector<DrawnText>& CardTexts() const { return card_texts_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void closeEvent(QCloseEvent* event) override;

 private:
  void EntryWritten(const ClubAccess::EntryWrite& written);

  ClubAccess& club_;
  const TournamentPassport& passport_;
  int score_;
  std::optional<int> place_;
  int language_;
  PictureStore& pictures_;
  PassportOpener open_passport_;
  NoticeOverShower show_notice_;
  bool sent_ = false;
  // The write out, tied to this object; null when none is.
  QObject* write_ = nullptr;
  // Send's state before the write, given back when it fails.
  bool send_enabled_before_ = false;
  ImageControl* title_box_;
  ImageControl* icon_box_;
  ImageControl* card_box_;
  SkinnedButton* send_button_;
  SkinnedButton* passport_button_;
  SkinnedButton* close_button_;
  std::vector<DrawnText> card_texts_;
};

}  // namespace braxo
