// Backgrounds and the fifteen level pictures: five sunny landscapes
// ("Normal"), five evening and night scenes ("Extra") and five wonders of
// sea and sky ("Super").
#include <QLinearGradient>
#include <QRadialGradient>
#include <QTransform>
#include <cmath>
#include <functional>
#include <numbers>

#include "Canvas.h"
#include "Generators.h"

namespace braxo::art {
namespace {

constexpr double kPi = std::numbers::pi;
constexpr int kLevelW = 420;
constexpr int kLevelH = 350;

// ---- Scene kit ----------------------------------------------------------------

QImage Opaque(int w, int h) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::black);
  return image;
}

QLinearGradient Vertical(const QColor& top, const QColor& bottom, double y0, double y1) {
  QLinearGradient g(QPointF(0, y0), QPointF(0, y1));
  g.setColorAt(0.0, top);
  g.setColorAt(1.0, bottom);
  return g;
}

void FillVertical(QPainter& p, const QRectF& area,
                  std::initializer_list<std::pair<double, QColor>> stops) {
  QLinearGradient g(area.topLeft(), area.bottomLeft());
  for (const auto& [at, colour] : stops) g.setColorAt(at, colour);
  p.fillRect(area, g);
}

// A ridge line across the picture from fractal noise, closed to the bottom.
QPainterPath Ridge(double width, double height, double base, double amplitude, double scale,
                   uint32_t salt, int octaves = 5) {
  QPainterPath path;
  path.moveTo(-2, height + 2);
  for (double x = -2; x <= width + 2; x += 2) {
    path.lineTo(x, base - amplitude * (Fbm(x / scale, 0.5, octaves, salt) - 0.5) * 2);
  }
  path.lineTo(width + 2, height + 2);
  path.closeSubpath();
  return path;
}

// Soft hills: a ridge made of low sine swells.
QPainterPath Hills(double width, double height, double base, double amplitude, double period,
                   double phase) {
  QPainterPath path;
  path.moveTo(-2, height + 2);
  for (double x = -2; x <= width + 2; x += 2) {
    const double y = base - amplitude * (0.6 * std::sin(x / period + phase) +
                                         0.4 * std::sin(x / (period * 0.43) + phase * 1.7));
    path.lineTo(x, y);
  }
  path.lineTo(width + 2, height + 2);
  path.closeSubpath();
  return path;
}

void FillPath(QPainter& p, const QPainterPath& path, const QColor& top, const QColor& bottom) {
  const QRectF box = path.boundingRect();
  QLinearGradient g(box.topLeft(), box.bottomLeft());
  g.setColorAt(0.0, top);
  g.setColorAt(1.0, bottom);
  p.setPen(Qt::NoPen);
  p.setBrush(g);
  p.drawPath(path);
}

// Fluffy clouds painted straight into the picture from thresholded noise.
void Clouds(QImage& image, const QRect& area, double scale, double coverage, const QColor& light,
            const QColor& shade, double opacity, uint32_t salt) {
  for (int y = std::max(0, area.top()); y <= std::min(image.height() - 1, area.bottom()); ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    const double vy = static_cast<double>(y - area.top()) / std::max(1, area.height());
    const double edge = SmoothStep(0.0, 0.25, vy) * SmoothStep(1.0, 0.65, vy);
    for (int x = std::max(0, area.left()); x <= std::min(image.width() - 1, area.right()); ++x) {
      const double n = Fbm(x / scale, y / (scale * 0.45), 5, salt);
      const double a = SmoothStep(coverage, coverage + 0.16, n) * edge * opacity;
      if (a <= 0.002) continue;
      const double lit =
          SmoothStep(coverage, coverage + 0.35, Fbm(x / scale, (y - 6) / (scale * 0.45), 5, salt));
      const QColor c = Mix(shade, light, lit);
      const QColor under = QColor::fromRgb(row[x]);
      row[x] = Mix(under, c, a).rgb();
    }
  }
}

void Stars(QPainter& p, Rng& rng, int count, const QRectF& area, double max_size) {
  p.save();
  p.setPen(Qt::NoPen);
  for (int i = 0; i < count; ++i) {
    const QPointF at(rng.Range(area.left(), area.right()), rng.Range(area.top(), area.bottom()));
    const double fade = 1.0 - (at.y() - area.top()) / area.height() * 0.6;
    const double size = rng.Uniform() < 0.08 ? max_size : rng.Range(0.3, max_size * 0.5);
    const int alpha = static_cast<int>(rng.Range(120, 255) * fade);
    if (size > max_size * 0.8) {
      DrawGlow(p, at, size * 3.2, QColor(200, 220, 255, alpha / 2));
      p.setBrush(QColor(255, 255, 255, alpha));
      p.drawPath(StarPath(at, size * 2.2, size * 0.35, 4, 0));
    }
    p.setBrush(QColor(255, 255, 240, alpha));
    p.drawEllipse(at, size * 0.6 + 0.3, size * 0.6 + 0.3);
  }
  p.restore();
}

void SunDisc(QPainter& p, QPointF centre, double radius, const QColor& core, const QColor& glow) {
  DrawGlow(p, centre, radius * 5, WithAlpha(glow, 110));
  DrawGlow(p, centre, radius * 2.2, WithAlpha(glow, 200));
  QRadialGradient disc(centre, radius);
  disc.setColorAt(0.0, QColor(255, 255, 250));
  disc.setColorAt(0.7, core);
  disc.setColorAt(1.0, core.darker(110));
  p.setPen(Qt::NoPen);
  p.setBrush(disc);
  p.drawEllipse(centre, radius, radius);
}

void Moon(QPainter& p, QPointF centre, double radius, uint32_t salt) {
  DrawGlow(p, centre, radius * 4, QColor(200, 220, 255, 70));
  QImage face = NewImage(static_cast<int>(radius * 2) + 2, static_cast<int>(radius * 2) + 2);
  for (int y = 0; y < face.height(); ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(face.scanLine(y));
    for (int x = 0; x < face.width(); ++x) {
      const double dx = x + 0.5 - face.width() / 2.0;
      const double dy = y + 0.5 - face.height() / 2.0;
      const double d = std::hypot(dx, dy);
      if (d > radius) continue;
      const double a = Clamp01(radius - d);
      const double n = Fbm(x / 7.0, y / 7.0, 4, salt);
      const double shade = 0.82 + 0.25 * (n - 0.5) - 0.12 * (dx + dy) / radius;
      const QColor c = Mix(QColor(150, 156, 170), QColor(255, 252, 236), Clamp01(shade));
      row[x] = qPremultiply(qRgba(c.red(), c.green(), c.blue(), static_cast<int>(a * 255)));
    }
  }
  p.drawImage(QPointF(centre.x() - face.width() / 2.0, centre.y() - face.height() / 2.0), face);
}

// Horizontal glints on water, longer and wider nearer the viewer.
void WaterGlints(QPainter& p, Rng& rng, const QRectF& water, int count, const QColor& colour,
                 double centre_x, double spread) {
  p.save();
  for (int i = 0; i < count; ++i) {
    const double depth = std::pow(rng.Uniform(), 1.3);
    const double y = water.top() + depth * water.height();
    const double x = spread > 0
                         ? centre_x + (rng.Uniform() + rng.Uniform() - 1.0) * spread * (0.3 + depth)
                         : rng.Range(water.left(), water.right());
    const double length = 3 + depth * 22 * rng.Range(0.5, 1.2);
    const int alpha = static_cast<int>(rng.Range(60, 200));
    p.setPen(QPen(WithAlpha(colour, alpha), 0.8 + depth * 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x - length / 2, y), QPointF(x + length / 2, y));
  }
  p.restore();
}

