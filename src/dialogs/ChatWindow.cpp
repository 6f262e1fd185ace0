#include "dialogs/ChatWindow.h"

#include <QKeyEvent>
#include <QPainter>

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
  setWindowTitle(QStringLiteral("Kez Games Chat"));

  image1_ = new ImageControl(this);
  image1_->Place(5, 5, 48, 48);
  image0_ = new ImageControl(this);
  image0_->Place(107, 3, 500, 48);
  image3_ = new ImageControl(this);
  image3_->Place(655, 3, 51, 51);
  image3_->setCursor(Qt::PointingHandCursor);
  connect(image3_, &ImageControl::Clicked, this, &ChatWindow::Image3Click);
  image2_ = new ImageControl(this);
  image2_->Place(5, 65, kListWidth, kListHeight);

  edit1_ = new QLineEdit(this);
  edit1_->setGeometry(5, 570, 660, 21);
  edit1_->setMaxLength(kMaxTyped);
  edit1_->setFont(CellHeightFont(ArialFamily(), 15, true));
  edit1_->installEventFilter(this);

  envelope_ = new SkinnedButton(pictures_, this);
  envelope_->setGeometry(668, 568, 40, 30);
  StyleClubButton(*envelope_, ButtonColour::kRed, 16);
  envelope_->SetColorMouse(kClubYellow);
  envelope_->SetGlyph(pictures_.LoadPngResource("GlyphEnvelope"));
  envelope_->SetGlyphLayout(GlyphLayout::kBottom);
  envelope_->setToolTip(Q(MessageText(MsgId::MsgSend, language_)));
  connect(envelope_, &QPushButton::clicked, this, &ChatWindow::SendMessage);

  button1_ = new SkinnedButton(pictures_, this);
  button1_->setText(Q(MessageText(MsgId::MsgClose, language_)));
  button1_->setGeometry(5, 605, 340, 30);
  StyleClubButton(*button1_, ButtonColour::kRed, 16);
  connect(button1_, &QPushButton::clicked, this, &QDialog::accept);
  button2_ = new SkinnedButton(pictures_, this);
  button2_->setText(Q(MessageText(MsgId::MsgPassport, language_)));
  button2_->setGeometry(365, 605, 340, 30);
  StyleClubButton(*button2_, ButtonColour::kRed, 16);
  connect(button2_, &QPushButton::clicked, this, &ChatWindow::Button2Click);

  timer1_.setInterval(kChatTimerMilliseconds);
  connect(&timer1_, &QTimer::timeout, this, &ChatWindow::Timer1Timer);
  timer1_.start();

  DrawTitleBox(*image0_, pictures_, kClient, Q(MessageText(MsgId::MsgChatTitle, language_)), 5);
  DrawPictureBox(*image1_, pictures_, kClient, QStringLiteral("GChat048"));
  FillBoxBackdrop(*image3_, pictures_, kClient);
}

int ChatWindow::Execute() {
  FormShow();
  return exec();
}

void ChatWindow::FormShow() {
  DrawMessages();
  UpdateInputLine();
}

void ChatWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOnParent(*this);
  edit1_->setFocus();
}

void ChatWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintClubWindowBackground(painter, pictures_, kClient);
  PaintTitleRule(painter, 700);
}

bool ChatWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == edit1_ && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      SendMessage();
      return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void ChatWindow::UpdateInputLine() {
  edit1_->setEnabled(IsPassportAcceptable(passport_));
  envelope_->setEnabled(edit1_->isEnabled());
}

void ChatWindow::DrawMessages() {
  message_texts_.clear();
  FillBoxBackdrop(*image2_, pictures_, kClient);
  QPainter painter(&image2_->Image());
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
  const TableReply list = club_.ReadTopTen(kChatTableId);
  if (!list.ok) {
    writer.SetColour(kClubRed);
    writer.Centred(QString::fromLatin1(kNoConnect), 0, kListWidth, 4);
  } else {
    for (int k = 1; k <= 10; ++k) {
      const TableEntry& entry = list.entries[k - 1];
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
  image2_->update();
}

void ChatWindow::SendMessage() {
  // The line is disabled while the passport is not acceptable and after a
  // message until the next tick; the envelope button obeys the same rule.
  if (!edit1_->isEnabled() || edit1_->text().isEmpty()) return;
  const std::string message = ChatMessageToSend(edit1_->text().toStdString());
  const std::string stamp = ChatTimeStamp(now_());
  bool sent = false;
  const TableReply list = club_.ReadTopTen(kChatTableId);
  if (list.ok) {
    sent = club_
               .WriteTopTenEntry(passport_.nick, passport_.city, passport_.country_code,
                                 std::string(1, passport_.sex),
                                 static_cast<std::int32_t>(list.entries[0].score + 1), kChatTableId,
                                 stamp, message)
               .has_value();
  }
  if (!sent) {
    if (show_notice_)
      show_notice_(this, {MessageText(MsgId::MsgMessageNotSent, language_), "", ""});
    return;
  }
  edit1_->clear();
  edit1_->setEnabled(false);
  envelope_->setEnabled(false);
  image3_->hide();
  DrawMessages();
}

void ChatWindow::Timer1Timer() {
  image3_->show();
  UpdateInputLine();
}

void ChatWindow::Image3Click() {
  DrawMessages();
  image3_->hide();
}

void ChatWindow::Button2Click() {
  if (open_passport_) open_passport_(this);
  UpdateInputLine();
}

}  // namespace braxo
