// Icons: online icons, lamps, medal, arrows, notices, button glyphs, profile
// field icons and the small sex icons. Generic symbols only, no brand marks.
#include <QLinearGradient>
#include <QRadialGradient>
#include <cmath>
#include <functional>
#include <numbers>

#include "Canvas.h"
#include "Generators.h"

namespace braxo::art {
namespace {

constexpr double kPi = std::numbers::pi;

QImage WithPainter(int w, int h, const std::function<void(QPainter&)>& draw) {
  QImage image = NewImage(w, h);
  QPainter p(&image);
  PreparePainter(p);
  draw(p);
  p.end();
  return image;
}

// A soft shadow under the icon makes it stand out on any background.
QImage WithShadow(const QImage& icon, QPointF offset, int alpha, int blur) {
  QImage shadow = icon;
  {
    QPainter s(&shadow);
    s.setCompositionMode(QPainter::CompositionMode_SourceIn);
    s.fillRect(shadow.rect(), QColor(0, 0, 0, alpha));
  }
  const QSize size = icon.deviceIndependentSize().toSize();
  QImage out = NewImage(size.width(), size.height());
  QPainter p(&out);
  p.drawImage(offset, Blurred(shadow, blur));
  p.drawImage(0, 0, icon);
  p.end();
  return out;
}

void Outlined(QPainter& p, const QPainterPath& path, const QBrush& fill, const QColor& line,
              double width) {
  p.setPen(QPen(line, width, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(fill);
  p.drawPath(path);
}

QLinearGradient Vertical(double top, double bottom, const QColor& a, const QColor& b) {
  QLinearGradient g(QPointF(0, top), QPointF(0, bottom));
  g.setColorAt(0.0, a);
  g.setColorAt(1.0, b);
  return g;
}

// ---- Online icons -------------------------------------------------------------

// A person: head and shoulders, kept to the lower left so that the account
// lamp fits over the top right quarter.
void PaintPerson(QPainter& p, const QRectF& box, const QColor& colour) {
  p.save();
  p.translate(box.topLeft());
  p.scale(box.width() / 48.0, box.height() / 48.0);
  QPainterPath body;
  body.moveTo(3, 46);
  body.cubicTo(3, 33, 10, 28, 20, 27);
  body.lineTo(24, 27);
  body.cubicTo(34, 28, 41, 33, 41, 46);
  body.closeSubpath();
  QPainterPath head;
  head.addEllipse(QPointF(22, 16), 9.5, 10.5);
  QLinearGradient fill(QPointF(0, 5), QPointF(0, 46));
  fill.setColorAt(0.0, colour.lighter(140));
  fill.setColorAt(1.0, colour.darker(140));
  Outlined(p, body, fill, colour.darker(220), 1.6);
  Outlined(p, head, fill, colour.darker(220), 1.6);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 90));
  p.drawEllipse(QRectF(15, 8, 8, 6));
  p.restore();
}

QImage Account48() {
  return WithShadow(
      WithPainter(48, 48,
                  [](QPainter& p) { PaintPerson(p, QRectF(0, 1, 46, 46), QColor(40, 110, 220)); }),
      QPointF(1.5, 1.5), 110, 1);
}

QImage Earth48() {
  return WithShadow(
      WithPainter(48, 48, [](QPainter& p) { PaintGlobe(p, QPointF(23.5, 23.5), 21.5, 5); }),
      QPointF(1.5, 1.5), 110, 1);
}

QImage Chat48() {
  return WithShadow(
      WithPainter(48, 48,
                  [](QPainter& p) {
                    QPainterPath back;
                    back.addRoundedRect(QRectF(17, 4, 29, 21), 8, 8);
                    QPainterPath tail;
                    tail.moveTo(36, 23);
                    tail.lineTo(42, 31);
                    tail.lineTo(29, 24);
                    back = back.united(tail);
                    Outlined(p, back, Vertical(4, 30, QColor(255, 214, 110), QColor(242, 150, 20)),
                             QColor(150, 80, 0), 1.5);
                    QPainterPath front;
                    front.addRoundedRect(QRectF(2, 14, 32, 23), 9, 9);
                    QPainterPath front_tail;
                    front_tail.moveTo(9, 35);
                    front_tail.lineTo(5, 45);
                    front_tail.lineTo(17, 36);
                    front = front.united(front_tail);
                    Outlined(p, front,
                             Vertical(14, 45, QColor(110, 190, 255), QColor(20, 100, 220)),
                             QColor(10, 50, 130), 1.5);
                    p.setPen(Qt::NoPen);
                    p.setBrush(Qt::white);
                    for (int i = 0; i < 3; ++i) p.drawEllipse(QPointF(10 + i * 8, 25.5), 2.6, 2.6);
                  }),
      QPointF(1.5, 1.5), 110, 1);
}

// A smartphone (the mobile platform).
QImage Phone48() {
  return WithShadow(
      WithPainter(48, 48,
                  [](QPainter& p) {
                    QPainterPath body;
                    body.addRoundedRect(QRectF(11, 1.5, 26, 45), 5, 5);
                    Outlined(p, body, Vertical(0, 48, QColor(90, 96, 110), QColor(28, 30, 38)),
                             QColor(10, 10, 14), 1.4);
                    QLinearGradient screen(QPointF(13, 6), QPointF(35, 40));
                    screen.setColorAt(0.0, QColor(120, 220, 140));
                    screen.setColorAt(1.0, QColor(20, 130, 90));
                    p.setPen(Qt::NoPen);
                    p.setBrush(screen);
                    p.drawRoundedRect(QRectF(13.5, 7, 21, 32), 1.5, 1.5);
                    // App tiles on the screen.
                    p.setBrush(QColor(255, 255, 255, 210));
                    for (int r = 0; r < 3; ++r) {
                      for (int c = 0; c < 3; ++c)
                        p.drawRoundedRect(QRectF(15.5 + c * 6.5, 9.5 + r * 7, 4.5, 4.5), 1, 1);
                    }
                    p.setBrush(QColor(255, 255, 255, 60));
                    QPainterPath gloss;
                    gloss.moveTo(13.5, 7);
                    gloss.lineTo(34.5, 7);
                    gloss.lineTo(13.5, 28);
                    gloss.closeSubpath();
                    p.drawPath(gloss);
                    p.setBrush(QColor(200, 200, 210));
                    p.drawEllipse(QPointF(24, 42.5), 2.2, 2.2);
                    p.drawRoundedRect(QRectF(20, 3.5, 8, 1.6), 0.8, 0.8);
                  }),
      QPointF(1.5, 1.5), 110, 1);
}

// A desktop computer (the desktop platform).
QImage Desktop48() {
  return WithShadow(
      WithPainter(48, 48,
                  [](QPainter& p) {
                    QPainterPath stand;
                    stand.moveTo(20, 33);
                    stand.lineTo(28, 33);
                    stand.lineTo(30, 40);
                    stand.lineTo(18, 40);
                    stand.closeSubpath();
                    Outlined(p, stand, Vertical(33, 40, QColor(170, 174, 184), QColor(90, 94, 104)),
                             QColor(50, 52, 60), 1.0);
                    QPainterPath monitor;
                    monitor.addRoundedRect(QRectF(2, 4, 44, 30), 3, 3);
                    Outlined(p, monitor, Vertical(4, 34, QColor(80, 86, 100), QColor(30, 32, 40)),
                             QColor(12, 12, 16), 1.3);
                    QLinearGradient screen(QPointF(5, 7), QPointF(43, 30));
                    screen.setColorAt(0.0, QColor(120, 200, 255));
                    screen.setColorAt(1.0, QColor(20, 80, 200));
                    p.setPen(Qt::NoPen);
                    p.setBrush(screen);
                    p.drawRect(QRectF(5, 7, 38, 23));
                    // Windows on the desktop.
                    p.setBrush(QColor(255, 255, 255, 220));
                    p.drawRect(QRectF(9, 11, 14, 10));
                    p.setBrush(QColor(255, 210, 80, 230));
                    p.drawRect(QRectF(26, 15, 13, 10));
                    p.setBrush(QColor(30, 60, 140, 200));
                    p.drawRect(QRectF(9, 11, 14, 2.2));
                    p.drawRect(QRectF(26, 15, 13, 2.2));
                    QPainterPath keyboard;
                    keyboard.addRoundedRect(QRectF(8, 41.5, 32, 5), 1.5, 1.5);
                    Outlined(p, keyboard,
                             Vertical(41, 47, QColor(230, 232, 238), QColor(160, 164, 176)),
                             QColor(70, 72, 80), 1.0);
                  }),
      QPointF(1.5, 1.5), 110, 1);
}

// A shopping bag with a download arrow (the application store).
QImage Store48() {
  return WithShadow(
      WithPainter(48, 48,
                  [](QPainter& p) {
                    p.setBrush(Qt::NoBrush);
                    p.setPen(QPen(QColor(120, 40, 10), 3.2, Qt::SolidLine, Qt::RoundCap));
                    p.drawArc(QRectF(15, 3, 18, 20), 0, 180 * 16);
                    QPainterPath bag;
                    bag.moveTo(6, 14);
                    bag.lineTo(42, 14);
                    bag.lineTo(45, 46);
                    bag.lineTo(3, 46);
                    bag.closeSubpath();
                    Outlined(p, bag, Vertical(14, 46, QColor(255, 170, 70), QColor(220, 80, 20)),
                             QColor(120, 40, 10), 1.5);
                    p.setPen(QPen(QColor(120, 40, 10), 2.4, Qt::SolidLine, Qt::RoundCap));
                    p.drawPoint(QPointF(15, 19));
                    p.drawPoint(QPointF(33, 19));
                    QPainterPath arrow;
                    arrow.moveTo(21, 22);
                    arrow.lineTo(27, 22);
                    arrow.lineTo(27, 31);
                    arrow.lineTo(32, 31);
                    arrow.lineTo(24, 41);
                    arrow.lineTo(16, 31);
                    arrow.lineTo(21, 31);
                    arrow.closeSubpath();
                    Outlined(p, arrow, QColor(255, 255, 255), QColor(140, 50, 10), 1.2);
                  }),
      QPointF(1.5, 1.5), 110, 1);
}

QImage RoundBadge(int size, const QColor& colour, const QString& text, double text_px) {
  return WithPainter(size, size, [&](QPainter& p) {
    const double r = size / 2.0 - 1.5;
    DrawGlossyBall(p, QPointF(size / 2.0, size / 2.0), r, colour);
    const QFont font = ArtFont(kSansFamily, text_px, QFont::Black);
    const QPainterPath glyph = CentredTextPath(text, font, QPointF(size / 2.0, size / 2.0 + 0.5));
    p.setPen(QPen(colour.darker(200), std::max(1.0, size / 24.0)));
    p.setBrush(Qt::white);
    p.drawPath(glyph);
  });
}

QImage Stat48() {
  return WithShadow(
      WithPainter(48, 48,
                  [](QPainter& p) {
                    p.setPen(Qt::NoPen);
                    p.setBrush(QColor(255, 255, 255, 200));
                    p.drawRoundedRect(QRectF(2, 3, 44, 42), 6, 6);
                    const QColor colours[4] = {QColor(230, 50, 50), QColor(250, 180, 20),
                                               QColor(40, 170, 70), QColor(40, 110, 230)};
                    const double heights[4] = {14, 22, 18, 31};
                    for (int i = 0; i < 4; ++i) {
                      const QRectF bar(7 + i * 9.5, 40 - heights[i], 7.5, heights[i]);
                      QLinearGradient g(bar.topLeft(), bar.topRight());
                      g.setColorAt(0.0, colours[i].lighter(140));
                      g.setColorAt(1.0, colours[i].darker(120));
                      p.setPen(QPen(colours[i].darker(200), 1.0));
                      p.setBrush(g);
                      p.drawRect(bar);
                    }
                    p.setPen(QPen(QColor(50, 50, 60), 2.0, Qt::SolidLine, Qt::RoundCap));
                    p.drawLine(QPointF(5, 41), QPointF(44, 41));
                    p.drawLine(QPointF(5, 41), QPointF(5, 6));
                  }),
      QPointF(1.5, 1.5), 90, 1);
}

// ---- Lamps, medal, arrows, notices ---------------------------------------------

QImage Lamp(const QColor& colour) {
  return WithPainter(24, 24, [&](QPainter& p) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 0, 70));
    p.drawEllipse(QPointF(12.6, 13.0), 10.8, 10.8);
    QLinearGradient bezel(QPointF(0, 1), QPointF(0, 23));
    bezel.setColorAt(0.0, QColor(240, 240, 246));
    bezel.setColorAt(1.0, QColor(110, 112, 124));
    p.setBrush(bezel);
    p.drawEllipse(QPointF(12, 12), 10.8, 10.8);
    DrawGlossyBall(p, QPointF(12, 12), 8.6, colour);
  });
}

