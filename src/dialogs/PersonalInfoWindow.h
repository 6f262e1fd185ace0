// The personal information window: the fourteen texts other members can see
// and the member's photo, which is uploaded to the club's FTP side as the
// member (nick and club password) and then read back from the club. Opened
// from the account window's "About me" page while a member is logged in.
// Neither the save nor the upload holds the window: the save goes out tied to
// the window, the upload runs on a worker thread, and each outcome comes back
// through the event loop to the window, or to nobody once it is closed.
#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <array>
#include <memory>
#include <optional>
#include <string>

#include "dialogs/AccountWindow.h"

namespace braxo {

inline constexpr int kInfoWindowWidth = 745;
inline constexpr int kInfoWindowHeight = 450;

class PersonalInfoWindow : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(PersonalInfoWindow)

 public:
  // `photo_loaded` tells whether the session's slot 1 holds the member's
  // photo as read from the club.
  PersonalInfoWindow(const ClubWindowParts& parts, bool photo_loaded, QWidget* parent);
  ~PersonalInfoWindow() override;

  void Execute();

  // Row 0-13 in the window's order (kPersonalInfoWireOrder: the web site before Skype).
  QLineEdit& InfoField(int row) { return *info_fields_[static_cast<std::size_t>(row)]; }
  // The photo in its frame; a click chooses another.
  ImageControl& PhotoBox() { return *photo_box_; }
  // The note that other members see these texts.
  QLabel& VisibilityNote() { return *visibility_note_; }
  SkinnedButton& UpdateInfoButton() { return *update_info_button_; }
  SkinnedButton& UploadPhotoButton() { return *upload_photo_button_; }
  SkinnedButton& CloseButton() { return *close_button_; }
  // Whether slot 1 holds the member's photo from the club (after an upload:
  // the photo as read back).
  bool PhotoLoaded() const { return photo_loaded_; }

  // A click on the photo box: choose a file and show it when it is a photo.
  // Nothing while an upload runs.
  void ChoosePhoto();
  // "Update info": sends the texts; meanwhile the boxes take no typing and
  // the button no second press. Once the club confirmed them the boxes show
  // the texts as the club keeps them.
  void UpdateInfo();
  // "Refresh photo": sends the chosen photo; meanwhile the button takes no
  // second press.
  void UploadChosenPhoto();
  // The save of the texts is out.
  bool SavingInfo() const { return saving_; }
  // The photo is on its way.
  bool UploadingPhoto() const { return uploading_; }

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void FillFromSession();
  void DrawPhotoBox(const QImage& photo);
  void DrawSlotPhoto();
  void InfoSaved(const std::optional<PersonalInfo>& kept);
  void PhotoSent(std::string bytes, bool sent);
  // The busy pointer while the club is asked something.
  void ShowWaiting();

  ClubWindowParts parts_;
  bool photo_loaded_;
  std::string chosen_file_;
  std::array<QLineEdit*, kInfoRowCount> info_fields_{};
  std::array<ImageControl*, kInfoRowCount> icons_{};
  ImageControl* photo_box_;
  QLabel* visibility_note_;
  SkinnedButton* update_info_button_;
  SkinnedButton* upload_photo_button_;
  SkinnedButton* close_button_;
  // The owner of the window's save and upload: destroyed first, it cancels
  // them.
  std::unique_ptr<QObject> club_requests_;
  bool saving_ = false;
  bool uploading_ = false;
};

}  // namespace braxo
