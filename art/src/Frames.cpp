// Panels and frames, the photo frame and placeholder photos, the skinned
// button pieces and the blank resampling template.
#include <QLinearGradient>
#include <QRadialGradient>
#include <array>
#include <cmath>
#include <vector>

#include "Canvas.h"
#include "Generators.h"

namespace braxo::art {
namespace {

// ---- Panels -----------------------------------------------------------------

// A gilded frame around an opaque parchment centre. The centre is opaque on
// purpose: blue and red texts are written on it over any background, and the
// options page restores part of the flag area from this very picture.
QImage Panel(int width, int height, double border, double radius, uint32_t salt) {
  QImage image = NewImage(width, height);
  QPainter p(&image);
  PreparePainter(p);
  const QRectF outer(0.5, 0.5, width - 1.0, height - 1.0);

  QLinearGradient gold(outer.topLeft(), outer.bottomRight());
  gold.setColorAt(0.0, QColor(255, 232, 150));
  gold.setColorAt(0.45, QColor(216, 160, 52));
  gold.setColorAt(0.55, QColor(236, 190, 86));
  gold.setColorAt(1.0, QColor(140, 88, 18));
  p.setPen(QPen(QColor(92, 58, 12), 1.0));
  p.setBrush(gold);
  p.drawRoundedRect(outer, radius, radius);
  // A bright bead along the middle of the border.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(255, 246, 200, 170), std::max(1.0, border * 0.18)));
  const double mid = border * 0.45;
  p.drawRoundedRect(outer.adjusted(mid, mid, -mid, -mid), radius - mid, radius - mid);

  // Parchment centre with a faint grain.
  const QRectF inner = outer.adjusted(border, border, -border, -border);
  const double inner_radius = std::max(2.0, radius - border * 0.8);
  QImage paper(width, height, QImage::Format_ARGB32_Premultiplied);
  for (int y = 0; y < height; ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(paper.scanLine(y));
    const double v = static_cast<double>(y) / height;
    for (int x = 0; x < width; ++x) {
      const double grain = Fbm(x / 18.0, y / 18.0, 4, salt) - 0.5;
      const QColor c = Mix(QColor(255, 249, 230), QColor(245, 232, 200), v);
      row[x] = qRgb(std::clamp(static_cast<int>(c.red() + grain * 14), 0, 255),
                    std::clamp(static_cast<int>(c.green() + grain * 14), 0, 255),
                    std::clamp(static_cast<int>(c.blue() + grain * 16), 0, 255));
    }
  }
  QPainterPath inner_path;
  inner_path.addRoundedRect(inner, inner_radius, inner_radius);
  p.save();
  p.setClipPath(inner_path);
  p.drawImage(0, 0, paper);
  p.restore();
  // Sunken edge: dark above and left, light below and right.
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(120, 80, 20), 1.4));
  p.drawRoundedRect(inner, inner_radius, inner_radius);
  p.setPen(QPen(QColor(255, 255, 255, 150), 1.0));
  p.drawRoundedRect(inner.adjusted(1.5, 1.5, -1.5, -1.5), inner_radius - 1, inner_radius - 1);

  // Ruby studs in the corners.
  const double stud = std::max(2.2, border * 0.36);
  const double off = border / 2 + 0.5;
  for (const QPointF& c : {QPointF(off + radius * 0.3, off + radius * 0.3),
                           QPointF(width - off - radius * 0.3, off + radius * 0.3),
                           QPointF(off + radius * 0.3, height - off - radius * 0.3),
                           QPointF(width - off - radius * 0.3, height - off - radius * 0.3)}) {
    DrawGlossyBall(p, c, stud, QColor(210, 24, 40));
  }
  p.end();
  return image;
}

// ---- Photo frame and placeholders -------------------------------------------

