// The chat window: the ten newest messages of the club's chat (newest at the
// bottom), an input line that sends with Enter or the envelope button, a
// refresh hotspot and the passport button. After a message is sent the
// input line waits for the next tick of the 15-second timer. Created for
// each opening.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <functional>
#include <vector>

#include "club/ClubAccess.h"
#include "dialogs/ClubWindowShared.h"
#include "storage/SettingsFile.h"
#include "ui/ImageControl.h"
#include "ui/Pictures.h"
#include "ui/SkinnedButton.h"

namespace braxo {

inline constexpr int kChatTimerMilliseconds = 15000;

// The slot (1 at the top to 10 at the bottom) of the k-th entry of the list
// as the club sends it, newest first.
constexpr int ChatSlotOf(int k) { return 11 - k; }

class ChatWindow : public QDialog {
  Q_OBJECT

 public:
  using Clock = std::function<QDateTime()>;

  // Everything passed in must outlive the window; `now` gives the time for
  // the messages' time stamps.
  ChatWindow(
      ClubAccess& club, const TournamentPassport& passport, int language, PictureStore& pictures,
      PassportOpener open_passport, QWidget* parent,
      NoticeOverShower show_notice = ShowNoticeWindow,
      Clock now = [] { return QDateTime::currentDateTime(); });

  // Draws the list, decides the input line and shows the window modally.
  int Execute();
  void FormShow();
  void DrawMessages();
  // Sends the input line's text (Enter, the envelope button).
  void SendMessage();
  void Timer1Timer();
  void Image3Click();

  ImageControl& Image2() { return *image2_; }
  ImageControl& Image3() { return *image3_; }
  QLineEdit& Edit1() { return *edit1_; }
  SkinnedButton& EnvelopeButton() { return *envelope_; }
  SkinnedButton& Button1() { return *button1_; }
  SkinnedButton& Button2() { return *button2_; }
  QTimer& Timer1() { return timer1_; }
  const std::vector<DrawnText>& MessageTexts() const { return message_texts_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void Button2Click();
  void UpdateInputLine();

  ClubAccess& club_;
  const TournamentPassport& passport_;
  int language_;
  PictureStore& pictures_;
  PassportOpener open_passport_;
  NoticeOverShower show_notice_;
  Clock now_;
  ImageControl* image0_;
  ImageControl* image1_;
  ImageControl* image2_;
  ImageControl* image3_;
  QLineEdit* edit1_;
  SkinnedButton* envelope_;
  SkinnedButton* button1_;
  SkinnedButton* button2_;
  QTimer timer1_;
  std::vector<DrawnText> message_texts_;
};

}  // namespace braxo
