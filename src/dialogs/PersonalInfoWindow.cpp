#include "dialogs/PersonalInfoWindow.h"

#include <QPainter>

#include "club/PhotoUpload.h"
#include "dialogs/ClubWindowShared.h"
#include "dialogs/ClubWindowStyle.h"
#include "dialogs/DialogFrame.h"
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
    SayLengthLimit(*edit, parts_.language.Index());
    edit->setFont(edit_font);
    connect(edit, &QLineEdit::textEdited, this, [this] { update_info_button_->setEnabled(true); });
    info_fields_[static_cast<std::size_t>(row)] = edit;
  }
  photo_box_ = new ImageControl(this);
  photo_box_->Place(500, 5, 240, 290);
  photo_box_->setCursor(Qt::PointingHandCursor);
  connect(photo_box_, &ImageControl::Clicked, this, &PersonalInfoWindow::ChoosePhoto);

  visibility_note_ = new QLabel(this);
  visibility_note_->setGeometry(5, 255, 485, 40);
  visibility_note_->setAlignment(Qt::AlignCenter);
  visibility_note_->setWordWrap(true);
  visibility_note_->setTextFormat(Qt::PlainText);
  QFont note_font = CellHeightFont(ComicFamily(), 13, true);
  note_font.setItalic(true);
  visibility_note_->setFont(note_font);

  update_info_button_ = new SkinnedButton(parts_.pictures, this);
  update_info_button_->setGeometry(5, 305, 735, 45);
  upload_photo_button_ = new SkinnedButton(parts_.pictures, this);
  upload_photo_button_->setGeometry(5, 350, 735, 45);
  close_button_ = new SkinnedButton(parts_.pictures, this);
  close_button_->setGeometry(5, 395, 735, 45);
  for (SkinnedButton* button : {update_info_button_, upload_photo_button_, close_button_})
    StyleAccountButton(*button, 16, /*gray_disabled=*/true);
  close_button_->setText(Q(parts_.language.Text(MsgId::MsgClose)));
  connect(update_info_button_, &QPushButton::clicked, this, &PersonalInfoWindow::UpdateInfo);
  connect(upload_photo_button_, &QPushButton::clicked, this,
          &PersonalInfoWindow::UploadChosenPhoto);
  connect(close_button_, &QPushButton::clicked, this, &QDialog::reject);
  club_requests_ = std::make_unique<QObject>();
  FillFromSession();
}

// The requests go first, so that no outcome reaches a window half destroyed.
PersonalInfoWindow::~PersonalInfoWindow() { club_requests_.reset(); }

void PersonalInfoWindow::Execute() { exec(); }

void PersonalInfoWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOnParent(*this);
}

void PersonalInfoWindow::FillFromSession() {
  const InterfaceLanguage& language = parts_.language;
  setWindowTitle(Q(language.Text(MsgId::MsgMyAccount)));
  visibility_note_->setText(Q(language.Text(MsgId::MsgInfoVisible)));
  update_info_button_->setText(Q(language.Text(MsgId::MsgUpdateInfo)));
  upload_photo_button_->setText(Q(language.Text(MsgId::MsgRefreshPhoto)));
  const PersonalInfo& info = parts_.account.Session().current_user.personal_info;
  const QColor face = palette().color(QPalette::Button);
  for (int row = 0; row < kInfoRowCount; ++row) {
    const RowLayout& layout = kInfoRows[static_cast<std::size_t>(row)];
    QImage& icon = icons_[static_cast<std::size_t>(row)]->Image();
    icon.fill(face);
    QPainter painter(&icon);
    painter.drawImage(0, 0, parts_.pictures.PictureFor(painter, layout.icon));
    painter.end();
    QLineEdit& edit = InfoField(row);
    edit.setToolTip(Q(language.Text(layout.hint)));
    edit.setText(Q(InfoRow(info, row)));
  }
  DrawSlotPhoto();
  update_info_button_->setEnabled(false);
  upload_photo_button_->setEnabled(false);
}

void PersonalInfoWindow::DrawPhotoBox(const QImage& photo) {
  QImage& box = photo_box_->Image();
  box.fill(palette().color(QPalette::Window));
  QPainter painter(&box);
  painter.drawImage(20, 20, photo);
  painter.drawImage(0, 0, parts_.pictures.PictureFor(painter, "GAcFrame"));
  painter.end();
  photo_box_->update();
}

void PersonalInfoWindow::DrawSlotPhoto() {
  const ClubSession& session = parts_.account.Session();
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

void PersonalInfoWindow::ShowWaiting() {
  if (saving_ || uploading_)
    setCursor(Qt::BusyCursor);
  else
    unsetCursor();
}

void PersonalInfoWindow::UpdateInfo() {
  if (saving_) return;
  PersonalInfo typed;
  for (int row = 0; row < kInfoRowCount; ++row)
    InfoRow(typed, row) = InfoField(row).text().toStdString();
  saving_ = true;
  update_info_button_->setEnabled(false);
  for (QLineEdit* field : info_fields_) field->setReadOnly(true);
  ShowWaiting();
  parts_.account.SavePersonalInfoInBackground(
      club_requests_.get(), typed,
      [this](const std::optional<PersonalInfo>& kept) { InfoSaved(kept); });
}

void PersonalInfoWindow::InfoSaved(const std::optional<PersonalInfo>& kept) {
  saving_ = false;
  for (QLineEdit* field : info_fields_) field->setReadOnly(false);
  ShowWaiting();
  if (!kept) {
    update_info_button_->setEnabled(true);
    return;
  }
  for (int row = 0; row < kInfoRowCount; ++row) InfoField(row).setText(Q(InfoRow(*kept, row)));
}

void PersonalInfoWindow::ChoosePhoto() {
  if (uploading_) return;
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
  upload_photo_button_->setEnabled(true);
}

void PersonalInfoWindow::UploadChosenPhoto() {
  if (uploading_) return;
  std::string bytes;
  if (chosen_file_.empty() || ReadPhotoFile(chosen_file_, bytes) != PhotoCheck::kOk) {
    parts_.show_notice({parts_.language.Text(MsgId::MsgPhotoUploadFailed), "", ""});
    return;
  }
  uploading_ = true;
  upload_photo_button_->setEnabled(false);
  ShowWaiting();
  parts_.account.UploadPhotoInBackground(
      club_requests_.get(), bytes,
      [this, bytes](bool sent) mutable { PhotoSent(std::move(bytes), sent); });
}

void PersonalInfoWindow::PhotoSent(std::string bytes, bool sent) {
  uploading_ = false;
  ShowWaiting();
  if (!sent) {
    upload_photo_button_->setEnabled(true);
    parts_.show_notice({parts_.language.Text(MsgId::MsgPhotoUploadFailed), "", ""});
    return;
  }
  // The club stores an upload after the transfer ends, so reading it back at
  // once may still give the old photo or none: the window shows the picture
  // it sent, which is what the club keeps.
  parts_.account.Session().photo_slots[0] = std::move(bytes);
  photo_loaded_ = true;
  DrawSlotPhoto();
  parts_.show_notice({parts_.language.Text(MsgId::MsgPhotoUploaded), "", ""});
}

}  // namespace braxo