QImage PhotoFrame() {
  constexpr int kW = 240;
  constexpr int kH = 290;
  const QRectF window(20, 20, 200, 250);
  QImage image = NewImage(kW, kH);
  QPainter p(&image);
  PreparePainter(p);
  p.setPen(Qt::NoPen);

  // Four mitred strips, each lit by its side: top and left catch the light.
  struct Strip {
    std::array<QPointF, 4> points;
    double light = 0;
  };
  const std::array<Strip, 4> strips = {{
      {{QPointF(0, 0), QPointF(kW, 0), window.topRight(), window.topLeft()}, 1.0},
      {{QPointF(0, 0), window.topLeft(), window.bottomLeft(), QPointF(0, kH)}, 0.75},
      {{QPointF(kW, 0), QPointF(kW, kH), window.bottomRight(), window.topRight()}, 0.35},
      {{QPointF(0, kH), window.bottomLeft(), window.bottomRight(), QPointF(kW, kH)}, 0.2},
  }};
  for (const Strip& strip : strips) {
    QPainterPath path;
    path.moveTo(strip.points[0]);
    for (int i = 1; i < 4; ++i) path.lineTo(strip.points[static_cast<size_t>(i)]);
    path.closeSubpath();
    const QPointF from = strip.points[0] * 0.5 + strip.points[1] * 0.5;
    const QPointF to = strip.points[2] * 0.5 + strip.points[3] * 0.5;
    QLinearGradient g(from, to);
    const QColor bright = Mix(QColor(150, 96, 24), QColor(255, 226, 130), strip.light);
    g.setColorAt(0.0, bright.darker(135));
    g.setColorAt(0.35, bright.lighter(112));
    g.setColorAt(0.7, bright);
    g.setColorAt(1.0, bright.darker(150));
    p.setBrush(g);
    p.drawPath(path);
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(80, 50, 10), 1.2));
  p.drawRect(QRectF(0.6, 0.6, kW - 1.2, kH - 1.2));
  p.drawRect(window.adjusted(-0.6, -0.6, 0.6, 0.6));
  p.setPen(QPen(QColor(255, 240, 190, 190), 1.0));
  p.drawRect(QRectF(6.5, 6.5, kW - 13, kH - 13));
  // Corner rosettes.
  for (const QPointF& c :
       {QPointF(10, 10), QPointF(kW - 10, 10), QPointF(10, kH - 10), QPointF(kW - 10, kH - 10)}) {
    p.setPen(QPen(QColor(110, 70, 14), 0.8));
    p.setBrush(QColor(250, 214, 110));
    p.drawPath(StarPath(c, 7, 3.4, 8, 0));
    DrawGlossyBall(p, c, 2.8, QColor(200, 30, 40));
  }
  // A soft shadow falls from the frame onto the photo.
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 4; ++i) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(QColor(0, 0, 0, 70 - i * 16), 1.0));
    p.drawRect(window.adjusted(i + 0.5, i + 0.5, -i - 0.5, -i - 0.5));
  }
  p.end();
  return image;
}

QImage PlaceholderPhoto(bool female) {
  QImage image = NewImage(200, 250);
  QPainter p(&image);
  PreparePainter(p);
  QRadialGradient back(QPointF(100, 90), 190);
  back.setColorAt(0.0, female ? QColor(255, 232, 242) : QColor(226, 238, 252));
  back.setColorAt(1.0, female ? QColor(214, 150, 188) : QColor(132, 160, 204));
  p.fillRect(image.rect(), back);

  const QColor figure = female ? QColor(150, 78, 122) : QColor(70, 92, 140);
  const QColor hair = figure.darker(150);
  QLinearGradient body_fill(QPointF(0, 60), QPointF(0, 250));
  body_fill.setColorAt(0.0, figure.lighter(125));
  body_fill.setColorAt(1.0, figure.darker(125));
  p.setPen(Qt::NoPen);
  if (female) {
    // Long hair falls behind the head to the shoulders.
    QPainterPath back_hair;
    back_hair.moveTo(100, 44);
    back_hair.cubicTo(152, 44, 160, 96, 154, 136);
    back_hair.cubicTo(150, 166, 162, 182, 146, 194);
    back_hair.lineTo(54, 194);
    back_hair.cubicTo(38, 182, 50, 166, 46, 136);
    back_hair.cubicTo(40, 96, 48, 44, 100, 44);
    p.setBrush(hair);
    p.drawPath(back_hair);
  }
  QPainterPath shoulders;
  shoulders.moveTo(18, 250);
  shoulders.cubicTo(20, 196, 56, 176, 84, 170);
  shoulders.lineTo(116, 170);
  shoulders.cubicTo(144, 176, 180, 196, 182, 250);
  shoulders.closeSubpath();
  p.setBrush(body_fill);
  p.drawPath(shoulders);
  p.drawRoundedRect(QRectF(86, 136, 28, 44), 10, 10);
  QRadialGradient head_fill(QPointF(92, 92), 56);
  head_fill.setColorAt(0.0, figure.lighter(150));
  head_fill.setColorAt(1.0, figure);
  p.setBrush(head_fill);
  p.drawEllipse(QRectF(66, 62, 68, 86));
  QPainterPath fringe;
  if (female) {
    fringe.moveTo(64, 100);
    fringe.cubicTo(60, 58, 90, 50, 102, 54);
    fringe.cubicTo(124, 54, 142, 70, 136, 104);
    fringe.cubicTo(128, 84, 108, 74, 90, 80);
    fringe.cubicTo(78, 84, 70, 90, 64, 100);
  } else {
    fringe.moveTo(65, 100);
    fringe.cubicTo(58, 62, 88, 50, 104, 54);
    fringe.cubicTo(130, 54, 144, 72, 135, 100);
    fringe.cubicTo(126, 84, 108, 78, 65, 100);
  }
  p.setBrush(hair);
  p.drawPath(fringe);
  p.end();
  return image;
}

