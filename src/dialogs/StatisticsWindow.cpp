#include "dialogs/StatisticsWindow.h"

#include <QHeaderView>
#include <QInputDialog>
#include <QPainter>
#include <QStyledItemDelegate>

#include "club/NameRules.h"
#include "club/TopTenService.h"
#include "dialogs/DialogFrame.h"
#include "i18n/MessageCatalogue.h"
#include "ui/Drawing.h"

namespace braxo {
namespace {

constexpr int kWidth = 410;
constexpr int kHeight = 365;
constexpr QSize kClient(kWidth, kHeight);
constexpr int kColumnWidth = 198;
constexpr int kRowHeight = 25;

QString Q(const std::string& text) { return QString::fromStdString(text); }

QColor RowColour(int row) {
  if (row <= 1) return kStatisticsStartsRow;
  if (row <= 3) return kStatisticsLikesRow;
  return kStatisticsGamesRow;
}

// Each cell as a vertical gradient of its row's colour to white inside a grey
// outline, the cell widened 4 pixels to the left; labels left, values right.
class StatCellDelegate : public QStyledItemDelegate {
 public:
  using QStyledItemDelegate::QStyledItemDelegate;
  void paint(QPainter* painter, const QStyleOptionViewItem& option,
             const QModelIndex& index) const override {
    painter->save();
    const QRect cell = option.rect.adjusted(-4, 0, 0, 0);
    painter->setPen(kStatisticsOutline);
    painter->drawRect(cell.adjusted(-1, -1, 0, 0));
    FillVerticalGradient(*painter, cell, RowColour(index.row()), kClubWhite);
    painter->setFont(option.font);
    painter->setPen(option.palette.color(QPalette::WindowText));
    const QString text = index.data().toString();
    if (index.column() == 0) {
      painter->drawText(cell.left() + 5, cell.top() + 5 + painter->fontMetrics().ascent(), text);
    } else {
      DrawTextRight(*painter, text, cell.right() + 1 - 5, cell.top() + 5);
    }
    painter->restore();
  }
};

}  // namespace

QString LikesAfterLike(const QString& cell) {
  bool number = false;
  const int likes = cell.toInt(&number);
  return number ? QString::number(likes + 1) : cell;
}

QString StatisticsWindow::AskNickWithInputBox(QWidget* parent, const QString& prompt,
                                              const QString& default_value) {
  bool ok = false;
  const QString answer =
      QInputDialog::getText(parent, prompt, prompt, QLineEdit::Normal, default_value, &ok);
  return ok ? answer : default_value;
}

StatisticsWindow::StatisticsWindow(ClubAccess& club, Settings& settings,
                                   std::function<void()> save_settings, LastUsageStats& last,
                                   int language, PictureStore& pictures, QWidget* parent,
                                   NickAsker ask_nick)
    : QDialog(parent),
      club_(club),
      settings_(settings),
      save_settings_(std::move(save_settings)),
      last_(last),
      language_(language),
      pictures_(pictures),
      ask_nick_(std::move(ask_nick)) {
  SetFixedDialogFrame(*this, kWidth, kHeight);
  setWindowTitle(Q(MessageText(MsgId::MsgStatistics, language_)));

  icon_box_ = new ImageControl(this);
  icon_box_->Place(5, 1, 48, 48);
  title_box_ = new ImageControl(this);
  title_box_->Place(55, 5, 300, 40);

  grid_ = new QTableWidget(kStatRows, 2, this);
  grid_->setGeometry(5, 50, 401, 178);
  grid_->horizontalHeader()->hide();
  grid_->verticalHeader()->hide();
  grid_->setColumnWidth(0, kColumnWidth);
  grid_->setColumnWidth(1, kColumnWidth);
  for (int row = 0; row < kStatRows; ++row) grid_->setRowHeight(row, kRowHeight);
  grid_->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
  grid_->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  grid_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  grid_->setSelectionMode(QAbstractItemView::NoSelection);
  grid_->setFocusPolicy(Qt::NoFocus);
  grid_->setShowGrid(false);
  grid_->setItemDelegate(new StatCellDelegate(grid_));
  QFont grid_font(ArialFamily());
  grid_font.setBold(true);
  grid_font.setPixelSize(12);
  grid_->setFont(grid_font);

  since_note_ = new QLabel(this);
  since_note_->setGeometry(5, 235, 400, 24);
  since_note_->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
  since_note_->setWordWrap(true);
  QFont label_font(ArialFamily());
  label_font.setBold(true);
  label_font.setPixelSize(15);
  since_note_->setFont(label_font);
  QPalette label_palette = since_note_->palette();
  label_palette.setColor(QPalette::WindowText, kClubYellow);
  since_note_->setPalette(label_palette);

  like_button_ = new SkinnedButton(pictures_, this);
  like_button_->setGeometry(5, 265, 400, 45);
  StyleClubButton(*like_button_, ButtonColour::kRed, 19);
  like_button_->SetHeightSB(ButtonHeight::k45);
  connect(like_button_, &QPushButton::clicked, this, &StatisticsWindow::LikeClicked);
  ok_button_ = new SkinnedButton(pictures_, this);
  ok_button_->setText(QStringLiteral("Ok"));
  ok_button_->setGeometry(5, 315, 400, 45);
  StyleClubButton(*ok_button_, ButtonColour::kRed, 19);
  ok_button_->SetHeightSB(ButtonHeight::k45);
  connect(ok_button_, &QPushButton::clicked, this, &QDialog::accept);

  DrawPictureBox(*icon_box_, pictures_, kClient, QStringLiteral("Stat48"));
  club_requests_ = std::make_unique<QObject>();
}

// The requests go first, so that no reply reaches a window half destroyed.
StatisticsWindow::~StatisticsWindow() { club_requests_.reset(); }

int StatisticsWindow::Execute() {
  PrepareShowing();
  return exec();
}

QString StatisticsWindow::Cell(int column, int row) const {
  const QTableWidgetItem* item = grid_->item(row, column);
  return item ? item->text() : QString();
}

void StatisticsWindow::SetCell(int column, int row, const QString& text) {
  grid_->setItem(row, column, new QTableWidgetItem(text));
}

void StatisticsWindow::PrepareShowing() {
  like_button_->setText(Q(MessageText(MsgId::MsgILikeThisGame, language_)));
  const auto label = [this](MsgId id) { return Q(MessageText(id, language_)); };
  const QString played = label(MsgId::MsgStatPlayedGames);
  const QString labels[kStatRows] = {label(MsgId::MsgNumberOfStarts) + ":",
                                     label(MsgId::MsgNumberOfUniqueStarts) + ":",
                                     label(MsgId::MsgLikes) + ":",
                                     label(MsgId::MsgLastLike) + ":",
                                     played + " " + label(MsgId::MsgModeNormal) + ":",
                                     played + " " + label(MsgId::MsgModeExtra) + ":",
                                     played + " " + label(MsgId::MsgModeSuper) + ":"};
  for (int row = 0; row < kStatRows; ++row) {
    SetCell(0, row, labels[row]);
    SetCell(1, row, QString());
  }
  if (last_) ShowFigures(*last_);
  DrawTitleBox(*title_box_, pictures_, kClient, Q(MessageText(MsgId::MsgWorldStats, language_)), 1,
               /*bold=*/false);

  if (!reading_) {
    reading_ = true;
    club_.ReadUsageStatistics(club_requests_.get(),
                              [this](const UsageStatisticsReply& reply) { FiguresArrived(reply); });
  }
  since_note_->setText(Q(MessageText(MsgId::MsgClubLoading, language_)));
  UpdateLikeButton();
}

void StatisticsWindow::ShowFigures(const UsageStats& stat) {
  SetCell(1, 0, QString::number(stat.starts));
  SetCell(1, 1, QString::number(stat.unique_starts));
  SetCell(1, 2, QString::number(stat.likes));
  SetCell(1, 3, Q(stat.last_like_nick));
  for (int mode = 0; mode < 3; ++mode)
    SetCell(1, 4 + mode, QString::number(stat.finished_games_by_flag[mode]));
}

void StatisticsWindow::FiguresArrived(const UsageStatisticsReply& reply) {
  reading_ = false;
  if (reply.ok) {
    ShowFigures(reply.stats);
    last_ = reply.stats;
  } else {
    // A failed read shows what it always showed, not figures it could not
    // confirm; the next window still starts from the last ones read.
    for (int row = 0; row < kStatRows; ++row) SetCell(1, row, QString());
    SetCell(1, 0, QString::fromLatin1(kNoConnect));
  }
  since_note_->setText(Q(MessageText(MsgId::MsgStatisticSince, language_)));
  UpdateLikeButton();
}

// The like waits for the totals, so that a reply read before the like
// cannot take back the likes cell it raised.
void StatisticsWindow::UpdateLikeButton() {
  like_button_->setEnabled(!settings_.like_sent && !reading_ && !liking_);
}

void StatisticsWindow::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOnParent(*this);
}

void StatisticsWindow::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  PaintClubWindowBackground(painter, pictures_, kClient);
}

void StatisticsWindow::LikeClicked() {
  if (settings_.like_sent || reading_ || liking_) return;
  std::string& nick = settings_.passport.nick;
  if (nick == kIncognito && ask_nick_) {
    const QString prompt = Q(MessageText(MsgId::MsgNick, language_));
    const QString unchanged = Q(nick);
    QString answer;
    do {
      answer = ask_nick_(this, prompt, unchanged);
    } while (RateNameTextUtf8(answer.toStdString(), kRateNick) == kRateRefused);
    nick = answer.toStdString();
  }
  liking_ = true;
  UpdateLikeButton();
  club_.SendLike(club_requests_.get(), nick,
                 [this, sent_nick = nick](bool counted) { LikeAnswered(sent_nick, counted); });
}

void StatisticsWindow::LikeAnswered(const std::string& nick, bool counted) {
  liking_ = false;
  if (counted) {
    SetCell(1, 2, LikesAfterLike(Cell(1, 2)));
    SetCell(1, 3, Q(nick));
    settings_.like_sent = true;
    if (save_settings_) save_settings_();
  }
  UpdateLikeButton();
}

}  // namespace braxo