QImage Arrow(bool right) {
  return WithShadow(WithPainter(72, 72,
                                [&](QPainter& p) {
                                  if (!right) {
                                    p.translate(72, 0);
                                    p.scale(-1, 1);
                                  }
                                  QPainterPath arrow;
                                  arrow.moveTo(6, 26);
                                  arrow.lineTo(34, 26);
                                  arrow.lineTo(34, 8);
                                  arrow.quadTo(36, 6, 38, 8);
                                  arrow.lineTo(66, 34);
                                  arrow.quadTo(68, 36, 66, 38);
                                  arrow.lineTo(38, 64);
                                  arrow.quadTo(36, 66, 34, 64);
                                  arrow.lineTo(34, 46);
                                  arrow.lineTo(6, 46);
                                  arrow.quadTo(3, 46, 3, 43);
                                  arrow.lineTo(3, 29);
                                  arrow.quadTo(3, 26, 6, 26);
                                  arrow.closeSubpath();
                                  QLinearGradient fill(QPointF(0, 6), QPointF(0, 66));
                                  fill.setColorAt(0.0, QColor(140, 230, 110));
                                  fill.setColorAt(0.5, QColor(40, 176, 50));
                                  fill.setColorAt(1.0, QColor(12, 110, 30));
                                  Outlined(p, arrow, fill, QColor(8, 70, 20), 2.2);
                                  p.setPen(Qt::NoPen);
                                  p.setBrush(QColor(255, 255, 255, 90));
                                  QPainterPath shine;
                                  shine.moveTo(7, 29);
                                  shine.lineTo(37, 29);
                                  shine.lineTo(37, 12);
                                  shine.lineTo(58, 33);
                                  shine.lineTo(7, 36);
                                  shine.closeSubpath();
                                  p.drawPath(shine);
                                }),
                    QPointF(2, 3), 110, 2);
}

