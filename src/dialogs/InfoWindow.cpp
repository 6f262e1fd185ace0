#include "dialogs/InfoWindow.h"

#include <QApplication>
#include <QMessageBox>
#include <QPainter>
#include <QRandomGenerator>
#include <utility>

#include "dialogs/DialogFrame.h"
#include "i18n/Language.h"
#include "ui/Drawing.h"

namespace braxo {
namespace {

const QColor kBlue(0, 0, 255);
const QColor kRed(255, 0, 0);

constexpr int kFlagLeft = 222;
constexpr int kFlagTop = 110;
constexpr int kFlagWidth = 150;
constexpr int kFlagHeight = 182;

QString Q(const std::string& text) { return QString::fromStdString(text); }
QString Q(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

bool InIcon(QPoint p) { return StrictlyInside(p, 80, 85, 144, 149); }
bool InLogo(QPoint p) { return StrictlyInside(p, 466, 85, 530, 149); }
bool InLeftArrow(QPoint p) { return StrictlyInside(p, 90, 150, 162, 222); }
bool InRightArrow(QPoint p) { return StrictlyInside(p, 448, 150, 520, 222); }

}  // namespace

InfoContacts InfoContactsFromClubAddress(const QString& address) {
  const QUrl url(address, QUrl::StrictMode);
  const QString scheme = url.scheme().toLower();
  if (!url.isValid() || url.host().isEmpty() || (scheme != "http" && scheme != "https")) return {};
  QUrl site;
  site.setScheme(scheme);
  site.setHost(url.host());
  site.setPort(url.port());
  QUrl home = site;
  home.setPath(QStringLiteral("/"));
  QUrl about = site;
  about.setPath(QStringLiteral("/about/"));
  return {{home, about}, QUrl(QStringLiteral("mailto:club@") + url.host())};
}

InfoWindow::InfoWindow(const InterfaceLanguage& language, const ChampionsFile& champions,
                       PictureStore& pictures, InfoContacts contacts, QWidget* parent,
                       UrlOpener open_url)
    : QDialog(parent),
      language_(language),
      champions_(champions),
      pictures_(pictures),
      contacts_(std::move(contacts)),
      open_url_(std::move(open_url)) {
  SetFixedDialogFrame(*this, kInfoWidth, kInfoHeight);

  page_picture_ = new ImageControl(this);
  page_picture_->Place(0, 0, kInfoWidth, kInfoImageHeight);
  connect(page_picture_, &ImageControl::Moved, this, &InfoWindow::PointerOverPage);
  connect(page_picture_, &ImageControl::Pressed, this, &InfoWindow::PagePressed);

  ok_button_ = new SkinnedButton(pictures_, this);
  ok_button_->setText(QStringLiteral("Ok"));
  StyleDialogButton(*ok_button_, ButtonColour::kGreen, 21);
  ok_button_->setGeometry(10, 345, 590, 45);
  connect(ok_button_, &QPushButton::clicked, this, &QDialog::accept);

  // The play options sit in the frame above the flag and the arrows.
  const QString text_style = QStringLiteral("color: rgb(0, 0, 160); background: transparent;");
  const auto make_box = [&](int top, bool Options::*field) {
    auto* box = new QCheckBox(this);
    box->setGeometry(30, top, 550, 24);
    box->setFont(CellHeightFont(ArialFamily(), 16, true));
    box->setStyleSheet(text_style);
    box->hide();
    connect(box, &QCheckBox::toggled, this, [this, field](bool on) {
      if (!options_ || options_->*field == on) return;
      options_->*field = on;
      if (options_changed_) options_changed_();
    });
    return box;
  };
  free_tile_marks_ = make_box(16, &Options::mark_free_tiles);
  casual_mode_ = make_box(42, &Options::casual_mode);
  const auto make_line = [&](int top) {
    auto* line = new QLabel(this);
    line->setGeometry(52, top, 528, 18);
    line->setFont(CellHeightFont(ArialFamily(), 13, false));
    line->setStyleSheet(text_style);
    line->hide();
    return line;
  };
  casual_note_ = make_line(66);
  casual_keys_ = make_line(84);
  QWidget::setTabOrder(free_tile_marks_, casual_mode_);
  QWidget::setTabOrder(casual_mode_, ok_button_);
}

void InfoWindow::AttachOptions(Options* options, std::function<void()> changed) {
  options_ = options;
  options_changed_ = std::move(changed);
}

void InfoWindow::ShowPlayOptions() {
  const bool shown = options_ != nullptr && page_ == InfoPage::kOptions;
  for (QWidget* control : std::initializer_list<QWidget*>{free_tile_marks_, casual_mode_,
                                                          casual_note_, casual_keys_}) {
    control->setVisible(shown);
    control->raise();
  }
  if (!shown) return;
  free_tile_marks_->setText(Q(language_.Text(MsgId::MsgOptionFreeTiles)));
  casual_mode_->setText(Q(language_.Text(MsgId::MsgOptionCasual)));
  casual_note_->setText(Q(language_.Text(MsgId::MsgCasualCountsNowhere)));
  casual_keys_->setText(Q(language_.Text(MsgId::MsgCasualKeys)));
  free_tile_marks_->setChecked(options_->mark_free_tiles);
  casual_mode_->setChecked(options_->casual_mode);
}

void InfoWindow::Prepare(InfoPage page, LanguageStepper step_language) {
  page_ = page;
  step_language_ = std::move(step_language);
}

void InfoWindow::Execute(InfoPage page, LanguageStepper step_language) {
  Prepare(page, std::move(step_language));
  exec();
}

void InfoWindow::showEvent(QShowEvent* event) {
  PrepareShowing();
  QDialog::showEvent(event);
  CentreOnParent(*this);
}

void InfoWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.drawImage(QRect(0, 0, kInfoWidth, kInfoHeight), pictures_.LoadJpegResource("BG"));
}

void InfoWindow::UpdateCaption() {
  switch (page_) {
    case InfoPage::kAbout:
      setWindowTitle(Q(language_.Text(MsgId::MsgAbout)));
      break;
    case InfoPage::kOptions:
      setWindowTitle(
          Q(language_.Text(MsgId::MsgOptions) + ": " + language_.Text(MsgId::MsgLanguageName)));
      break;
    case InfoPage::kChampions:
      setWindowTitle(Q(language_.Text(MsgId::MsgChampions)));
      break;
  }
}

void InfoWindow::PaintPageBackground(QPainter& painter) {
  painter.drawImage(QRect(0, 0, kInfoWidth, kInfoHeight), pictures_.LoadJpegResource("BG"));
  painter.drawImage(5, 5, pictures_.PictureFor(painter, "Ramka600"));
}

void InfoWindow::PrepareShowing() {
  UpdateCaption();
  page_picture_->setToolTip(QString());
  page_picture_->setCursor(Qt::ArrowCursor);
  {
    QPainter painter(&page_picture_->Image());
    PaintPageBackground(painter);
    painter.setRenderHint(QPainter::TextAntialiasing);
    switch (page_) {
      case InfoPage::kAbout:
        DrawAboutPage(painter);
        break;
      case InfoPage::kOptions:
        DrawOptionsPage(painter);
        break;
      case InfoPage::kChampions:
        DrawChampionsPage(painter);
        break;
    }
  }
  if (page_ == InfoPage::kOptions) DrawFlag();
  ShowPlayOptions();
  page_picture_->update();
  ok_button_->setFocus();
}

void InfoWindow::DrawAboutPage(QPainter& painter) {
  const QString lettering_name = Q(Language(language_.Index()).caption_picture);
  if (PaintPixelRatio(painter) == 1) {
    QImage lettering = pictures_.LoadPngResource(lettering_name);
    ResizePng(lettering, 270, 45);
    painter.drawImage(170, 110, lettering);
  } else {
    // A finer lettering brought down to the box at the painter's resolution.
    painter.save();
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(QRect(170, 110, 270, 45), pictures_.PictureFor(painter, lettering_name));
    painter.restore();
  }
  painter.drawImage(80, 85, pictures_.PictureFor(painter, "Icon064"));
  painter.drawImage(466, 85, pictures_.PictureFor(painter, "Kez064"));

  const QFont large = CellHeightFont(ArialFamily(), 20, true);
  painter.setFont(large);
  painter.setPen(kBlue);
  DrawTextCentered(painter, QStringLiteral("V 2.7"), 0, kInfoWidth, 160);
  DrawTextCentered(painter, QStringLiteral("21.06.2020"), 0, kInfoWidth, 190);
  painter.setFont(CellHeightFont(ArialFamily(), 16, true));
  painter.setPen(kRed);
  DrawTextCentered(painter, Q(language_.Text(MsgId::MsgCreditsLine)), 0, kInfoWidth, 222);
  painter.setFont(large);
  painter.setPen(kBlue);
  DrawTextCentered(painter, Q(language_.Text(MsgId::MsgCreditsPlace)), 0, kInfoWidth, 250);
}

void InfoWindow::DrawOptionsPage(QPainter& painter) {
  painter.drawImage(90, 150, pictures_.PictureFor(painter, "Arrow072L"));
  painter.drawImage(448, 150, pictures_.PictureFor(painter, "Arrow072R"));
}

void InfoWindow::DrawFlag() {
  QPainter painter(&page_picture_->Image());
  // The flag has transparent parts: without the restored background the
  // previous language's flag would show through them.
  painter.setClipRect(kFlagLeft, kFlagTop, kFlagWidth, kFlagHeight);
  PaintPageBackground(painter);
  painter.drawImage(kFlagLeft, kFlagTop,
                    pictures_.PictureFor(painter, Q(Language(language_.Index()).flag_picture)));
}

void InfoWindow::DrawChampionsPage(QPainter& painter) {
  painter.setFont(CellHeightFont(ArialFamily(), 30, true));
  painter.setPen(kBlue);
  DrawTextCentered(painter, Q(language_.Text(MsgId::MsgChampions)), 0, kInfoWidth, 120);

  painter.setFont(CellHeightFont(ArialFamily(), 24, true));
  painter.setPen(kRed);
  const std::vector<ChampionEntry> entries = champions_.ChampionsPage();
  for (int n = 1; n <= static_cast<int>(entries.size()) && n <= kChampionsShown; ++n) {
    const ChampionEntry& entry = entries[n - 1];
    const int y = 24 * n + 135;
    const int baseline = y + painter.fontMetrics().ascent();
    painter.drawText(150, baseline, QString::number(n) + ".");
    painter.drawText(180, baseline, Q(entry.name));
    DrawTextRight(painter, QString::number(entry.score), 460, y);
  }
}

void InfoWindow::PointerOverPage(QPoint point) {
  bool hand = false;
  QString hint;
  if (page_ == InfoPage::kAbout) {
    if (InIcon(point)) {
      hand = true;
      hint = Q(language_.Text(MsgId::MsgVisitWebsite));
    } else if (InLogo(point)) {
      hand = true;
      hint = Q(language_.Text(MsgId::MsgWriteLetter));
    }
  } else if (page_ == InfoPage::kOptions) {
    hand = InLeftArrow(point) || InRightArrow(point);
  }
  page_picture_->setCursor(hand ? Qt::PointingHandCursor : Qt::ArrowCursor);
  page_picture_->setToolTip(hint);
}

void InfoWindow::PagePressed(QPoint point) {
  if (page_ == InfoPage::kAbout) {
    if (InIcon(point)) {
      const QUrl& page = contacts_.web_pages[QRandomGenerator::global()->bounded(2)];
      // A failing web page open is silent.
      if (!page.isEmpty() && open_url_) open_url_(page);
    } else if (InLogo(point)) {
      const bool opened = !contacts_.mail.isEmpty() && open_url_ && open_url_(contacts_.mail);
      if (!opened) {
        QMessageBox::information(this, QApplication::applicationDisplayName(),
                                 QStringLiteral("Auto method failed."));
      }
    }
  } else if (page_ == InfoPage::kOptions) {
    int step = 0;
    if (InLeftArrow(point)) step = 1;
    if (InRightArrow(point)) step = 2;
    if (step == 0) return;
    if (step_language_) step_language_(step);
    DrawFlag();
    UpdateCaption();
    ShowPlayOptions();
    page_picture_->update();
  }
}

}  // namespace braxo
