#include "dialogs/ChatWindow.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPainter>
#include <QToolTip>
#include <algorithm>

#include "club/TopTenService.h"
#include "dialogs/DialogFrame.h"
#include "i18n/MessageCatalogue.h"
#include "ui/ClubIcons.h"
#include "ui/Drawing.h"

namespace braxo {
namespace {

constexpr int kWidth = 710;
constexpr int kHeight = 640;
constexpr QSize kClient(kWidth, kHeight);
constexpr int kListWidth = 700;
constexpr int kListHeight = 500;
constexpr int kMaxTyped = 80;

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

ChatWindow::ChatWindow(ClubAccess& club, const TournamentPassport& passport, int language,
                       PictureStore& pictures, PassportOpener open_passport, QWidget* parent,
                       NoticeOverShower show_notice, Clock now)
    : QDialog(parent),
      club_(club),
      passport_(passport),
      language_(language),
      pictures_(pictures),
      open_passport_(std::move(open_passport)),
      show_notice_(std::move(show_notice)),
      now_(std::move(now)) {
  SetFixedDialogFrame(*this, kWidth, kHeight);
  setWindowTitle(Q(MessageText(MsgId::MsgChatWindowTitle, language_)));

  icon_box_ = new ImageControl(this);
  icon_box_->Place(5, 5, 48, 48);
  title_box_ = new ImageControl(this);
  title_box_->Place(107, 3, 500, 48);
  refresh_hotspot_ = new ImageControl(this);
  refresh_hotspot_->Place(655, 3, 51, 51);
  refresh_hotspot_->setCursor(Qt::PointingHandCursor);
  connect(refresh_hotspot_, &ImageControl::Clicked, this, &ChatWindow::RefreshHotspotClicked);
  message_list_ = new ImageControl(this);
  message_list_->Place(5, 65, kListWidth, kListHeight);

  input_line_ = new QLineEdit(this);
  input_line_->setGeometry(5, 570, 660, 21);
  input_line_->setMaxLength(kMaxTyped);
  SayLengthLimit(*input_line_, language_);
  input_line_->setFont(CellHeightFont(ArialFamily(), 15, true));
  input_line_->installEventFilter(this);
  connect(input_line_, &QLineEdit::textEdited, this, &ChatWindow::ShowInputNote);

  envelope_button_ = new SkinnedButton(pictures_, this);
  envelope_button_->setGeometry(668, 568, 40, 30);
  StyleClubButton(*envelope_button_, ButtonColour::kRed, 16);
  envelope_button_->SetColorMouse(kClubYellow);
  envelope_button_->SetGlyph(pictures_.LoadPngResource("GlyphEnvelope"));
  envelope_button_->SetGlyphLayout(GlyphLayout::kBottom);
  envelope_button_->setToolTip(Q(MessageText(MsgId::MsgSend, language_)));
  connect(envelope_button_, &QPushButton::clicked, this, &ChatWindow::SendMessage);

  close_button_ = new SkinnedButton(pictures_, this);
  close_button_->setText(Q(MessageText(MsgId::MsgClose, language_)));
  close_button_->setGeometry(5, 605, 340, 30);
  StyleClubButton(*close_button_, ButtonColour::kRed, 16);
  connect(close_button_, &QPushButton::clicked, this, &QDialog::accept);
  passport_button_ = new SkinnedButton(pictures_, this);
  passport_button_->setText(Q(MessageText(MsgId::MsgPassport, language_)));
  passport_button_->setGeometry(365, 605, 340, 30);
  StyleClubButton(*passport_button_, ButtonColour::kRed, 16);
  connect(passport_button_, &QPushButton::clicked, this, &ChatWindow::PassportClicked);

  // Space and Enter typed into the line never reach a button.
  for (SkinnedButton* button : {envelope_button_, close_button_, passport_button_}) {
    button->setFocusPolicy(Qt::NoFocus);
    button->setAutoDefault(false);
  }

  wait_countdown_.setInterval(1000);
  connect(&wait_countdown_, &QTimer::timeout, this, &ChatWindow::ShowInputNote);
  refresh_timer_.setInterval(kChatTimerMilliseconds);
  connect(&refresh_timer_, &QTimer::timeout, this, &ChatWindow::RefreshPeriodEnded);
  refresh_timer_.start();

  DrawTitleBox(*title_box_, pictures_, kClient, Q(MessageText(MsgId::MsgChatTitle, language_)), 5);
  DrawPictureBox(*icon_box_, pictures_, kClient, QStringLiteral("GChat048"));
  FillBoxBackdrop(*refresh_hotspot_, pictures_, kClient);
}

int ChatWindow::Execute() {
  PrepareShowing();
  return exec();
}

void ChatWindow::PrepareShowing() {
  DrawMessages();
  UpdateInputLine();
}

void ChatWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOnParent(*this);
  input_line_->setFocus();
}

void ChatWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintClubWindowBackground(painter, pictures_, kClient);
  PaintTitleRule(painter, 700);
}

