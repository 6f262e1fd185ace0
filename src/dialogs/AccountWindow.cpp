#include "dialogs/AccountWindow.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDate>
#include <QFileDialog>
#include <QKeyEvent>
#include <QPainter>
#include <QPixmap>

#include "club/NameRules.h"
#include "dialogs/ClubWindowShared.h"
#include "dialogs/ClubWindowStyle.h"
#include "dialogs/DialogFrame.h"
#include "dialogs/PersonalInfoWindow.h"
#include "storage/TextFile.h"
#include "ui/ClubIcons.h"
#include "ui/Drawing.h"
#include "ui/Pictures.h"

namespace braxo {
namespace {

QLineEdit* NewField(QWidget* page, int left, int top, int max_length) {
  auto* field = new QLineEdit(page);
  field->setGeometry(left, top, 170, 28);
  field->setMaxLength(max_length);
  StyleAccountField(*field);
  return field;
}

SkinnedButton* NewAccountButton(PictureStore& pictures, QWidget* page, int top) {
  auto* button = new SkinnedButton(pictures, page);
  StyleAccountButton(*button, 20, true);
  button->setGeometry(455, top, 240, 45);
  return button;
}

// The icons of the fourteen personal information rows, in the windows' order.
constexpr std::array<const char*, kInfoRowCount> kInfoIcons = {
    "GAcName1",    "GAcName2",   "GAcAbout",      "GAcTelephone", "GAcEMail",
    "GAcWebSite",  "GAcSkype",   "GAcOK",         "GAcVK",        "GAcTelegram",
    "GAcFaceBook", "GAcTwitter", "GAcInstagramm", "GAcYouTube"};

QString Q(const std::string& text) { return QString::fromStdString(text); }

QFont Comic(int height) { return CellHeightFont(ComicFamily(), height, true); }

// The Windows-1251 form of a box's text for the account rule; a character the
// code page lacks becomes a byte no rule allows, so it can never pass as "?".
std::string RatingForm(const QString& text) {
  std::string bytes;
  for (const QChar c : text) {
    const std::string one = Utf8ToCp1251(QString(c).toStdString());
    bytes += (one.size() == 1 && (one != "?" || c == '?')) ? one : std::string(1, '\x01');
  }
  return bytes;
}

int Rate(const QString& text, AccountTextKind kind) {
  return RateAccountText(RatingForm(text), kind);
}

// The gradient of a whole page.
void PageGradient(QPainter& painter, const QImage& page) {
  FillVerticalGradient(painter, QRect(QPoint(0, 0), page.deviceIndependentSize().toSize()),
                       kAccountPageTop, kAccountPageBottom, GradientRounding::kHalfAwayFromZero);
}

// A band over the rows top..bottom between x1 and x2, both included.
void Band(QPainter& painter, int x1, int top, int x2, int bottom, const QColor& colour) {
  FillVerticalGradient(painter, QRect(QPoint(x1, top), QPoint(x2, bottom)), colour, kClubWhite,
                       GradientRounding::kHalfAwayFromZero);
}

void Cell(QPainter& painter, int x1, int top, int x2, int bottom) {
  painter.setPen(kClubMaroon);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(x1, top, x2 - x1 - 1, bottom - top - 1);
}

QImage PhotoOrPlaceholder(const std::string& jpeg, bool loaded, char sex, PictureStore& pictures) {
  if (loaded) {
    QImage photo = QImage::fromData(reinterpret_cast<const uchar*>(jpeg.data()),
                                    static_cast<int>(jpeg.size()), "JPG");
    if (!photo.isNull()) return photo;
  }
  return pictures.LoadPngResource(sex == 'M' ? "GAcNoM" : "GAcNoF");
}

QImage RowIcon(const char* name, PictureStore& pictures) {
  QImage icon = pictures.LoadPngResource(name).convertToFormat(QImage::Format_ARGB32);
  ResizePng(icon, 27, 27);
  return icon;
}

}  // namespace

QString ChoosePhotoWithDialog(QWidget* parent) {
  return QFileDialog::getOpenFileName(parent, QString(), QString(),
                                      QStringLiteral("JPEG (*.jpg *.jpeg *.JPG *.JPEG)"));
}

AccountWindow::AccountWindow(ClubWindowParts parts, AccountWindowPurpose purpose,
                             bool game_in_progress, QWidget* parent)
    : QDialog(parent),
      parts_(std::move(parts)),
      purpose_(purpose),
      game_in_progress_(game_in_progress) {
  SetFixedDialogFrame(*this, kAccountWidth, kAccountHeight);
  PictureStore& pictures = parts_.pictures;

  account_icon_ = new ImageControl(this);
  account_icon_->Place(5, 5, 48, 48);
  caption_box_ = new ImageControl(this);
  caption_box_->Place(58, 5, 605, 48);

  page_tabs_ = new QTabWidget(this);
  page_tabs_->setGeometry(5, 60, 710, 480);
  for (int page = 0; page < 5; ++page) {
    auto* sheet = new QWidget;
    auto* image = new ImageControl(sheet);
    image->Place(0, 0, kAccountPageWidth, kAccountPageHeight);
    page_images_[static_cast<std::size_t>(page)] = image;
    page_tabs_->addTab(sheet, QString());
  }
  QWidget* account = page_tabs_->widget(kPageAccount);
  page_images_[kPageAccount]->setMouseTracking(true);
  page_images_[kPageAccount]->installEventFilter(this);

  nick_field_ = NewField(account, 10, 89, 12);
  password_field_ = NewField(account, 10, 163, 12);
  country_name_field_ = NewField(account, 10, 313, 15);
  city_field_ = NewField(account, 240, 89, 15);
  email_field_ = NewField(account, 240, 163, 30);
  registration_field_ = NewField(account, 240, 313, 10);
  // A hidden password shows "#" for every character, at once.
  password_field_->setStyleSheet(QStringLiteral(
      "QLineEdit { lineedit-password-character: 35; lineedit-password-mask-delay: 0; }"));
  const std::pair<QLineEdit*, TypedField> typed_fields[] = {
      {nick_field_, TypedField::kNick},
      {password_field_, TypedField::kPassword},
      {city_field_, TypedField::kCity},
      {email_field_, TypedField::kEmail}};
  for (const auto& [field, kind] : typed_fields) {
    SayLengthLimit(*field, parts_.language.Index());
    field->installEventFilter(this);
    connect(field, &QLineEdit::textEdited, this,
            [this, kind = kind](const QString& text) { FieldEdited(kind, text); });
  }

  hide_password_switch_ = new QCheckBox(account);
  hide_password_switch_->setGeometry(10, 198, 170, 28);
  StyleAccountField(*hide_password_switch_);
  connect(hide_password_switch_, &QCheckBox::toggled, this, [this](bool hide) {
    password_field_->setEchoMode(hide ? QLineEdit::Password : QLineEdit::Normal);
  });
  rated_game_switch_ = new QCheckBox(account);
  rated_game_switch_->setGeometry(255, 378, 420, 28);
  StyleAccountField(*rated_game_switch_);
  connect(rated_game_switch_, &QCheckBox::clicked, this, &AccountWindow::RatedSwitchToggled);

  countries_ = new CountryLists(pictures, account);
  countries_->ContinentBox().setGeometry(10, 250, 170, 28);
  countries_->CountryBox().setGeometry(10, 283, 170, 28);
  StyleAccountField(countries_->ContinentBox());
  StyleAccountField(countries_->CountryBox());
  connect(countries_, &CountryLists::CodeChanged, this, &AccountWindow::CountryChosen);

  sex_box_ = new QComboBox(account);
  sex_box_->setGeometry(240, 250, 170, 28);
  sex_box_->addItem(QString());
  sex_box_->addItem(QString());
  StyleAccountField(*sex_box_);
  connect(sex_box_, &QComboBox::activated, this, &AccountWindow::SexChosen);

  create_account_button_ = NewAccountButton(pictures, account, 80);
  login_or_sign_out_button_ = NewAccountButton(pictures, account, 155);
  save_user_file_button_ = NewAccountButton(pictures, account, 240);
  delete_user_file_button_ = NewAccountButton(pictures, account, 305);
  connect(create_account_button_, &QPushButton::clicked, this,
          &AccountWindow::CreateAccountClicked);
  connect(login_or_sign_out_button_, &QPushButton::clicked, this,
          &AccountWindow::LoginOrSignOutClicked);
  connect(save_user_file_button_, &QPushButton::clicked, this, &AccountWindow::SaveUserFileClicked);
  connect(delete_user_file_button_, &QPushButton::clicked, this,
          &AccountWindow::DeleteUserFileClicked);

  star_ = new QLabel(account);
  star_->setGeometry(194, 365, 55, 45);

  refresh_results_button_ = new SkinnedButton(pictures, page_tabs_->widget(kPageResults));
  refresh_top_ten_button_ = new SkinnedButton(pictures, page_tabs_->widget(kPageTopTen));
  for (SkinnedButton* refresh : {refresh_results_button_, refresh_top_ten_button_}) {
    StyleAccountButton(*refresh, 20, false);
    refresh->setGeometry(325, 400, 54, 45);
    refresh->SetGlyph(pictures.LoadPngResource("GlyphRefresh"));
  }
  connect(refresh_results_button_, &QPushButton::clicked, this,
          &AccountWindow::RefreshResultsClicked);
  connect(refresh_top_ten_button_, &QPushButton::clicked, this,
          &AccountWindow::RefreshTopTenClicked);
  edit_personal_info_button_ = new SkinnedButton(pictures, page_tabs_->widget(kPageAboutMe));
  StyleAccountButton(*edit_personal_info_button_, 20, true);
  edit_personal_info_button_->setGeometry(10, 364, 240, 45);
  connect(edit_personal_info_button_, &QPushButton::clicked, this,
          &AccountWindow::EditPersonalInfoClicked);

  ImageControl& chairman = *page_images_[kPageChairman];
  chairman.setMouseTracking(true);
  connect(&chairman, &ImageControl::Moved, this, &AccountWindow::PointerOverChairmanPage);
  chairman.installEventFilter(this);

  ok_button_ = new SkinnedButton(pictures, this);
  StyleAccountButton(*ok_button_, 20, false);
  ok_button_->setGeometry(5, 550, 710, 45);
  ok_button_->setText(QStringLiteral("Ok"));
  connect(ok_button_, &QPushButton::clicked, this, &QDialog::accept);

  connect(page_tabs_, &QTabWidget::currentChanged, this, &AccountWindow::DrawPage);

  club_reads_ = std::make_unique<QObject>();
  club_data_ = parts_.account.LastPages();
  StartReadingPages();

  hide_password_switch_->setChecked(true);
  password_field_->setEchoMode(QLineEdit::Password);
  const ClubSession& session = Session();
  const bool member = session.account_state != AccountState::kNobody;
  save_user_file_button_->setEnabled(member && !session.user_file_saved);
  delete_user_file_button_->setEnabled(session.user_file_saved);
  parts_.account.StartAccountForm();
}

AccountWindow::~AccountWindow() {
  club_reads_.reset();
  parts_.account.KeepPages(std::move(club_data_));
}

void AccountWindow::StartReadingPages() {
  reading_pages_ = true;
  parts_.account.ReadPagesInBackground(
      club_reads_.get(), club_data_,
      [this](const AccountPages& so_far) {
        club_data_ = so_far;
        RedrawClubData();
      },
      [this](AccountPages pages) {
        club_data_ = std::move(pages);
        reading_pages_ = false;
        UpdateEnabled();
        RedrawClubData();
      });
}

void AccountWindow::RedrawClubData() {
  const int page = page_tabs_->currentIndex();
  if (page != kPageAccount) {
    DrawPage(page);
    return;
  }
  DrawAccountPicture(page_images_[kPageAccount]->Image());
  page_images_[kPageAccount]->update();
}

QString AccountWindow::Text(MsgId id) const { return Q(parts_.language.Text(id)); }

bool AccountWindow::Locked() const {
  return parts_.account.Session().rated_game_open || game_in_progress_;
}

AccountState AccountWindow::Execute() {
  exec();
  return Session().account_state;
}

void AccountWindow::showEvent(QShowEvent* event) {
  PrepareShowing();
  QDialog::showEvent(event);
  CentreOnParent(*this);
}

void AccountWindow::PrepareShowing() {
  DrawIcon();
  DrawCaption();
  filling_ = true;
  countries_->SetLanguage(parts_.language.Index());
  countries_->SetCode(Session().current_user.country_code);
  country_name_field_->setText(Q(countries_->ServerName()));
  Session().current_user.country_name = countries_->ServerName();
  Session().current_user.country_code = countries_->CodeText();
  filling_ = false;
  setWindowTitle(Text(MsgId::MsgClubTitle));
  page_tabs_->setTabText(kPageAccount, Text(MsgId::MsgMyAccount));
  page_tabs_->setTabText(kPageResults, Text(MsgId::MsgMyResults));
  page_tabs_->setTabText(kPageTopTen, QStringLiteral("Top 10"));
  page_tabs_->setTabText(kPageAboutMe, Text(MsgId::MsgAboutMe));
  page_tabs_->setTabText(kPageChairman, Text(MsgId::MsgChairman));
  edit_personal_info_button_->setText(Text(MsgId::MsgEditMyInfo));
  DrawPage(page_tabs_->currentIndex());
}

void AccountWindow::DrawIcon() {
  QImage& icon = account_icon_->Image();
  QPainter painter(&icon);
  PaintAccountBackdrop(painter, parts_.pictures, account_icon_->x(), account_icon_->y());
  painter.drawImage(0, 0, parts_.pictures.PictureFor(painter, "Account48"));
  painter.drawImage(
      24, 0, parts_.pictures.PictureFor(painter, AccountLampPicture(Session().account_state)));
  painter.end();
  account_icon_->update();
}

void AccountWindow::DrawCaption() {
  DrawAccountCaption(*caption_box_, parts_.pictures, Text(MsgId::MsgClubTitle));
}

void AccountWindow::StartStar() {
  const AccountState state = Session().account_state;
  const QString name = state == AccountState::kRated      ? QStringLiteral("StarG0")
                       : state == AccountState::kLoggedIn ? QStringLiteral("StarY0")
                                                          : QStringLiteral("StarR0");
  // The star drawn for the window's screen: its frames are shown at that
  // ratio, so they cover the star's design size at the finer resolution.
  const int ratio =
      parts_.pictures.PictureRatio(name, PictureRatioForScale(star_->devicePixelRatioF()));
  if (name == star_name_ && ratio == star_ratio_ && star_movie_) return;
  star_name_ = name;
  star_ratio_ = ratio;
  star_movie_.reset();
  star_buffer_.reset();
  star_bytes_ =
      parts_.pictures.Bytes(ratio > 1 ? QStringLiteral("%1@%2x").arg(name).arg(ratio) : name);
  star_buffer_ = std::make_unique<QBuffer>(&star_bytes_);
  star_buffer_->open(QIODevice::ReadOnly);
  star_movie_ = std::make_unique<QMovie>(star_buffer_.get(), "GIF");
  connect(star_movie_.get(), &QMovie::frameChanged, star_, [this, ratio] {
    QPixmap frame = star_movie_->currentPixmap();
    frame.setDevicePixelRatio(ratio);
    star_->setPixmap(frame);
  });
  star_movie_->start();
}

void AccountWindow::DrawPage(int page) {
  if (page < 0 || page > kPageChairman) return;
  ImageControl& control = *page_images_[static_cast<std::size_t>(page)];
  switch (page) {
    case kPageAccount:
      DrawAccountPage(control.Image());
      break;
    case kPageResults:
      DrawResultsPage(control.Image());
      break;
    case kPageTopTen:
      DrawTopTenPage(control.Image());
      break;
    case kPageAboutMe:
      DrawAboutPage(control.Image());
      break;
    default:
      DrawChairmanPage(control.Image());
      break;
  }
  control.update();
}

void AccountWindow::DrawPlatformPictures(QPainter& painter) {
  painter.drawImage(30, 400, parts_.pictures.PictureFor(painter, "Windows"));
  painter.drawImage(622, 400, parts_.pictures.PictureFor(painter, "Android"));
  painter.setPen(QPen(kClubRed, 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(QRect(QPoint(28, 398), QPoint(80, 450)), 3.5, 3.5);
  painter.drawRoundedRect(QRect(QPoint(620, 398), QPoint(672, 450)), 3.5, 3.5);
}

void AccountWindow::DrawAccountPage(QImage& page) {
  RefreshControls();
  DrawAccountPicture(page);
}

void AccountWindow::DrawAccountPicture(QImage& page) {
  QPainter painter(&page);
  PageGradient(painter, page);
  painter.setFont(Comic(36));
  DrawShadowText(painter, Text(MsgId::MsgAccountInfo), 10, 692, 10, kClubYellow, 'c');
  painter.setFont(Comic(24));
  const auto label = [&](MsgId id, int x, int y) {
    DrawShadowText(painter, Text(id) + ":", x, x, y, kClubYellow, 'l');
  };
  label(MsgId::MsgAccountNick, 10, 60);
  label(MsgId::MsgPassword, 10, 135);
  label(MsgId::MsgAccountCountry, 10, 222);
  label(MsgId::MsgAccountCity, 240, 60);
  DrawShadowText(painter, QStringLiteral("E-Mail:"), 240, 240, 135, kClubYellow, 'l');
  label(MsgId::MsgAccountSex, 240, 222);
  label(MsgId::MsgRegistration, 240, 285);
  if (const std::optional<std::int32_t> members = club_data_.members_count) {
    DrawShadowText(painter, Text(MsgId::MsgClubMembers) + QString::number(*members), 10, 692, 420,
                   kClubRed, 'c');
  } else if (reading_pages_) {
    DrawShadowText(painter, Text(MsgId::MsgClubMembers) + Text(MsgId::MsgClubLoading), 10, 692, 420,
                   kClubRed, 'c');
  }
  painter.drawImage(180, 360, parts_.pictures.PictureFor(painter, "RamkaAc"));
  DrawPlatformPictures(painter);
  DrawFieldLamps(painter);
  painter.end();
  StartStar();
}

void AccountWindow::DrawFieldLamps(QPainter& painter) {
  const AccountFieldRatings ratings = RateFields();
  const auto lamp = [&](int rating, int x, int y) {
    painter.drawImage(x, y, parts_.pictures.PictureFor(painter, LampPicture(rating)));
  };
  lamp(ratings.nick, 180, 91);
  lamp(ratings.city, 410, 91);
  lamp(ratings.password, 180, 165);
  lamp(ratings.email, 410, 165);
}

AccountFieldRatings AccountWindow::RateFields() const {
  return {Rate(nick_field_->text(), AccountTextKind::kNick),
          Rate(city_field_->text(), AccountTextKind::kCity),
          Rate(password_field_->text(), AccountTextKind::kPassword),
          Rate(email_field_->text(), AccountTextKind::kEMail)};
}

void AccountWindow::RefreshControls() {
  filling_ = true;
  ClubSession& session = Session();
  const MemberAccount& user = session.current_user;
  countries_->SetLanguage(parts_.language.Index());
  sex_box_->setItemText(0, Text(MsgId::MsgMale));
  sex_box_->setItemText(1, Text(MsgId::MsgFemale));
  country_name_field_->setEnabled(false);
  registration_field_->setEnabled(false);
  nick_field_->setText(Q(user.nick));
  password_field_->setText(Q(user.password));
  city_field_->setText(Q(user.city));
  email_field_->setText(Q(user.email));
  const bool member = session.account_state != AccountState::kNobody;
  registration_field_->setText(member ? Q(user.registered_on) : QString(kNoRegistrationDate));
  login_or_sign_out_button_->setText(Text(member ? MsgId::MsgSignOut : MsgId::MsgLoginToAccount));
  create_account_button_->setText(Text(MsgId::MsgCreateAccount));
  save_user_file_button_->setText(Text(MsgId::MsgSave));
  delete_user_file_button_->setText(Text(MsgId::MsgDelete));
  hide_password_switch_->setText(Text(MsgId::MsgHidePassword));
  rated_game_switch_->setText(Text(MsgId::MsgPlayGlobalRating));
  sex_box_->setCurrentIndex(user.sex == 'M' ? 0 : 1);
  countries_->SetCode(user.country_code);
  rated_game_switch_->setChecked(session.account_state == AccountState::kRated);
  if (member) country_name_field_->setText(Q(user.country_name));
  filling_ = false;
  UpdateEnabled();
}

void AccountWindow::UpdateEnabled() {
  const AccountPageEnabled enabled =
      AccountPageControls(Session().account_state, purpose_, RateFields(), Locked());
  for (QLineEdit* field : {nick_field_, password_field_, city_field_, email_field_})
    field->setEnabled(enabled.fields);
  countries_->SetEnabled(enabled.fields);
  sex_box_->setEnabled(enabled.fields);
  rated_game_switch_->setEnabled(enabled.rated_switch);
  // A write while a read is out would meet the read's replies half-way.
  const bool reading = ReadingClub();
  create_account_button_->setEnabled(enabled.create && !reading);
  login_or_sign_out_button_->setEnabled(enabled.login_or_sign_out && !reading);
  edit_personal_info_button_->setEnabled(Session().account_state != AccountState::kNobody &&
                                         !reading);
  refresh_results_button_->setEnabled(!reading_pages_ && !reading_own_record_);
  refresh_top_ten_button_->setEnabled(!reading_pages_ && !reading_top_ten_);
  if (Locked()) {
    save_user_file_button_->setEnabled(false);
    delete_user_file_button_->setEnabled(false);
  }
}

bool AccountWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == page_images_[kPageAccount] && event->type() == QEvent::MouseMove)
    mouse_not_yet_moved_ = false;
  if (watched == page_images_[kPageChairman] && event->type() == QEvent::MouseButtonRelease)
    ChairmanPageClicked(static_cast<QMouseEvent*>(event)->position().toPoint());
  if (event->type() == QEvent::KeyPress) {
    const QString typed = static_cast<QKeyEvent*>(event)->text();
    // Cyrillic letters may go into the nick and the city, never into the
    // password or the e-mail.
    const bool strict = watched == password_field_ || watched == email_field_;
    const bool loose = watched == nick_field_ || watched == city_field_;
    if ((strict || loose) && typed.size() == 1 && typed[0].isPrint()) {
      const int rating = Rate(typed, AccountTextKind::kCharacter);
      if (rating == kRateRefused || (strict && rating == kRateCyrillic)) return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void AccountWindow::FieldEdited(TypedField field, const QString& text) {
  if (filling_) return;
  MemberAccount& user = Session().current_user;
  switch (field) {
    case TypedField::kNick:
      user.nick = text.toStdString();
      break;
    case TypedField::kPassword:
      user.password = text.toStdString();
      user.scrambled_password = ScramblePassword(user.password);
      break;
    case TypedField::kCity:
      user.city = text.toStdString();
      break;
    case TypedField::kEmail:
      user.email = text.toStdString();
      break;
  }
  // The lamps are part of the page picture.
  QImage& page = page_images_[kPageAccount]->Image();
  QPainter painter(&page);
  DrawFieldLamps(painter);
  painter.end();
  page_images_[kPageAccount]->update();
  // The user file holds the nick and the password.
  const bool kept_in_user_file = field == TypedField::kNick || field == TypedField::kPassword;
  if (kept_in_user_file && !mouse_not_yet_moved_ && !Locked())
    save_user_file_button_->setEnabled(true);
  UpdateEnabled();
}

void AccountWindow::CountryChosen() {
  if (filling_) return;
  MemberAccount& user = Session().current_user;
  user.country_code = countries_->CodeText();
  country_name_field_->setText(Q(countries_->ServerName()));
  user.country_name = country_name_field_->text().toStdString();
}

void AccountWindow::SexChosen(int position) {
  if (!filling_) Session().current_user.sex = position == 0 ? 'M' : 'W';
}

void AccountWindow::RatedSwitchToggled(bool ticked) {
  parts_.account.ChooseRatedGame(ticked);
  DrawIcon();
  StartStar();
}

void AccountWindow::CreateAccountClicked() {
  const std::string today =
      QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")).toStdString();
  CreationOutcome outcome = parts_.account.CreateAccount(today, std::move(club_data_));
  club_data_ = std::move(outcome.pages);
  const MsgId message = outcome.creation == AccountCreation::kCreated     ? MsgId::MsgAccountCreated
                        : outcome.creation == AccountCreation::kNickTaken ? MsgId::MsgNickTaken
                        : outcome.creation == AccountCreation::kClubBusy
                            ? MsgId::MsgClubBusy
                            : MsgId::MsgAccountNotCreated;
  if (outcome.creation == AccountCreation::kCreated) {
    // A new member may save the file at once.
    save_user_file_button_->setEnabled(!Session().user_file_saved && !Locked());
  }
  // The window shows the state the club gave before the notice covers it:
  // a window left looking logged out invites a second login.
  DrawIcon();
  DrawPage(kPageAccount);
  parts_.show_notice({parts_.language.Text(message), "", ""});
}

void AccountWindow::LoginOrSignOutClicked() {
  if (Session().account_state == AccountState::kNobody) {
    LoginOutcome outcome = parts_.account.LogIn(std::move(club_data_));
    club_data_ = std::move(outcome.pages);
    if (!outcome.logged_in) {
      DrawIcon();
      DrawPage(kPageAccount);
      const MsgId message = outcome.club_busy ? MsgId::MsgClubBusy : MsgId::MsgLoginFailed;
      parts_.show_notice({parts_.language.Text(message), "", ""});
      return;
    }
    save_user_file_button_->setEnabled(!Session().user_file_saved && !Locked());
  } else {
    club_data_ = parts_.account.SignOut(std::move(club_data_));
  }
  DrawIcon();
  DrawPage(kPageAccount);
}

void AccountWindow::SaveUserFileClicked() {
  if (parts_.account.SaveUserFile()) save_user_file_button_->setEnabled(false);
  delete_user_file_button_->setEnabled(Session().user_file_saved);
}

void AccountWindow::DeleteUserFileClicked() {
  parts_.account.DeleteUserFile();
  if (!Session().user_file_saved) {
    save_user_file_button_->setEnabled(true);
    delete_user_file_button_->setEnabled(false);
  }
}

void AccountWindow::DrawResultsPage(QImage& page) {
  QPainter painter(&page);
  PageGradient(painter, page);
  painter.setFont(Comic(36));
  DrawShadowText(painter, Text(MsgId::MsgGamesInfo), 10, 692, 10, kClubYellow, 'c');
  painter.setFont(Comic(30));
  const MsgId labels[6] = {MsgId::MsgGame,  MsgId::MsgPlayer,      MsgId::MsgRating,
                           MsgId::MsgPlace, MsgId::MsgPlayedGames, MsgId::MsgMyBestScore};
  const ClubSession& session = Session();
  const bool member = session.account_state != AccountState::kNobody;
  const bool shown = member && !session.current_user.nick.empty() && club_data_.own_record_read;
  const bool loading = member && (reading_pages_ || reading_own_record_);
  const GameRecord& game = session.current_game;
  const QString values[6] = {Text(MsgId::MsgTitle),
                             Q(session.current_user.nick),
                             Q(FormatClubRating(game.rating)),
                             QString::number(game.rating_place),
                             QString::number(game.rated_games),
                             QString::number(game.best_score)};
  for (int i = 0; i < 6; ++i) {
    const int top = 60 + 55 * i;
    Band(painter, 10, top, 692, 114 + 55 * i, i % 2 == 0 ? kAccountLightYellow : kAccountPink);
    Cell(painter, 10, top, 351, 116 + 55 * i);
    Cell(painter, 350, top, 693, 116 + 55 * i);
    DrawShadowText(painter, Text(labels[i]) + ":", 20, 20, 72 + 55 * i, kClubRed, 'l');
    if (i == 0 || shown)
      DrawShadowText(painter, values[i], 682, 682, 72 + 55 * i, kClubRed, 'r');
    else if (loading)
      DrawShadowText(painter, Text(MsgId::MsgClubLoading), 350, 692, 72 + 55 * i, kClubRed, 'c');
    else if (!club_data_.own_record_read)
      DrawShadowText(painter, kNoConnect, 350, 692, 72 + 55 * i, kClubRed, 'c');
  }
  DrawPlatformPictures(painter);
}

void AccountWindow::DrawTopTenPage(QImage& page) {
  QPainter painter(&page);
  PageGradient(painter, page);
  painter.setFont(Comic(36));
  DrawShadowText(painter, Text(MsgId::MsgTopTenRated), 10, 692, 10, kClubYellow, 'c');
  painter.setFont(Comic(20));
  const int edges[7] = {10, 50, 250, 300, 350, 550, 692};
  for (int r = 0; r <= 10; ++r) {
    const int top = 60 + 30 * r;
    Band(painter, 10, top, 692, 89 + 30 * r,
         r == 0       ? kAccountPink
         : r % 2 == 1 ? kAccountLightGreen
                      : kAccountLightYellow);
    for (int c = 0; c < 6; ++c) Cell(painter, edges[c], top, edges[c + 1] + 1, top + 31);
  }
  const QString header[6] = {QString::fromUtf8("\u2116"), Text(MsgId::MsgAccountNick),
                             QStringLiteral("C"),         Text(MsgId::MsgAccountSex),
                             Text(MsgId::MsgAccountCity), Text(MsgId::MsgRating)};
  for (int c = 0; c < 6; ++c)
    DrawShadowText(painter, header[c], edges[c], edges[c + 1], 65, kClubRed, 'c');
  const bool loading = reading_pages_ || reading_top_ten_;
  for (int r = 1; r <= 10; ++r) {
    const int top = 65 + 30 * r;
    if (!club_data_.top_ten.ok && loading) {
      if (r == 1) DrawShadowText(painter, Text(MsgId::MsgClubLoading), 50, 250, top, kClubRed, 'c');
      continue;
    }
    if (!club_data_.top_ten.ok) {
      DrawShadowText(painter, kNoConnect, 50, 250, top, kClubRed, 'c');
      continue;
    }
    const RatedPlayer& entry = club_data_.top_ten.list[static_cast<std::size_t>(r - 1)];
    if (entry.nick.empty()) continue;
    DrawShadowText(painter, QString::number(r) + ".", 10, 50, top, kClubRed, 'c');
    DrawShadowText(painter, Q(entry.nick), 55, 55, top, kClubRed, 'l');
    DrawCountryFlag(entry.country_code, painter, 268, 70 + 30 * r, parts_.pictures);
    DrawSexIcon(entry.sex, painter, 318, 68 + 30 * r, parts_.pictures);
    DrawShadowText(painter, Q(entry.city), 355, 355, top, kClubRed, 'l');
    DrawShadowText(painter, Q(FormatClubRating(entry.rating)), 687, 687, top, kClubRed, 'r');
  }
  DrawPlatformPictures(painter);
}

void AccountWindow::DrawAboutPage(QImage& page) {
  ClubSession& session = Session();
  const bool member = session.account_state != AccountState::kNobody;
  edit_personal_info_button_->setEnabled(member && !ReadingClub());
  QPainter painter(&page);
  PageGradient(painter, page);
  painter.drawImage(30, 50,
                    PhotoOrPlaceholder(session.photo_slots[0], club_data_.player_photo_loaded,
                                       session.current_user.sex, parts_.pictures));
  painter.drawImage(10, 30, parts_.pictures.PictureFor(painter, "GAcFrame"));
  painter.setFont(Comic(22));
  for (int i = 1; i <= kInfoRowCount; ++i) {
    Band(painter, 260, 31 * i - 21, 700, 31 * i + 9,
         i % 2 == 1 ? kAccountLightYellow : kAccountPink);
    painter.drawImage(265, 31 * i - 19,
                      RowIcon(kInfoIcons[static_cast<std::size_t>(i - 1)], parts_.pictures));
    if (member) {
      DrawShadowText(painter, Q(InfoRow(session.current_user.personal_info, i - 1)), 300, 300,
                     31 * i - 17, kClubRed, 'l');
    }
  }
}

void AccountWindow::DrawChairmanPage(QImage& page) {
  const ClubSession& session = Session();
  const RatedPlayer& chairman = club_data_.top_ten.list[0];
  const PersonalInfo& chairman_info = club_data_.chairman_info;
  QPainter painter(&page);
  PageGradient(painter, page);
  painter.setFont(Comic(24));
  DrawShadowText(painter, Text(MsgId::MsgChairmanOfClub) + " \"" + Text(MsgId::MsgTitle) + "\"", 0,
                 700, 10, kClubYellow, 'c');
  painter.drawImage(30, 60,
                    PhotoOrPlaceholder(session.photo_slots[1], club_data_.chairman_photo_loaded,
                                       chairman.sex, parts_.pictures));
  painter.drawImage(10, 40, parts_.pictures.PictureFor(painter, "GAcFrame"));
  painter.setFont(Comic(22));
  DrawShadowText(painter, Q(chairman_info.first_name), 10, 250, 331, kClubRed, 'c');
  DrawShadowText(painter, Q(chairman_info.last_name), 10, 250, 351, kClubRed, 'c');
  if (!club_data_.top_ten.ok && reading_pages_)
    DrawShadowText(painter, Text(MsgId::MsgClubLoading), 10, 250, 371, kClubRed, 'c');
  else
    DrawShadowText(painter, Q(chairman.nick), 10, 250, 371, kClubRed, 'c');
  DrawShadowText(painter, Q(chairman.city), 10, 250, 391, kClubRed, 'c');
  for (int i = 1; i <= 12; ++i) {
    Band(painter, 260, 31 * i + 9, 700, 31 * i + 39,
         i % 2 == 1 ? kAccountLightYellow : kAccountPink);
    painter.drawImage(265, 31 * i + 11,
                      RowIcon(kInfoIcons[static_cast<std::size_t>(i) + 1], parts_.pictures));
    DrawShadowText(painter, Q(InfoRow(chairman_info, i + 1)), 300, 300, 31 * i + 13, kClubRed, 'l');
  }
}

void AccountWindow::RefreshResultsClicked() {
  // One read of the record at a time: a second click while it runs asks nothing.
  if (reading_pages_ || reading_own_record_) return;
  if (Session().account_state == AccountState::kNobody) {
    DrawPage(kPageResults);
    return;
  }
  reading_own_record_ = true;
  UpdateEnabled();
  DrawPage(kPageResults);
  parts_.account.RefreshOwnRecordInBackground(club_reads_.get(), [this](bool read) {
    club_data_.own_record_read = read;
    reading_own_record_ = false;
    UpdateEnabled();
    RedrawClubData();
  });
}

void AccountWindow::RefreshTopTenClicked() {
  if (reading_pages_ || reading_top_ten_) return;
  reading_top_ten_ = true;
  UpdateEnabled();
  DrawPage(kPageTopTen);
  parts_.account.RefreshTopTenInBackground(club_reads_.get(), [this](RatedTopTenReply top_ten) {
    club_data_.top_ten = std::move(top_ten);
    reading_top_ten_ = false;
    UpdateEnabled();
    RedrawClubData();
  });
}

void AccountWindow::EditPersonalInfoClicked() {
  {
    PersonalInfoWindow info(parts_, club_data_.player_photo_loaded, this);
    info.Execute();
    club_data_.player_photo_loaded = info.PhotoLoaded();
  }
  club_data_ = parts_.account.RefreshChairman(std::move(club_data_));
  DrawPage(kPageAboutMe);
}

void AccountWindow::PointerOverChairmanPage(QPoint point) {
  const bool over = point.x() >= 260 && point.x() <= 700 && point.y() >= 40 && point.y() <= 412;
  page_images_[kPageChairman]->setCursor(over ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void AccountWindow::ChairmanPageClicked(QPoint point) {
  if (point.x() < 260 || point.x() > 700) return;
  for (int i = 1; i <= 12; ++i) {
    if (!(point.y() > 31 * i + 9 && point.y() < 31 * i + 40)) continue;
    const int row = i + 1;  // About is row 2 of the fourteen
    const std::string& text = InfoRow(club_data_.chairman_info, row);
    const bool copied = row == 2 || row == 3 || row == 4 || row == 6 || row == 9;
    if (copied) {
      QApplication::clipboard()->setText(Q(text));
      parts_.show_notice({parts_.language.Text(MsgId::MsgCopied), "", ""});
    } else if (IsOpenableClubLink(text)) {
      parts_.open_url(QUrl(Q(text), QUrl::StrictMode));
    }
    return;
  }
}

}  // namespace braxo
