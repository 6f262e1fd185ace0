#include "dialogs/NoticeWindow.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QPixmap>

#include "dialogs/DialogFrame.h"
#include "ui/Drawing.h"

namespace braxo {
namespace {

constexpr int kTextLeft = 59;
constexpr int kLineHeight = 16;
constexpr int kMargin = 5;

// Characters as the player sees them: a character outside the basic plane is
// one character, not two UTF-16 units.
int CharacterCount(const QString& text) { return static_cast<int>(text.toUcs4().size()); }

// The default dialog font: 8-point sans serif, at the 96 dots per inch the
// layout was made for.
QFont DialogFont() {
  QFont font(ArialFamily());
  font.setPixelSize(11);
  return font;
}

}  // namespace

bool OpenWithDesktop(const QUrl& url) { return QDesktopServices::openUrl(url); }

QUrl NoticeLinkUrl(const QString& link) {
  const QUrl url(link, QUrl::StrictMode);
  const QString scheme = url.scheme().toLower();
  if (!url.isValid() || url.host().isEmpty() || (scheme != "http" && scheme != "https")) return {};
  return url;
}

NoticeWindow::NoticeWindow(const Notice& notice, QWidget* parent, UrlOpener opener)
    : QDialog(parent),
      message_(QString::fromStdString(notice.message)),
      second_(QString::fromStdString(notice.second)),
      link_(QString::fromStdString(notice.link)),
      opener_(std::move(opener)) {
  setWindowTitle(QStringLiteral("Attention"));
  SetFixedDialogFrame(*this, kNoticeWidth, kNoticeHeight);
  setFont(DialogFont());

  warning_sign_ = new QLabel(this);
  warning_sign_->setGeometry(kMargin, kMargin, 48, 48);
  warning_sign_->setPixmap(QPixmap::fromImage(DrawWarningTriangle()));

  message_label_ = new QLabel(this);
  second_label_ = new QLabel(this);
  link_label_ = new QLabel(this);
  for (QLabel* label : {message_label_, second_label_, link_label_})
    label->setTextFormat(Qt::PlainText);

  QFont link_font = DialogFont();
  link_font.setUnderline(true);
  link_label_->setFont(link_font);
  QPalette link_palette = link_label_->palette();
  link_palette.setColor(QPalette::WindowText, QColor(0, 0, 255));
  link_label_->setPalette(link_palette);
  link_label_->setCursor(Qt::PointingHandCursor);
  link_label_->installEventFilter(this);

  ok_button_ = new QPushButton(QStringLiteral("Ok"), this);
  ok_button_->setDefault(true);
  connect(ok_button_, &QPushButton::clicked, this, &QDialog::accept);
}

void NoticeWindow::PrepareShowing() {
  const bool wide = CharacterCount(message_) > kNoticeNarrowCharacters ||
                    CharacterCount(second_) > kNoticeNarrowCharacters ||
                    CharacterCount(link_) > kNoticeNarrowCharacters;
  const int width = wide ? kWideNoticeWidth : kNoticeWidth;
  SetFixedDialogWidth(*this, width);
  const int text_width = width - kTextLeft - kMargin;
  int top = kMargin;
  for (auto [label, text] : {std::pair{message_label_, &message_},
                             std::pair{second_label_, &second_}, std::pair{link_label_, &link_}}) {
    label->setText(*text);
    label->setGeometry(kTextLeft, top, text_width, kLineHeight);
    label->setVisible(!text->isEmpty());
    top += kLineHeight;
  }
  ok_button_->setGeometry(kMargin, 58, width - 2 * kMargin, 27);
  ok_button_->setFocus();
}

void NoticeWindow::showEvent(QShowEvent* event) {
  PrepareShowing();
  QDialog::showEvent(event);
  CentreOnParent(*this);
}

bool NoticeWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == link_label_) {
    if (event->type() == QEvent::MouseButtonPress) {
      link_pressed_ = static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton;
    } else if (event->type() == QEvent::MouseButtonRelease) {
      const auto* mouse = static_cast<QMouseEvent*>(event);
      const bool click = link_pressed_ && mouse->button() == Qt::LeftButton &&
                         link_label_->rect().contains(mouse->position().toPoint());
      link_pressed_ = false;
      if (click) LinkClicked();
    }
  }
  return QDialog::eventFilter(watched, event);
}

void NoticeWindow::LinkClicked() {
  // The link may come from the network: anything but a web address is
  // ignored, and a failure to open it is silent.
  const QUrl url = NoticeLinkUrl(link_);
  if (!url.isEmpty() && opener_) opener_(url);
}

void ShowNotice(QWidget* parent, const Notice& notice) {
  NoticeWindow form(notice, parent);
  form.exec();
}

}  // namespace braxo
