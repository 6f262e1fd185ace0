// The world top ten table window: the ten best entries of the Windows or the
// Android table, the number of games and the player's own best entries, a
// refresh hotspot that may be clicked once per timer period, and the
// passport button. Created for each opening.
#pragma once

#include <QDialog>
#include <QTimer>
#include <optional>
#include <vector>

#include "club/ClubAccess.h"
#include "dialogs/ClubWindowShared.h"
#include "storage/SettingsFile.h"
#include "ui/ImageControl.h"
#include "ui/Pictures.h"
#include "ui/SkinnedButton.h"

namespace braxo {

enum class PlatformChoice { kWindows, kAndroid };

inline constexpr int kTopTenRefreshMilliseconds = 10000;

// The table a platform's entries are kept in.
constexpr int TableIdOf(PlatformChoice platform) {
  return platform == PlatformChoice::kWindows ? kWindowsTableId : kAndroidTableId;
}
// The platform whose (not chosen) icon lies under `point` of the table box,
// if a press there changes the choice.
std::optional<PlatformChoice> PlatformSwitchAt(QPoint point, PlatformChoice chosen);

class TopTenTableWindow : public QDialog {
  Q_OBJECT

 public:
  // `platform` is the run's choice, kept between openings; `passport` is
  // read for the own results. Everything passed in must outlive the window.
  TopTenTableWindow(ClubAccess& club, const TournamentPassport& passport, PlatformChoice& platform,
                    int language, PictureStore& pictures, PassportOpener open_passport,
                    QWidget* parent);

  // Draws the table (three requests) and shows the window modally.
  int Execute();
  // Draws the whole table box again: on opening, after the passport window,
  // on a platform change and on a click of the refresh hotspot.
  void DrawTable();

  ImageControl& Image2() { return *image2_; }
  ImageControl& Image3() { return *image3_; }
  SkinnedButton& Button1() { return *button1_; }
  SkinnedButton& Button2() { return *button2_; }
  QTimer& Timer1() { return timer1_; }
  // What the table box shows, in drawing order.
  const std::vector<DrawnText>& TableTexts() const { return table_texts_; }

  void Timer1Timer();
  void Image3Click();
  void Image2MouseDown(QPoint point);
  void Image2MouseMove(QPoint point);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void Button2Click();

  ClubAccess& club_;
  const TournamentPassport& passport_;
  PlatformChoice& platform_;
  int language_;
  PictureStore& pictures_;
  PassportOpener open_passport_;
  ImageControl* image0_;
  ImageControl* image1_;
  ImageControl* image2_;
  ImageControl* image3_;
  SkinnedButton* button1_;
  SkinnedButton* button2_;
  QTimer timer1_;
  std::vector<DrawnText> table_texts_;
};

}  // namespace braxo
