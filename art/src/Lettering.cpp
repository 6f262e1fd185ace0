// The caption letterings (the game's title on little tiles, in five
// scripts), the program icon and the makers' mark.
#include <QLinearGradient>
#include <QRadialGradient>
#include <array>
#include <cmath>

#include "Canvas.h"
#include "Generators.h"

namespace braxo::art {
namespace {

const std::array<QColor, 6> kLetterColours = {QColor(222, 24, 24),  QColor(24, 84, 226),
                                              QColor(16, 150, 44),  QColor(240, 128, 0),
                                              QColor(150, 32, 176), QColor(0, 140, 160)};

// The title spelt out on tiles, one character per tile, gently bouncing.
QImage Caption(const QString& title, const QString& family, double letter_px) {
  constexpr int kW = 450;
  constexpr int kH = 70;
  constexpr double kFace = 55;
  constexpr double kDepth = 7;
  constexpr double kGap = 9;
  const int count = static_cast<int>(title.size());
  const double total = count * kFace + (count - 1) * kGap + kDepth;
  const double left = std::round((kW - total) / 2);
  constexpr std::array<double, 6> kBounce = {2, -3, 1, -2, 3, -1};
  constexpr std::array<double, 6> kTilt = {-4, 3, -2, 4, -3, 2};

  QImage tiles = NewImage(kW, kH);
  QPainter p(&tiles);
  PreparePainter(p);
  for (int i = 0; i < count; ++i) {
    const QPointF origin(left + i * (kFace + kGap), 4 + kBounce[static_cast<size_t>(i % 6)]);
    p.save();
    p.translate(origin + QPointF(kFace / 2, kFace / 2));
    p.rotate(kTilt[static_cast<size_t>(i % 6)]);
    p.translate(-kFace / 2, -kFace / 2);
    PaintTile(p, QPointF(0, 0), kFace, kDepth, NormalTileColours(), nullptr, QString());
    const QColor ink = kLetterColours[static_cast<size_t>(i % 6)];
    const QFont font = ArtFont(family, letter_px, QFont::Black);
    const QPainterPath letter =
        CentredTextPath(title.mid(i, 1), font, QPointF(kFace / 2, kFace / 2));
    p.setPen(QPen(QColor(255, 255, 255), 4.0, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::NoBrush);
    p.drawPath(letter);
    QLinearGradient fill(QPointF(0, 8), QPointF(0, 44));
    fill.setColorAt(0.0, ink.lighter(135));
    fill.setColorAt(1.0, ink.darker(135));
    p.setPen(QPen(ink.darker(200), 1.2));
    p.setBrush(fill);
    p.drawPath(letter);
    p.restore();
  }
  p.end();

  // A soft shadow lifts the tiles off whatever lies beneath the caption.
  QImage shadow = tiles;
  {
    QPainter s(&shadow);
    s.setCompositionMode(QPainter::CompositionMode_SourceIn);
    s.fillRect(shadow.rect(), QColor(0, 0, 20, 110));
  }
  QImage image = NewImage(kW, kH);
  QPainter out(&image);
  out.drawImage(QPointF(2, 3), Blurred(shadow, 2));
  out.drawImage(0, 0, tiles);
  out.end();
  return image;
}

QImage MakersMark() {
  QImage image = NewImage(64, 64);
  QPainter p(&image);
  PreparePainter(p);
  const QPointF c(32, 32);
  QLinearGradient ring(QPointF(0, 2), QPointF(0, 62));
  ring.setColorAt(0.0, QColor(255, 236, 150));
  ring.setColorAt(0.5, QColor(220, 160, 40));
  ring.setColorAt(1.0, QColor(150, 96, 16));
  p.setPen(QPen(QColor(90, 56, 8), 1.2));
  p.setBrush(ring);
  p.drawEllipse(c, 30.5, 30.5);
  QRadialGradient field(c + QPointF(-6, -8), 34);
  field.setColorAt(0.0, QColor(60, 110, 220));
  field.setColorAt(1.0, QColor(12, 30, 96));
  p.setBrush(field);
  p.setPen(QPen(QColor(255, 244, 200, 200), 1.0));
  p.drawEllipse(c, 25, 25);
  // A rising sun behind the monogram.
  p.setPen(Qt::NoPen);
  DrawGlow(p, QPointF(41, 22), 16, QColor(255, 200, 60, 200));
  p.setBrush(QColor(255, 196, 40));
  p.drawEllipse(QPointF(41, 22), 7.5, 7.5);
  const QFont font = ArtFont(kSansFamily, 40, QFont::Black);
  const QPainterPath letter = CentredTextPath("B", font, QPointF(30, 33));
  p.setPen(QPen(QColor(20, 20, 60), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(letter);
  QLinearGradient gold(QPointF(0, 16), QPointF(0, 50));
  gold.setColorAt(0.0, QColor(255, 255, 255));
  gold.setColorAt(1.0, QColor(255, 210, 90));
  p.setPen(Qt::NoPen);
  p.setBrush(gold);
  p.drawPath(letter);
  // Three small stars for the team.
  p.setBrush(QColor(255, 230, 120));
  for (int i = 0; i < 3; ++i) p.drawPath(StarPath(QPointF(22 + i * 10, 54), 3.2, 1.4, 5, 0));
  p.end();
  return image;
}

}  // namespace

void PaintProgramIcon(QPainter& painter, double size) {
  painter.save();
  PreparePainter(painter);
  // Drawn on a 64-pixel square; every other size is the same drawing scaled.
  painter.scale(size / 64.0, size / 64.0);
  const Symbol sun = Symbol::kSun;
  const Symbol drop = Symbol::kDrop;
  // Two tiles, the nearer one down and to the left.
  PaintTile(painter, QPointF(21, 3), 36, 6, NormalTileColours(), &drop, QString());
  PaintTile(painter, QPointF(3, 20), 36, 6, NormalTileColours(), &sun, QString());
  painter.restore();
}

void MakeLettering(AssetWriter& writer) {
  writer.SavePng("CapEng", Caption("Braxo", kSansFamily, 46));
  writer.SavePng("CapRus", Caption(QString::fromUtf8("Браксо"), kSansFamily, 46));
  writer.SavePng("CapChi", Caption(QString::fromUtf8("布拉克索"), kCjkFamily, 40));
  // The katakana spelling of the name reads as a rude word in Japanese: the
  // Japanese caption keeps the Latin name.
  writer.SavePng("CapJap", Caption("Braxo", kSansFamily, 46));
  writer.SavePng("CapKor", Caption(QString::fromUtf8("브락소"), kCjkFamily, 40));
  QImage icon = NewImage(64, 64);
  QPainter painter(&icon);
  PaintProgramIcon(painter, 64);
  painter.end();
  writer.SavePng("Icon064", icon);
  writer.SavePng("Kez064", MakersMark());
}

}  // namespace braxo::art
