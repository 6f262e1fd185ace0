#include "ui/TitleScreen.h"

#include <QFontMetrics>
#include <QPainter>
#include <QTextLayout>
#include <algorithm>
#include <cmath>

#include "ui/Drawing.h"

namespace braxo {
namespace {

constexpr int kLeftEdge = 163;
constexpr int kTopEdge = 93;
constexpr int kRightEdge = 638;
constexpr int kBottomEdge = 358;
// How many times a palette's letters were drawn over each other while the
// title showed it.
constexpr int kLetterPasses = 10;

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
  steps_ = 0;
  letters_stale_ = true;
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

namespace {

// The canvas's rectangle in design pixels.
QRect DesignRect(const QImage& canvas) {
  return QRect(QPoint(0, 0), canvas.deviceIndependentSize().toSize());
}

int CanvasRatio(const QImage& canvas) {
  return std::max(1, static_cast<int>(std::lround(canvas.devicePixelRatio())));
}

}  // namespace

void TitleScreen::DrawStill(QImage& canvas, const QString& author, PictureStore& pictures) {
  PaintStill(canvas, author, pictures);
  Reset();
}

void TitleScreen::Redraw(QImage& canvas, const QString& author, const QString& title,
                         PictureStore& pictures) {
  PaintStill(canvas, author, pictures);
  QPainter painter(&canvas);
  DrawLetters(painter, CanvasRatio(canvas), DesignRect(canvas), title);
  drawn_title_ = title;
  DrawSprites(painter, CanvasRatio(canvas), pictures);
}

void TitleScreen::PaintStill(QImage& canvas, const QString& author, PictureStore& pictures) {
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
    painter.drawImage(393, 270, pictures.PictureFor(painter, QStringLiteral("Kez064")));
  }
}

void TitleScreen::LayOutLetters(const QString& title, int ratio, const QRect& design_rect) {
  LettersLayout& layout = letters_layout_;
  layout = LettersLayout{};
  layout.title = title;
  layout.ratio = ratio;
  const int length = std::min<int>(static_cast<int>(title.size()), kPaletteSize);
  layout.font = CellHeightFont(ArialFamily(), TitleHeight(length), true);
  const QFontMetrics metrics(layout.font);
  int total_width = 0;
  for (int i = 0; i < length; ++i) total_width += metrics.horizontalAdvance(title.at(i));
  const int left = RoundHalfEven((410 - total_width) / 2.0) + 220;
  const int top = 160 + TitleDrop(length);
  // Glyphs may reach past their advance: a margin of a quarter cell.
  const int margin = metrics.height() / 4 + 1;
  layout.box = QRect(left, top, total_width, metrics.height())
                   .adjusted(-margin, -margin, margin, margin)
                   .intersected(design_rect);
  if (layout.box.isEmpty()) return;
  // Shaped once: the letters keep their glyphs and places, only their
  // colours turn.
  int x = left - layout.box.left();
  const int baseline = top - layout.box.top() + metrics.ascent();
  for (int i = 0; i < length; ++i) {
    const QString letter(title.at(i));
    QTextLayout shaped(letter, layout.font);
    shaped.beginLayout();
    const QTextLine line = shaped.createLine();
    shaped.endLayout();
    // A run's glyphs stand on the line's baseline, line.ascent() below its
    // origin.
    for (const QGlyphRun& run : shaped.glyphRuns())
      layout.letters.push_back({QPointF(x, baseline - line.ascent()), run, i + 1});
    x += metrics.horizontalAdvance(letter);
  }
  if (letters_layer_.size() != layout.box.size() * ratio) {
    letters_layer_ = QImage(layout.box.size() * ratio, QImage::Format_ARGB32_Premultiplied);
    letters_layer_.setDevicePixelRatio(ratio);
  }
}

QRect TitleScreen::DrawLetters(QPainter& canvas_painter, int ratio, const QRect& design_rect,
                               const QString& title) {
  if (letters_layout_.title != title || letters_layout_.ratio != ratio ||
      letters_layout_.title.isNull())
    LayOutLetters(title, ratio, design_rect);
  const QRect box = letters_layout_.box;
  if (box.isEmpty()) return {};

  QImage& layer = letters_layer_;
  layer.fill(Qt::transparent);
  {
    QPainter painter(&layer);
    for (const LettersLayout::Letter& letter : letters_layout_.letters) {
      painter.setPen(palette_[kPaletteSize - letter.number]);  // entry 15 - number
      painter.drawGlyphRun(letter.origin, letter.glyphs);
    }
  }
  // The letters used to be drawn over themselves on every step, so their
  // soft edges soaked up the colour: drawn n times, a coverage a becomes
  // 1 - (1 - a)^n. One drawing with that coverage keeps the look while the
  // screen between palette turns stays still.
  static const std::array<int, 256> kSoakedAlpha = [] {
    std::array<int, 256> table{};
    for (int a = 0; a < 256; ++a)
      table[a] =
          static_cast<int>(std::lround(255.0 * (1.0 - std::pow(1.0 - a / 255.0, kLetterPasses))));
    return table;
  }();
  for (int y = 0; y < layer.height(); ++y) {
    auto* row = reinterpret_cast<QRgb*>(layer.scanLine(y));
    for (int x = 0; x < layer.width(); ++x) {
      const int alpha = qAlpha(row[x]);
      if (alpha == 0 || alpha == 255) continue;
      const int soaked = kSoakedAlpha[alpha];
      const auto scale = [&](int channel) { return std::min(soaked, channel * soaked / alpha); };
      row[x] = qRgba(scale(qRed(row[x])), scale(qGreen(row[x])), scale(qBlue(row[x])), soaked);
    }
  }
  canvas_painter.drawImage(box.topLeft(), layer);
  return box;
}

const QImage& TitleScreen::SpritePicture(int index, int ratio, PictureStore& pictures) {
  if (ratio != sprite_ratio_) {
    sprite_pictures_ = {};
    sprite_ratio_ = ratio;
  }
  QImage& picture = sprite_pictures_[index];
  if (picture.isNull()) {
    picture = pictures.LoadPicture(QStringLiteral("Sprite%1").arg(index + 1), ratio);
    // The sprites are opaque: without an alpha channel each is copied, not
    // blended, on every step.
    bool opaque = true;
    for (int y = 0; y < picture.height() && opaque; ++y)
      for (int x = 0; x < picture.width() && opaque; ++x)
        opaque = qAlpha(picture.pixel(x, y)) == 255;
    if (opaque) picture = picture.convertToFormat(QImage::Format_RGB32);
  }
  return picture;
}

QRegion TitleScreen::DrawStep(QImage& canvas, const QString& title, PictureStore& pictures) {
  QPainter painter(&canvas);
  return Step(painter, CanvasRatio(canvas), DesignRect(canvas), title, pictures);
}

QRegion TitleScreen::Step(QPainter& painter, int ratio, const QRect& design_rect,
                          const QString& title, PictureStore& pictures) {
  QRegion changed;
  if (letters_stale_ || drawn_title_ != title) {
    changed += DrawLetters(painter, ratio, design_rect, title);
    drawn_title_ = title;
    letters_stale_ = false;
  }
  if (ticks_ == 10) {
    std::rotate(palette_.begin(), palette_.begin() + 1, palette_.end());
    ticks_ = 0;
    letters_stale_ = true;
  }
  ++ticks_;
  ++steps_;
  changed += DrawSprites(painter, ratio, pictures);
  for (int i = 0; i < kSprites; ++i) sprites_[i] = MoveSprite(i, sprites_[i]);
  return changed;
}

QRegion TitleScreen::DrawSprites(QPainter& painter, int ratio, PictureStore& pictures) {
  QRegion changed;
  for (int i = 0; i < kSprites; ++i) {
    const QImage& sprite = SpritePicture(i, ratio, pictures);
    painter.drawImage(sprites_[i], sprite);
    changed += QRect(sprites_[i], sprite.deviceIndependentSize().toSize());
  }
  return changed;
}

QRegion TitleScreen::DrawTick(QImage& canvas, const QString& title, PictureStore& pictures) {
  // One painter for the tick's steps: opening one costs more than a step.
  QPainter painter(&canvas);
  const int ratio = CanvasRatio(canvas);
  const QRect design_rect = DesignRect(canvas);
  QRegion changed;
  for (int step = 0; step < kStepsPerTick; ++step)
    changed += Step(painter, ratio, design_rect, title, pictures);
  return changed;
}

}  // namespace braxo
