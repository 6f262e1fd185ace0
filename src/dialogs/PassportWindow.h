// The passport window: the player's tournament and chat identity (nick, city,
// continent and country, sex), edited in place with a lamp per name. Every
// change acts on the passport at once, the names only while both are
// acceptable; the window refuses to close while they are not. Created for
// each opening.
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>

#include "dialogs/ClubWindowShared.h"
#include "dialogs/CountryLists.h"
#include "storage/SettingsFile.h"
#include "ui/ImageControl.h"
#include "ui/Pictures.h"
#include "ui/SkinnedButton.h"

namespace braxo {

class PassportWindow : public QDialog {
  Q_OBJECT

 public:
  // `passport` is changed in place and must outlive the window.
  PassportWindow(TournamentPassport& passport, int language, PictureStore& pictures,
                 QWidget* parent);

  int Execute();
  // Valid while both names are rated at least 2.
  bool Valid() const { return valid_; }

  QLineEdit& NickField() { return *nick_field_; }
  QLineEdit& CityField() { return *city_field_; }
  ImageControl& NickLamp() { return *nick_lamp_; }
  ImageControl& CityLamp() { return *city_lamp_; }
  QComboBox& ContinentBox() { return countries_->ContinentBox(); }
  QComboBox& CountryBox() { return countries_->CountryBox(); }
  QComboBox& SexBox() { return *sex_box_; }
  SkinnedButton& OkButton() { return *ok_button_; }
  // The picture each lamp shows.
  QString NickLampPicture() const { return nick_lamp_picture_; }
  QString CityLampPicture() const { return city_lamp_picture_; }

 public slots:
  void done(int result) override;

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void NamesChanged();
  void DrawLamp(ImageControl& lamp, QString& shown, int rating);

  TournamentPassport& passport_;
  int language_;
  PictureStore& pictures_;
  ImageControl* title_box_;
  ImageControl* icon_box_;
  ImageControl* nick_lamp_;
  ImageControl* city_lamp_;
  QLineEdit* nick_field_;
  QLineEdit* city_field_;
  QComboBox* sex_box_;
  CountryLists* countries_;
  SkinnedButton* ok_button_;
  QString nick_lamp_picture_;
  QString city_lamp_picture_;
  bool valid_ = false;
};

}  // namespace braxo