QImage Warning48() {
  return WithPainter(48, 48, [](QPainter& p) {
    QPainterPath triangle;
    triangle.moveTo(24, 3);
    triangle.quadTo(26, 3, 27, 5);
    triangle.lineTo(46, 41);
    triangle.quadTo(47, 45, 43, 45);
    triangle.lineTo(5, 45);
    triangle.quadTo(1, 45, 2, 41);
    triangle.lineTo(21, 5);
    triangle.quadTo(22, 3, 24, 3);
    triangle.closeSubpath();
    Outlined(p, triangle, QColor(210, 16, 16), QColor(120, 0, 0), 1.2);
    QPainterPath inner;
    inner.moveTo(24, 12);
    inner.lineTo(39, 40);
    inner.lineTo(9, 40);
    inner.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Vertical(12, 40, QColor(255, 250, 220), QColor(255, 214, 60)));
    p.drawPath(inner);
    p.setBrush(QColor(20, 20, 20));
    QPainterPath bar;
    bar.moveTo(22, 20);
    bar.lineTo(26, 20);
    bar.lineTo(25.2, 31);
    bar.lineTo(22.8, 31);
    bar.closeSubpath();
    p.drawPath(bar);
    p.drawEllipse(QPointF(24, 35.5), 2.2, 2.2);
  });
}

