#include "dialogs/PassportWindow.h"

#include <QKeyEvent>
#include <QPainter>

#include "club/NameRules.h"
#include "club/TopTenService.h"
#include "dialogs/DialogFrame.h"
#include "i18n/MessageCatalogue.h"
#include "ui/Drawing.h"

namespace braxo {
namespace {

constexpr int kWidth = 460;
constexpr int kHeight = 235;
constexpr QSize kClient(kWidth, kHeight);
constexpr int kNickLimit = 12;
constexpr int kCityLimit = 15;

QString Q(const std::string& text) { return QString::fromStdString(text); }

QFont BoldArial(int char_height) {
  QFont font(ArialFamily());
  font.setBold(true);
  font.setPixelSize(char_height);
  return font;
}

}  // namespace

PassportWindow::PassportWindow(TournamentPassport& passport, int language, PictureStore& pictures,
                               QWidget* parent)
    : QDialog(parent), passport_(passport), language_(language), pictures_(pictures) {
  SetFixedDialogFrame(*this, kWidth, kHeight);
  const QString title = Q(MessageText(MsgId::MsgPassport, language_));
  setWindowTitle(title);

  image1_ = new ImageControl(this);
  image1_->Place(5, 5, 48, 48);
  image0_ = new ImageControl(this);
  image0_->Place(55, 5, 400, 48);

  const auto label = [this](MsgId id, int x, int y) {
    auto* text = new QLabel(Q(MessageText(id, language_)) + ":", this);
    text->move(x, y);
    text->setFont(BoldArial(16));
    QPalette palette = text->palette();
    palette.setColor(QPalette::WindowText, kClubRed);
    text->setPalette(palette);
    text->adjustSize();
  };
  label(MsgId::MsgNick, 5, 65);
  label(MsgId::MsgCity, 250, 65);
  label(MsgId::MsgSex, 5, 120);
  label(MsgId::MsgCountry, 250, 120);

  edit1_ = new QLineEdit(this);
  edit1_->setGeometry(5, 90, 170, 24);
  edit1_->setMaxLength(kNickLimit);
  StyleClubField(*edit1_);
  edit1_->installEventFilter(this);
  image3_ = new ImageControl(this);
  image3_->Place(180, 90, 24, 24);
  edit2_ = new QLineEdit(this);
  edit2_->setGeometry(250, 90, 170, 24);
  edit2_->setMaxLength(kCityLimit);
  StyleClubField(*edit2_);
  edit2_->installEventFilter(this);
  image4_ = new ImageControl(this);
  image4_->Place(425, 90, 24, 24);

  combo3_ = new QComboBox(this);
  combo3_->setGeometry(5, 145, 170, 22);
  combo3_->addItem(Q(MessageText(MsgId::MsgMale, language_)));
  combo3_->addItem(Q(MessageText(MsgId::MsgFemale, language_)));
  StyleClubField(*combo3_);

  lists_ = new CountryLists(pictures_, this);
  lists_->SetLanguage(language_);
  lists_->ContinentBox().setGeometry(250, 145, 170, 22);
  lists_->CountryBox().setGeometry(250, 170, 170, 22);
  StyleClubField(lists_->ContinentBox());
  StyleClubField(lists_->CountryBox());
  lists_->SetItemHeight(18);

  button1_ = new SkinnedButton(pictures_, this);
  button1_->setText(QStringLiteral("Ok"));
  button1_->setGeometry(5, 200, 450, 30);
  StyleClubButton(*button1_, ButtonColour::kRed, 16);
  connect(button1_, &QPushButton::clicked, this, &QDialog::accept);

  DrawTitleBox(*image0_, pictures_, kClient, title, 5);
  DrawPictureBox(*image1_, pictures_, kClient, QStringLiteral("Earth48"));

  edit1_->setText(Q(passport_.nick));
  edit2_->setText(Q(passport_.city));
  NamesChanged();
  combo3_->setCurrentIndex(passport_.sex == 'M' ? 0 : 1);
  lists_->SetCode(passport_.country_code);

  // Connected after the boxes got the passport, so that filling them
  // changes nothing.
  connect(edit1_, &QLineEdit::textChanged, this, &PassportWindow::NamesChanged);
  connect(edit2_, &QLineEdit::textChanged, this, &PassportWindow::NamesChanged);
  connect(combo3_, &QComboBox::activated, this,
          [this](int position) { passport_.sex = position == 0 ? 'M' : 'W'; });
  connect(lists_, &CountryLists::CodeChanged, this,
          [this] { passport_.country_code = lists_->CodeText(); });
}

int PassportWindow::Execute() { return exec(); }

void PassportWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOnParent(*this);
}

void PassportWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintClubWindowBackground(painter, pictures_, kClient);
  PaintTitleRule(painter, 450);
}

void PassportWindow::DrawLamp(ImageControl& lamp, QString& shown, int rating) {
  shown = LampPicture(rating);
  FillBoxBackdrop(lamp, pictures_, kClient);
  {
    QPainter painter(&lamp.Image());
    painter.drawImage(0, 0, pictures_.LoadPngResource(shown));
  }
  lamp.update();
}

void PassportWindow::NamesChanged() {
  const std::string nick = edit1_->text().toStdString();
  const std::string city = edit2_->text().toStdString();
  const int nick_rating = RateNameTextUtf8(nick, kRateNick);
  const int city_rating = RateNameTextUtf8(city, kRateCity);
  DrawLamp(*image3_, nick_lamp_, nick_rating);
  DrawLamp(*image4_, city_lamp_, city_rating);
  valid_ = nick_rating >= kRateCyrillic && city_rating >= kRateCyrillic;
  button1_->setEnabled(valid_);
  if (!valid_) return;
  // Both boxes, not only the one just changed: a change made to the other
  // while this one was refused would otherwise be shown but never kept. A
  // valid rating also means at most 12 and 15 characters.
  passport_.nick = nick;
  passport_.city = city;
}

bool PassportWindow::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == edit1_ || watched == edit2_) && event->type() == QEvent::KeyPress) {
    const QString typed = static_cast<QKeyEvent*>(event)->text();
    // Control keys (Backspace, the arrows, shortcuts) carry no printable
    // text and always pass; a printable character outside the name
    // characters is dropped.
    if (!typed.isEmpty() && typed.at(0).isPrint() &&
        RateNameTextUtf8(typed.toStdString(), kRateCharacter) == kRateRefused)
      return true;
  }
  return QDialog::eventFilter(watched, event);
}

void PassportWindow::done(int result) {
  if (!valid_) {
    const bool nick_refused =
        RateNameTextUtf8(edit1_->text().toStdString(), kRateNick) == kRateRefused;
    (nick_refused ? edit1_ : edit2_)->setFocus();
    return;
  }
  QDialog::done(result);
}

}  // namespace braxo
