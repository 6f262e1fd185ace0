// The passport window: the player's tournament and chat identity (nick, city,
// continent and country, sex), edited in place with a lamp per name. Every
// change acts on the passport at once, the names only while both are
// acceptable; the window refuses to close while they are not. Created for
// each opening. A passport the player has never filled in starts from the
// member logged in, or with the desktop's country (PassportStart).
#pragma once

#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>

#include "dialogs/ClubWindowShared.h"
#include "dialogs/CountryLists.h"
#include "dialogs/PassportStart.h"
#include "storage/SettingsFile.h"
#include "ui/ImageControl.h"
#include "ui/Pictures.h"
#include "ui/SkinnedButton.h"

namespace braxo {

class PassportWindow : public QDialog {
  Q_OBJECT

 public:
  // `passport` is changed in place and must outlive the window; an untouched
  // one is first filled from `start`.
  PassportWindow(TournamentPassport& passport, int language, PictureStore& pictures,
                 QWidget* parent, const PassportStart& start = {});

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
  // The four labels over the boxes: nick, city, sex, country.
  QList<QLabel*> Labels() const { return labels_; }

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
  QList<QLabel*> labels_;
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