// Mirrors the band above `horizon` into the water below it, with ripples.
void Reflect(QImage& image, int horizon, const QColor& tint, double tint_amount, uint32_t salt) {
  const QImage source = image.copy();
  for (int y = horizon; y < image.height(); ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    const double depth = static_cast<double>(y - horizon);
    for (int x = 0; x < image.width(); ++x) {
      const double ripple = (ValueNoise(x / 30.0, depth / 2.2, salt) - 0.5) * (2 + depth * 0.12);
      const int sy =
          std::clamp(static_cast<int>(horizon - depth * 1.05 - 1 + ripple * 0.4), 0, horizon - 1);
      const int sx = std::clamp(static_cast<int>(x + ripple), 0, image.width() - 1);
      const QColor c = QColor::fromRgb(source.pixel(sx, sy));
      row[x] = Mix(c, tint, tint_amount + depth / image.height() * 0.3).rgb();
    }
  }
}

void PineTree(QPainter& p, QPointF base, double height, const QColor& colour) {
  p.save();
  p.setPen(Qt::NoPen);
  p.setBrush(colour.darker(160));
  p.drawRect(
      QRectF(base.x() - height * 0.04, base.y() - height * 0.15, height * 0.08, height * 0.16));
  for (int i = 0; i < 4; ++i) {
    const double top = base.y() - height * (1.0 - i * 0.2);
    const double w = height * (0.16 + i * 0.07);
    QPainterPath tier;
    tier.moveTo(base.x(), top);
    tier.lineTo(base.x() + w, top + height * 0.34);
    tier.lineTo(base.x() - w, top + height * 0.34);
    tier.closeSubpath();
    QLinearGradient g(QPointF(base.x() - w, 0), QPointF(base.x() + w, 0));
    g.setColorAt(0.0, colour.lighter(125));
    g.setColorAt(1.0, colour.darker(130));
    p.setBrush(g);
    p.drawPath(tier);
  }
  p.restore();
}

void PalmTree(QPainter& p, QPointF base, double height, double lean, const QColor& trunk,
              const QColor& leaves) {
  p.save();
  const QPointF top(base.x() + lean, base.y() - height);
  QPainterPath stem;
  stem.moveTo(base);
  stem.quadTo(QPointF(base.x() + lean * 0.1, base.y() - height * 0.6), top);
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(trunk, height * 0.06, Qt::SolidLine, Qt::RoundCap));
  p.drawPath(stem);
  p.setPen(QPen(trunk.darker(140), height * 0.012));
  for (int i = 1; i < 10; ++i) {
    const QPointF at = stem.pointAtPercent(i / 10.0);
    p.drawLine(at + QPointF(-height * 0.03, 0), at + QPointF(height * 0.03, -height * 0.01));
  }
  p.setPen(Qt::NoPen);
  for (int i = 0; i < 7; ++i) {
    const double a = (-170 + i * 36) * kPi / 180;
    const double length = height * (0.5 + 0.08 * (i % 2));
    const QPointF tip =
        top + QPointF(std::cos(a) * length, std::sin(a) * length * 0.55 + length * 0.35);
    const QPointF ctrl =
        top + QPointF(std::cos(a) * length * 0.5, std::sin(a) * length * 0.6 - length * 0.15);
    const QPointF normal(-std::sin(a) * height * 0.06, std::cos(a) * height * 0.06);
    QPainterPath frond;
    frond.moveTo(top);
    frond.quadTo(ctrl + normal, tip);
    frond.quadTo(ctrl - normal, top);
    p.setBrush(i % 2 == 0 ? leaves : leaves.darker(125));
    p.drawPath(frond);
  }
  p.restore();
}

void Fish(QPainter& p, QPointF centre, double length, bool left, const QColor& body,
          const QColor& stripe) {
  p.save();
  p.translate(centre);
  if (left) p.scale(-1, 1);
  const double h = length * 0.42;
  QPainterPath shape;
  shape.moveTo(length * 0.5, 0);
  shape.cubicTo(length * 0.3, -h, -length * 0.25, -h * 0.9, -length * 0.32, 0);
  shape.cubicTo(-length * 0.25, h * 0.9, length * 0.3, h, length * 0.5, 0);
  QPainterPath tail;
  tail.moveTo(-length * 0.28, 0);
  tail.lineTo(-length * 0.55, -h * 0.7);
  tail.lineTo(-length * 0.48, 0);
  tail.lineTo(-length * 0.55, h * 0.7);
  tail.closeSubpath();
  QLinearGradient g(QPointF(0, -h), QPointF(0, h));
  g.setColorAt(0.0, body.lighter(130));
  g.setColorAt(1.0, body.darker(130));
  p.setPen(QPen(body.darker(200), length * 0.03));
  p.setBrush(g);
  p.drawPath(tail.united(shape));
  p.setPen(Qt::NoPen);
  p.setBrush(stripe);
  p.save();
  p.setClipPath(shape);
  p.drawRect(QRectF(length * 0.05, -h, length * 0.1, h * 2));
  p.drawRect(QRectF(-length * 0.18, -h, length * 0.08, h * 2));
  p.restore();
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(length * 0.3, -h * 0.2), length * 0.07, length * 0.07);
  p.setBrush(Qt::black);
  p.drawEllipse(QPointF(length * 0.32, -h * 0.2), length * 0.035, length * 0.035);
  p.restore();
}

void Bubbles(QPainter& p, Rng& rng, int count, const QRectF& area) {
  p.save();
  for (int i = 0; i < count; ++i) {
    const QPointF at(rng.Range(area.left(), area.right()), rng.Range(area.top(), area.bottom()));
    const double r = rng.Range(1.5, 5.5);
    p.setPen(QPen(QColor(220, 250, 255, 170), 0.9));
    p.setBrush(QColor(200, 240, 255, 40));
    p.drawEllipse(at, r, r);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255, 200));
    p.drawEllipse(at + QPointF(-r * 0.35, -r * 0.35), r * 0.25, r * 0.25);
  }
  p.restore();
}

void LightRays(QPainter& p, QPointF origin, int count, double length, double spread_deg,
               const QColor& colour, Rng& rng) {
  p.save();
  p.setPen(Qt::NoPen);
  for (int i = 0; i < count; ++i) {
    const double a = (90 + rng.Range(-spread_deg, spread_deg)) * kPi / 180;
    const double w = rng.Range(4, 14) * kPi / 180;
    QPainterPath ray;
    ray.moveTo(origin);
    ray.lineTo(origin + QPointF(std::cos(a - w / 2), std::sin(a - w / 2)) * length);
    ray.lineTo(origin + QPointF(std::cos(a + w / 2), std::sin(a + w / 2)) * length);
    ray.closeSubpath();
    QRadialGradient g(origin, length);
    g.setColorAt(0.0, WithAlpha(colour, colour.alpha()));
    g.setColorAt(1.0, WithAlpha(colour, 0));
    p.setBrush(g);
    p.drawPath(ray);
  }
  p.restore();
}

void SmallFlowers(QPainter& p, Rng& rng, int count, const QRectF& area, double min_size,
                  double max_size) {
  for (int i = 0; i < count; ++i) {
    const double t = rng.Uniform();
    const double y = area.top() + t * area.height();
    const double size = min_size + (max_size - min_size) * t;
    const double x = rng.Range(area.left(), area.right());
    DrawSymbol(p, Symbol::kDaisy, QRectF(x - size / 2, y - size / 2, size, size));
  }
}

void Vignette(QPainter& p, const QRectF& area, int alpha) {
  QRadialGradient g(area.center(), std::hypot(area.width(), area.height()) * 0.62);
  g.setColorAt(0.55, QColor(0, 0, 0, 0));
  g.setColorAt(1.0, QColor(0, 0, 0, alpha));
  p.fillRect(area, g);
}

// ---- Normal: a sunny day ----------------------------------------------------------