bool ChatWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == input_line_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      SendMessage();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void ChatWindow::UpdateInputLine() {
  input_line_->setEnabled(IsPassportAcceptable(passport_));
  envelope_button_->setEnabled(input_line_->isEnabled() && !waiting_for_tick_ && !Sending());
  if (waiting_for_tick_)
    wait_countdown_.start();
  else
    wait_countdown_.stop();
  ShowInputNote();
}

QString ChatWindow::InputNote() const {
  QStringList parts;
  if (Sending()) parts << Q(MessageText(MsgId::MsgWaitingForClub, language_));
  if (waiting_for_tick_) {
    // A coarse timer may run a little past its period; the wait said never does.
    const int seconds =
        std::clamp((refresh_timer_.remainingTime() + 999) / 1000, 1, kChatTimerMilliseconds / 1000);
    parts << Q(MessageText(MsgId::MsgChatWaitSeconds, language_)).arg(seconds);
  }
  const QString refused = ChatCharactersNotSent(input_line_->text());
  if (!refused.isEmpty()) parts << Q(MessageText(MsgId::MsgChatCannotSend, language_)).arg(refused);
  return parts.join(QStringLiteral(" \u2014 "));
}

void ChatWindow::ShowInputNote() {
  const QString note = InputNote();
  input_line_->setPlaceholderText(note);
  input_line_->setToolTip(note);
  if (note.isEmpty() || !input_line_->isVisible()) {
    QToolTip::hideText();
    return;
  }
  QToolTip::showText(input_line_->mapToGlobal(QPoint(0, -input_line_->height())), note,
                     input_line_);
}

void ChatWindow::DrawMessages() {
  ReadMessages();
  PaintMessages();
}

void ChatWindow::ReadMessages() {
  if (ReadingClub()) return;
  list_read_ = new QObject(this);
  club_.ReadTopTen(list_read_, kChatTableId, [this](TableReply list) {
    list_read_->deleteLater();
    list_read_ = nullptr;
    list_ = std::move(list);
    PaintMessages();
  });
}

