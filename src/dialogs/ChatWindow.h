// The chat window: the ten newest messages of the club's chat (newest at the
// bottom), an input line that sends with Enter or the envelope button, a
// refresh hotspot and the passport button. After a message is sent the
// input line keeps the focus and what the player types, and says how long it
// waits for the next tick of the 15-second timer before it sends again; the
// characters that cannot be sent are said as they are typed. Created for each
// opening. It never waits for the club: the list is drawn from what the
// window has ("Loading…" before the first reply) and again when a read comes
// back, and a message is sent (the list read for its number, then the
// write) while the player goes on typing.
#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QTimer>
#include <functional>
#include <optional>
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
  // What Execute does before the window shows: the list and the input line.
  void PrepareShowing();
  // Draws the list the window has and reads it again, unless that read is
  // already out.
  void DrawMessages();
  // Sends the input line's text (Enter, the envelope button); one message
  // at a time: while one is out, Enter sends nothing more.
  void SendMessage();
  // The 15-second timer: the refresh hotspot shows and the input line is
  // decided again.
  void RefreshPeriodEnded();
  // The list is read again and the hotspot hides until the next period.
  void RefreshHotspotClicked();

  // The ten messages, newest at the bottom.
  ImageControl& MessageList() { return *message_list_; }
  ImageControl& RefreshHotspot() { return *refresh_hotspot_; }
  QLineEdit& InputLine() { return *input_line_; }
  SkinnedButton& EnvelopeButton() { return *envelope_button_; }
  SkinnedButton& CloseButton() { return *close_button_; }
  SkinnedButton& PassportButton() { return *passport_button_; }
  QTimer& RefreshTimer() { return refresh_timer_; }
  // Whether a sent message keeps the line waiting for the next tick.
  bool WaitingForTick() const { return waiting_for_tick_; }
  // True while the list's read is out, and while a message is out.
  bool ReadingClub() const { return list_read_ != nullptr; }
  bool Sending() const { return send_ != nullptr; }
  // What the line says under the typing: the wait, then the characters that
  // cannot be sent; empty when there is nothing to say.
  QString InputNote() const;
  const std::vector<DrawnText>& MessageTexts() const { return message_texts_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PassportClicked();
  void UpdateInputLine();
  void ShowInputNote();
  void PaintMessages();
  void ReadMessages();
  void MessageSent(bool sent);

  ClubAccess& club_;
  const TournamentPassport& passport_;
  int language_;
  PictureStore& pictures_;
  PassportOpener open_passport_;
  NoticeOverShower show_notice_;
  Clock now_;
  ImageControl* title_box_;
  ImageControl* icon_box_;
  ImageControl* message_list_;
  ImageControl* refresh_hotspot_;
  QLineEdit* input_line_;
  SkinnedButton* envelope_button_;
  SkinnedButton* close_button_;
  SkinnedButton* passport_button_;
  QTimer refresh_timer_;
  // Counts the wait down, once a second, while the line waits.
  QTimer wait_countdown_;
  bool waiting_for_tick_ = false;
  std::vector<DrawnText> message_texts_;
  // The last list read; nothing before the first reply.
  std::optional<TableReply> list_;
  // The list's read and the message out, each tied to an object of its own;
  // null when none is out.
  QObject* list_read_ = nullptr;
  QObject* send_ = nullptr;
  // The line's text when the message out was sent.
  QString sending_text_;
};

}  // namespace braxo