// ---- Skinned button pieces ----------------------------------------------------

// Row colours of the button body for the standard heights 30, 45 and 60
// (rows not listed are RGB 192, 0, 0). The pieces follow them row by row, so
// a face built from pieces and one built from gradient lines look the same.
std::vector<QColor> ButtonGradient(int height) {
  std::vector<QColor> rows(static_cast<size_t>(height), QColor(192, 0, 0));
  auto put = [&rows](int first, const std::vector<QColor>& colours) {
    for (size_t i = 0; i < colours.size(); ++i) rows[static_cast<size_t>(first) + i] = colours[i];
  };
  auto falling = [](std::initializer_list<int> reds) {
    std::vector<QColor> out;
    for (int r : reds) out.emplace_back(r, 0, 0);
    return out;
  };
  auto join = [](std::vector<QColor> a, const std::vector<QColor>& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
  };
  if (height == 30) {
    put(3, join({QColor(247, 62, 62), QColor(241, 20, 20), QColor(236, 7, 7), QColor(230, 2, 2)},
                falling({225, 221, 216, 211, 206, 201, 196, 192, 187, 182, 177, 172, 167, 162, 158,
                         153, 148, 143})));
    rows[25] = QColor(141, 7, 7);
  } else if (height == 45) {
    rows[0] = QColor(191, 0, 0);
    put(4, join(join({QColor(215, 66, 66), QColor(250, 73, 73), QColor(247, 46, 46),
                      QColor(242, 18, 18), QColor(239, 8, 8), QColor(234, 5, 5), QColor(231, 2, 2)},
                     falling({227, 224, 220, 217, 214, 210, 207, 203, 200, 197, 194, 190, 187,
                              183, 180, 176, 173, 170, 166, 163, 159, 156, 152, 149, 145, 142})),
                {QColor(139, 2, 2), QColor(143, 18, 18), QColor(195, 51, 51)}));
    rows[43] = QColor(191, 0, 0);
  } else {
    put(5, join(join({QColor(252, 83, 83), QColor(250, 63, 63), QColor(247, 44, 44),
                      QColor(244, 24, 24), QColor(241, 10, 10), QColor(238, 7, 7),
                      QColor(235, 5, 5), QColor(233, 3, 3), QColor(230, 1, 1)},
                     falling({228, 225, 223, 221, 218, 216, 213, 211, 208, 206, 203, 201, 198,
                              196, 194, 192, 190, 187, 185, 182, 180, 177, 175, 172, 170, 167,
                              165, 162, 160, 158, 155, 153, 150, 148, 145, 143, 140})),
                {QColor(138, 1, 1), QColor(138, 7, 7), QColor(154, 44, 44)}));
  }
  return rows;
}