QImage Stop45() {
  return WithPainter(45, 45, [](QPainter& p) {
    const QPointF c(22.5, 22.5);
    p.setPen(QPen(QColor(90, 0, 0), 1.0));
    p.setBrush(QColor(250, 250, 250));
    p.drawPath(RegularPolygon(c, 22, 8, 22.5));
    QRadialGradient red(c + QPointF(-5, -6), 26);
    red.setColorAt(0.0, QColor(255, 70, 60));
    red.setColorAt(1.0, QColor(176, 0, 0));
    p.setPen(Qt::NoPen);
    p.setBrush(red);
    p.drawPath(RegularPolygon(c, 19.5, 8, 22.5));
    QFont font = ArtFont(kSansFamily, 12.5, QFont::Black);
    font.setLetterSpacing(QFont::AbsoluteSpacing, -0.3);
    p.setBrush(Qt::white);
    p.drawPath(CentredTextPath("STOP", font, c));
  });
}

// ---- Button glyphs ------------------------------------------------------------

// A bold white letter with a dark edge and shadow, readable on the red,
// yellow and green buttons alike.
QImage LetterGlyph(const QString& letter) {
  return WithShadow(
      WithPainter(48, 48,
                  [&](QPainter& p) {
                    const QFont font = ArtFont(kSansFamily, 44, QFont::Black);
                    const QPainterPath glyph = CentredTextPath(letter, font, QPointF(24, 24));
                    p.setPen(QPen(QColor(40, 20, 0, 220), 3.4, Qt::SolidLine, Qt::RoundCap,
                                  Qt::RoundJoin));
                    p.setBrush(Qt::NoBrush);
                    p.drawPath(glyph);
                    p.setPen(Qt::NoPen);
                    p.setBrush(Vertical(4, 44, QColor(255, 255, 255), QColor(226, 232, 246)));
                    p.drawPath(glyph);
                  }),
      QPointF(1.5, 2), 120, 1);
}

QPainterPath Gear(QPointF centre, double outer, double inner, int teeth, double hole,
                  double rotation) {
  QPainterPath gear;
  const int steps = teeth * 4;
  for (int i = 0; i < steps; ++i) {
    const double a = (rotation + i * 360.0 / steps) * kPi / 180;
    const double r = (i % 4 < 2) ? outer : inner;
    const double a2 = (rotation + (i + 1) * 360.0 / steps) * kPi / 180;
    const QPointF p1(centre.x() + r * std::cos(a), centre.y() + r * std::sin(a));
    const QPointF p2(centre.x() + r * std::cos(a2), centre.y() + r * std::sin(a2));
    if (i == 0)
      gear.moveTo(p1);
    else
      gear.lineTo(p1);
    gear.lineTo(p2);
  }
  gear.closeSubpath();
  QPainterPath hole_path;
  hole_path.addEllipse(centre, hole, hole);
  return gear.subtracted(hole_path);
}

QImage GearsGlyph() {
  return WithShadow(WithPainter(48, 48,
                                [](QPainter& p) {
                                  auto metal = [](QPointF c, double r) {
                                    QRadialGradient g(c + QPointF(-r * 0.3, -r * 0.4), r * 1.4);
                                    g.setColorAt(0.0, QColor(255, 255, 255));
                                    g.setColorAt(0.5, QColor(196, 202, 214));
                                    g.setColorAt(1.0, QColor(104, 110, 126));
                                    return g;
                                  };
                                  Outlined(p, Gear(QPointF(31, 30), 15, 11.5, 10, 5, 8),
                                           metal(QPointF(31, 30), 15), QColor(40, 44, 56), 1.4);
                                  Outlined(p, Gear(QPointF(15, 15), 12.5, 9.5, 8, 4, 0),
                                           metal(QPointF(15, 15), 12.5), QColor(40, 44, 56), 1.4);
                                }),
                    QPointF(1.5, 2), 120, 1);
}

