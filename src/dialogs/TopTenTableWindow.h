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

  ImageControl& TableBox() { return *table_box_; }
  ImageControl& RefreshHotspot() { return *refresh_hotspot_; }
  SkinnedButton& OkButton() { return *ok_button_; }
  SkinnedButton& PassportButton() { return *passport_button_; }
  QTimer& RefreshTimer() { return refresh_timer_; }
  // What the table box shows, in drawing order.
  const std::vector<DrawnText>& TableTexts() const { return table_texts_; }

  // The refresh timer: the hotspot shows again.
  void RefreshPeriodEnded();
  // The table is read again and the hotspot hides until the next period.
  void RefreshHotspotClicked();
  // A press on the icon of the platform not shown switches the table.
  void TablePressed(QPoint point);
  void PointerOverTable(QPoint point);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void showEvent(QShowEvent* event) override;

 private:
  void PassportClicked();

  ClubAccess& club_;
  const TournamentPassport& passport_;
  PlatformChoice& platform_;
  int language_;
  PictureStore& pictures_;
  PassportOpener open_passport_;
  ImageControl* title_box_;
  ImageControl* icon_box_;
  ImageControl* table_box_;
  ImageControl* refresh_hotspot_;
  SkinnedButton* ok_button_;
  SkinnedButton* passport_button_;
  QTimer refresh_timer_;
  std::vector<DrawnText> table_texts_;
};

}  // namespace braxo
