// The club account window: creating an account, logging in and out, keeping
// or removing the local user file, the rated-game switch (before a new game
// only), and four pages of the club's data: the player's results, the ten
// best-rated players, the player's personal information and the chairman
// (the best-rated player). Created and destroyed each time it is opened. It
// shows at once what the last account window showed and reads the club's data
// again in the background, filling the pages as the replies arrive; what has
// not come yet is drawn as loading. Everything the window asks of the club
// goes through AccountWorkflow; the window draws what comes back.
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
#include "club/AccountWorkflow.h"
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
  // The club session and the member's account operations on it.
  AccountWorkflow& account;
  PictureStore& pictures;
  NoticeShower show_notice;
  UrlOpener open_url = OpenWithDesktop;
  PhotoChooser choose_photo = ChoosePhotoWithDialog;
};

class AccountWindow : public QDialog {
  Q_OBJECT
  Q_DISABLE_COPY_MOVE(AccountWindow)

 public:
  // Starts reading the club's data (AccountWorkflow::ReadPagesInBackground);
  // the reads are tied to the window, so closing it cancels them. While
  // `game_in_progress` (or a rated game is open) the window only shows the
  // club's data.
  AccountWindow(ClubWindowParts parts, AccountWindowPurpose purpose, bool game_in_progress,
                QWidget* parent);
  ~AccountWindow() override;

  // Shows the window modally; returns the account state it left (the
  // session's).
  AccountState Execute();

  QTabWidget& PageTabs() { return *page_tabs_; }
  ImageControl& PageImage(int page) { return *page_images_[static_cast<std::size_t>(page)]; }
  // The account icon with the lamp of the account state.
  ImageControl& AccountIcon() { return *account_icon_; }
  QLineEdit& NickField() { return *nick_field_; }
  QLineEdit& PasswordField() { return *password_field_; }
  // The club's name of the chosen country; never edited by the player.
  QLineEdit& CountryNameField() { return *country_name_field_; }
  QLineEdit& CityField() { return *city_field_; }
  QLineEdit& EmailField() { return *email_field_; }
  // The registration date; never edited by the player.
  QLineEdit& RegistrationField() { return *registration_field_; }
  QCheckBox& HidePasswordSwitch() { return *hide_password_switch_; }
  // Whether the next game counts for the rating (before a new game only).
  QCheckBox& RatedGameSwitch() { return *rated_game_switch_; }
  CountryLists& Countries() { return *countries_; }
  QComboBox& SexBox() { return *sex_box_; }
  SkinnedButton& CreateAccountButton() { return *create_account_button_; }
  // "Log in" while nobody is logged in, "Sign out" while a member is.
  SkinnedButton& LoginOrSignOutButton() { return *login_or_sign_out_button_; }
  SkinnedButton& SaveUserFileButton() { return *save_user_file_button_; }
  SkinnedButton& DeleteUserFileButton() { return *delete_user_file_button_; }
  SkinnedButton& RefreshResultsButton() { return *refresh_results_button_; }
  SkinnedButton& RefreshTopTenButton() { return *refresh_top_ten_button_; }
  // Opens the personal information window.
  SkinnedButton& EditPersonalInfoButton() { return *edit_personal_info_button_; }
  SkinnedButton& OkButton() { return *ok_button_; }
  QLabel& Star() { return *star_; }
  // The GIF the star plays ("StarR0", "StarY0", "StarG0").
  const QString& StarName() const { return star_name_; }
  // What the pages show of the club.
  const AccountPages& ClubData() const { return club_data_; }
  // A read of the club's data is out: the pages, the own record or the top
  // ten. Meanwhile the buttons that would read or write the club again wait.
  bool ReadingClub() const { return reading_pages_ || reading_own_record_ || reading_top_ten_; }

  // Redraws a page's picture (the account page with its lamps and controls).
  void DrawPage(int page);

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // The four boxes the player types into.
  enum class TypedField { kNick, kPassword, kCity, kEmail };

  ClubSession& Session() { return parts_.account.Session(); }
  QString Text(MsgId id) const;
  bool Locked() const;

  void PrepareShowing();
  void DrawIcon();
  void DrawCaption();
  void StartStar();

  void StartReadingPages();
  // Draws the shown page again with what has arrived, leaving the account
  // page's boxes as the player left them.
  void RedrawClubData();
  void DrawAccountPage(QImage& page);
  void DrawAccountPicture(QImage& page);
  void DrawResultsPage(QImage& page);
  void DrawTopTenPage(QImage& page);
  void DrawAboutPage(QImage& page);
  void DrawChairmanPage(QImage& page);
  void DrawPlatformPictures(QPainter& painter);
  void DrawFieldLamps(QPainter& painter);

  void RefreshControls();
  AccountFieldRatings RateFields() const;
  void UpdateEnabled();
  void FieldEdited(TypedField field, const QString& text);
  void CountryChosen();
  void SexChosen(int position);
  void RatedSwitchToggled(bool ticked);

  void CreateAccountClicked();
  void LoginOrSignOutClicked();
  void SaveUserFileClicked();
  void DeleteUserFileClicked();
  void RefreshResultsClicked();
  void RefreshTopTenClicked();
  void EditPersonalInfoClicked();
  void PointerOverChairmanPage(QPoint point);
  void ChairmanPageClicked(QPoint point);

  ClubWindowParts parts_;
  AccountWindowPurpose purpose_;
  bool game_in_progress_;
  AccountPages club_data_;
  // The owner of the window's club reads: destroyed first, it cancels them.
  std::unique_ptr<QObject> club_reads_;
  bool reading_pages_ = false;
  bool reading_own_record_ = false;
  bool reading_top_ten_ = false;
  bool mouse_not_yet_moved_ = true;
  bool filling_ = false;

  ImageControl* account_icon_;
  ImageControl* caption_box_;
  QTabWidget* page_tabs_;
  std::array<ImageControl*, 5> page_images_{};
  QLineEdit* nick_field_;
  QLineEdit* password_field_;
  QLineEdit* country_name_field_;
  QLineEdit* city_field_;
  QLineEdit* email_field_;
  QLineEdit* registration_field_;
  QCheckBox* hide_password_switch_;
  QCheckBox* rated_game_switch_;
  CountryLists* countries_;
  QComboBox* sex_box_;
  SkinnedButton* create_account_button_;
  SkinnedButton* login_or_sign_out_button_;
  SkinnedButton* save_user_file_button_;
  SkinnedButton* delete_user_file_button_;
  SkinnedButton* refresh_results_button_;
  SkinnedButton* refresh_top_ten_button_;
  SkinnedButton* edit_personal_info_button_;
  SkinnedButton* ok_button_;
  QLabel* star_;
  std::unique_ptr<QMovie> star_movie_;
  std::unique_ptr<QBuffer> star_buffer_;
  QByteArray star_bytes_;
  QString star_name_;
  int star_ratio_ = 1;  // of the star's frames
};

}  // namespace braxo