QImage InfoGlyph() {
  return WithShadow(WithPainter(48, 48,
                                [](QPainter& p) {
                                  DrawGlossyBall(p, QPointF(24, 24), 21, QColor(30, 110, 230));
                                  p.setPen(Qt::NoPen);
                                  p.setBrush(Qt::white);
                                  p.drawEllipse(QPointF(24, 13.5), 3.6, 3.6);
                                  p.drawRoundedRect(QRectF(20.5, 20, 7, 18), 2, 2);
                                  p.drawRoundedRect(QRectF(17.5, 35, 13, 4), 1.5, 1.5);
                                  p.drawRoundedRect(QRectF(17.5, 20, 8, 3.5), 1.5, 1.5);
                                }),
                    QPointF(1.5, 2), 120, 1);
}

QImage RefreshGlyph() {
  return WithPainter(32, 32, [](QPainter& p) {
    const QPointF c(16, 16);
    auto arc_arrow = [&](double start_deg) {
      QPainterPath ring;
      ring.arcMoveTo(QRectF(4, 4, 24, 24), start_deg);
      ring.arcTo(QRectF(4, 4, 24, 24), start_deg, 140);
      QPainterPathStroker stroker;
      stroker.setWidth(5);
      stroker.setCapStyle(Qt::FlatCap);
      QPainterPath band = stroker.createStroke(ring);
      const double end = (start_deg + 140) * kPi / 180;
      const QPointF tip(c.x() + 12 * std::cos(end), c.y() - 12 * std::sin(end));
      const QPointF tangent(-std::sin(end), -std::cos(end));
      const QPointF normal(std::cos(end), -std::sin(end));
      QPainterPath head;
      head.moveTo(tip + normal * 6.5);
      head.lineTo(tip + tangent * 7);
      head.lineTo(tip - normal * 6.5);
      head.closeSubpath();
      return band.united(head);
    };
    const QPainterPath arrows = arc_arrow(20).united(arc_arrow(200));
    Outlined(p, arrows, Vertical(2, 30, QColor(130, 230, 120), QColor(20, 140, 40)),
             QColor(10, 80, 20), 1.2);
  });
}

// ---- Profile field icons -------------------------------------------------------

QImage LetterBadge(const QString& text, const QColor& colour, double text_px) {
  return WithPainter(32, 32, [&](QPainter& p) {
    QPainterPath badge;
    badge.addRoundedRect(QRectF(1.5, 1.5, 29, 29), 7, 7);
    Outlined(p, badge, Vertical(1, 31, colour.lighter(135), colour.darker(125)), colour.darker(200),
             1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(
        CentredTextPath(text, ArtFont(kSansFamily, text_px, QFont::Black), QPointF(16, 16.5)));
  });
}

QImage IdCard(bool second) {
  return WithPainter(32, 32, [&](QPainter& p) {
    QPainterPath card;
    card.addRoundedRect(QRectF(1.5, 5.5, 29, 21), 3, 3);
    Outlined(p, card, Vertical(5, 27, QColor(255, 255, 255), QColor(214, 224, 240)),
             QColor(60, 80, 120), 1.2);
    p.setPen(Qt::NoPen);
    p.setBrush(second ? QColor(120, 60, 200) : QColor(40, 120, 220));
    p.drawEllipse(QPointF(10, 13.5), 3.6, 3.6);
    QPainterPath shoulders;
    shoulders.moveTo(4.5, 24);
    shoulders.cubicTo(4.5, 18, 15.5, 18, 15.5, 24);
    shoulders.closeSubpath();
    p.drawPath(shoulders);
    p.setBrush(QColor(90, 100, 120));
    p.drawRoundedRect(QRectF(18, 10, 10, 2.4), 1, 1);
    p.drawRoundedRect(QRectF(18, 15, 8, 2.4), 1, 1);
    p.drawRoundedRect(QRectF(18, 20, 10, 2.4), 1, 1);
    p.setBrush(second ? QColor(120, 60, 200) : QColor(40, 120, 220));
    p.drawEllipse(QPointF(27, 6), 5, 5);
    p.setBrush(Qt::white);
    p.drawPath(
        CentredTextPath(second ? "2" : "1", ArtFont(kSansFamily, 8, QFont::Black), QPointF(27, 6)));
  });
}

QImage NotepadIcon() {
  return WithPainter(32, 32, [](QPainter& p) {
    QPainterPath page;
    page.addRoundedRect(QRectF(5.5, 2.5, 21, 27), 2.5, 2.5);
    Outlined(p, page, Vertical(2, 30, QColor(255, 252, 210), QColor(246, 230, 150)),
             QColor(140, 110, 30), 1.2);
    p.setPen(QPen(QColor(90, 120, 200), 1.4));
    for (int i = 0; i < 5; ++i)
      p.drawLine(QPointF(9, 9.5 + i * 4.2), QPointF(23 - (i == 4 ? 6 : 0), 9.5 + i * 4.2));
    p.setPen(QPen(QColor(220, 60, 60), 1.2));
    p.drawLine(QPointF(8, 4), QPointF(8, 28));
  });
}

QImage EnvelopeIcon() {
  return WithPainter(32, 32, [](QPainter& p) {
    PaintEnvelope(p, QRectF(2, 7, 28, 19), QColor(255, 255, 255), QColor(40, 90, 190));
  });
}

QImage HandsetIcon() {
  return WithPainter(32, 32, [](QPainter& p) {
    DrawGlossyBall(p, QPointF(16, 16), 14.5, QColor(40, 170, 70));
    QPainterPath handset;
    handset.moveTo(10, 8);
    handset.cubicTo(12, 7, 14, 10, 14.5, 12);
    handset.cubicTo(15, 14, 12.5, 14, 13, 16);
    handset.cubicTo(14, 18.5, 15.5, 20, 17.5, 20.5);
    handset.cubicTo(19, 21, 19.5, 18.5, 21.5, 19);
    handset.cubicTo(23.5, 19.5, 25.5, 21, 24.5, 23);
    handset.cubicTo(23, 26, 19, 26, 15, 23);
    handset.cubicTo(11, 20, 8, 16, 7.5, 12.5);
    handset.cubicTo(7.2, 10.5, 8.5, 8.6, 10, 8);
    handset.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawPath(handset);
  });
}

QImage GlobeIcon() {
  return WithPainter(32, 32, [](QPainter& p) { PaintGlobe(p, QPointF(16, 16), 14.5, 9); });
}

QImage CameraIcon() {
  return WithPainter(32, 32, [](QPainter& p) {
    QPainterPath body;
    body.addRoundedRect(QRectF(2.5, 8.5, 27, 19), 4, 4);
    QPainterPath top;
    top.addRoundedRect(QRectF(10, 5, 12, 6), 2, 2);
    Outlined(p, body.united(top), Vertical(5, 28, QColor(236, 110, 170), QColor(150, 40, 170)),
             QColor(90, 20, 100), 1.2);
    p.setPen(QPen(QColor(255, 255, 255), 2.2));
    p.setBrush(QColor(60, 30, 90));
    p.drawEllipse(QPointF(16, 18), 6, 6);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 170));
    p.drawEllipse(QPointF(14, 16), 1.8, 1.8);
    p.setBrush(QColor(255, 240, 160));
    p.drawEllipse(QPointF(25, 12.5), 1.6, 1.6);
  });
}

