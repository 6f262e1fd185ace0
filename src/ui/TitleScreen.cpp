#include "ui/TitleScreen.h"

#include <QFontMetrics>
#include <QPainter>

#include "ui/Drawing.h"

namespace braxo {
namespace {

constexpr int kLeftEdge = 163;
constexpr int kTopEdge = 93;
constexpr int kRightEdge = 638;
constexpr int kBottomEdge = 358;

const std::array<QPoint, TitleScreen::kSprites> kSpriteStarts = {
    QPoint(163, 93), QPoint(433, 93), QPoint(638, 183), QPoint(503, 358), QPoint(183, 358)};

const std::array<QColor, TitleScreen::kPaletteSize> kPaletteStart = {
    QColor(128, 0, 0),    QColor(0, 0, 255), QColor(255, 255, 0),  QColor(0, 128, 0),
    QColor(255, 0, 0),    QColor(0, 0, 128), QColor(255, 128, 64), QColor(0, 255, 255),
    QColor(128, 0, 128),  QColor(0, 255, 0), QColor(128, 128, 0),  QColor(0, 128, 128),
    QColor(64, 128, 255), QColor(128, 0, 0)};

enum Edge { kTop, kRight, kBottom, kLeft };

// Each sprite tests the edges in its own order, so at a corner it can take
// two steps in one tick.
const std::array<std::array<Edge, 4>, TitleScreen::kSprites> kRuleOrder = {{
    {kTop, kBottom, kLeft, kRight},
    {kRight, kBottom, kTop, kLeft},
    {kLeft, kBottom, kTop, kRight},
    {kBottom, kLeft, kTop, kRight},
    {kBottom, kLeft, kTop, kRight},
}};

}  // namespace

TitleScreen::TitleScreen() { Reset(); }

void TitleScreen::Reset() {
  sprites_ = kSpriteStarts;
  palette_ = kPaletteStart;
  ticks_ = 0;
}

int TitleScreen::TitleHeight(int length) { return length <= 7 ? 50 : length <= 9 ? 40 : 36; }
int TitleScreen::TitleDrop(int length) { return length <= 7 ? 0 : length <= 9 ? 7 : 12; }

QPoint TitleScreen::MoveSprite(int index, QPoint p) {
  for (Edge edge : kRuleOrder[index]) {
    switch (edge) {
      case kTop:
        if (p.y() == kTopEdge) p.rx() += 1;
        break;
      case kRight:
        if (p.x() == kRightEdge) p.ry() += 1;
        break;
      case kBottom:
        if (p.y() == kBottomEdge) p.rx() -= 1;
        break;
      case kLeft:
        if (p.x() == kLeftEdge) p.ry() -= 1;
        break;
    }
  }
  return p;
}

void TitleScreen::DrawStill(QImage& canvas, const QString& author, PictureStore& pictures) {
  canvas.fill(Qt::black);
  DrawFrame(150, 80, 700, 420, canvas);
  DrawFrame(220, 150, 630, 350, canvas);
  {
    QPainter painter(&canvas);
    painter.setFont(CellHeightFont(ArialFamily(), 24, true));
    painter.setPen(QColor(255, 0, 0));
    DrawTextCentered(painter, QStringLiteral("21.06.2020"), 150, 700, 215);
    painter.setPen(QColor(0, 0, 255));
    DrawTextCentered(painter, author, 150, 700, 240);
    painter.setPen(QColor(0, 100, 100));
    DrawTextCentered(painter, QStringLiteral("V 2.7"), 355, 700, 305);
    painter.drawImage(393, 270, pictures.LoadPngResource("Kez064"));
  }
  Reset();
}

void TitleScreen::DrawStep(QImage& canvas, const QString& title, PictureStore& pictures) {
  QPainter painter(&canvas);
  const int length = std::min<int>(static_cast<int>(title.size()), kPaletteSize);
  painter.setFont(CellHeightFont(ArialFamily(), TitleHeight(length), true));
  const QFontMetrics metrics(painter.font());
  int total_width = 0;
  for (int i = 0; i < length; ++i) total_width += metrics.horizontalAdvance(title.at(i));
  int x = RoundHalfEven((410 - total_width) / 2.0) + 220;
  const int top = 160 + TitleDrop(length);
  for (int i = 1; i <= length; ++i) {
    const QString letter(title.at(i - 1));
    painter.setPen(palette_[kPaletteSize - i]);  // entry 15 - i
    painter.drawText(x, top + metrics.ascent(), letter);
    x += metrics.horizontalAdvance(letter);
  }
  if (ticks_ == 10) {
    std::rotate(palette_.begin(), palette_.begin() + 1, palette_.end());
    ticks_ = 0;
  }
  ++ticks_;
  for (int i = 0; i < kSprites; ++i) {
    painter.drawImage(sprites_[i], pictures.LoadPngResource(QStringLiteral("Sprite%1").arg(i + 1)));
    sprites_[i] = MoveSprite(i, sprites_[i]);
  }
}

}  // namespace braxo
