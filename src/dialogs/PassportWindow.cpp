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
                               QWidget* parent, const PassportStart& start)
    : QDialog(parent), passport_(passport), language_(language), pictures_(pictures) {
  StartPassport(passport_, start);
  SetFixedDialogFrame(*this, kWidth, kHeight);
  const QString title = Q(MessageText(MsgId::MsgPassport, language_));
  setWindowTitle(title);

  icon_box_ = new ImageControl(this);
  icon_box_->Place(5, 5, 48, 48);
  title_box_ = new ImageControl(this);
  title_box_->Place(55, 5, 400, 48);

  const auto label = [this](MsgId id, int x, int y) {
    auto* text = new QLabel(Q(MessageText(id, language_)) + ":", this);
    text->move(x, y);
    text->setFont(BoldArial(16));
    QPalette palette = text->palette();
    // Yellow, as the titles: red was barely legible on the dark backdrop.
    palette.setColor(QPalette::WindowText, kClubYellow);
    text->setPalette(palette);
    text->adjustSize();
    labels_.append(text);
  };
  label(MsgId::MsgNick, 5, 65);
  label(MsgId::MsgCity, 250, 65);
  label(MsgId::MsgSex, 5, 120);
  label(MsgId::MsgCountry, 250, 120);

  nick_field_ = new QLineEdit(this);
  nick_field_->setGeometry(5, 90, 170, 24);
  nick_field_->setMaxLength(kNickLimit);
  SayLengthLimit(*nick_field_, language_);
  StyleClubField(*nick_field_);
  nick_field_->installEventFilter(this);
  nick_lamp_ = new ImageControl(this);
  nick_lamp_->Place(180, 90, 24, 24);
  city_field_ = new QLineEdit(this);
  city_field_->setGeometry(250, 90, 170, 24);
  city_field_->setMaxLength(kCityLimit);
  SayLengthLimit(*city_field_, language_);
  StyleClubField(*city_field_);
  city_field_->installEventFilter(this);
  city_lamp_ = new ImageControl(this);
  city_lamp_->Place(425, 90, 24, 24);

  sex_box_ = new QComboBox(this);
  sex_box_->setGeometry(5, 145, 170, 22);
  sex_box_->addItem(Q(MessageText(MsgId::MsgMale, language_)));
  sex_box_->addItem(Q(MessageText(MsgId::MsgFemale, language_)));
  StyleClubField(*sex_box_);

  countries_ = new CountryLists(pictures_, this);
  countries_->SetLanguage(language_);
  countries_->ContinentBox().setGeometry(250, 145, 170, 22);
  countries_->CountryBox().setGeometry(250, 170, 170, 22);
  StyleClubField(countries_->ContinentBox());
  StyleClubField(countries_->CountryBox());
  countries_->SetItemHeight(18);

  ok_button_ = new SkinnedButton(pictures_, this);
  ok_button_->setText(QStringLiteral("Ok"));
  ok_button_->setGeometry(5, 200, 450, 30);
  StyleClubButton(*ok_button_, ButtonColour::kRed, 16);
  connect(ok_button_, &QPushButton::clicked, this, &QDialog::accept);

  DrawTitleBox(*title_box_, pictures_, kClient, title, 5);
  DrawPictureBox(*icon_box_, pictures_, kClient, QStringLiteral("Earth48"));

  nick_field_->setText(Q(passport_.nick));
  city_field_->setText(Q(passport_.city));
  NamesChanged();
  sex_box_->setCurrentIndex(passport_.sex == 'M' ? 0 : 1);
  countries_->SetCode(passport_.country_code);

  // Connected after the boxes got the passport, so that filling them
  // changes nothing.
  connect(nick_field_, &QLineEdit::textChanged, this, &PassportWindow::NamesChanged);
  connect(city_field_, &QLineEdit::textChanged, this, &PassportWindow::NamesChanged);
  connect(sex_box_, &QComboBox::activated, this,
          [this](int position) { passport_.sex = position == 0 ? 'M' : 'W'; });
  connect(countries_, &CountryLists::CodeChanged, this,
          [this] { passport_.country_code = countries_->CodeText(); });
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
    painter.drawImage(0, 0, pictures_.PictureFor(painter, shown));
  }
  lamp.update();
}

void PassportWindow::NamesChanged() {
  const std::string nick = nick_field_->text().toStdString();
  const std::string city = city_field_->text().toStdString();
  const int nick_rating = RateNameTextUtf8(nick, kRateNick);
  const int city_rating = RateNameTextUtf8(city, kRateCity);
  DrawLamp(*nick_lamp_, nick_lamp_picture_, nick_rating);
  DrawLamp(*city_lamp_, city_lamp_picture_, city_rating);
  valid_ = nick_rating >= kRateCyrillic && city_rating >= kRateCyrillic;
  ok_button_->setEnabled(valid_);
  if (!valid_) return;
  // Both boxes, not only the one just changed: a change made to the other
  // while this one was refused would otherwise be shown but never kept. A
  // valid rating also means at most 12 and 15 characters.
  passport_.nick = nick;
  passport_.city = city;
}

bool PassportWindow::eventFilter(QObject* watched, QEvent* event) {
  if ((watched == nick_field_ || watched == city_field_) && event->type() == QEvent::KeyPress) {
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
        RateNameTextUtf8(nick_field_->text().toStdString(), kRateNick) == kRateRefused;
    (nick_refused ? nick_field_ : city_field_)->setFocus();
    return;
  }
  QDialog::done(result);
}

}  // namespace braxo
