#include "dialogs/TopTenEntryWindow.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPainter>
#include <QTimer>

#include "club/NameRules.h"
#include "club/TopTenService.h"
#include "dialogs/DialogFrame.h"
#include "i18n/MessageCatalogue.h"
#include "ui/ClubIcons.h"
#include "ui/Drawing.h"

namespace braxo {
namespace {

constexpr int kWidth = 500;
constexpr int kHeight = 525;
constexpr QSize kClient(kWidth, kHeight);
constexpr int kCardWidth = 490;
constexpr int kCardHeight = 350;

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

TopTenEntryWindow::TopTenEntryWindow(ClubAccess& club, const TournamentPassport& passport,
                                     int score, int language, PictureStore& pictures,
                                     PassportOpener open_passport, QWidget* parent,
                                     NoticeOverShower show_notice)
    : QDialog(parent),
      club_(club),
      passport_(passport),
      score_(score),
      language_(language),
      pictures_(pictures),
      open_passport_(std::move(open_passport)),
      show_notice_(std::move(show_notice)) {
  SetFixedDialogFrame(*this, kWidth, kHeight);
  setWindowTitle(QString::fromStdString(MessageText(MsgId::MsgWorldTopTenName, language_)));

  icon_box_ = new ImageControl(this);
  icon_box_->Place(5, 5, 48, 48);
  title_box_ = new ImageControl(this);
  title_box_->Place(59, 5, 435, 48);
  card_box_ = new ImageControl(this);
  card_box_->Place(5, 65, kCardWidth, kCardHeight);

  const auto make_button = [this](MsgId caption, int top) {
    auto* button = new SkinnedButton(pictures_, this);
    button->setText(Q(MessageText(caption, language_)));
    button->setGeometry(5, top, 490, 30);
    StyleClubButton(*button, ButtonColour::kRed, 16);
    return button;
  };
  send_button_ = make_button(MsgId::MsgSend, 420);
  send_button_->SetGrayDis(true);
  passport_button_ = make_button(MsgId::MsgPassport, 455);
  close_button_ = make_button(MsgId::MsgClose, 490);
  connect(send_button_, &QPushButton::clicked, this, &TopTenEntryWindow::SendClicked);
  connect(passport_button_, &QPushButton::clicked, this, &TopTenEntryWindow::PassportClicked);
  connect(close_button_, &QPushButton::clicked, this, &QDialog::accept);

  DrawTitleBox(*title_box_, pictures_, kClient,
               QString::fromStdString(MessageText(MsgId::MsgWorldTopTen, language_)), 5);
  DrawPictureBox(*icon_box_, pictures_, kClient, QStringLiteral("Earth48"));
}

bool TopTenEntryWindow::PrepareShowing() {
  DrawCard();
  send_button_->setEnabled(IsPassportAcceptable(passport_) && !sent_);
  return passport_.nick == kIncognito;
}

std::optional<int> TopTenEntryWindow::Execute() {
  if (PrepareShowing()) {
    // Send keeps the state it was given on opening: only the passport button
    // decides it again.
    QTimer::singleShot(0, this, [this] {
      if (open_passport_) open_passport_(this);
      DrawCard();
    });
  }
  exec();
  return place_;
}

void TopTenEntryWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOnParent(*this);
}

void TopTenEntryWindow::keyPressEvent(QKeyEvent* event) {
  // The result is the player's to send or leave: Esc does not close.
  if (event->key() == Qt::Key_Escape) return;
  QDialog::keyPressEvent(event);
}

void TopTenEntryWindow::closeEvent(QCloseEvent* event) {
  // The written place decides the reward: the window stays until the club
  // has answered (within the client's bounds).
  if (Sending()) {
    event->ignore();
    return;
  }
  QDialog::closeEvent(event);
}

void TopTenEntryWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintClubWindowBackground(painter, pictures_, kClient);
  PaintTitleRule(painter, 490);
}

void TopTenEntryWindow::DrawCard() {
  card_texts_.clear();
  FillBoxBackdrop(*card_box_, pictures_, kClient);
  QPainter painter(&card_box_->Image());
  painter.setRenderHint(QPainter::TextAntialiasing);
  QImage frame = pictures_.LoadPngResource("Ramka600");
  ResizePng(frame, kCardWidth, kCardHeight);
  painter.drawImage(0, 0, frame);

  painter.setFont(CellHeightFont(ArialFamily(), 20, true));
  TextWriter writer(painter, card_texts_);
  const auto line = [&writer](const QString& label, const QString& value, int y) {
    writer.SetColour(kClubMaroon);
    writer.Left(label, 90, y);
    writer.SetColour(kClubRed);
    writer.Right(value, 375, y);
  };
  line(Q(MessageText(MsgId::MsgNick, language_)), Q(passport_.nick), 120);
  DrawSexIcon(passport_.sex, painter, 385, 120, pictures_);
  line(
      Q(MessageText(MsgId::MsgCountry, language_) + " & " + MessageText(MsgId::MsgCity, language_)),
      Q(passport_.city), 160);
  DrawCountryFlag(passport_.country_code, painter, 385, 162, pictures_);
  line(Q(MessageText(MsgId::MsgYourScore, language_)) + ":", QString::number(score_), 200);
  if (place_) {
    line(Q(MessageText(MsgId::MsgYourPlace, language_)) + ":", QString::number(*place_), 240);
  } else if (Sending()) {
    writer.SetColour(kClubRed);
    writer.Centred(Q(MessageText(MsgId::MsgWaitingForClub, language_)), 0, kCardWidth, 240);
  }
  painter.end();
  card_box_->update();
}

void TopTenEntryWindow::SendClicked() {
  // A disabled Send can still be reached through a queued click; the window
  // writes one result at most.
  if (sent_ || Sending()) return;
  write_ = new QObject(this);
  send_enabled_before_ = send_button_->isEnabled();
  for (SkinnedButton* button : {send_button_, passport_button_, close_button_})
    button->setEnabled(false);
  DrawCard();
  club_.WriteTopTenEntry(write_, passport_.nick, passport_.city, passport_.country_code,
                         std::string(1, passport_.sex), score_, kWindowsTableId, "#", "#",
                         [this](const ClubAccess::EntryWrite& written) { EntryWritten(written); });
}

void TopTenEntryWindow::EntryWritten(const ClubAccess::EntryWrite& written) {
  write_->deleteLater();
  write_ = nullptr;
  passport_button_->setEnabled(true);
  close_button_->setEnabled(true);
  if (!written.place) {
    send_button_->setEnabled(send_enabled_before_);
    DrawCard();
    // A member's nick needs that member's login: a retry alone would not help.
    const MsgId text = written.why == ClubAccess::EntryRefusal::kMemberNick
                           ? MsgId::MsgNickOfMember
                           : MsgId::MsgResultNotWritten;
    if (show_notice_) show_notice_(this, {MessageText(text, language_), "", ""});
    return;
  }
  place_ = *written.place;
  sent_ = true;
  DrawCard();
}

void TopTenEntryWindow::PassportClicked() {
  if (open_passport_) open_passport_(this);
  DrawCard();
  send_button_->setEnabled(SendAllowedAfterPassport(passport_, sent_));
}

}  // namespace braxo
