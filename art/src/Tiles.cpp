// Game tiles and the title-screen sprites.
#include <QLinearGradient>
#include <QPainterPath>
#include <array>

#include "Canvas.h"
#include "Generators.h"

namespace braxo::art {

TileColours NormalTileColours() {
  return {QColor(255, 252, 242), QColor(240, 226, 200), QColor(204, 22, 22),
          QColor(214, 44, 36),   QColor(112, 8, 8),     QColor(196, 16, 16)};
}

TileColours SelectedTileColours() {
  return {QColor(255, 230, 252), QColor(246, 176, 236), QColor(208, 0, 168),
          QColor(220, 30, 190),  QColor(104, 0, 88),    QColor(176, 0, 142)};
}

void PaintTile(QPainter& p, QPointF origin, double face, double depth, const TileColours& c,
               const Symbol* symbol, const QString& digit) {
  p.save();
  PreparePainter(p);
  p.translate(origin);
  const double radius = face * 0.14;
  const double unit = face / 70.0;

  // The side: the face outline pushed back step by step, darkening with depth.
  p.setPen(Qt::NoPen);
  const int steps = static_cast<int>(depth * 2);
  for (int i = steps; i >= 1; --i) {
    const double t = i * 0.5;
    p.setBrush(Mix(c.side_near, c.side_far, t / depth));
    p.drawRoundedRect(QRectF(t, t, face, face), radius, radius);
  }
  // A thin dark line along the back edge keeps the tile crisp on any picture.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(WithAlpha(c.side_far.darker(160), 200), 1.0 * unit));
  p.drawRoundedRect(QRectF(depth - 0.5 * unit, depth - 0.5 * unit, face, face), radius, radius);

  // The face.
  const QRectF face_rect(0.5 * unit, 0.5 * unit, face - unit, face - unit);
  QLinearGradient fill(face_rect.topLeft(), face_rect.bottomRight());
  fill.setColorAt(0.0, c.face_top);
  fill.setColorAt(1.0, c.face_bottom);
  p.setBrush(fill);
  p.setPen(QPen(c.rim.darker(130), 1.3 * unit));
  p.drawRoundedRect(face_rect, radius, radius);

  // Bevel: light along the top and left edge, a soft shade inside the bottom.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(255, 255, 255, 210), 1.6 * unit));
  p.drawRoundedRect(face_rect.adjusted(1.6 * unit, 1.6 * unit, -1.2 * unit, -1.2 * unit),
                    radius * 0.8, radius * 0.8);
  p.setPen(QPen(WithAlpha(c.rim, 190), 2.0 * unit));
  p.drawRoundedRect(face_rect.adjusted(4.2 * unit, 4.2 * unit, -4.2 * unit, -4.2 * unit),
                    radius * 0.55, radius * 0.55);

  if (symbol != nullptr) {
    DrawSymbol(p, *symbol, QRectF(17.5 * unit, 16.5 * unit, 47 * unit, 47 * unit));
  }
  if (!digit.isEmpty()) {
    const QFont font = ArtFont(kSansFamily, 19 * unit, QFont::Black);
    const QPainterPath text = TextPath(digit, font, QPointF(7.0 * unit, 22.5 * unit));
    p.setBrush(Qt::NoBrush);
    p.setPen(
        QPen(QColor(255, 255, 255, 235), 3.2 * unit, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.drawPath(text);
    p.setPen(Qt::NoPen);
    p.setBrush(c.digit);
    p.drawPath(text);
  }
  p.restore();
}

namespace {

struct TileFamily {
  const char* stem;
  Symbol symbol;
  std::array<int, 4> digits;
  int count;
};

void MakeGameTiles(AssetWriter& writer) {
  const std::array<TileFamily, 5> families = {{
      {"Sun", Symbol::kSun, {1, 2, 3, 4}, 4},
      {"Rom", Symbol::kDaisy, {1, 2, 3, 4}, 4},
      {"Kap", Symbol::kDrop, {1, 2, 3, 4}, 4},
      {"Rak", Symbol::kShell, {1, 2, 3, 4}, 4},
      {"Obl", Symbol::kCloud, {0, 0, 0, 0}, 1},
  }};
  for (const TileFamily& family : families) {
    for (int i = 0; i < family.count; ++i) {
      const QString digit = QString::number(family.digits[static_cast<size_t>(i)]);
      for (const bool selected : {false, true}) {
        QImage image = NewImage(84, 84);
        QPainter p(&image);
        PaintTile(p, QPointF(0, 0), 70, 14, selected ? SelectedTileColours() : NormalTileColours(),
                  &family.symbol, digit);
        p.end();
        writer.SavePng(QString(selected ? "GV" : "GK") + family.stem + digit, image);
      }
    }
  }
}

// Title-screen sprites: little tiles on the silver of the title frames. They
// move one or two pixels per step without the screen being cleared, so a
// silver margin of at least two pixels on every side wipes their trail.
void MakeSprites(AssetWriter& writer) {
  const std::array<Symbol, 5> symbols = {Symbol::kCloud, Symbol::kSun, Symbol::kDrop,
                                         Symbol::kDaisy, Symbol::kShell};
  for (int i = 0; i < 5; ++i) {
    QImage image = NewImage(50, 50);
    image.fill(QColor(192, 192, 192));
    QPainter p(&image);
    PaintTile(p, QPointF(3, 3), 38, 6, NormalTileColours(), &symbols[static_cast<size_t>(i)],
              QString::number(i));
    p.end();
    writer.SavePng(QString("Sprite%1").arg(i + 1), image);
  }
}

}  // namespace

void MakeTiles(AssetWriter& writer) {
  MakeGameTiles(writer);
  MakeSprites(writer);
}

}  // namespace braxo::art