QImage Meadow() {
  QImage image = Opaque(kLevelW, kLevelH);
  QPainter p(&image);
  PreparePainter(p);
  FillVertical(
      p, image.rect(),
      {{0.0, QColor(40, 130, 230)}, {0.55, QColor(150, 210, 255)}, {1.0, QColor(200, 235, 255)}});
  SunDisc(p, QPointF(330, 64), 26, QColor(255, 236, 120), QColor(255, 250, 200));
  p.end();
  Clouds(image, QRect(0, 0, kLevelW, 170), 95, 0.5, QColor(255, 255, 255), QColor(180, 196, 226),
         0.95, 3);
  p.begin(&image);
  PreparePainter(p);
  FillPath(p, Hills(kLevelW, kLevelH, 190, 22, 60, 1.0), QColor(120, 170, 200),
           QColor(150, 190, 200));
  FillPath(p, Hills(kLevelW, kLevelH, 218, 20, 45, 2.5), QColor(110, 190, 80), QColor(60, 140, 50));
  FillPath(p, Hills(kLevelW, kLevelH, 262, 16, 70, 4.0), QColor(120, 210, 70), QColor(50, 150, 40));
  // A lone tree on the hill.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(100, 70, 40));
  p.drawRect(QRectF(92, 198, 7, 34));
  for (const auto& [c, r] :
       {std::pair{QPointF(95, 188), 22.0}, {QPointF(80, 200), 15.0}, {QPointF(111, 199), 16.0}}) {
    QRadialGradient g(c + QPointF(-6, -8), r * 1.5);
    g.setColorAt(0.0, QColor(120, 200, 80));
    g.setColorAt(1.0, QColor(30, 110, 40));
    p.setBrush(g);
    p.drawEllipse(c, r, r * 0.9);
  }
  Rng rng(11);
  SmallFlowers(p, rng, 70, QRectF(0, 262, kLevelW, 80), 5, 18);
  // Butterflies.
  for (const QPointF& b : {QPointF(250, 230), QPointF(300, 210)}) {
    p.setBrush(QColor(255, 140, 0));
    p.drawEllipse(QRectF(b.x() - 7, b.y() - 5, 7, 9));
    p.drawEllipse(QRectF(b.x(), b.y() - 5, 7, 9));
    p.setBrush(QColor(255, 200, 40));
    p.drawEllipse(QRectF(b.x() - 6, b.y() + 2, 6, 5));
    p.drawEllipse(QRectF(b.x(), b.y() + 2, 6, 5));
  }
  p.end();
  return image;
}

QImage Beach() {
  QImage image = Opaque(kLevelW, kLevelH);
  QPainter p(&image);
  PreparePainter(p);
  FillVertical(p, QRectF(0, 0, kLevelW, 170),
               {{0.0, QColor(30, 120, 220)}, {1.0, QColor(170, 225, 255)}});
  SunDisc(p, QPointF(90, 60), 24, QColor(255, 240, 140), QColor(255, 250, 210));
  p.end();
  Clouds(image, QRect(0, 20, kLevelW, 120), 50, 0.62, QColor(255, 255, 255), QColor(200, 215, 235),
         0.9, 7);
  p.begin(&image);
  PreparePainter(p);
  FillVertical(p, QRectF(0, 170, kLevelW, 90),
               {{0.0, QColor(20, 110, 190)}, {1.0, QColor(40, 190, 200)}});
  Rng rng(21);
  WaterGlints(p, rng, QRectF(0, 172, kLevelW, 86), 160, QColor(255, 255, 255), 90, 90);
  // Surf and sand.
  QPainterPath sand = Hills(kLevelW, kLevelH, 262, 6, 40, 0.5);
  QPainterPath foam = Hills(kLevelW, kLevelH, 256, 6, 40, 0.5);
  FillPath(p, foam, QColor(240, 255, 255), QColor(200, 240, 240));
  FillPath(p, sand, QColor(250, 226, 170), QColor(230, 190, 120));
  for (int i = 0; i < 900; ++i) {
    p.setPen(QPen(QColor(180, 140, 80, 70), 1));
    p.drawPoint(QPointF(rng.Range(0, kLevelW), rng.Range(262, kLevelH)));
  }
  DrawSymbol(p, Symbol::kShell, QRectF(60, 280, 44, 44));
  DrawSymbol(p, Symbol::kShell, QRectF(300, 300, 30, 30));
  // A starfish.
  p.setPen(QPen(QColor(190, 70, 40), 1.2));
  p.setBrush(QColor(250, 120, 70));
  p.drawPath(StarPath(QPointF(210, 310), 20, 8, 5, 12));
  // A beach umbrella.
  p.setPen(QPen(QColor(120, 100, 80), 3));
  p.drawLine(QPointF(350, 300), QPointF(330, 216));
  for (int i = 0; i < 6; ++i) {
    QPainterPath slice;
    slice.moveTo(QPointF(330, 214));
    slice.arcTo(QRectF(278, 198, 110, 50), 15 + i * 25, 25);
    slice.closeSubpath();
    p.setPen(Qt::NoPen);
    p.setBrush(i % 2 == 0 ? QColor(230, 40, 40) : QColor(255, 255, 255));
    p.drawPath(slice);
  }
  p.end();
  return image;
}

QImage MountainLake() {
  QImage image = Opaque(kLevelW, kLevelH);
  QPainter p(&image);
  PreparePainter(p);
  FillVertical(
      p, image.rect(),
      {{0.0, QColor(60, 140, 220)}, {0.5, QColor(190, 225, 250)}, {1.0, QColor(190, 225, 250)}});
  p.end();
  Clouds(image, QRect(0, 0, kLevelW, 110), 70, 0.6, QColor(255, 255, 255), QColor(200, 210, 230),
         0.8, 13);
  p.begin(&image);
  PreparePainter(p);
  // Jagged peaks; snow lies above a wavy snow line, so only the tops are white.
  QPainterPath far;
  far.moveTo(-2, kLevelH);
  for (double x = -2; x <= kLevelW + 2; x += 2) {
    const double peaks = 0.5 + 0.5 * std::sin(x / 52.0 + 0.8) * std::sin(x / 23.0 + 0.3);
    const double y = 178 - 105 * peaks - 16 * (Fbm(x / 14.0, 0.5, 4, 41) - 0.5) * 2;
    far.lineTo(x, y);
  }
  far.lineTo(kLevelW + 2, kLevelH);
  far.closeSubpath();
  FillPath(p, far, QColor(130, 140, 176), QColor(90, 110, 150));
  p.save();
  p.setClipPath(far);
  QPainterPath snow;
  snow.moveTo(-2, 0);
  for (double x = -2; x <= kLevelW + 2; x += 2) {
    snow.lineTo(x, 112 + 18 * (Fbm(x / 18.0, 3.5, 4, 43) - 0.5) * 2);
  }
  snow.lineTo(kLevelW + 2, 0);
  snow.closeSubpath();
  p.setPen(Qt::NoPen);
  p.setBrush(Vertical(QColor(255, 255, 255), QColor(214, 226, 246), 40, 130));
  p.drawPath(snow);
  // Shade the right-hand slopes.
  for (double x = 0; x < kLevelW; x += 2) {
    const double slope = std::cos(x / 52.0 + 0.8) * std::sin(x / 23.0 + 0.3) +
                         std::sin(x / 52.0 + 0.8) * std::cos(x / 23.0 + 0.3) * 2.26;
    if (slope > 0) {
      p.fillRect(QRectF(x, 0, 2, 200),
                 QColor(20, 30, 80, static_cast<int>(std::min(60.0, slope * 30))));
    }
  }
  p.restore();
  FillPath(p, Ridge(kLevelW, kLevelH, 168, 26, 60, 57), QColor(70, 120, 90), QColor(40, 90, 70));
  Rng rng(31);
  for (int i = 0; i < 46; ++i) {
    const double x = rng.Range(-10, kLevelW + 10);
    PineTree(p, QPointF(x, 196 + rng.Range(-4, 6)), rng.Range(26, 44), QColor(30, 100, 60));
  }
  p.end();
  Reflect(image, 200, QColor(30, 80, 120), 0.25, 5);
  p.begin(&image);
  PreparePainter(p);
  WaterGlints(p, rng, QRectF(0, 202, kLevelW, 148), 120, QColor(255, 255, 255), 0, 0);
  // A little boat with a sail.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(150, 70, 30));
  QPainterPath hull;
  hull.moveTo(250, 262);
  hull.lineTo(310, 262);
  hull.lineTo(300, 274);
  hull.lineTo(258, 274);
  hull.closeSubpath();
  p.drawPath(hull);
  p.setBrush(QColor(255, 250, 240));
  QPainterPath sail;
  sail.moveTo(282, 210);
  sail.lineTo(282, 258);
  sail.lineTo(250, 258);
  sail.closeSubpath();
  p.drawPath(sail);
  p.setBrush(QColor(230, 60, 60));
  QPainterPath jib;
  jib.moveTo(285, 216);
  jib.lineTo(306, 258);
  jib.lineTo(285, 258);
  jib.closeSubpath();
  p.drawPath(jib);
  p.end();
  return image;
}

