// The world top ten table window: the ten best entries of the Windows or the
// Android table, the number of games and the player's own best entries, a
// refresh hotspot that may be clicked once per timer period, and the
// passport button. Created for each opening; it never waits for the club:
// it shows what it has (the last table shown, or "Loading…") at once and
// fills in as the replies come.
#pragma once

#include <QDialog>
#include <QTimer>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
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

// One table as the window has it: each part as read, or nothing while it has
// not been read yet.
struct TopTenTableView {
  std::optional<TableReply> top;
  std::optional<std::optional<std::int32_t>> game_count;
  std::optional<TableReply> own;
  // Whom `own` was read for.
  std::string own_nick;
  std::string own_city;
};

// The tables the windows showed last, by table id, kept by whoever opens the
// windows so that the next opening starts from them.
using TopTenTablesShown = std::map<std::int32_t, TopTenTableView>;

class TopTenTableWindow : public QDialog {
  Q_OBJECT

 public:
  // `platform` is the run's choice, kept between openings; `passport` is
  // read for the own results; `shown` (when given) holds the tables the last
  // windows showed: this one starts from them and leaves its own there.
  // Everything passed in must outlive the window.
  TopTenTableWindow(ClubAccess& club, const TournamentPassport& passport, PlatformChoice& platform,
                    int language, PictureStore& pictures, PassportOpener open_passport,
                    QWidget* parent, TopTenTablesShown* shown = nullptr);

  // Draws the table, sends its reads and shows the window modally.
  int Execute();
  // Draws what the window has of the chosen table and reads it again (the
  // table, the game count and the own results, sent together): on opening,
  // after the passport window, on a platform change and on a click of the
  // refresh hotspot. While the same reads are out nothing more is sent;
  // the replies redraw the box as they come.
  void DrawTable();
  // True while any of the table's reads is out.
  bool ReadingClub() const { return reads_out_ > 0; }
  const TopTenTableView& View() const { return view_; }

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
  // Sends the chosen table's reads unless the same ones are out.
  void ReadTable();
  void PartArrived();
  void PaintTable();

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
  // Draws the box once the replies that came together are all in.
  QTimer paint_soon_;
  // The frame and the two platform icons, drawn at the first drawing.
  QImage frame_and_icons_;
  std::vector<DrawnText> table_texts_;
  TopTenTablesShown own_shown_;
  TopTenTablesShown& shown_;
  // The chosen table as far as it has been read, and what its reads were
  // sent for; the reads are tied to `reads_`, so a new round (or the
  // window's end) cancels the old one.
  TopTenTableView view_;
  std::int32_t view_id_ = -1;
  std::string reading_nick_;
  std::string reading_city_;
  QObject* reads_ = nullptr;
  int reads_out_ = 0;
};

}  // namespace braxo
