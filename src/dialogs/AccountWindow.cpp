#include "dialogs/AccountWindow.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDate>
#include <QFileDialog>
#include <QKeyEvent>
#include <QPainter>

#include "club/NameRules.h"
#include "dialogs/ClubWindowStyle.h"
#include "dialogs/DialogFrame.h"
#include "dialogs/PersonalInfoWindow.h"
#include "storage/TextFile.h"
#include "storage/UserFile.h"
#include "ui/ClubIcons.h"
#include "ui/Drawing.h"

namespace braxo {
namespace {

constexpr char kNoConnect[] = "No Connect";
constexpr char kNoDate[] = "00.00.0000";

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
  FillVerticalGradient(painter, page.rect(), kAccountPageTop, kAccountPageBottom,
                       GradientRounding::kHalfAwayFromZero);
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
    const QImage photo = QImage::fromData(reinterpret_cast<const uchar*>(jpeg.data()),
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

  image_ico_ = new ImageControl(this);
  image_ico_->Place(5, 5, 48, 48);
  image_cap_ = new ImageControl(this);
  image_cap_->Place(58, 5, 605, 48);

  page_control_ = new QTabWidget(this);
  page_control_->setGeometry(5, 60, 710, 480);
  for (int page = 0; page < 5; ++page) {
    auto* sheet = new QWidget;
    auto* image = new ImageControl(sheet);
    image->Place(0, 0, kAccountPageWidth, kAccountPageHeight);
    page_images_[static_cast<std::size_t>(page)] = image;
    page_control_->addTab(sheet, QString());
  }
  QWidget* account = page_control_->widget(kPageAccount);
  page_images_[kPageAccount]->setMouseTracking(true);
  page_images_[kPageAccount]->installEventFilter(this);

  const int edit_places[6][2] = {{10, 89}, {10, 163}, {10, 313}, {240, 89}, {240, 163}, {240, 313}};
  const int max_lengths[6] = {12, 12, 15, 15, 30, 10};
  for (int i = 0; i < 6; ++i) {
    auto* edit = new QLineEdit(account);
    edit->setGeometry(edit_places[i][0], edit_places[i][1], 170, 28);
    edit->setMaxLength(max_lengths[i]);
    StyleAccountField(*edit);
    edits_[static_cast<std::size_t>(i)] = edit;
  }
  // A hidden password shows "#" for every character, at once.
  Edit(2).setStyleSheet(QStringLiteral(
      "QLineEdit { lineedit-password-character: 35; lineedit-password-mask-delay: 0; }"));
  for (int number : {1, 2, 4, 5}) {
    Edit(number).installEventFilter(this);
    connect(&Edit(number), &QLineEdit::textEdited, this,
            [this, number](const QString& text) { FieldEdited(number, text); });
  }

  check_box1_ = new QCheckBox(account);
  check_box1_->setGeometry(10, 198, 170, 28);
  StyleAccountField(*check_box1_);
  connect(check_box1_, &QCheckBox::toggled, this, [this](bool hide) {
    Edit(2).setEchoMode(hide ? QLineEdit::Password : QLineEdit::Normal);
  });
  check_box2_ = new QCheckBox(account);
  check_box2_->setGeometry(255, 378, 271, 28);
  StyleAccountField(*check_box2_);
  connect(check_box2_, &QCheckBox::clicked, this, &AccountWindow::RatedSwitchToggled);

  countries_ = new CountryLists(pictures, account);
  countries_->ContinentBox().setGeometry(10, 250, 170, 28);
  countries_->CountryBox().setGeometry(10, 283, 170, 28);
  StyleAccountField(countries_->ContinentBox());
  StyleAccountField(countries_->CountryBox());
  connect(countries_, &CountryLists::CodeChanged, this, &AccountWindow::CountryChosen);

  combo_box3_ = new QComboBox(account);
  combo_box3_->setGeometry(240, 250, 170, 28);
  combo_box3_->addItem(QString());
  combo_box3_->addItem(QString());
  StyleAccountField(*combo_box3_);
  connect(combo_box3_, &QComboBox::activated, this, &AccountWindow::SexChosen);

  const int button_tops[4] = {80, 155, 240, 305};
  for (int i = 0; i < 4; ++i) {
    auto* button = new SkinnedButton(pictures, account);
    StyleAccountButton(*button, 20, true);
    button->setGeometry(455, button_tops[i], 240, 45);
    buttons_[static_cast<std::size_t>(i)] = button;
  }
  connect(buttons_[0], &QPushButton::clicked, this, &AccountWindow::Button1Click);
  connect(buttons_[1], &QPushButton::clicked, this, &AccountWindow::Button2Click);
  connect(buttons_[2], &QPushButton::clicked, this, &AccountWindow::Button3Click);
  connect(buttons_[3], &QPushButton::clicked, this, &AccountWindow::Button4Click);

  star_ = new QLabel(account);
  star_->setGeometry(194, 365, 55, 45);

  button_ref2_ = new SkinnedButton(pictures, page_control_->widget(kPageResults));
  button_ref3_ = new SkinnedButton(pictures, page_control_->widget(kPageTopTen));
  for (SkinnedButton* refresh : {button_ref2_, button_ref3_}) {
    StyleAccountButton(*refresh, 20, false);
    refresh->setGeometry(325, 400, 54, 45);
    refresh->SetGlyph(pictures.LoadPngResource("GlyphRefresh"));
  }
  connect(button_ref2_, &QPushButton::clicked, this, &AccountWindow::ButtonRef2Click);
  connect(button_ref3_, &QPushButton::clicked, this, &AccountWindow::ButtonRef3Click);
  button_ava1_ = new SkinnedButton(pictures, page_control_->widget(kPageAboutMe));
  StyleAccountButton(*button_ava1_, 20, true);
  button_ava1_->setGeometry(10, 364, 240, 45);
  connect(button_ava1_, &QPushButton::clicked, this, &AccountWindow::ButtonAva1Click);

  ImageControl& chairman = *page_images_[kPageChairman];
  chairman.setMouseTracking(true);
  connect(&chairman, &ImageControl::Moved, this, &AccountWindow::ChairmanMouseMove);
  chairman.installEventFilter(this);

  button_ok_ = new SkinnedButton(pictures, this);
  StyleAccountButton(*button_ok_, 20, false);
  button_ok_->setGeometry(5, 550, 710, 45);
  button_ok_->setText(QStringLiteral("Ok"));
  connect(button_ok_, &QPushButton::clicked, this, &QDialog::accept);

  connect(page_control_, &QTabWidget::currentChanged, this, &AccountWindow::DrawPage);

  ReadClubData();

  check_box1_->setChecked(true);
  Edit(2).setEchoMode(QLineEdit::Password);
  ClubSession& session = Session();
  const bool member = session.account_state != AccountState::kNobody;
  Button(3).setEnabled(member && !session.user_file_saved);
  Button(4).setEnabled(session.user_file_saved);
  if (!member) {
    MemberAccount& user = session.current_user;
    user.city.clear();
    user.country_code = "1-001";
    user.country_name = "Russia";
    user.sex = 'M';
    user.email.clear();
    user.registered_on = kNoDate;
  }
}

AccountWindow::~AccountWindow() = default;

QString AccountWindow::Text(MsgId id) const { return Q(parts_.language.Text(id)); }

bool AccountWindow::Locked() const { return parts_.session.rated_game_open || game_in_progress_; }

void AccountWindow::ReadClubData() {
  ClubSession& session = Session();
  top_ten_ = parts_.club.ReadRatedTopTen();
  if (session.account_state != AccountState::kNobody) ReadOwnRecord();
  members_ = parts_.club.CountClubMembers();
  if (session.account_state != AccountState::kNobody) {
    player_photo_loaded_ = parts_.club.LoadPhoto(session, session.current_user.nick, 1);
    session.current_user.personal_info = parts_.club.ReadPersonalInfo(session.current_user.nick);
  }
  ReadChairman();
}

void AccountWindow::ReadOwnRecord() {
  ClubSession& session = Session();
  const GameRecordReply reply =
      parts_.club.ReadGameRecord(session.current_user.nick, session.current_user.password);
  record_read_ = reply.ok;
  if (!reply.ok) return;
  session.current_game = reply.record;
  if (const auto place = parts_.club.ReadRatingPlace(session.current_game.rating))
    session.current_game.rating_place = *place;
}

void AccountWindow::ReadChairman() {
  const std::string& nick = top_ten_.list[0].nick;
  if (!top_ten_.ok || nick.empty()) {
    chairman_photo_loaded_ = false;
    return;
  }
  // A failed read leaves the texts as they were.
  const PersonalInfo info = parts_.club.ReadPersonalInfo(nick);
  if (!(info == PersonalInfo{})) chairman_info_ = info;
  chairman_photo_loaded_ = parts_.club.LoadPhoto(Session(), nick, 2);
}

AccountState AccountWindow::Execute() {
  exec();
  return Session().account_state;
}

void AccountWindow::showEvent(QShowEvent* event) {
  FormShow();
  QDialog::showEvent(event);
  CentreOnParent(*this);
}

void AccountWindow::FormShow() {
  DrawIcon();
  DrawCaption();
  filling_ = true;
  countries_->SetLanguage(parts_.language.Index());
  countries_->SetCode(Session().current_user.country_code);
  Edit(3).setText(Q(countries_->ServerName()));
  Session().current_user.country_name = countries_->ServerName();
  Session().current_user.country_code = countries_->CodeText();
  filling_ = false;
  setWindowTitle(Text(MsgId::MsgClubTitle));
  page_control_->setTabText(kPageAccount, Text(MsgId::MsgMyAccount));
  page_control_->setTabText(kPageResults, Text(MsgId::MsgMyResults));
  page_control_->setTabText(kPageTopTen, QStringLiteral("Top 10"));
  page_control_->setTabText(kPageAboutMe, Text(MsgId::MsgAboutMe));
  page_control_->setTabText(kPageChairman, Text(MsgId::MsgChairman));
  button_ava1_->setText(Text(MsgId::MsgRefresh));
  DrawPage(page_control_->currentIndex());
}

void AccountWindow::DrawIcon() {
  QImage& icon = image_ico_->Image();
  QPainter painter(&icon);
  PaintAccountBackdrop(painter, parts_.pictures, image_ico_->x(), image_ico_->y());
  painter.drawImage(0, 0, parts_.pictures.LoadPngResource("Account48"));
  painter.drawImage(24, 0,
                    parts_.pictures.LoadPngResource(AccountLampPicture(Session().account_state)));
  painter.end();
  image_ico_->update();
}

void AccountWindow::DrawCaption() {
  DrawAccountCaption(*image_cap_, parts_.pictures, Text(MsgId::MsgClubTitle));
}

void AccountWindow::StartStar() {
  const AccountState state = Session().account_state;
  const QString name = state == AccountState::kRated      ? QStringLiteral("StarG0")
                       : state == AccountState::kLoggedIn ? QStringLiteral("StarY0")
                                                          : QStringLiteral("StarR0");
  if (name == star_name_ && star_movie_) return;
  star_name_ = name;
  star_->setMovie(nullptr);
  star_movie_.reset();
  star_buffer_.reset();
  star_bytes_ = parts_.pictures.Bytes(name);
  star_buffer_ = std::make_unique<QBuffer>(&star_bytes_);
  star_buffer_->open(QIODevice::ReadOnly);
  star_movie_ = std::make_unique<QMovie>(star_buffer_.get(), "GIF");
  star_->setMovie(star_movie_.get());
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
  painter.drawImage(30, 400, parts_.pictures.LoadPngResource("Windows"));
  painter.drawImage(622, 400, parts_.pictures.LoadPngResource("Android"));
  painter.setPen(QPen(kClubRed, 2));
  painter.setBrush(Qt::NoBrush);
  painter.drawRoundedRect(QRect(QPoint(28, 398), QPoint(80, 450)), 3.5, 3.5);
  painter.drawRoundedRect(QRect(QPoint(620, 398), QPoint(672, 450)), 3.5, 3.5);
}

void AccountWindow::DrawAccountPage(QImage& page) {
  QPainter painter(&page);
  PageGradient(painter, page);
  painter.end();
  RefreshControls();
  painter.begin(&page);
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
  if (members_) {
    DrawShadowText(painter, Text(MsgId::MsgClubMembers) + QString::number(*members_), 10, 692, 420,
                   kClubRed, 'c');
  }
  painter.drawImage(180, 360, parts_.pictures.LoadPngResource("RamkaAc"));
  DrawPlatformPictures(painter);
  DrawFieldLamps(painter);
  painter.end();
  StartStar();
}

void AccountWindow::DrawFieldLamps(QPainter& painter) {
  const AccountFieldRatings ratings = RateFields();
  const auto lamp = [&](int rating, int x, int y) {
    painter.drawImage(x, y, parts_.pictures.LoadPngResource(LampPicture(rating)));
  };
  lamp(ratings.nick, 180, 91);
  lamp(ratings.city, 410, 91);
  lamp(ratings.password, 180, 165);
  lamp(ratings.email, 410, 165);
}

AccountFieldRatings AccountWindow::RateFields() const {
  return {Rate(edits_[0]->text(), AccountTextKind::kNick),
          Rate(edits_[3]->text(), AccountTextKind::kCity),
          Rate(edits_[1]->text(), AccountTextKind::kPassword),
          Rate(edits_[4]->text(), AccountTextKind::kEMail)};
}

void AccountWindow::RefreshControls() {
  filling_ = true;
  ClubSession& session = Session();
  const MemberAccount& user = session.current_user;
  countries_->SetLanguage(parts_.language.Index());
  combo_box3_->setItemText(0, Text(MsgId::MsgMale));
  combo_box3_->setItemText(1, Text(MsgId::MsgFemale));
  Edit(3).setEnabled(false);
  Edit(6).setEnabled(false);
  Edit(1).setText(Q(user.nick));
  Edit(2).setText(Q(user.password));
  Edit(4).setText(Q(user.city));
  Edit(5).setText(Q(user.email));
  const bool member = session.account_state != AccountState::kNobody;
  Edit(6).setText(member ? Q(user.registered_on) : QString(kNoDate));
  Button(2).setText(Text(member ? MsgId::MsgSignOut : MsgId::MsgLoginToAccount));
  Button(1).setText(Text(MsgId::MsgCreateAccount));
  Button(3).setText(Text(MsgId::MsgSave));
  Button(4).setText(Text(MsgId::MsgDelete));
  check_box1_->setText(Text(MsgId::MsgHidePassword));
  check_box2_->setText(Text(MsgId::MsgPlayGlobalRating));
  combo_box3_->setCurrentIndex(user.sex == 'M' ? 0 : 1);
  countries_->SetCode(user.country_code);
  check_box2_->setChecked(session.account_state == AccountState::kRated);
  if (member) Edit(3).setText(Q(user.country_name));
  filling_ = false;
  UpdateEnabled();
}

void AccountWindow::UpdateEnabled() {
  const AccountPageEnabled enabled =
      AccountPageControls(Session().account_state, purpose_, RateFields(), Locked());
  for (int number : {1, 2, 4, 5}) Edit(number).setEnabled(enabled.fields);
  countries_->SetEnabled(enabled.fields);
  combo_box3_->setEnabled(enabled.fields);
  check_box2_->setEnabled(enabled.rated_switch);
  Button(1).setEnabled(enabled.create);
  Button(2).setEnabled(enabled.login_or_sign_out);
  if (Locked()) {
    Button(3).setEnabled(false);
    Button(4).setEnabled(false);
  }
}

bool AccountWindow::eventFilter(QObject* watched, QEvent* event) {
  if (watched == page_images_[kPageAccount] && event->type() == QEvent::MouseMove)
    mouse_not_yet_moved_ = false;
  if (watched == page_images_[kPageChairman] && event->type() == QEvent::MouseButtonRelease)
    ChairmanMouseUp(static_cast<QMouseEvent*>(event)->position().toPoint());
  if (event->type() == QEvent::KeyPress) {
    const QString typed = static_cast<QKeyEvent*>(event)->text();
    const bool strict = watched == edits_[1] || watched == edits_[4];
    const bool loose = watched == edits_[0] || watched == edits_[3];
    if ((strict || loose) && typed.size() == 1 && typed[0].isPrint()) {
      const int rating = Rate(typed, AccountTextKind::kCharacter);
      if (rating == kRateRefused || (strict && rating == kRateCyrillic)) return true;
    }
  }
  return QDialog::eventFilter(watched, event);
}

void AccountWindow::FieldEdited(int number, const QString& text) {
  if (filling_) return;
  MemberAccount& user = Session().current_user;
  switch (number) {
    case 1:
      user.nick = text.toStdString();
      break;
    case 2:
      user.password = text.toStdString();
      user.scrambled_password = ScramblePassword(user.password);
      break;
    case 4:
      user.city = text.toStdString();
      break;
    default:
      user.email = text.toStdString();
      break;
  }
  // The lamps are part of the page picture.
  QImage& page = page_images_[kPageAccount]->Image();
  QPainter painter(&page);
  DrawFieldLamps(painter);
  painter.end();
  page_images_[kPageAccount]->update();
  if ((number == 1 || number == 2) && !mouse_not_yet_moved_ && !Locked())
    Button(3).setEnabled(true);
  UpdateEnabled();
}

void AccountWindow::CountryChosen() {
  if (filling_) return;
  MemberAccount& user = Session().current_user;
  user.country_code = countries_->CodeText();
  Edit(3).setText(Q(countries_->ServerName()));
  user.country_name = Edit(3).text().toStdString();
}

void AccountWindow::SexChosen(int position) {
  if (!filling_) Session().current_user.sex = position == 0 ? 'M' : 'W';
}

void AccountWindow::RatedSwitchToggled(bool ticked) {
  ClubSession& session = Session();
  if (ticked && session.account_state == AccountState::kLoggedIn)
    session.account_state = AccountState::kRated;
  if (!ticked && session.account_state == AccountState::kRated)
    session.account_state = AccountState::kLoggedIn;
  DrawIcon();
  StartStar();
}

void AccountWindow::Button1Click() {
  ClubSession& session = Session();
  MemberAccount& user = session.current_user;
  user.registered_on = QDate::currentDate().toString(QStringLiteral("dd.MM.yyyy")).toStdString();
  user.reserved_r01 = user.reserved_r02 = user.reserved_r03 = "xxx";
  user.kezs_balance = user.reserved_r05 = user.reserved_r06 = 0;
  const int result = parts_.club.CreateAccount(user);
  const MsgId message = result == 0   ? MsgId::MsgAccountCreated
                        : result == 1 ? MsgId::MsgNickTaken
                                      : MsgId::MsgAccountNotCreated;
  parts_.show_notice({parts_.language.Text(message), "", ""});
  if (result == 0) {
    session.account_state = AccountState::kLoggedIn;
    members_ = parts_.club.CountClubMembers();
    const std::string password = user.password;
    const LoginReply login = parts_.club.LoginAccount(user.nick, password);
    if (login.ok) {
      session.current_user = login.user;
      session.current_user.password = password;
      session.current_user.scrambled_password = ScramblePassword(password);
    }
    const GameRecordReply record =
        parts_.club.ReadGameRecordFull(session.current_user.nick, session.current_user.password);
    record_read_ = record.ok;
    if (record.ok) {
      session.current_game = record.record;
      if (const auto place = parts_.club.ReadRatingPlace(session.current_game.rating))
        session.current_game.rating_place = *place;
    }
    player_photo_loaded_ = false;
    session.current_user.personal_info = parts_.club.ReadPersonalInfo(session.current_user.nick);
    // A new member may save the file at once.
    Button(3).setEnabled(!session.user_file_saved && !Locked());
  } else {
    session.account_state = AccountState::kNobody;
    user.registered_on = kNoDate;
  }
  DrawIcon();
  DrawPage(kPageAccount);
}

void AccountWindow::Button2Click() {
  ClubSession& session = Session();
  if (session.account_state == AccountState::kNobody) {
    const LoginReply login =
        parts_.club.LoginAccount(session.current_user.nick, session.current_user.password);
    if (!login.ok) {
      parts_.show_notice({parts_.language.Text(MsgId::MsgLoginFailed), "", ""});
      record_read_ = false;
      members_.reset();
      return;
    }
    session.account_state = AccountState::kLoggedIn;
    const std::string password = session.current_user.password;
    session.current_user = login.user;
    session.current_user.password = password;
    session.current_user.scrambled_password = ScramblePassword(password);
    Button(3).setEnabled(!session.user_file_saved && !Locked());
    DrawIcon();
    ReadOwnRecord();
    members_ = parts_.club.CountClubMembers();
    player_photo_loaded_ = parts_.club.LoadPhoto(session, session.current_user.nick, 1);
    session.current_user.personal_info = parts_.club.ReadPersonalInfo(session.current_user.nick);
    ReadChairman();
  } else {
    session.account_state = AccountState::kNobody;
    player_photo_loaded_ = false;
    session.current_user.kezs_balance = session.current_user.reserved_r05 =
        session.current_user.reserved_r06 = 0;
    DrawIcon();
  }
  DrawPage(kPageAccount);
}

void AccountWindow::Button3Click() {
  ClubSession& session = Session();
  if (WriteUserFile(parts_.user_file, session.current_user.nick,
                    session.current_user.scrambled_password)) {
    session.user_file_saved = true;
    Button(3).setEnabled(false);
  }
  Button(4).setEnabled(session.user_file_saved);
}

void AccountWindow::Button4Click() {
  ClubSession& session = Session();
  if (DeleteUserFile(parts_.user_file)) session.user_file_saved = false;
  if (!session.user_file_saved) {
    Button(3).setEnabled(true);
    Button(4).setEnabled(false);
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
  const bool shown = session.account_state != AccountState::kNobody &&
                     !session.current_user.nick.empty() && record_read_;
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
    else if (!record_read_)
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
  for (int r = 1; r <= 10; ++r) {
    const int top = 65 + 30 * r;
    if (!top_ten_.ok) {
      DrawShadowText(painter, kNoConnect, 50, 250, top, kClubRed, 'c');
      continue;
    }
    const RatedPlayer& entry = top_ten_.list[static_cast<std::size_t>(r - 1)];
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
  button_ava1_->setEnabled(member);
  QPainter painter(&page);
  PageGradient(painter, page);
  painter.drawImage(30, 50,
                    PhotoOrPlaceholder(session.photo_slots[0], player_photo_loaded_,
                                       session.current_user.sex, parts_.pictures));
  painter.drawImage(10, 30, parts_.pictures.LoadPngResource("GAcFrame"));
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
  const RatedPlayer& chairman = top_ten_.list[0];
  QPainter painter(&page);
  PageGradient(painter, page);
  painter.setFont(Comic(24));
  DrawShadowText(painter, Text(MsgId::MsgChairmanOfClub) + " \"" + Text(MsgId::MsgTitle) + "\"", 0,
                 700, 10, kClubYellow, 'c');
  painter.drawImage(30, 60,
                    PhotoOrPlaceholder(session.photo_slots[1], chairman_photo_loaded_, chairman.sex,
                                       parts_.pictures));
  painter.drawImage(10, 40, parts_.pictures.LoadPngResource("GAcFrame"));
  painter.setFont(Comic(22));
  DrawShadowText(painter, Q(chairman_info_.first_name), 10, 250, 331, kClubRed, 'c');
  DrawShadowText(painter, Q(chairman_info_.last_name), 10, 250, 351, kClubRed, 'c');
  DrawShadowText(painter, Q(chairman.nick), 10, 250, 371, kClubRed, 'c');
  DrawShadowText(painter, Q(chairman.city), 10, 250, 391, kClubRed, 'c');
  for (int i = 1; i <= 12; ++i) {
    Band(painter, 260, 31 * i + 9, 700, 31 * i + 39,
         i % 2 == 1 ? kAccountLightYellow : kAccountPink);
    painter.drawImage(265, 31 * i + 11,
                      RowIcon(kInfoIcons[static_cast<std::size_t>(i + 1)], parts_.pictures));
    DrawShadowText(painter, Q(InfoRow(chairman_info_, i + 1)), 300, 300, 31 * i + 13, kClubRed,
                   'l');
  }
}

void AccountWindow::ButtonRef2Click() {
  if (Session().account_state != AccountState::kNobody) ReadOwnRecord();
  DrawPage(kPageResults);
}

void AccountWindow::ButtonRef3Click() {
  top_ten_ = parts_.club.ReadRatedTopTen();
  DrawPage(kPageTopTen);
}

void AccountWindow::ButtonAva1Click() {
  {
    PersonalInfoWindow info(parts_, player_photo_loaded_, this);
    info.Execute();
    player_photo_loaded_ = info.PhotoLoaded();
  }
  ReadChairman();
  DrawPage(kPageAboutMe);
}

void AccountWindow::ChairmanMouseMove(QPoint point) {
  const bool over = point.x() >= 260 && point.x() <= 700 && point.y() >= 40 && point.y() <= 412;
  page_images_[kPageChairman]->setCursor(over ? Qt::PointingHandCursor : Qt::ArrowCursor);
}

void AccountWindow::ChairmanMouseUp(QPoint point) {
  if (point.x() < 260 || point.x() > 700) return;
  for (int i = 1; i <= 12; ++i) {
    if (!(point.y() > 31 * i + 9 && point.y() < 31 * i + 40)) continue;
    const int row = i + 1;  // About is row 2 of the fourteen
    const std::string& text = InfoRow(chairman_info_, row);
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