QImage Rainbow() {
  QImage image = Opaque(kLevelW, kLevelH);
  QPainter p(&image);
  PreparePainter(p);
  FillVertical(
      p, image.rect(),
      {{0.0, QColor(90, 110, 150)}, {0.45, QColor(170, 200, 230)}, {1.0, QColor(220, 235, 245)}});
  const QColor bands[] = {QColor(255, 40, 40), QColor(255, 150, 0),  QColor(255, 240, 0),
                          QColor(40, 200, 60), QColor(40, 120, 255), QColor(120, 50, 200)};
  for (int i = 0; i < 6; ++i) {
    p.setBrush(Qt::NoBrush);
    p.setPen(QPen(WithAlpha(bands[i], 150), 9));
    const double r = 230 - i * 9;
    p.drawArc(QRectF(240 - r, 270 - r, r * 2, r * 2), 0, 180 * 16);
  }
  p.end();
  Clouds(image, QRect(0, 0, kLevelW, 120), 55, 0.5, QColor(240, 245, 255), QColor(110, 120, 150),
         0.95, 17);
  p.begin(&image);
  PreparePainter(p);
  // Rain falling from the clouds on the left.
  Rng rng(41);
  for (int i = 0; i < 170; ++i) {
    const double x = rng.Range(0, 200);
    const double y = rng.Range(70, 240);
    p.setPen(QPen(QColor(230, 240, 255, 150), 1.2, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(x, y), QPointF(x - 3, y + 10));
  }
  FillPath(p, Hills(kLevelW, kLevelH, 236, 18, 55, 0.3), QColor(120, 190, 90), QColor(70, 150, 60));
  // Striped fields.
  QPainterPath fields = Hills(kLevelW, kLevelH, 276, 10, 80, 2.0);
  FillPath(p, fields, QColor(230, 200, 60), QColor(200, 150, 40));
  p.save();
  p.setClipPath(fields);
  for (int i = 0; i < 24; ++i) {
    p.setPen(QPen(QColor(160, 120, 30, 120), 2));
    p.drawLine(QPointF(210, 250), QPointF(-300 + i * 40, 400));
  }
  p.restore();
  for (int i = 0; i < 7; ++i) {
    const double x = 30 + i * 58 + rng.Range(-10, 10);
    DrawSymbol(p, Symbol::kDrop, QRectF(x, 300 + rng.Range(0, 20), 22, 22));
  }
  p.end();
  return image;
}

QImage SunsetSail() {
  QImage image = Opaque(kLevelW, kLevelH);
  QPainter p(&image);
  PreparePainter(p);
  FillVertical(p, QRectF(0, 0, kLevelW, 200),
               {{0.0, QColor(60, 40, 120)},
                {0.45, QColor(230, 90, 90)},
                {0.8, QColor(255, 170, 80)},
                {1.0, QColor(255, 220, 130)}});
  SunDisc(p, QPointF(210, 196), 40, QColor(255, 200, 80), QColor(255, 170, 60));
  p.end();
  Clouds(image, QRect(0, 30, kLevelW, 120), 70, 0.6, QColor(255, 190, 150), QColor(140, 60, 110),
         0.85, 23);
  p.begin(&image);
  PreparePainter(p);
  FillVertical(p, QRectF(0, 200, kLevelW, 150),
               {{0.0, QColor(200, 90, 80)}, {1.0, QColor(40, 30, 90)}});
  Rng rng(51);
  WaterGlints(p, rng, QRectF(0, 201, kLevelW, 149), 260, QColor(255, 220, 140), 210, 70);
  // Sailboat silhouette and gulls.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(40, 20, 50));
  QPainterPath hull;
  hull.moveTo(70, 240);
  hull.lineTo(150, 240);
  hull.lineTo(138, 254);
  hull.lineTo(82, 254);
  hull.closeSubpath();
  p.drawPath(hull);
  QPainterPath sail;
  sail.moveTo(112, 150);
  sail.quadTo(140, 190, 146, 236);
  sail.lineTo(112, 236);
  sail.closeSubpath();
  QPainterPath jib;
  jib.moveTo(108, 160);
  jib.lineTo(108, 236);
  jib.lineTo(74, 236);
  jib.closeSubpath();
  p.drawPath(sail);
  p.drawPath(jib);
  p.setPen(QPen(QColor(40, 20, 50), 2.2, Qt::SolidLine, Qt::RoundCap));
  p.setBrush(Qt::NoBrush);
  for (const QPointF& g : {QPointF(300, 90), QPointF(330, 110), QPointF(280, 120)}) {
    QPainterPath gull;
    gull.moveTo(g + QPointF(-10, 0));
    gull.quadTo(g + QPointF(-5, -6), g);
    gull.quadTo(g + QPointF(5, -6), g + QPointF(10, 0));
    p.drawPath(gull);
  }
  p.end();
  return image;
}

// ---- Extra: evening and night --------------------------------------------------------

QImage MoonlitSea() {
  QImage image = Opaque(kLevelW, kLevelH);
  QPainter p(&image);
  PreparePainter(p);
  FillVertical(p, QRectF(0, 0, kLevelW, 210),
               {{0.0, QColor(6, 10, 40)}, {1.0, QColor(30, 50, 110)}});
  Rng rng(61);
  Stars(p, rng, 220, QRectF(0, 0, kLevelW, 200), 2.0);
  Moon(p, QPointF(300, 80), 34, 3);
  FillVertical(p, QRectF(0, 210, kLevelW, 140),
               {{0.0, QColor(20, 40, 90)}, {1.0, QColor(4, 10, 36)}});
  WaterGlints(p, rng, QRectF(0, 212, kLevelW, 138), 300, QColor(230, 240, 255), 300, 50);
  // Distant islands.
  FillPath(p, Ridge(kLevelW, 212, 206, 14, 40, 91, 4).intersected(QPainterPath([] {
    QPainterPath r;
    r.addRect(QRectF(0, 180, 160, 32));
    return r;
  }())),
           QColor(10, 20, 50), QColor(10, 20, 50));
  p.end();
  return image;
}

QImage Aurora() {
  QImage image = Opaque(kLevelW, kLevelH);
  QPainter p(&image);
  PreparePainter(p);
  FillVertical(p, image.rect(),
               {{0.0, QColor(4, 10, 30)}, {0.6, QColor(16, 40, 70)}, {1.0, QColor(20, 50, 80)}});
  Rng rng(71);
  Stars(p, rng, 160, QRectF(0, 0, kLevelW, 240), 1.8);
  p.end();
  // Curtains of light: glowing vertical streaks along two wavy bands.
  for (int y = 0; y < 260; ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < kLevelW; ++x) {
      double light = 0.0;
      QColor colour;
      for (int band = 0; band < 2; ++band) {
        const double centre =
            90 + band * 50 + 35 * std::sin(x / 70.0 + band * 2.0) + 15 * std::sin(x / 23.0 + band);
        const double d = (y - centre) / (band == 0 ? 55.0 : 40.0);
        if (d > 1.0 || d < -2.2) continue;
        const double shape = d > 0 ? std::exp(-d * d * 8) : std::exp(-d * d * 0.8);
        const double streak = 0.55 + 0.45 * ValueNoise(x / 3.0, band * 10.0, 77);
        const double l = shape * streak * (band == 0 ? 0.9 : 0.6);
        if (l > light) {
          light = l;
          colour = Mix(QColor(60, 255, 150), QColor(180, 80, 255), Clamp01(-d * 0.5 + band * 0.3));
        }
      }
      if (light <= 0.01) continue;
      const QColor under = QColor::fromRgb(row[x]);
      const QColor lit(std::min(255, under.red() + static_cast<int>(colour.red() * light)),
                       std::min(255, under.green() + static_cast<int>(colour.green() * light)),
                       std::min(255, under.blue() + static_cast<int>(colour.blue() * light)));
      row[x] = lit.rgb();
    }
  }
  p.begin(&image);
  PreparePainter(p);
  FillPath(p, Hills(kLevelW, kLevelH, 262, 20, 70, 1.2), QColor(200, 220, 240),
           QColor(140, 170, 200));
  FillPath(p, Hills(kLevelW, kLevelH, 300, 14, 50, 3.1), QColor(230, 240, 255),
           QColor(170, 195, 225));
  for (int i = 0; i < 16; ++i) {
    const double x = rng.Range(0, kLevelW);
    PineTree(p, QPointF(x, 290 + rng.Range(-6, 16)), rng.Range(30, 56), QColor(14, 50, 40));
  }
  // A cabin with a warm window.
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(90, 50, 30));
  p.drawRect(QRectF(300, 262, 46, 30));
  QPainterPath roof;
  roof.moveTo(294, 264);
  roof.lineTo(323, 242);
  roof.lineTo(352, 264);
  roof.closeSubpath();
  p.setBrush(QColor(235, 245, 255));
  p.drawPath(roof);
  DrawGlow(p, QPointF(318, 276), 18, QColor(255, 200, 80, 160));
  p.setBrush(QColor(255, 214, 100));
  p.drawRect(QRectF(312, 270, 12, 10));
  p.end();
  return image;
}