// Row r of a piece `rows` high, lit or not: the lit face has white bands at
// the top and bottom (three rows for height 30, five for 45 and 60).
QColor PieceRow(const std::vector<QColor>& gradient, int rows, int r, bool lit) {
  if (lit) {
    const int band = rows == 29 ? 3 : 5;
    if (r < band || r >= rows - band) return QColor(255, 255, 255);
  }
  return gradient[static_cast<size_t>(r)];
}

// A rounded end cap: a half disc of the piece's height joined to the body,
// DrawingRatio() times finer (the rows keep the colours of their design rows,
// the curve and its rim follow the finer pixels). Every pixel keeps green
// equal to blue, so the scheme recolouring turns the red face into clean
// green, blue, yellow and so on.
QImage EndCap(int width, int rows, const std::vector<QColor>& gradient, bool lit, bool right) {
  const int ratio = DrawingRatio();
  QImage image(width * ratio, rows * ratio, QImage::Format_ARGB32);
  const double radius = rows / 2.0;
  for (int y = 0; y < image.height(); ++y) {
    const QColor base = PieceRow(gradient, rows, y / ratio, lit);
    for (int x = 0; x < image.width(); ++x) {
      const int mx = right ? image.width() - 1 - x : x;
      int inside = 0;
      double rim = 1e9;
      for (int sy = 0; sy < 4; ++sy) {
        for (int sx = 0; sx < 4; ++sx) {
          const double px = (mx + (sx + 0.5) / 4.0) / ratio;
          const double py = (y + (sy + 0.5) / 4.0) / ratio;
          double distance = 0;
          if (px < radius)
            distance = std::hypot(px - radius, py - radius) - radius;
          else
            distance = -1e9;
          if (distance <= 0) {
            ++inside;
            rim = std::min(rim, -distance);
          }
        }
      }
      const int alpha = (inside * 255 + 8) / 16;
      double shade = 1.0;
      if (rim < 1.3) shade = 0.72;  // a darker rim along the curve
      const int r = static_cast<int>(std::lround(base.red() * shade));
      const int gb = static_cast<int>(std::lround(base.green() * shade));
      image.setPixel(x, y, qRgba(r, gb, gb, alpha));
    }
  }
  image.setDevicePixelRatio(ratio);
  return image;
}

QImage Body(int rows, const std::vector<QColor>& gradient, bool lit) {
  QImage image(10, rows, QImage::Format_ARGB32);
  for (int y = 0; y < rows; ++y) {
    const QColor c = PieceRow(gradient, rows, y, lit);
    for (int x = 0; x < 10; ++x) image.setPixel(x, y, qRgba(c.red(), c.green(), c.green(), 255));
  }
  return image;
}

void MakeButtonPieces(AssetWriter& writer) {
  struct PieceSet {
    int rows;
    int side;
    int base_height;
  };
  for (const PieceSet& set : {PieceSet{29, 23, 30}, PieceSet{44, 31, 45}, PieceSet{59, 37, 60}}) {
    const std::vector<QColor> gradient = ButtonGradient(set.base_height);
    for (const bool lit : {false, true}) {
      const QString suffix = lit ? "L" : "";
      const QString stem = QString("B%1_").arg(set.rows);
      writer.SavePng(stem + "Left" + suffix, EndCap(set.side, set.rows, gradient, lit, false));
      writer.SavePng(stem + "Right" + suffix, EndCap(set.side, set.rows, gradient, lit, true));
      // The body is plain rows, which enlarge without blur: drawn at 1x only.
      if (DrawingRatio() == 1)
        writer.SavePng(stem + "Telo" + suffix, Body(set.rows, gradient, lit));
    }
  }
}

}  // namespace

void MakeFrames(AssetWriter& writer) {
  writer.SavePng("Ramka180", Panel(180, 100, 8, 14, 11));
  writer.SavePng("Ramka600", Panel(600, 332, 12, 20, 12));
  writer.SavePng("RamkaAc", Panel(330, 55, 6, 12, 13));
  writer.SavePng("GAcFrame", PhotoFrame());
  writer.SavePng("GAcNoM", PlaceholderPhoto(false));
  writer.SavePng("GAcNoF", PlaceholderPhoto(true));
  MakeButtonPieces(writer);
  writer.SavePng("GFree", NewImage(10, 10));
}

}  // namespace braxo::art