QImage PlayIcon() {
  return WithPainter(32, 32, [](QPainter& p) {
    DrawGlossyBall(p, QPointF(16, 16), 14.5, QColor(226, 40, 40));
    QPainterPath triangle;
    triangle.moveTo(12.5, 9);
    triangle.lineTo(23.5, 16);
    triangle.lineTo(12.5, 23);
    triangle.closeSubpath();
    p.setPen(QPen(Qt::white, 1.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
    p.setBrush(Qt::white);
    p.drawPath(triangle);
  });
}

QImage PaperPlaneIcon() {
  return WithPainter(32, 32, [](QPainter& p) {
    QPainterPath plane;
    plane.moveTo(2, 15);
    plane.lineTo(30, 4);
    plane.lineTo(24, 28);
    plane.lineTo(15, 21);
    plane.closeSubpath();
    Outlined(p, plane, Vertical(4, 28, QColor(170, 220, 255), QColor(60, 150, 230)),
             QColor(20, 80, 150), 1.3);
    QPainterPath fold;
    fold.moveTo(30, 4);
    fold.lineTo(13, 19.5);
    fold.lineTo(13, 27);
    fold.lineTo(17, 22.5);
    fold.closeSubpath();
    Outlined(p, fold, QColor(40, 110, 190), QColor(20, 80, 150), 1.0);
  });
}

QImage HeadsetIcon() {
  return WithPainter(32, 32, [](QPainter& p) {
    DrawGlossyBall(p, QPointF(16, 16), 14.5, QColor(20, 150, 220));
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(Qt::white, 2.4, Qt::SolidLine, Qt::RoundCap));
    p.drawArc(QRectF(8, 7, 16, 16), 0, 180 * 16);
    p.setPen(Qt::NoPen);
    p.setBrush(Qt::white);
    p.drawRoundedRect(QRectF(6.5, 14, 5, 8), 2, 2);
    p.drawRoundedRect(QRectF(20.5, 14, 5, 8), 2, 2);
    p.setPen(QPen(Qt::white, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    QPainterPath mic;
    mic.moveTo(23, 22);
    mic.quadTo(22, 26, 17, 26);
    p.drawPath(mic);
  });
}

QImage HashIcon() { return LetterBadge("#", QColor(40, 170, 240), 22); }

// ---- Small faces ---------------------------------------------------------------

QImage Face16(bool female) {
  return WithPainter(16, 16, [&](QPainter& p) {
    const QColor hair = female ? QColor(200, 60, 130) : QColor(40, 80, 170);
    p.setPen(Qt::NoPen);
    p.setBrush(hair);
    if (female) {
      p.drawRoundedRect(QRectF(1.5, 1.5, 13, 14), 5, 5);
    } else {
      p.drawEllipse(QRectF(2, 0.8, 12, 9));
    }
    QRadialGradient skin(QPointF(7, 7), 8);
    skin.setColorAt(0.0, QColor(255, 228, 200));
    skin.setColorAt(1.0, QColor(236, 180, 140));
    p.setPen(QPen(QColor(150, 90, 60), 0.8));
    p.setBrush(skin);
    p.drawEllipse(QRectF(3.2, 3.6, 9.6, 11));
    p.setPen(Qt::NoPen);
    p.setBrush(hair);
    if (female) {
      QPainterPath fringe;
      fringe.moveTo(3, 7);
      fringe.quadTo(5, 2, 8, 2.5);
      fringe.quadTo(12, 2, 13, 7);
      fringe.quadTo(10, 4.5, 8, 5.5);
      fringe.quadTo(5, 4.5, 3, 7);
      p.drawPath(fringe);
    } else {
      QPainterPath fringe;
      fringe.moveTo(3, 7.5);
      fringe.quadTo(4, 1.5, 8, 2);
      fringe.quadTo(12.5, 1.5, 13, 7.5);
      fringe.quadTo(9, 4, 3, 7.5);
      p.drawPath(fringe);
    }
    p.setBrush(QColor(40, 30, 30));
    p.drawEllipse(QPointF(6.3, 9), 0.8, 0.9);
    p.drawEllipse(QPointF(9.7, 9), 0.8, 0.9);
    p.setPen(QPen(QColor(190, 60, 60), 0.9, Qt::SolidLine, Qt::RoundCap));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(6, 9.5, 4, 3), -20 * 16, -140 * 16);
  });
}

}  // namespace

// ---- Shared pieces ---------------------------------------------------------------

void PaintGlobe(QPainter& p, QPointF centre, double radius, uint32_t salt) {
  p.save();
  PreparePainter(p);
  const int size = static_cast<int>(std::ceil(radius * 2)) + 2;
  // Orthographic view of a noise "planet", three times oversampled at the
  // ratio drawn.
  const int oversampling = 3 * DrawingRatio();
  QImage sphere(size * oversampling, size * oversampling, QImage::Format_ARGB32_Premultiplied);
  sphere.fill(Qt::transparent);
  const double r3 = radius * oversampling;
  const QPointF c3(size * oversampling / 2.0, size * oversampling / 2.0);
  for (int y = 0; y < sphere.height(); ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(sphere.scanLine(y));
    for (int x = 0; x < sphere.width(); ++x) {
      const double nx = (x + 0.5 - c3.x()) / r3;
      const double ny = (y + 0.5 - c3.y()) / r3;
      const double d2 = nx * nx + ny * ny;
      if (d2 > 1.0) continue;
      const double nz = std::sqrt(1.0 - d2);
      const double lon = std::atan2(nx, nz) + 0.6;
      const double lat = std::asin(ny);
      const double land = Fbm(lon * 2.2 + 10, lat * 2.6 + 10, 5, salt);
      const double light = Clamp01(0.35 + 0.75 * (-nx * 0.45 - ny * 0.55 + nz * 0.7));
      QColor c = land > 0.54 ? Mix(QColor(40, 150, 50), QColor(150, 190, 80), (land - 0.54) * 4)
                             : Mix(QColor(10, 60, 170), QColor(40, 140, 230), land * 1.6);
      if (std::abs(lat) > 1.2) c = QColor(240, 246, 255);
      c = Mix(QColor(0, 10, 40), c, light);
      row[x] = c.rgba();
    }
  }
  p.drawImage(QRectF(centre.x() - size / 2.0, centre.y() - size / 2.0, size, size), sphere);
  p.setPen(Qt::NoPen);
  QRadialGradient shine(centre + QPointF(-radius * 0.35, -radius * 0.45), radius * 0.8);
  shine.setColorAt(0.0, QColor(255, 255, 255, 150));
  shine.setColorAt(1.0, QColor(255, 255, 255, 0));
  p.setBrush(shine);
  p.drawEllipse(centre, radius, radius);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(QColor(120, 200, 255, 160), std::max(1.0, radius * 0.08)));
  p.drawEllipse(centre, radius - radius * 0.03, radius - radius * 0.03);
  p.setPen(QPen(QColor(0, 30, 80, 220), std::max(0.8, radius * 0.05)));
  p.drawEllipse(centre, radius, radius);
  p.restore();
}