QImage Lighthouse() {
  QImage image = Opaque(kLevelW, kLevelH);
  QPainter p(&image);
  PreparePainter(p);
  FillVertical(
      p, QRectF(0, 0, kLevelW, 220),
      {{0.0, QColor(40, 30, 90)}, {0.55, QColor(160, 70, 130)}, {1.0, QColor(255, 150, 90)}});
  Rng rng(81);
  Stars(p, rng, 60, QRectF(0, 0, kLevelW, 90), 1.6);
  FillVertical(p, QRectF(0, 220, kLevelW, 130),
               {{0.0, QColor(120, 60, 110)}, {1.0, QColor(20, 20, 60)}});
  WaterGlints(p, rng, QRectF(0, 221, kLevelW, 129), 180, QColor(255, 180, 140), 0, 0);
  // Beam of light.
  QPainterPath beam;
  beam.moveTo(300, 118);
  beam.lineTo(0, 60);
  beam.lineTo(0, 150);
  beam.closeSubpath();
  QLinearGradient bg(QPointF(300, 118), QPointF(0, 105));
  bg.setColorAt(0.0, QColor(255, 250, 200, 170));
  bg.setColorAt(1.0, QColor(255, 250, 200, 0));
  p.setPen(Qt::NoPen);
  p.setBrush(bg);
  p.drawPath(beam);
  // A rocky island under the tower, with its dark reflection.
  QPainterPath rocks;
  rocks.moveTo(196, 274);
  for (double x = 196; x <= kLevelW + 2; x += 2) {
    const double hump = std::sin(std::clamp((x - 196) / 250.0, 0.0, 1.0) * kPi);
    const double y = 272 - 40 * std::pow(hump, 0.6) - 10 * (Fbm(x / 9.0, 1.5, 4, 93) - 0.5);
    rocks.lineTo(x, std::min(y, 272.0));
  }
  rocks.lineTo(kLevelW + 2, 274);
  rocks.closeSubpath();
  QTransform mirror;
  mirror.translate(0, 546);
  mirror.scale(1, -1);
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(16, 10, 30, 130));
  p.drawPath(mirror.map(rocks));
  FillPath(p, rocks, QColor(90, 56, 80), QColor(26, 18, 36));
  // Tower with red and white rings.
  QPainterPath tower;
  tower.moveTo(286, 236);
  tower.lineTo(292, 128);
  tower.lineTo(308, 128);
  tower.lineTo(314, 236);
  tower.closeSubpath();
  p.setBrush(QColor(245, 240, 235));
  p.drawPath(tower);
  p.save();
  p.setClipPath(tower);
  p.setBrush(QColor(210, 40, 40));
  for (int i = 0; i < 3; ++i) p.drawRect(QRectF(280, 146 + i * 32, 40, 15));
  QLinearGradient shade(QPointF(286, 0), QPointF(314, 0));
  shade.setColorAt(0.0, QColor(0, 0, 0, 0));
  shade.setColorAt(1.0, QColor(0, 0, 40, 90));
  p.setBrush(shade);
  p.drawRect(QRectF(280, 120, 40, 120));
  p.restore();
  p.setBrush(QColor(60, 40, 50));
  p.drawRect(QRectF(288, 124, 24, 5));
  DrawGlow(p, QPointF(300, 116), 26, QColor(255, 240, 160, 220));
  p.setBrush(QColor(255, 250, 200));
  p.drawRect(QRectF(293, 108, 14, 14));
  QPainterPath cap;
  cap.moveTo(290, 108);
  cap.lineTo(300, 96);
  cap.lineTo(310, 108);
  cap.closeSubpath();
  p.setBrush(QColor(180, 30, 30));
  p.drawPath(cap);
  p.end();
  return image;
}

QImage Dunes() {
  QImage image = Opaque(kLevelW, kLevelH);
  QPainter p(&image);
  PreparePainter(p);
  FillVertical(p, image.rect(),
               {{0.0, QColor(10, 8, 40)}, {0.6, QColor(50, 40, 110)}, {1.0, QColor(120, 80, 130)}});
  Rng rng(91);
  // The Milky Way: a diagonal band of dim stars and haze.
  p.save();
  p.translate(210, 120);
  p.rotate(-24);
  QLinearGradient haze(QPointF(0, -50), QPointF(0, 50));
  haze.setColorAt(0.0, QColor(180, 170, 255, 0));
  haze.setColorAt(0.5, QColor(200, 190, 255, 60));
  haze.setColorAt(1.0, QColor(180, 170, 255, 0));
  p.fillRect(QRectF(-300, -50, 600, 100), haze);
  Stars(p, rng, 260, QRectF(-300, -40, 600, 80), 1.2);
  p.restore();
  Stars(p, rng, 120, QRectF(0, 0, kLevelW, 230), 2.0);
  // Crescent moon.
  QPainterPath crescent;
  crescent.addEllipse(QPointF(350, 60), 20, 20);
  QPainterPath bite;
  bite.addEllipse(QPointF(360, 54), 18, 18);
  DrawGlow(p, QPointF(345, 62), 50, QColor(255, 240, 200, 60));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(255, 245, 210));
  p.drawPath(crescent.subtracted(bite));
  FillPath(p, Hills(kLevelW, kLevelH, 250, 26, 80, 0.7), QColor(150, 90, 90), QColor(90, 50, 80));
  FillPath(p, Hills(kLevelW, kLevelH, 290, 30, 60, 2.2), QColor(200, 130, 90), QColor(110, 60, 70));
  FillPath(p, Hills(kLevelW, kLevelH, 330, 18, 90, 4.0), QColor(160, 90, 70), QColor(80, 40, 60));
  // A cactus and a caravan of camels in silhouette.
  p.setBrush(QColor(40, 24, 40));
  p.drawRoundedRect(QRectF(60, 250, 10, 60), 5, 5);
  p.drawRoundedRect(QRectF(44, 268, 8, 22), 4, 4);
  p.drawRoundedRect(QRectF(44, 284, 20, 7), 3, 3);
  p.drawRoundedRect(QRectF(78, 260, 8, 22), 4, 4);
  p.drawRoundedRect(QRectF(66, 276, 20, 7), 3, 3);
  for (int i = 0; i < 3; ++i) {
    const double x = 230 + i * 40;
    const double y = 232 - i * 6;
    QPainterPath camel;
    camel.addEllipse(QRectF(x, y, 26, 12));
    camel.addEllipse(QRectF(x + 6, y - 6, 12, 10));
    camel.addRect(QRectF(x + 2, y + 8, 2.5, 14));
    camel.addRect(QRectF(x + 20, y + 8, 2.5, 14));
    camel.addRect(QRectF(x + 24, y - 8, 3, 14));
    camel.addEllipse(QRectF(x + 24, y - 11, 9, 5));
    p.drawPath(camel.simplified());
  }
  p.end();
  return image;
}

