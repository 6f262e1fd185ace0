#include "dialogs/TopTenTableWindow.h"

#include <QPainter>

#include "dialogs/DialogFrame.h"
#include "i18n/MessageCatalogue.h"
#include "ui/ClubIcons.h"
#include "ui/Drawing.h"

namespace braxo {
namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 605;
constexpr QSize kClient(kWidth, kHeight);
constexpr int kTableWidth = 630;
constexpr int kTableHeight = 500;

constexpr QRect kWindowsIcon(87, 325, 48, 48);
constexpr QRect kAndroidIcon(495, 325, 48, 48);

QString Q(const std::string& text) { return QString::fromStdString(text); }

bool InIcon(QPoint p, const QRect& icon) {
  return p.x() >= icon.left() && p.x() <= icon.left() + icon.width() && p.y() >= icon.top() &&
         p.y() <= icon.top() + icon.height();
}

}  // namespace

std::optional<PlatformChoice> PlatformSwitchAt(QPoint point, PlatformChoice chosen) {
  if (chosen == PlatformChoice::kAndroid && InIcon(point, kWindowsIcon))
    return PlatformChoice::kWindows;
  if (chosen == PlatformChoice::kWindows && InIcon(point, kAndroidIcon))
    return PlatformChoice::kAndroid;
  return std::nullopt;
}

TopTenTableWindow::TopTenTableWindow(ClubAccess& club, const TournamentPassport& passport,
                                     PlatformChoice& platform, int language, PictureStore& pictures,
                                     PassportOpener open_passport, QWidget* parent,
                                     TopTenTablesShown* shown)
    : QDialog(parent),
      club_(club),
      passport_(passport),
      platform_(platform),
      language_(language),
      pictures_(pictures),
      open_passport_(std::move(open_passport)),
      shown_(shown ? *shown : own_shown_) {
  SetFixedDialogFrame(*this, kWidth, kHeight);
  setWindowTitle(QString::fromStdString(MessageText(MsgId::MsgWorldTopTenName, language_)));

  icon_box_ = new ImageControl(this);
  icon_box_->Place(5, 5, 48, 48);
  title_box_ = new ImageControl(this);
  title_box_->Place(105, 5, 435, 48);
  refresh_hotspot_ = new ImageControl(this);
  refresh_hotspot_->Place(585, 3, 51, 51);
  refresh_hotspot_->setCursor(Qt::PointingHandCursor);
  connect(refresh_hotspot_, &ImageControl::Clicked, this,
          &TopTenTableWindow::RefreshHotspotClicked);
  table_box_ = new ImageControl(this);
  table_box_->Place(5, 65, kTableWidth, kTableHeight);
  table_box_->setMouseTracking(true);
  connect(table_box_, &ImageControl::Pressed, this, &TopTenTableWindow::TablePressed);
  connect(table_box_, &ImageControl::Moved, this, &TopTenTableWindow::PointerOverTable);

  ok_button_ = new SkinnedButton(pictures_, this);
  ok_button_->setText(QStringLiteral("Ok"));
  ok_button_->setGeometry(5, 570, 310, 30);
  StyleClubButton(*ok_button_, ButtonColour::kRed, 16);
  connect(ok_button_, &QPushButton::clicked, this, &QDialog::accept);
  passport_button_ = new SkinnedButton(pictures_, this);
  passport_button_->setText(Q(MessageText(MsgId::MsgPassport, language_)));
  passport_button_->setGeometry(325, 570, 310, 30);
  StyleClubButton(*passport_button_, ButtonColour::kRed, 16);
  connect(passport_button_, &QPushButton::clicked, this, &TopTenTableWindow::PassportClicked);

  paint_soon_.setSingleShot(true);
  paint_soon_.setInterval(0);
  connect(&paint_soon_, &QTimer::timeout, this, &TopTenTableWindow::PaintTable);
  refresh_timer_.setInterval(kTopTenRefreshMilliseconds);
  connect(&refresh_timer_, &QTimer::timeout, this, &TopTenTableWindow::RefreshPeriodEnded);
  refresh_timer_.start();

  DrawTitleBox(*title_box_, pictures_, kClient,
               QString::fromStdString(MessageText(MsgId::MsgWorldTopTen, language_)), 5);
  DrawPictureBox(*icon_box_, pictures_, kClient, QStringLiteral("Earth48"));
  FillBoxBackdrop(*refresh_hotspot_, pictures_, kClient);
}

int TopTenTableWindow::Execute() {
  DrawTable();
  return exec();
}

void TopTenTableWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOnParent(*this);
}

void TopTenTableWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintClubWindowBackground(painter, pictures_, kClient);
  PaintTitleRule(painter, 630);
}

void TopTenTableWindow::DrawTable() {
  ReadTable();
  PaintTable();
}

void TopTenTableWindow::ReadTable() {
  const std::int32_t id = TableIdOf(platform_);
  const bool same_table = id == view_id_;
  const bool same_passport = reading_nick_ == passport_.nick && reading_city_ == passport_.city;
  if (ReadingClub() && same_table && same_passport) return;

  // Another table or another passport: the reads out are for what is no
  // longer shown.
  delete reads_;
  reads_ = new QObject(this);
  if (!same_table) {
    view_id_ = id;
    view_ = TopTenTableView();
    // The last table shown starts this one; what failed there is read as new.
    if (const auto last = shown_.find(id); last != shown_.end()) {
      const TopTenTableView& kept = last->second;
      if (kept.top && kept.top->ok) view_.top = kept.top;
      if (kept.game_count && *kept.game_count) view_.game_count = kept.game_count;
      if (kept.own && kept.own->ok) {
        view_.own = kept.own;
        view_.own_nick = kept.own_nick;
        view_.own_city = kept.own_city;
      }
    }
  }
  if (view_.own_nick != passport_.nick || view_.own_city != passport_.city) view_.own.reset();
  reading_nick_ = passport_.nick;
  reading_city_ = passport_.city;

  reads_out_ = 3;
  club_.ReadTopTen(reads_, id, [this](TableReply top) {
    view_.top = std::move(top);
    PartArrived();
  });
  club_.ReadGameCount(reads_, id, [this](std::optional<std::int32_t> count) {
    view_.game_count = count;
    PartArrived();
  });
  club_.ReadOwnResults(reads_, id, reading_nick_, reading_city_,
                       [this, nick = reading_nick_, city = reading_city_](TableReply own) {
                         view_.own = std::move(own);
                         view_.own_nick = nick;
                         view_.own_city = city;
                         PartArrived();
                       });
}

