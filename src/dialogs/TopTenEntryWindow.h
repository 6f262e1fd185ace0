// The world top ten result window, opened after a completed mode: the
// passport and the final score, Send (at most one result per opening) and
// the passport button. The place reached goes back to the game.
#pragma once

#include <QDialog>
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
  // `score` is the game's TopTenScore; `place` its TopTenPlace, which the
  // window sets when a result was written (the caller sets it to -1 first).
  // Everything passed in must outlive the window.
  TopTenEntryWindow(ClubAccess& club, const TournamentPassport& passport, int score, int& place,
                    int language, PictureStore& pictures, PassportOpener open_passport,
                    QWidget* parent, NoticeOverShower show_notice = ShowNoticeWindow);

  // Draws the card, decides Send and shows the window modally; with the nick
  // "Incognito" the passport window opens at once over it.
  int Execute();
  // The steps of opening without showing: the card and Send's state. True
  // when the passport window should open at once.
  bool FormShow();
  void DrawCard();

  void Button1Click();  // Send
  void Button2Click();  // Passport

  ImageControl& Image2() { return *image2_; }
  SkinnedButton& Button1() { return *button1_; }
  SkinnedButton& Button2() { return *button2_; }
  SkinnedButton& Button3() { return *button3_; }
  bool Sent() const { return sent_; }
  const std::vector<DrawnText>& CardTexts() const { return card_texts_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  ClubAccess& club_;
  const TournamentPassport& passport_;
  int score_;
  int& place_;
  int language_;
  PictureStore& pictures_;
  PassportOpener open_passport_;
  NoticeOverShower show_notice_;
  bool sent_ = false;
  ImageControl* image0_;
  ImageControl* image1_;
  ImageControl* image2_;
  SkinnedButton* button1_;
  SkinnedButton* button2_;
  SkinnedButton* button3_;
  std::vector<DrawnText> card_texts_;
};

}  // namespace braxo