QImage Fireworks() {
  QImage image = Opaque(kLevelW, kLevelH);
  QPainter p(&image);
  PreparePainter(p);
  FillVertical(p, image.rect(),
               {{0.0, QColor(6, 6, 30)}, {0.7, QColor(30, 20, 70)}, {1.0, QColor(20, 14, 50)}});
  Rng rng(101);
  Stars(p, rng, 80, QRectF(0, 0, kLevelW, 200), 1.4);
  struct Burst {
    QPointF centre;
    double radius = 0;
    QColor colour;
  };
  const Burst bursts[] = {{QPointF(110, 90), 60, QColor(255, 80, 120)},
                          {QPointF(290, 70), 70, QColor(120, 220, 255)},
                          {QPointF(210, 150), 45, QColor(255, 220, 80)},
                          {QPointF(350, 170), 38, QColor(140, 255, 120)},
                          {QPointF(60, 180), 34, QColor(220, 140, 255)}};
  for (const Burst& b : bursts) {
    DrawGlow(p, b.centre, b.radius * 1.2, WithAlpha(b.colour, 60));
    const int count = 36;
    for (int i = 0; i < count; ++i) {
      const double a = i * 2 * kPi / count + rng.Range(-0.05, 0.05);
      const double r = b.radius * rng.Range(0.75, 1.0);
      const QPointF tip = b.centre + QPointF(std::cos(a), std::sin(a) + 0.08) * r;
      QLinearGradient g(b.centre, tip);
      g.setColorAt(0.0, WithAlpha(b.colour, 0));
      g.setColorAt(1.0, WithAlpha(b.colour.lighter(130), 240));
      p.setPen(QPen(QBrush(g), 1.6, Qt::SolidLine, Qt::RoundCap));
      p.drawLine(b.centre + QPointF(std::cos(a), std::sin(a)) * r * 0.25, tip);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(255, 255, 240, 230));
      p.drawEllipse(tip, 1.4, 1.4);
    }
  }
  // City skyline with lit windows, mirrored in the river.
  const int horizon = 280;
  p.setPen(Qt::NoPen);
  double x = -5;
  while (x < kLevelW) {
    const double w = rng.Range(22, 46);
    const double h = rng.Range(40, 120);
    p.setBrush(QColor(20, 16, 40));
    p.drawRect(QRectF(x, horizon - h, w - 2, h));
    for (double wy = horizon - h + 6; wy < horizon - 6; wy += 9) {
      for (double wx = x + 4; wx < x + w - 8; wx += 8) {
        if (rng.Uniform() < 0.45) {
          p.setBrush(QColor(255, 220, 120, static_cast<int>(rng.Range(120, 255))));
          p.drawRect(QRectF(wx, wy, 4, 5));
        }
      }
    }
    x += w;
  }
  p.end();
  Reflect(image, horizon, QColor(10, 10, 40), 0.45, 9);
  return image;
}

// ---- Super: wonders of sea and sky ---------------------------------------------------

QImage CoralReef() {
  QImage image = Opaque(kLevelW, kLevelH);
  QPainter p(&image);
  PreparePainter(p);
  FillVertical(
      p, image.rect(),
      {{0.0, QColor(60, 200, 230)}, {0.5, QColor(20, 120, 190)}, {1.0, QColor(10, 50, 110)}});
  Rng rng(111);
  LightRays(p, QPointF(260, -40), 9, 380, 28, QColor(255, 255, 255, 50), rng);
  FillPath(p, Hills(kLevelW, kLevelH, 300, 12, 60, 1.0), QColor(240, 220, 170),
           QColor(200, 170, 120));
  // Corals: branching fans in warm colours.
  std::function<void(QPointF, double, double, int, const QColor&)> branch =
      [&](QPointF from, double angle, double length, int depth, const QColor& colour) {
        const QPointF to = from + QPointF(std::cos(angle), std::sin(angle)) * length;
        p.setPen(QPen(colour, 2.0 + depth * 1.6, Qt::SolidLine, Qt::RoundCap));
        p.drawLine(from, to);
        if (depth == 0) return;
        branch(to, angle - rng.Range(0.25, 0.55), length * 0.75, depth - 1, colour);
        branch(to, angle + rng.Range(0.25, 0.55), length * 0.75, depth - 1, colour);
      };
  branch(QPointF(70, 320), -kPi / 2, 40, 4, QColor(255, 110, 120));
  branch(QPointF(330, 318), -kPi / 2 - 0.15, 44, 4, QColor(255, 160, 60));
  branch(QPointF(200, 330), -kPi / 2 + 0.1, 30, 3, QColor(220, 90, 200));
  for (int i = 0; i < 10; ++i) {
    const QPointF c(rng.Range(0, kLevelW), rng.Range(318, 345));
    QRadialGradient g(c + QPointF(-3, -4), 16);
    g.setColorAt(0.0, QColor(255, 220, 120));
    g.setColorAt(1.0, QColor(200, 100, 40));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawEllipse(c, rng.Range(8, 16), rng.Range(6, 10));
  }
  // Seaweed.
  p.setBrush(Qt::NoBrush);
  for (int i = 0; i < 8; ++i) {
    const double x = rng.Range(0, kLevelW);
    QPainterPath weed;
    weed.moveTo(x, 340);
    const double h = rng.Range(60, 120);
    weed.cubicTo(x - 14, 340 - h * 0.3, x + 14, 340 - h * 0.6, x - 4, 340 - h);
    p.setPen(QPen(QColor(40, 160, 80, 220), 4, Qt::SolidLine, Qt::RoundCap));
    p.drawPath(weed);
  }
  Fish(p, QPointF(120, 150), 46, false, QColor(255, 150, 20), QColor(255, 255, 255));
  Fish(p, QPointF(290, 200), 38, true, QColor(255, 220, 40), QColor(40, 40, 120));
  Fish(p, QPointF(220, 100), 30, true, QColor(60, 120, 255), QColor(255, 230, 60));
  for (int i = 0; i < 7; ++i) {
    Fish(p, QPointF(300 + i * 12, 80 + (i % 3) * 10), 14, false, QColor(200, 230, 255),
         QColor(120, 160, 220));
  }
  Bubbles(p, rng, 30, QRectF(0, 20, kLevelW, 260));
  DrawSymbol(p, Symbol::kShell, QRectF(250, 306, 34, 34));
  p.end();
  return image;
}

