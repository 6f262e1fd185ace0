// The club account window: creating an account, logging in and out, keeping
// or removing the local user file, the rated-game switch (before a new game
// only), and four pages of the club's data: the player's results, the ten
// best-rated players, the player's personal information and the chairman
// (the best-rated player). Created and destroyed each time it is opened; the
// club's data is read when it is created.
#pragma once

#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMovie>
#include <QTabWidget>
#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "club/AccountRules.h"
#include "club/AccountService.h"
#include "club/ClubAccess.h"
#include "club/ConfigPage.h"
#include "dialogs/CountryLists.h"
#include "dialogs/NoticeWindow.h"
#include "game/InterfaceLanguage.h"
#include "game/Ports.h"
#include "ui/ImageControl.h"
#include "ui/Pictures.h"
#include "ui/SkinnedButton.h"

class QBuffer;

namespace braxo {

inline constexpr int kAccountWidth = 730;
inline constexpr int kAccountHeight = 610;
inline constexpr int kAccountPageWidth = 702;
inline constexpr int kAccountPageHeight = 452;

enum AccountPage { kPageAccount = 0, kPageResults, kPageTopTen, kPageAboutMe, kPageChairman };

using NoticeShower = std::function<void(const Notice&)>;
// Asks the player for a picture file; an empty text when cancelled.
using PhotoChooser = std::function<QString(QWidget* parent)>;
QString ChoosePhotoWithDialog(QWidget* parent);

// What the club windows work with; everything must outlive the windows.
struct ClubWindowParts {
  const InterfaceLanguage& language;
  ClubSession& session;
  ClubAccess& club;
  const ClubServiceState& services;  // the photo upload address
  std::string user_file;             // where "KezUser.kez" is kept
  PictureStore& pictures;
  NoticeShower show_notice;
  UrlOpener open_url = OpenWithDesktop;
  PhotoChooser choose_photo = ChoosePhotoWithDialog;
};

class AccountWindow : public QDialog {
  Q_OBJECT

 public:
  // Reads the club's data (the rated top ten, the player's record and place,
  // the members count, the player's photo and information, the chairman's
  // information and photo) before the window is shown. While
  // `game_in_progress` (or a rated game is open) the window only shows the
  // club's data.
  AccountWindow(ClubWindowParts parts, AccountWindowPurpose purpose, bool game_in_progress,
                QWidget* parent);
  ~AccountWindow() override;

  // Shows the window modally; returns the account state it left (the
  // session's).
  AccountState Execute();

  QTabWidget& PageControl1() { return *page_control_; }
  ImageControl& PageImage(int page) { return *page_images_[static_cast<std::size_t>(page)]; }
  ImageControl& ImageIco() { return *image_ico_; }
  QLineEdit& Edit(int number) { return *edits_[static_cast<std::size_t>(number - 1)]; }
  QCheckBox& CheckBox1() { return *check_box1_; }
  QCheckBox& CheckBox2() { return *check_box2_; }
  CountryLists& Countries() { return *countries_; }
  QComboBox& ComboBox3() { return *combo_box3_; }
  SkinnedButton& Button(int number) { return *buttons_[static_cast<std::size_t>(number - 1)]; }
  SkinnedButton& ButtonRef2() { return *button_ref2_; }
  SkinnedButton& ButtonRef3() { return *button_ref3_; }
  SkinnedButton& ButtonAva1() { return *button_ava1_; }
  SkinnedButton& ButtonOk() { return *button_ok_; }
  QLabel& Star() { return *star_; }
  // The GIF the star plays ("StarR0", "StarY0", "StarG0").
  const QString& StarName() const { return star_name_; }
  const RatedTopTenReply& TopTen() const { return top_ten_; }
  const PersonalInfo& ChairmanInfo() const { return chairman_info_; }
  bool RecordRead() const { return record_read_; }
  std::optional<int> MembersCount() const { return members_; }

  // Redraws a page's picture (the account page with its lamps and controls).
  void DrawPage(int page);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  ClubSession& Session() { return parts_.session; }
  QString Text(MsgId id) const;
  bool Locked() const;

  void ReadClubData();
  void ReadChairman();
  void ReadOwnRecord();
  void FormShow();
  void DrawIcon();
  void DrawCaption();
  void StartStar();

  void DrawAccountPage(QImage& page);
  void DrawResultsPage(QImage& page);
  void DrawTopTenPage(QImage& page);
  void DrawAboutPage(QImage& page);
  void DrawChairmanPage(QImage& page);
  void DrawPlatformPictures(QPainter& painter);
  void DrawFieldLamps(QPainter& painter);

  void RefreshControls();
  AccountFieldRatings RateFields() const;
  void UpdateEnabled();
  void FieldEdited(int number, const QString& text);
  void CountryChosen();
  void SexChosen(int position);
  void RatedSwitchToggled(bool ticked);

  void Button1Click();  // create an account
  void Button2Click();  // log in or sign out
  void Button3Click();  // save the user file
  void Button4Click();  // delete the user file
  void ButtonRef2Click();
  void ButtonRef3Click();
  void ButtonAva1Click();
  void ChairmanMouseMove(QPoint point);
  void ChairmanMouseUp(QPoint point);

  ClubWindowParts parts_;
  AccountWindowPurpose purpose_;
  bool game_in_progress_;
  RatedTopTenReply top_ten_;
  PersonalInfo chairman_info_;
  bool record_read_ = false;
  std::optional<int> members_;
  bool player_photo_loaded_ = false;
  bool chairman_photo_loaded_ = false;
  bool mouse_not_yet_moved_ = true;
  bool filling_ = false;

  ImageControl* image_ico_;
  ImageControl* image_cap_;
  QTabWidget* page_control_;
  std::array<ImageControl*, 5> page_images_{};
  std::array<QLineEdit*, 6> edits_{};
  QCheckBox* check_box1_;
  QCheckBox* check_box2_;
  CountryLists* countries_;
  QComboBox* combo_box3_;
  std::array<SkinnedButton*, 4> buttons_{};
  SkinnedButton* button_ref2_;
  SkinnedButton* button_ref3_;
  SkinnedButton* button_ava1_;
  SkinnedButton* button_ok_;
  QLabel* star_;
  std::unique_ptr<QMovie> star_movie_;
  std::unique_ptr<QBuffer> star_buffer_;
  QByteArray star_bytes_;
  QString star_name_;
};

}  // namespace braxo