void ChatWindow::PaintMessages() {
  message_texts_.clear();
  FillBoxBackdrop(*message_list_, pictures_, kClient);
  QPainter painter(&message_list_->Image());
  painter.setRenderHint(QPainter::TextAntialiasing);
  for (int s = 1; s <= 10; ++s) {
    const int t = 50 * (s - 1);
    painter.setPen(kClubMaroon);
    painter.drawRect(0, t, kListWidth - 1, 24);
    FillVerticalGradient(painter, QRect(1, t + 1, kListWidth - 2, 23), kChatHeaderBand, kClubWhite);
    painter.setPen(kClubNavy);
    painter.drawRect(0, t + 25, kListWidth - 1, 24);
    FillVerticalGradient(painter, QRect(1, t + 26, kListWidth - 2, 23), kChatTextBand, kClubWhite);
  }

  painter.setFont(CellHeightFont(ArialFamily(), 16, true));
  TextWriter writer(painter, message_texts_);
  if (!list_) {
    writer.SetColour(kClubRed);
    writer.Centred(Q(MessageText(MsgId::MsgClubLoading, language_)), 0, kListWidth, 4);
  } else if (!list_->ok) {
    writer.SetColour(kClubRed);
    writer.Centred(QString::fromLatin1(kNoConnect), 0, kListWidth, 4);
  } else {
    for (int k = 1; k <= 10; ++k) {
      const TableEntry& entry = list_->entries[k - 1];
      if (IsEmptyEntry(entry)) continue;
      const int t = 50 * (ChatSlotOf(k) - 1);
      writer.SetColour(kClubRed);
      writer.Left(QString::number(entry.score) + ".", 5, t + 4);
      DrawCountryFlag(entry.country_code, painter, 60, t + 6, pictures_);
      DrawSexIcon(entry.sex.empty() ? ' ' : entry.sex[0], painter, 80, t + 4, pictures_);
      writer.SetColour(kClubMaroon);
      writer.Left(Q(entry.city) + " : " + ShownWithSpaces(entry.time_stamp) + " " +
                      Q(entry.writer_version) + " : " + Q(entry.nick),
                  105, t + 4);
      writer.SetColour(kClubNavy);
      writer.Left(ShownWithSpaces(entry.message), 5, t + 29);
    }
  }
  painter.end();
  message_list_->update();
}

void ChatWindow::SendMessage() {
  // The line is disabled while the passport is not acceptable; after a
  // message it keeps what is typed until the next tick, and says so.
  if (!input_line_->isEnabled() || input_line_->text().isEmpty()) return;
  if (waiting_for_tick_ || Sending()) {
    QApplication::beep();
    ShowInputNote();
    return;
  }
  const std::string message = ChatMessageToSend(input_line_->text().toStdString());
  const std::string stamp = ChatTimeStamp(now_());
  // The message goes out under the passport of the moment it was sent.
  const TournamentPassport sender = passport_;
  sending_text_ = input_line_->text();
  send_ = new QObject(this);
  UpdateInputLine();
  // The list is read first: the message takes the number after the newest.
  club_.ReadTopTen(send_, kChatTableId, [this, message, stamp, sender](const TableReply& list) {
    if (!list.ok) {
      MessageSent(false);
      return;
    }
    club_.WriteTopTenEntry(
        send_, sender.nick, sender.city, sender.country_code, std::string(1, sender.sex),
        static_cast<std::int32_t>(list.entries[0].score + 1), kChatTableId, stamp, message,
        [this](const ClubAccess::EntryWrite& written) { MessageSent(written.place.has_value()); });
  });
}

void ChatWindow::MessageSent(bool sent) {
  send_->deleteLater();
  send_ = nullptr;
  if (!sent) {
    // The text stays in the line, as typed.
    UpdateInputLine();
    if (show_notice_)
      show_notice_(this, {MessageText(MsgId::MsgMessageNotSent, language_), "", ""});
    return;
  }
  // What was typed after the message left stays in the line.
  const QString now = input_line_->text();
  if (now.startsWith(sending_text_)) input_line_->setText(now.mid(sending_text_.size()));
  waiting_for_tick_ = true;
  refresh_hotspot_->hide();
  // A read already out may have left before the message arrived.
  delete list_read_;
  list_read_ = nullptr;
  DrawMessages();
  UpdateInputLine();
  input_line_->setFocus();
}

void ChatWindow::RefreshPeriodEnded() {
  refresh_hotspot_->show();
  waiting_for_tick_ = false;
  UpdateInputLine();
}

void ChatWindow::RefreshHotspotClicked() {
  DrawMessages();
  refresh_hotspot_->hide();
}

void ChatWindow::PassportClicked() {
  if (open_passport_) open_passport_(this);
  UpdateInputLine();
}

}  // namespace braxo
