#include "dialogs/PersonalInfoWindow.h"

#include <QApplication>
#include <QPainter>

#include "club/PhotoUpload.h"
#include "dialogs/ClubWindowStyle.h"
#include "dialogs/DialogFrame.h"
#include "storage/TextFile.h"
#include "ui/Drawing.h"

namespace braxo {
namespace {

struct RowLayout {
  const char* icon;
  int left, top, max_length;
  MsgId hint;
};

// The rows in the window's order, which is InfoRow's order.
constexpr std::array<RowLayout, kInfoRowCount> kInfoRows = {{
    {"GAcName1", 5, 5, 20, MsgId::MsgYourName},
    {"GAcName2", 5, 40, 20, MsgId::MsgYourLastName},
    {"GAcAbout", 5, 75, 50, MsgId::MsgBriefInfo},
    {"GAcTelephone", 5, 110, 20, MsgId::MsgYourPhone},
    {"GAcEMail", 5, 145, 50, MsgId::MsgYourEmail},
    {"GAcWebSite", 5, 180, 50, MsgId::MsgYourWebSite},
    {"GAcSkype", 5, 215, 50, MsgId::MsgYourSkype},
    {"GAcOK", 255, 5, 50, MsgId::MsgYourOK},
    {"GAcVK", 255, 40, 50, MsgId::MsgYourVK},
    {"GAcTelegram", 255, 75, 50, MsgId::MsgYourTelegram},
    {"GAcFaceBook", 255, 110, 60, MsgId::MsgYourFacebook},
    {"GAcTwitter", 255, 145, 50, MsgId::MsgYourTwitter},
    {"GAcInstagramm", 255, 180, 50, MsgId::MsgYourInstagram},
    {"GAcYouTube", 255, 215, 50, MsgId::MsgYourYouTube},
}};

QString Q(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

PersonalInfoWindow::PersonalInfoWindow(const ClubWindowParts& parts, bool photo_loaded,
                                       QWidget* parent)
    : QDialog(parent), parts_(parts), photo_loaded_(photo_loaded) {
  SetFixedDialogFrame(*this, kInfoWindowWidth, kInfoWindowHeight);
  QFont edit_font = CellHeightFont(ComicFamily(), 16, true);
  edit_font.setItalic(true);
  for (int row = 0; row < kInfoRowCount; ++row) {
    const RowLayout& layout = kInfoRows[static_cast<std::size_t>(row)];
    auto* icon = new ImageControl(this);
    icon->Place(layout.left, layout.top, 32, 32);
    icons_[static_cast<std::size_t>(row)] = icon;
    auto* edit = new QLineEdit(this);
    edit->setGeometry(layout.left + 35, layout.top, 200, 31);
    edit->setMaxLength(layout.max_length);
    edit->setFont(edit_font);
    connect(edit, &QLineEdit::textEdited, this, [this] { button_ok_i_->setEnabled(true); });
    edits_[static_cast<std::size_t>(row)] = edit;
  }
  image1_ = new ImageControl(this);
  image1_->Place(500, 5, 240, 290);
  image1_->setCursor(Qt::PointingHandCursor);
  connect(image1_, &ImageControl::Clicked, this, &PersonalInfoWindow::ChoosePhoto);

  label1_ = new QLabel(this);
  label1_->setGeometry(5, 255, 485, 40);
  label1_->setAlignment(Qt::AlignCenter);
  label1_->setWordWrap(true);
  label1_->setTextFormat(Qt::PlainText);
  QFont label_font = CellHeightFont(ComicFamily(), 13, true);
  label_font.setItalic(true);
  label1_->setFont(label_font);

  button_ok_i_ = new SkinnedButton(parts_.pictures, this);
  button_ok_i_->setGeometry(5, 305, 735, 45);
  button_ok_f_ = new SkinnedButton(parts_.pictures, this);
  button_ok_f_->setGeometry(5, 350, 735, 45);
  button_cancel_ = new SkinnedButton(parts_.pictures, this);
  button_cancel_->setGeometry(5, 395, 735, 45);
  for (SkinnedButton* button : {button_ok_i_, button_ok_f_, button_cancel_})
    StyleAccountButton(*button, 16, /*gray_disabled=*/true);
  // The close button's caption is the same in every language.
  button_cancel_->setText(QString::fromUtf8("\u0417\u0430\u043a\u0440\u044b\u0442\u044c"));
  connect(button_ok_i_, &QPushButton::clicked, this, &PersonalInfoWindow::UpdateInfo);
  connect(button_ok_f_, &QPushButton::clicked, this, &PersonalInfoWindow::UploadChosenPhoto);
  connect(button_cancel_, &QPushButton::clicked, this, &QDialog::reject);
  FirstPaint();
}

void PersonalInfoWindow::Execute() { exec(); }

void PersonalInfoWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOnParent(*this);
}

void PersonalInfoWindow::FirstPaint() {
  if (first_paint_done_) return;
  first_paint_done_ = true;
  const InterfaceLanguage& language = parts_.language;
  setWindowTitle(Q(language.Text(MsgId::MsgMyAccount)));
  label1_->setText(Q(language.Text(MsgId::MsgInfoVisible)));
  button_ok_i_->setText(Q(language.Text(MsgId::MsgUpdateInfo)));
  button_ok_f_->setText(Q(language.Text(MsgId::MsgRefreshPhoto)));
  const PersonalInfo& info = parts_.session.current_user.personal_info;
  const QColor face = palette().color(QPalette::Button);
  for (int row = 0; row < kInfoRowCount; ++row) {
    const RowLayout& layout = kInfoRows[static_cast<std::size_t>(row)];
    QImage& icon = icons_[static_cast<std::size_t>(row)]->Image();
    icon.fill(face);
    QPainter painter(&icon);
    painter.drawImage(0, 0, parts_.pictures.LoadPngResource(layout.icon));
    painter.end();
    QLineEdit& edit = Edit(row);
    edit.setToolTip(Q(language.Text(layout.hint)));
    edit.setText(Q(InfoRow(info, row)));
  }
  DrawSlotPhoto();
  button_ok_i_->setEnabled(false);
  button_ok_f_->setEnabled(false);
}

void PersonalInfoWindow::DrawPhotoBox(const QImage& photo) {
  QImage& box = image1_->Image();
  box.fill(palette().color(QPalette::Window));
  QPainter painter(&box);
  painter.drawImage(20, 20, photo);
  painter.drawImage(0, 0, parts_.pictures.LoadPngResource("GAcFrame"));
  painter.end();
  image1_->update();
}

void PersonalInfoWindow::DrawSlotPhoto() {
  const ClubSession& session = parts_.session;
  QImage photo;
  if (photo_loaded_) {
    const std::string& jpeg = session.photo_slots[0];
    photo = QImage::fromData(reinterpret_cast<const uchar*>(jpeg.data()),
                             static_cast<int>(jpeg.size()), "JPG");
  }
  if (photo.isNull())
    photo = parts_.pictures.LoadPngResource(session.current_user.sex == 'M' ? "GAcNoM" : "GAcNoF");
  DrawPhotoBox(photo);
}

void PersonalInfoWindow::UpdateInfo() {
  PersonalInfo info;
  for (int row = 0; row < kInfoRowCount; ++row) {
    // Only what the club's 8-bit code page can hold is kept, as the club
    // stores it.
    InfoRow(info, row) = Cp1251ToUtf8(Utf8ToCp1251(Edit(row).text().toStdString()));
  }
  info = CleanPersonalInfo(std::move(info));
  ClubSession& session = parts_.session;
  if (!parts_.club.SavePersonalInfo(session.current_user.nick, info)) return;
  button_ok_i_->setEnabled(false);
  session.current_user.personal_info = parts_.club.ReadPersonalInfo(session.current_user.nick);
}

void PersonalInfoWindow::ChoosePhoto() {
  const QString file = parts_.choose_photo(this);
  if (file.isEmpty()) return;
  std::string bytes;
  if (ReadPhotoFile(file.toStdString(), bytes) != PhotoCheck::kOk) {
    parts_.show_notice({parts_.language.Text(MsgId::MsgPhotoFormat), "", ""});
    return;
  }
  chosen_file_ = file.toStdString();
  DrawPhotoBox(QImage::fromData(reinterpret_cast<const uchar*>(bytes.data()),
                                static_cast<int>(bytes.size()), "JPG"));
  button_ok_f_->setEnabled(true);
}

void PersonalInfoWindow::UploadChosenPhoto() {
  const auto failed = [this] {
    parts_.show_notice({parts_.language.Text(MsgId::MsgPhotoUploadFailed), "", ""});
  };
  std::string bytes;
  if (chosen_file_.empty() || ReadPhotoFile(chosen_file_, bytes) != PhotoCheck::kOk) {
    failed();
    return;
  }
  ClubSession& session = parts_.session;
  const std::string folder = PhotoFtpFolder(parts_.services);
  if (folder.empty()) {
    failed();
    return;
  }
  // The club's FTP side knows the member by the club's own nick and password.
  QApplication::setOverrideCursor(Qt::WaitCursor);
  const bool sent = UploadPhoto(PhotoUploadAddress(folder, session.current_user.nick),
                                session.current_user.nick, session.current_user.password, bytes);
  QApplication::restoreOverrideCursor();
  if (!sent) {
    failed();
    return;
  }
  if (parts_.club.LoadPhoto(session, session.current_user.nick, 1)) photo_loaded_ = true;
  DrawSlotPhoto();
  button_ok_f_->setEnabled(false);
}

}  // namespace braxo