QImage DeepSea() {
  QImage image = Opaque(kLevelW, kLevelH);
  QPainter p(&image);
  PreparePainter(p);
  FillVertical(p, image.rect(), {{0.0, QColor(10, 60, 110)}, {1.0, QColor(2, 8, 30)}});
  Rng rng(121);
  // Drifting plankton.
  for (int i = 0; i < 200; ++i) {
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(150, 230, 255, static_cast<int>(rng.Range(30, 140))));
    p.drawEllipse(QPointF(rng.Range(0, kLevelW), rng.Range(0, kLevelH)), 0.9, 0.9);
  }
  struct Jelly {
    QPointF centre;
    double size = 0;
    QColor colour;
  };
  const Jelly jellies[] = {{QPointF(130, 120), 46, QColor(255, 110, 220)},
                           {QPointF(300, 170), 36, QColor(120, 220, 255)},
                           {QPointF(220, 260), 26, QColor(200, 140, 255)},
                           {QPointF(60, 260), 20, QColor(120, 255, 200)}};
  for (const Jelly& j : jellies) {
    DrawGlow(p, j.centre, j.size * 2.2, WithAlpha(j.colour, 80));
    p.setBrush(Qt::NoBrush);
    for (int t = 0; t < 6; ++t) {
      const double x = j.centre.x() - j.size * 0.6 + t * j.size * 0.24;
      QPainterPath tentacle;
      tentacle.moveTo(x, j.centre.y());
      tentacle.cubicTo(x - 8, j.centre.y() + j.size * 0.6, x + 8, j.centre.y() + j.size * 1.1,
                       x - 3, j.centre.y() + j.size * (1.5 + 0.1 * (t % 3)));
      p.setPen(QPen(WithAlpha(j.colour, 150), 1.6, Qt::SolidLine, Qt::RoundCap));
      p.drawPath(tentacle);
    }
    QPainterPath bell;
    bell.moveTo(j.centre + QPointF(-j.size, 0));
    bell.cubicTo(j.centre + QPointF(-j.size, -j.size * 1.2),
                 j.centre + QPointF(j.size, -j.size * 1.2), j.centre + QPointF(j.size, 0));
    bell.quadTo(j.centre + QPointF(0, j.size * 0.25), j.centre + QPointF(-j.size, 0));
    QRadialGradient g(j.centre + QPointF(-j.size * 0.2, -j.size * 0.6), j.size * 1.3);
    g.setColorAt(0.0, QColor(255, 255, 255, 230));
    g.setColorAt(0.5, WithAlpha(j.colour, 200));
    g.setColorAt(1.0, WithAlpha(j.colour.darker(150), 140));
    p.setPen(QPen(WithAlpha(j.colour.lighter(140), 220), 1.2));
    p.setBrush(g);
    p.drawPath(bell);
  }
  Bubbles(p, rng, 16, QRectF(0, 0, kLevelW, kLevelH));
  p.end();
  return image;
}

QImage RingedPlanet() {
  QImage image = Opaque(kLevelW, kLevelH);
  // Nebula: coloured fractal clouds on black.
  for (int y = 0; y < kLevelH; ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < kLevelW; ++x) {
      const double a = Fbm(x / 90.0, y / 90.0, 6, 131);
      const double b = Fbm(x / 60.0 + 7, y / 60.0, 5, 137);
      const double m = SmoothStep(0.45, 0.8, a);
      const double n = SmoothStep(0.5, 0.85, b);
      QColor c = Mix(QColor(4, 4, 18), QColor(120, 40, 150), m);
      c = Mix(c, QColor(40, 120, 200), n * 0.8);
      c = Mix(c, QColor(255, 150, 200), SmoothStep(0.7, 0.95, a) * 0.6);
      row[x] = c.rgb();
    }
  }
  QPainter p(&image);
  PreparePainter(p);
  Rng rng(139);
  Stars(p, rng, 240, QRectF(0, 0, kLevelW, kLevelH), 2.2);
  const QPointF c(250, 190);
  const double r = 80;
  // The back half of the ring, the planet, then the front half.
  auto ring = [&](bool front) {
    p.save();
    p.translate(c);
    p.rotate(-18);
    QPainterPath band;
    band.addEllipse(QPointF(0, 0), r * 1.9, r * 0.5);
    QPainterPath hole;
    hole.addEllipse(QPointF(0, 0), r * 1.35, r * 0.33);
    band = band.subtracted(hole);
    QPainterPath half;
    half.addRect(front ? QRectF(-r * 2, 0, r * 4, r) : QRectF(-r * 2, -r, r * 4, r));
    QLinearGradient g(QPointF(-r * 1.9, 0), QPointF(r * 1.9, 0));
    g.setColorAt(0.0, QColor(200, 170, 120, 210));
    g.setColorAt(0.5, QColor(255, 240, 200, 230));
    g.setColorAt(1.0, QColor(170, 130, 90, 210));
    p.setPen(Qt::NoPen);
    p.setBrush(g);
    p.drawPath(band.intersected(half));
    p.restore();
  };
  ring(false);
  QImage planet = NewImage(static_cast<int>(r * 2) + 2, static_cast<int>(r * 2) + 2);
  for (int y = 0; y < planet.height(); ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(planet.scanLine(y));
    for (int x = 0; x < planet.width(); ++x) {
      const double nx = (x + 0.5 - r - 1) / r;
      const double ny = (y + 0.5 - r - 1) / r;
      const double d2 = nx * nx + ny * ny;
      if (d2 > 1) continue;
      const double nz = std::sqrt(1 - d2);
      const double bands = std::sin(ny * 14 + Fbm(nx * 3, ny * 8, 4, 141) * 4);
      QColor col = Mix(QColor(230, 170, 110), QColor(180, 100, 70), bands * 0.5 + 0.5);
      const double light = Clamp01(0.2 + 0.9 * (-nx * 0.6 - ny * 0.4 + nz * 0.6));
      col = Mix(QColor(10, 6, 20), col, light);
      const double edge = Clamp01((1 - std::sqrt(d2)) * r);
      row[x] =
          qPremultiply(qRgba(col.red(), col.green(), col.blue(), static_cast<int>(edge * 255)));
    }
  }
  p.drawImage(QPointF(c.x() - r - 1, c.y() - r - 1), planet);
  ring(true);
  // A small moon and a comet.
  DrawGlossyBall(p, QPointF(80, 80), 16, QColor(150, 170, 210));
  QLinearGradient tail(QPointF(330, 40), QPointF(400, 10));
  tail.setColorAt(0.0, QColor(255, 255, 255, 220));
  tail.setColorAt(1.0, QColor(150, 200, 255, 0));
  p.setPen(QPen(QBrush(tail), 3, Qt::SolidLine, Qt::RoundCap));
  p.drawLine(QPointF(330, 40), QPointF(400, 10));
  p.setPen(Qt::NoPen);
  p.setBrush(Qt::white);
  p.drawEllipse(QPointF(330, 40), 2.5, 2.5);
  p.end();
  return image;
}

QImage Kaleidoscope() {
  QImage image = Opaque(kLevelW, kLevelH);
  QPainter p(&image);
  PreparePainter(p);
  const QPointF c(kLevelW / 2.0, kLevelH / 2.0);
  QRadialGradient back(c, 260);
  back.setColorAt(0.0, QColor(255, 250, 220));
  back.setColorAt(0.5, QColor(250, 170, 60));
  back.setColorAt(1.0, QColor(170, 30, 90));
  p.fillRect(image.rect(), back);
  const QColor rings[] = {QColor(40, 60, 200),  QColor(230, 40, 90),  QColor(20, 160, 140),
                          QColor(250, 200, 30), QColor(130, 40, 180), QColor(255, 110, 40)};
  for (int ring = 6; ring >= 1; --ring) {
    const int petals = 6 + ring * 4;
    const double radius = ring * 34.0;
    const QColor colour = rings[ring - 1];
    for (int i = 0; i < petals; ++i) {
      p.save();
      p.translate(c);
      p.rotate(i * 360.0 / petals + ring * 7);
      QPainterPath petal;
      petal.moveTo(0, -radius + 30);
      petal.cubicTo(14, -radius + 14, 10, -radius - 6, 0, -radius - 14);
      petal.cubicTo(-10, -radius - 6, -14, -radius + 14, 0, -radius + 30);
      QLinearGradient g(QPointF(0, -radius + 30), QPointF(0, -radius - 14));
      g.setColorAt(0.0, colour.darker(140));
      g.setColorAt(1.0, colour.lighter(150));
      p.setPen(QPen(QColor(255, 255, 255, 160), 1.0));
      p.setBrush(g);
      p.drawPath(petal);
      p.setPen(Qt::NoPen);
      p.setBrush(QColor(255, 255, 255, 200));
      p.drawEllipse(QPointF(0, -radius - 20), 2.2, 2.2);
      p.restore();
    }
  }
  DrawSymbol(p, Symbol::kSun, QRectF(c.x() - 40, c.y() - 40, 80, 80));
  const Symbol corners[] = {Symbol::kDaisy, Symbol::kDrop, Symbol::kShell, Symbol::kCloud};
  const QPointF at[] = {QPointF(40, 40), QPointF(380, 40), QPointF(40, 310), QPointF(380, 310)};
  for (int i = 0; i < 4; ++i)
    DrawSymbol(p, corners[i], QRectF(at[i].x() - 30, at[i].y() - 30, 60, 60));
  Vignette(p, image.rect(), 120);
  p.end();
  return image;
}

