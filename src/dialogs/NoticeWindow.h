// The notice window: up to three lines (a message, a second line and a link
// that opens in the browser) and an "Ok" button. A new window is made for
// every notice and destroyed when it closes.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <functional>

#include "game/Ports.h"

namespace braxo {

inline constexpr int kNoticeWidth = 400;
inline constexpr int kWideNoticeWidth = 620;
inline constexpr int kNoticeHeight = 90;
// A text longer than this many characters widens the window.
inline constexpr int kNoticeNarrowCharacters = 50;

// Opens an address with the desktop's default handler; false when it could
// not.
using UrlOpener = std::function<bool(const QUrl&)>;
bool OpenWithDesktop(const QUrl& url);

// The link a notice may open: only an absolute http or https address with a
// host. An empty QUrl for anything else.
QUrl NoticeLinkUrl(const QString& link);

class NoticeWindow : public QDialog {
  Q_OBJECT

 public:
  // Keeps a copy of the three texts; they are laid out when the window is
  // shown.
  NoticeWindow(const Notice& notice, QWidget* parent, UrlOpener opener = OpenWithDesktop);

  QLabel& MessageLabel() { return *message_label_; }
  QLabel& SecondLabel() { return *second_label_; }
  QLabel& LinkLabel() { return *link_label_; }
  QPushButton& OkButton() { return *ok_button_; }

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void PrepareShowing();
  void LinkClicked();

  QString message_;
  QString second_;
  QString link_;
  UrlOpener opener_;
  QLabel* warning_sign_;
  QLabel* message_label_;
  QLabel* second_label_;
  QLabel* link_label_;
  QPushButton* ok_button_;
  bool link_pressed_ = false;
};

// Shows the notice modally over `parent` and returns when the player has
// closed it. Any of the texts may be empty.
void ShowNotice(QWidget* parent, const Notice& notice);

}  // namespace braxo