void TopTenTableWindow::PartArrived() {
  --reads_out_;
  shown_[view_id_] = view_;
  // Replies that come together are drawn once; the last one at once.
  if (ReadingClub()) {
    if (!paint_soon_.isActive()) paint_soon_.start();
    return;
  }
  paint_soon_.stop();
  PaintTable();
}

void TopTenTableWindow::PaintTable() {
  table_texts_.clear();
  FillBoxBackdrop(*table_box_, pictures_, kClient);
  QPainter painter(&table_box_->Image());
  painter.setRenderHint(QPainter::TextAntialiasing);
  if (frame_and_icons_.isNull()) {
    // The same for every drawing of the box: made once.
    frame_and_icons_ = QImage(kTableWidth, kTableHeight, QImage::Format_ARGB32_Premultiplied);
    frame_and_icons_.fill(Qt::transparent);
    QPainter parts(&frame_and_icons_);
    QImage frame = pictures_.LoadPngResource("Ramka600");
    ResizePng(frame, kTableWidth, kTableHeight);
    parts.drawImage(0, 0, frame);
    QImage windows = pictures_.LoadPngResource("Windows");
    ResizePng(windows, 48, 48);
    parts.drawImage(kWindowsIcon.topLeft(), windows);
    QImage android = pictures_.LoadPngResource("Android");
    ResizePng(android, 48, 48);
    parts.drawImage(kAndroidIcon.topLeft(), android);
  }
  painter.drawImage(0, 0, frame_and_icons_);
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(kClubRed, 2));
  painter.setBrush(Qt::NoBrush);
  const QRect chosen = platform_ == PlatformChoice::kWindows ? kWindowsIcon : kAndroidIcon;
  painter.drawRoundedRect(QRectF(chosen.left() - 1, chosen.top() - 1, 50, 50), 3.5, 3.5);
  painter.restore();

  painter.setFont(CellHeightFont(ArialFamily(), 16, true));
  TextWriter writer(painter, table_texts_);
  const bool windows_table = platform_ == PlatformChoice::kWindows;
  const QString loading = Q(MessageText(MsgId::MsgClubLoading, language_));

  writer.SetColour(kClubRed);
  if (!view_.top) {
    writer.Centred(loading, 0, kTableWidth, 200);
  } else if (view_.top->ok) {
    for (int k = 1; k <= 10; ++k) {
      const TableEntry& entry = view_.top->entries[k - 1];
      if (IsEmptyEntry(entry)) continue;
      const int y = 140 + 16 * k;
      writer.Left(QString::number(entry.place) + ".", 85, y);
      if (windows_table) {
        DrawCountryFlag(entry.country_code, painter, 113, y + 2, pictures_);
        DrawSexIcon(entry.sex.empty() ? ' ' : entry.sex[0], painter, 143, y, pictures_);
      }
      writer.Left(Q(entry.nick), 173, y);
      if (windows_table) writer.Left(Q(entry.city), 323, y);
      writer.Right(QString::number(entry.score), 543, y);
    }
  } else {
    writer.Centred(QString::fromLatin1(kNoConnect), 0, kTableWidth, 200);
  }

  writer.SetColour(kClubMaroon);
  if (view_.game_count && *view_.game_count) {
    writer.Centred(Q(MessageText(MsgId::MsgNumberOfGames, language_)) + ": " +
                       QString::number(**view_.game_count),
                   0, kTableWidth, 320);
  }

  writer.SetColour(kClubBlue);
  if (!view_.own) {
    writer.Centred(loading, 0, kTableWidth, 350);
  } else if (!view_.own->ok) {
    writer.Centred(QString::fromLatin1(kNoConnect), 0, kTableWidth, 350);
  } else {
    for (int k = 1; k <= 5; ++k) {
      const TableEntry& entry = view_.own->entries[k - 1];
      if (IsEmptyEntry(entry)) continue;
      const int y = 320 + 16 * k;
      writer.Left(QString::number(entry.place) + ".", 185, y);
      writer.Left(Q(view_.own_nick), 245, y);
      writer.Right(QString::number(entry.score), 455, y);
    }
  }
  painter.end();
  table_box_->update();
}

void TopTenTableWindow::RefreshPeriodEnded() { refresh_hotspot_->show(); }

void TopTenTableWindow::RefreshHotspotClicked() {
  DrawTable();
  refresh_hotspot_->hide();
}

void TopTenTableWindow::TablePressed(QPoint point) {
  if (const auto platform = PlatformSwitchAt(point, platform_)) {
    platform_ = *platform;
    DrawTable();
  }
}

void TopTenTableWindow::PointerOverTable(QPoint point) {
  table_box_->setCursor(PlatformSwitchAt(point, platform_) ? Qt::PointingHandCursor
                                                           : Qt::ArrowCursor);
}

void TopTenTableWindow::PassportClicked() {
  if (open_passport_) open_passport_(this);
  DrawTable();
}

}  // namespace braxo
