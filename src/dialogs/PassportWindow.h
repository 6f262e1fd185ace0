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

  QLineEdit& Edit1() { return *edit1_; }  // nick
  QLineEdit& Edit2() { return *edit2_; }  // city
  ImageControl& NickLamp() { return *image3_; }
  ImageControl& CityLamp() { return *image4_; }
  QComboBox& ComboBox1() { return lists_->ContinentBox(); }
  QComboBox& ComboBox2() { return lists_->CountryBox(); }
  QComboBox& ComboBox3() { return *combo3_; }
  SkinnedButton& Button1() { return *button1_; }
  // The picture each lamp shows.
  QString NickLampPicture() const { return nick_lamp_; }
  QString CityLampPicture() const { return city_lamp_; }

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
  ImageControl* image0_;
  ImageControl* image1_;
  ImageControl* image3_;
  ImageControl* image4_;
  QLineEdit* edit1_;
  QLineEdit* edit2_;
  QComboBox* combo3_;
  CountryLists* lists_;
  SkinnedButton* button1_;
  QString nick_lamp_;
  QString city_lamp_;
  bool valid_ = false;
};

}  // namespace braxo