QImage TropicalIsland() {
  QImage image = Opaque(kLevelW, kLevelH);
  QPainter p(&image);
  PreparePainter(p);
  FillVertical(
      p, QRectF(0, 0, kLevelW, 200),
      {{0.0, QColor(255, 120, 120)}, {0.5, QColor(255, 180, 110)}, {1.0, QColor(255, 230, 160)}});
  SunDisc(p, QPointF(110, 170), 32, QColor(255, 230, 140), QColor(255, 200, 120));
  p.end();
  Clouds(image, QRect(0, 10, kLevelW, 120), 60, 0.62, QColor(255, 230, 210), QColor(220, 120, 140),
         0.85, 151);
  p.begin(&image);
  PreparePainter(p);
  FillVertical(p, QRectF(0, 200, kLevelW, 150),
               {{0.0, QColor(60, 170, 190)}, {1.0, QColor(10, 90, 140)}});
  Rng rng(157);
  WaterGlints(p, rng, QRectF(0, 201, kLevelW, 149), 220, QColor(255, 240, 200), 110, 80);
  // The island with its sand, palms and a little hut.
  QPainterPath island;
  island.moveTo(190, 246);
  island.cubicTo(220, 206, 360, 200, 400, 246);
  island.closeSubpath();
  FillPath(p, island, QColor(255, 226, 160), QColor(220, 180, 110));
  PalmTree(p, QPointF(260, 232), 110, -24, QColor(120, 80, 40), QColor(40, 150, 60));
  PalmTree(p, QPointF(320, 230), 84, 18, QColor(130, 90, 50), QColor(50, 170, 70));
  p.setPen(Qt::NoPen);
  p.setBrush(QColor(160, 100, 50));
  p.drawRect(QRectF(345, 214, 28, 18));
  QPainterPath roof;
  roof.moveTo(340, 216);
  roof.lineTo(359, 198);
  roof.lineTo(378, 216);
  roof.closeSubpath();
  p.setBrush(QColor(220, 190, 90));
  p.drawPath(roof);
  // Dolphins leaping.
  for (const auto& [x, y, flip] :
       {std::tuple{90.0, 260.0, false}, std::tuple{140.0, 285.0, true}}) {
    p.save();
    p.translate(x, y);
    if (flip) p.scale(-1, 1);
    QPainterPath dolphin;
    dolphin.moveTo(-26, 8);
    dolphin.cubicTo(-20, -14, 10, -16, 26, 0);
    dolphin.cubicTo(12, -6, -8, -4, -20, 12);
    dolphin.closeSubpath();
    dolphin.moveTo(0, -12);
    dolphin.lineTo(6, -20);
    dolphin.lineTo(8, -10);
    dolphin.closeSubpath();
    p.setBrush(QColor(60, 90, 130));
    p.drawPath(dolphin);
    p.restore();
  }
  p.end();
  return image;
}

// ---- Backgrounds ---------------------------------------------------------------------

// Deep sea-blue with light falling from the top, a faint pattern of the five
// tile symbols and a few soft glints; dark enough for yellow and red texts.
QImage MainBackground(int w, int h, const QColor& top, const QColor& middle, const QColor& bottom,
                      const QColor& pattern, const QColor& light, uint32_t salt) {
  QImage image = Opaque(w, h);
  QPainter p(&image);
  PreparePainter(p);
  FillVertical(p, image.rect(), {{0.0, top}, {0.55, middle}, {1.0, bottom}});
  p.end();
  // Soft cloudy variation so that the large areas are not flat.
  for (int y = 0; y < h; ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const double n = Fbm(x / 160.0, y / 160.0, 4, salt) - 0.5;
      const QColor c = QColor::fromRgb(row[x]);
      row[x] = qRgb(std::clamp(static_cast<int>(c.red() * (1 + n * 0.35)), 0, 255),
                    std::clamp(static_cast<int>(c.green() * (1 + n * 0.35)), 0, 255),
                    std::clamp(static_cast<int>(c.blue() * (1 + n * 0.3)), 0, 255));
    }
  }
  p.begin(&image);
  PreparePainter(p);
  Rng rng(salt);
  LightRays(p, QPointF(w * 0.5, -h * 0.15), 11, h * 1.3, 40, WithAlpha(light, 26), rng);
  DrawGlow(p, QPointF(w * 0.5, -h * 0.05), w * 0.55, WithAlpha(light, 80));

  // The symbol pattern on a jittered grid.
  const Symbol symbols[] = {Symbol::kSun, Symbol::kDaisy, Symbol::kDrop, Symbol::kShell,
                            Symbol::kCloud};
  const double step = 70;
  int k = 0;
  for (double y = -20; y < h + 20; y += step * 0.87) {
    const double shift = (static_cast<int>(y / (step * 0.87)) % 2) * step / 2;
    for (double x = -20 + shift; x < w + 20; x += step) {
      const double size = rng.Range(24, 36);
      const QPointF c(x + rng.Range(-10, 10), y + rng.Range(-10, 10));
      p.save();
      p.translate(c);
      p.rotate(rng.Range(-25, 25));
      DrawSymbolSilhouette(
          p, symbols[k++ % 5], QRectF(-size / 2, -size / 2, size, size),
          WithAlpha(pattern, static_cast<int>(rng.Range(0.6, 1.0) * pattern.alpha())));
      p.restore();
    }
  }
  // Bokeh glints.
  for (int i = 0; i < 40; ++i) {
    const QPointF c(rng.Range(0, w), rng.Range(0, h));
    const double r = rng.Range(6, 26);
    DrawGlow(p, c, r, WithAlpha(light, static_cast<int>(rng.Range(16, 48))));
  }
  Vignette(p, image.rect(), 150);
  p.end();
  return image;
}

}  // namespace

void MakeScenes(AssetWriter& writer) {
  writer.SaveJpeg(
      "BG", MainBackground(850, 510, QColor(10, 36, 92), QColor(18, 82, 146), QColor(6, 30, 74),
                           QColor(255, 255, 255, 20), QColor(170, 230, 255), 201));
  writer.SaveJpeg("BGAccount", MainBackground(750, 620, QColor(36, 12, 74), QColor(86, 28, 118),
                                              QColor(26, 8, 56), QColor(255, 220, 140, 20),
                                              QColor(255, 210, 150), 203));
  const std::function<QImage()> levels[3][5] = {
      {Meadow, Beach, MountainLake, Rainbow, SunsetSail},
      {MoonlitSea, Aurora, Lighthouse, Dunes, Fireworks},
      {CoralReef, DeepSea, RingedPlanet, Kaleidoscope, TropicalIsland},
  };
  for (int mode = 0; mode < 3; ++mode) {
    for (int level = 0; level < 5; ++level) {
      writer.SaveJpeg(QString("Level%1_%2").arg(mode + 1).arg(level + 1), levels[mode][level]());
    }
  }
}

}  // namespace braxo::art