void PaintEnvelope(QPainter& p, const QRectF& box, const QColor& paper, const QColor& line) {
  p.save();
  PreparePainter(p);
  QPainterPath body;
  body.addRoundedRect(box, box.height() * 0.1, box.height() * 0.1);
  QLinearGradient fill(box.topLeft(), box.bottomLeft());
  fill.setColorAt(0.0, paper);
  fill.setColorAt(1.0, paper.darker(118));
  Outlined(p, body, fill, line, std::max(1.0, box.height() / 14));
  QPainterPath flap;
  flap.moveTo(box.topLeft() + QPointF(1, 1));
  flap.lineTo(box.center() + QPointF(0, box.height() * 0.12));
  flap.lineTo(box.topRight() + QPointF(-1, 1));
  p.setBrush(Qt::NoBrush);
  p.setPen(
      QPen(line, std::max(1.0, box.height() / 14), Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(flap);
  p.restore();
}

void PaintMedal(QPainter& p, const QRectF& box) {
  p.save();
  PreparePainter(p);
  p.translate(box.topLeft());
  p.scale(box.width() / 48.0, box.height() / 48.0);
  // Ribbon.
  QPainterPath left;
  left.moveTo(9, 0);
  left.lineTo(19, 0);
  left.lineTo(27, 22);
  left.lineTo(18, 24);
  left.closeSubpath();
  QPainterPath right;
  right.moveTo(39, 0);
  right.lineTo(29, 0);
  right.lineTo(21, 22);
  right.lineTo(30, 24);
  right.closeSubpath();
  Outlined(p, left, Vertical(0, 24, QColor(60, 110, 230), QColor(20, 50, 150)), QColor(10, 30, 90),
           1.0);
  Outlined(p, right, Vertical(0, 24, QColor(240, 60, 60), QColor(160, 10, 10)), QColor(90, 0, 0),
           1.0);
  // Disc.
  QRadialGradient gold(QPointF(20, 27), 20);
  gold.setColorAt(0.0, QColor(255, 246, 170));
  gold.setColorAt(0.55, QColor(250, 200, 50));
  gold.setColorAt(1.0, QColor(190, 120, 10));
  p.setPen(QPen(QColor(130, 80, 0), 1.4));
  p.setBrush(gold);
  p.drawEllipse(QPointF(24, 32), 14.5, 14.5);
  p.setPen(QPen(QColor(200, 140, 20), 1.2));
  p.setBrush(Qt::NoBrush);
  p.drawEllipse(QPointF(24, 32), 11, 11);
  p.setPen(QPen(QColor(160, 100, 0), 0.9));
  p.setBrush(Vertical(22, 42, QColor(255, 250, 200), QColor(240, 170, 30)));
  p.drawPath(StarPath(QPointF(24, 32.5), 8.5, 3.6, 5, 0));
  p.restore();
}

void MakeIcons(AssetWriter& writer) {
  writer.SavePng("Account48", Account48());
  writer.SavePng("Earth48", Earth48());
  writer.SavePng("GChat048", Chat48());
  writer.SavePng("Android", Phone48());
  writer.SavePng("Windows", Desktop48());
  writer.SavePng("GPlay", Store48());
  writer.SavePng("Help48", WithShadow(RoundBadge(48, QColor(30, 140, 230), "?", 32),
                                      QPointF(1.5, 1.5), 110, 1));
  writer.SavePng("Stat48", Stat48());
  writer.SavePng(
      "Medal",
      WithShadow(WithPainter(48, 48, [](QPainter& p) { PaintMedal(p, QRectF(0, 0, 48, 48)); }),
                 QPointF(1.5, 1.5), 110, 1));
  writer.SavePng("Warning48", Warning48());
  writer.SavePng("Stop45", Stop45());
  writer.SavePng("LampR24", Lamp(QColor(236, 20, 20)));
  writer.SavePng("LampY24", Lamp(QColor(255, 204, 0)));
  writer.SavePng("LampG24", Lamp(QColor(30, 200, 50)));
  writer.SavePng("Arrow072L", Arrow(false));
  writer.SavePng("Arrow072R", Arrow(true));
  writer.SavePng("FaceMan16", Face16(false));
  writer.SavePng("FaceWoman16", Face16(true));

  writer.SavePng("GlyphN", LetterGlyph("N"));
  writer.SavePng("GlyphE", LetterGlyph("E"));
  writer.SavePng("GlyphS", LetterGlyph("S"));
  writer.SavePng(
      "GlyphChampions",
      WithShadow(WithPainter(48, 48, [](QPainter& p) { PaintMedal(p, QRectF(1, 0, 46, 46)); }),
                 QPointF(1.5, 2), 120, 1));
  writer.SavePng("GlyphOptions", GearsGlyph());
  writer.SavePng("GlyphAbout", InfoGlyph());
  writer.SavePng("GlyphRefresh", RefreshGlyph());
  writer.SavePng("GlyphEnvelope", WithPainter(24, 16, [](QPainter& p) {
                   PaintEnvelope(p, QRectF(1, 1, 22, 14), QColor(255, 250, 220),
                                 QColor(120, 60, 0));
                 }));

  writer.SavePng("GAcName1", IdCard(false));
  writer.SavePng("GAcName2", IdCard(true));
  writer.SavePng("GAcAbout", NotepadIcon());
  writer.SavePng("GAcTelephone", HandsetIcon());
  writer.SavePng("GAcEMail", EnvelopeIcon());
  writer.SavePng("GAcWebSite", GlobeIcon());
  writer.SavePng("GAcSkype", HeadsetIcon());
  writer.SavePng("GAcOK", LetterBadge("OK", QColor(246, 140, 20), 14));
  writer.SavePng("GAcVK", LetterBadge("VK", QColor(60, 110, 180), 14));
  writer.SavePng("GAcTelegram", PaperPlaneIcon());
  writer.SavePng("GAcFaceBook", LetterBadge("Fb", QColor(50, 80, 160), 15));
  writer.SavePng("GAcTwitter", HashIcon());
  writer.SavePng("GAcInstagramm", CameraIcon());
  writer.SavePng("GAcYouTube", PlayIcon());
}

}  // namespace braxo::art
