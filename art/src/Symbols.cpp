#include "Symbols.h"

#include <QLinearGradient>
#include <QPainterPath>
#include <QRadialGradient>
#include <QTransform>
#include <cmath>
#include <numbers>

#include "Canvas.h"

namespace braxo::art {
namespace {

constexpr double kPi = std::numbers::pi;

// Every symbol is designed in a 100 x 100 box.
QPointF Polar(QPointF centre, double radius, double degrees) {
  const double a = degrees * kPi / 180.0;
  return {centre.x() + radius * std::cos(a), centre.y() + radius * std::sin(a)};
}

QPainterPath SunRays() {
  QPainterPath rays;
  const QPointF c(50, 50);
  for (int i = 0; i < 12; ++i) {
    const double angle = i * 30.0 - 90.0;
    const double length = (i % 2 == 0) ? 49.0 : 42.0;
    QPainterPath ray;
    ray.moveTo(Polar(c, 27, angle - 11));
    ray.lineTo(Polar(c, length, angle));
    ray.lineTo(Polar(c, 27, angle + 11));
    ray.closeSubpath();
    rays = rays.united(ray);
  }
  return rays;
}

QPainterPath DaisyPetals(double rotation, double length, double width) {
  QPainterPath petals;
  for (int i = 0; i < 14; ++i) {
    QPainterPath petal;
    petal.addEllipse(QRectF(-width / 2, -length, width, length - 6));
    QTransform t;
    t.translate(50, 50);
    t.rotate(rotation + i * 360.0 / 14);
    petals = petals.united(t.map(petal));
  }
  return petals;
}

QPainterPath DropPath() {
  QPainterPath drop;
  drop.moveTo(50, 5);
  drop.cubicTo(57, 22, 81, 40, 81, 63);
  drop.arcTo(QRectF(19, 32, 62, 62), 0, -180);
  drop.cubicTo(19, 40, 43, 22, 50, 5);
  drop.closeSubpath();
  return drop;
}

// Scallop shell: a fan of seven ribs around the hinge at the bottom.
constexpr int kShellRibs = 7;
const QPointF kShellHinge(50, 80);

QPointF ShellEdge(double t) {
  // t runs 0..1 across the fan from the left end to the right end.
  const double angle = -162.0 + t * 144.0;
  const double a = angle * kPi / 180.0;
  return {kShellHinge.x() + 46.0 * std::cos(a), kShellHinge.y() + 66.0 * std::sin(a) * 1.0};
}

QPainterPath ShellPath() {
  QPainterPath shell;
  shell.moveTo(kShellHinge + QPointF(-8, 2));
  shell.lineTo(ShellEdge(0));
  for (int i = 0; i < kShellRibs; ++i) {
    const double t0 = static_cast<double>(i) / kShellRibs;
    const double t1 = static_cast<double>(i + 1) / kShellRibs;
    const QPointF mid = ShellEdge((t0 + t1) / 2);
    const QPointF bulge = kShellHinge + (mid - kShellHinge) * 1.12;
    shell.quadTo(bulge, ShellEdge(t1));
  }
  shell.lineTo(kShellHinge + QPointF(8, 2));
  shell.closeSubpath();
  QPainterPath ears;
  ears.moveTo(33, 80);
  ears.lineTo(67, 80);
  ears.lineTo(62, 93);
  ears.lineTo(38, 93);
  ears.closeSubpath();
  return shell.united(ears);
}

QPainterPath CloudPath() {
  QPainterPath cloud;
  cloud.addEllipse(QPointF(29, 60), 18, 18);
  cloud.addEllipse(QPointF(50, 46), 25, 25);
  cloud.addEllipse(QPointF(73, 57), 19, 19);
  cloud.addRoundedRect(QRectF(10, 56, 82, 24), 12, 12);
  cloud.setFillRule(Qt::WindingFill);
  return cloud.simplified();
}

QPainterPath SymbolPath(Symbol symbol) {
  switch (symbol) {
    case Symbol::kSun: {
      QPainterPath p = SunRays();
      QPainterPath disc;
      disc.addEllipse(QPointF(50, 50), 29, 29);
      return p.united(disc);
    }
    case Symbol::kDaisy: {
      QPainterPath p = DaisyPetals(0, 47, 15);
      QPainterPath disc;
      disc.addEllipse(QPointF(50, 50), 15, 15);
      return p.united(disc);
    }
    case Symbol::kDrop:
      return DropPath();
    case Symbol::kShell:
      return ShellPath();
    case Symbol::kCloud:
      return CloudPath();
  }
  return {};
}

void DrawSun(QPainter& p) {
  const QPainterPath rays = SunRays();
  QRadialGradient ray_fill(QPointF(50, 50), 50);
  ray_fill.setColorAt(0.5, QColor(255, 214, 40));
  ray_fill.setColorAt(1.0, QColor(255, 128, 0));
  p.setBrush(ray_fill);
  p.setPen(QPen(QColor(196, 84, 0), 2.2, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(rays);

  QRadialGradient disc(QPointF(42, 41), 34);
  disc.setColorAt(0.0, QColor(255, 252, 196));
  disc.setColorAt(0.45, QColor(255, 222, 60));
  disc.setColorAt(1.0, QColor(248, 150, 10));
  p.setBrush(disc);
  p.setPen(QPen(QColor(196, 84, 0), 2.6));
  p.drawEllipse(QPointF(50, 50), 28, 28);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 120));
  p.drawEllipse(QRectF(33, 30, 18, 11));
}

void DrawDaisy(QPainter& p) {
  p.setPen(QPen(QColor(150, 150, 182), 1.8));
  p.setBrush(QColor(226, 228, 242));
  p.drawPath(DaisyPetals(360.0 / 28, 45, 14));
  QRadialGradient petal_fill(QPointF(50, 50), 48);
  petal_fill.setColorAt(0.3, QColor(255, 255, 255));
  petal_fill.setColorAt(0.85, QColor(250, 248, 255));
  petal_fill.setColorAt(1.0, QColor(232, 226, 250));
  p.setBrush(petal_fill);
  p.setPen(QPen(QColor(128, 128, 168), 2.0));
  p.drawPath(DaisyPetals(0, 48, 15));

  QRadialGradient centre(QPointF(45, 45), 20);
  centre.setColorAt(0.0, QColor(255, 240, 120));
  centre.setColorAt(0.6, QColor(255, 196, 20));
  centre.setColorAt(1.0, QColor(228, 128, 0));
  p.setBrush(centre);
  p.setPen(QPen(QColor(170, 92, 0), 2.2));
  p.drawEllipse(QPointF(50, 50), 15.5, 15.5);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(190, 105, 0, 150));
  for (int i = 0; i < 30; ++i) {
    const double r = 2.6 * std::sqrt(static_cast<double>(i));
    const double a = i * 137.508;
    p.drawEllipse(Polar(QPointF(50, 50), r, a), 1.1, 1.1);
  }
}

void DrawDrop(QPainter& p) {
  const QPainterPath drop = DropPath();
  QRadialGradient fill(QPointF(40, 56), 50);
  fill.setColorAt(0.0, QColor(150, 220, 255));
  fill.setColorAt(0.5, QColor(40, 150, 240));
  fill.setColorAt(1.0, QColor(8, 70, 180));
  p.setBrush(fill);
  p.setPen(QPen(QColor(10, 56, 140), 2.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(drop);
  p.setPen(Qt::NoPen);
  p.save();
  p.translate(36, 56);
  p.rotate(18);
  p.setBrush(QColor(255, 255, 255, 200));
  p.drawEllipse(QRectF(-5.5, -14, 11, 28));
  p.restore();
  p.setBrush(QColor(255, 255, 255, 170));
  p.drawEllipse(QPointF(41, 80), 3.2, 3.2);
  QPen rim(QColor(255, 255, 255, 110), 2.5);
  rim.setCapStyle(Qt::RoundCap);
  p.setPen(rim);
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(25, 38, 50, 50), -30 * 16, -60 * 16);
}

void DrawShell(QPainter& p) {
  const QPainterPath shell = ShellPath();
  QLinearGradient fill(QPointF(50, 14), QPointF(50, 92));
  fill.setColorAt(0.0, QColor(255, 226, 196));
  fill.setColorAt(0.55, QColor(255, 170, 130));
  fill.setColorAt(1.0, QColor(226, 104, 84));
  p.setBrush(fill);
  p.setPen(Qt::NoPen);
  p.drawPath(shell);

  // Alternate ribs a little darker to give the fan its folds.
  p.save();
  p.setClipPath(shell);
  for (int i = 0; i < kShellRibs; ++i) {
    if (i % 2 == 1) continue;
    const double t0 = static_cast<double>(i) / kShellRibs;
    const double t1 = static_cast<double>(i + 1) / kShellRibs;
    QPainterPath wedge;
    wedge.moveTo(kShellHinge);
    wedge.lineTo(kShellHinge + (ShellEdge(t0) - kShellHinge) * 1.3);
    wedge.lineTo(kShellHinge + (ShellEdge(t1) - kShellHinge) * 1.3);
    wedge.closeSubpath();
    p.setBrush(QColor(200, 80, 60, 55));
    p.drawPath(wedge);
  }
  p.setPen(QPen(QColor(176, 72, 56), 1.8, Qt::SolidLine, Qt::RoundCap));
  for (int i = 1; i < kShellRibs; ++i) {
    const QPointF edge = ShellEdge(static_cast<double>(i) / kShellRibs);
    p.drawLine(kShellHinge + (edge - kShellHinge) * 0.12, edge);
  }
  p.setPen(QPen(QColor(255, 255, 255, 90), 3));
  p.setBrush(Qt::NoBrush);
  p.drawArc(QRectF(14, 22, 72, 80), 40 * 16, 100 * 16);
  p.restore();
  p.setPen(QPen(QColor(150, 56, 44), 2.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.setBrush(Qt::NoBrush);
  p.drawPath(shell);
}

void DrawCloud(QPainter& p) {
  const QPainterPath cloud = CloudPath();
  QLinearGradient fill(QPointF(50, 20), QPointF(50, 82));
  fill.setColorAt(0.0, QColor(255, 255, 255));
  fill.setColorAt(0.5, QColor(214, 234, 255));
  fill.setColorAt(1.0, QColor(120, 170, 236));
  p.setBrush(fill);
  p.setPen(QPen(QColor(40, 84, 170), 2.8, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(cloud);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 255, 255, 200));
  p.drawEllipse(QRectF(36, 28, 20, 10));
}

void Prepare(QPainter& painter, const QRectF& box) {
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.translate(box.topLeft());
  painter.scale(box.width() / 100.0, box.height() / 100.0);
}

}  // namespace

void DrawSymbol(QPainter& painter, Symbol symbol, const QRectF& box) {
  painter.save();
  Prepare(painter, box);
  switch (symbol) {
    case Symbol::kSun:
      DrawSun(painter);
      break;
    case Symbol::kDaisy:
      DrawDaisy(painter);
      break;
    case Symbol::kDrop:
      DrawDrop(painter);
      break;
    case Symbol::kShell:
      DrawShell(painter);
      break;
    case Symbol::kCloud:
      DrawCloud(painter);
      break;
  }
  painter.restore();
}

void DrawSymbolSilhouette(QPainter& painter, Symbol symbol, const QRectF& box,
                          const QColor& colour) {
  painter.save();
  Prepare(painter, box);
  painter.setPen(Qt::NoPen);
  painter.setBrush(colour);
  painter.drawPath(SymbolPath(symbol));
  painter.restore();
}

}  // namespace braxo::art
