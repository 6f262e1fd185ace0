// The removal burst and the animated account stars.
#include <QLinearGradient>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "Canvas.h"
#include "Generators.h"

namespace braxo::art {
namespace {

constexpr double kPi = std::numbers::pi;

// ---- Burst ------------------------------------------------------------------

// The game places the burst so that the tile's face centre lies near here.
const QPointF kBurstCentre(50, 80);
constexpr int kBurstFrames = 26;
// The tile vanishes under this frame.
constexpr int kFlashFrame = 10;

struct Spark {
  QPointF velocity;  // pixels per frame
  double size;
  double life;  // frames after the flash until it is gone
  double hue_shift;
};

QPointF SparkPosition(const Spark& spark, double age) {
  constexpr double kGravity = 0.34;
  return kBurstCentre +
         QPointF(spark.velocity.x() * age, spark.velocity.y() * age + 0.5 * kGravity * age * age);
}

QColor SparkColour(double fade, double hue_shift) {
  // White hot, then gold, orange and a dull red as the spark cools.
  const QColor white(255, 250, 210);
  const QColor gold(255, 196, 0);
  const QColor orange(255, 110, 0);
  const QColor red(220, 30, 70);
  QColor c = fade < 0.2    ? Mix(white, gold, fade / 0.2)
             : fade < 0.55 ? Mix(gold, orange, (fade - 0.2) / 0.35)
                           : Mix(orange, red, (fade - 0.55) / 0.45);
  if (hue_shift > 0.5) c = Mix(c, QColor(255, 120, 220), 0.35);
  return c;
}

void DrawTwinkle(QPainter& p, QPointF centre, double size, const QColor& colour, double angle) {
  p.save();
  p.translate(centre);
  p.rotate(angle);
  DrawGlow(p, QPointF(0, 0), size * 1.4, WithAlpha(colour, colour.alpha() / 2));
  p.setPen(Qt::NoPen);
  p.setBrush(colour);
  p.drawPath(StarPath(QPointF(0, 0), size, size * 0.22, 4, 0));
  p.setBrush(WithAlpha(QColor(255, 255, 255), colour.alpha()));
  p.drawEllipse(QPointF(0, 0), size * 0.18, size * 0.18);
  p.restore();
}

// Fades everything within `margin` device pixels of the border, so that no glow or
// spark is cut off by a hard edge of the picture.
void FadeEdges(QImage& image, int margin) {
  for (int y = 0; y < image.height(); ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(image.scanLine(y));
    for (int x = 0; x < image.width(); ++x) {
      const int d = std::min({x, y, image.width() - 1 - x, image.height() - 1 - y});
      if (d >= margin) continue;
      const double k = SmoothStep(0.0, margin, d);
      const QRgb c = row[x];
      row[x] = qRgba(static_cast<int>(qRed(c) * k), static_cast<int>(qGreen(c) * k),
                     static_cast<int>(qBlue(c) * k), static_cast<int>(qAlpha(c) * k));
    }
  }
}

QImage BurstFrame(int frame, const std::vector<Spark>& sparks) {
  QImage image = NewImage(100, 123);
  QPainter p(&image);
  PreparePainter(p);
  p.setPen(Qt::NoPen);

  if (frame < kFlashFrame) {
    // Gathering: a warm glow swells over the tile while sparkles spiral in.
    const double t = static_cast<double>(frame) / kFlashFrame;
    DrawGlow(p, kBurstCentre, 24 + 18 * t, QColor(255, 190, 40, static_cast<int>(70 + 170 * t)));
    for (int i = 0; i < 6; ++i) {
      const double angle = i * 60.0 + frame * 24.0;
      const double radius = 46.0 * (1.0 - t) + 8.0;
      const QPointF at(kBurstCentre.x() + radius * std::cos(angle * kPi / 180),
                       kBurstCentre.y() + radius * std::sin(angle * kPi / 180) * 0.9);
      DrawTwinkle(p, at, 4.5 + 5.0 * t, QColor(255, 186, 20, 245), frame * 15.0);
    }
    if (frame >= 7) {
      DrawGlow(p, kBurstCentre, 20 + 6 * (frame - 7),
               QColor(255, 255, 245, 120 + 45 * (frame - 7)));
    }
  } else {
    const double age = frame - kFlashFrame;  // 0 at the flash
    const double end = kBurstFrames - kFlashFrame;

    // Flash: a white-hot core that hides the tile leaving the board.
    if (age < 5) {
      const double k = 1.0 - age / 5.0;
      QRadialGradient flash(kBurstCentre, 30 + 4 * age);
      flash.setColorAt(0.0, QColor(255, 255, 250, static_cast<int>(255 * k)));
      flash.setColorAt(0.4, QColor(255, 236, 150, static_cast<int>(240 * k)));
      flash.setColorAt(0.75, QColor(255, 150, 30, static_cast<int>(170 * k)));
      flash.setColorAt(1.0, QColor(255, 120, 0, 0));
      p.setBrush(flash);
      p.drawEllipse(kBurstCentre, 30 + 4 * age, 30 + 4 * age);
    }
    // Rays: thin beams that shoot out and thin away.
    if (age < 8) {
      const double k = 1.0 - age / 8.0;
      for (int i = 0; i < 12; ++i) {
        const double a = (i * 30.0 + 8.0) * kPi / 180;
        const QPointF direction(std::cos(a), std::sin(a));
        const double reach = direction.y() < 0 ? 70 : 40;
        const double length = (0.45 + 0.55 * std::sqrt(age / 8.0)) * reach;
        QLinearGradient ray(kBurstCentre, kBurstCentre + direction * length);
        ray.setColorAt(0.0, QColor(255, 255, 220, static_cast<int>(230 * k)));
        ray.setColorAt(1.0, QColor(255, 150, 20, 0));
        const QPointF side(-direction.y() * (2.6 * k + 0.5), direction.x() * (2.6 * k + 0.5));
        QPainterPath beam;
        beam.moveTo(kBurstCentre + side);
        beam.lineTo(kBurstCentre + direction * length);
        beam.lineTo(kBurstCentre - side);
        beam.closeSubpath();
        p.setBrush(ray);
        p.drawPath(beam);
      }
    }
    // Shock ring.
    if (age < 9) {
      const double k = 1.0 - age / 9.0;
      const double r = 16 + 28 * std::sqrt(age / 9.0);
      p.setBrush(Qt::NoBrush);
      p.setPen(QPen(QColor(255, 150, 30, static_cast<int>(190 * k)), 0.8 + 2.6 * k));
      p.drawEllipse(kBurstCentre, r, r * 0.92);
      p.setPen(Qt::NoPen);
    }
    // Sparks with short trails.
    for (const Spark& spark : sparks) {
      if (age > spark.life) continue;
      const double k = age / spark.life;
      const QColor colour = SparkColour(k, spark.hue_shift);
      const int alpha = static_cast<int>(255 * (1.0 - k * k));
      const QPointF head = SparkPosition(spark, age + 0.8);
      const QPointF tail = SparkPosition(spark, std::max(0.0, age - 2.4));
      QLinearGradient trail(tail, head);
      trail.setColorAt(0.0, WithAlpha(colour, 0));
      trail.setColorAt(1.0, WithAlpha(colour, alpha));
      p.setPen(QPen(QBrush(trail), spark.size * (1.0 - 0.6 * k), Qt::SolidLine, Qt::RoundCap));
      p.drawLine(tail, head);
      p.setPen(Qt::NoPen);
      DrawGlow(p, head, spark.size * 2.2 * (1.0 - 0.5 * k), WithAlpha(colour, alpha * 3 / 4));
      p.setBrush(WithAlpha(QColor(255, 255, 240), alpha));
      p.drawEllipse(head, spark.size * 0.45 * (1.0 - 0.5 * k), spark.size * 0.45 * (1.0 - 0.5 * k));
    }
    // A few twinkles drift upwards and blink out at the end.
    for (int i = 0; i < 5; ++i) {
      const double start = 2 + i * 1.5;
      if (age < start) continue;
      const double local = (age - start) / (end - start);
      if (local > 1.0) continue;
      const double x = kBurstCentre.x() + (i - 2) * 17 + std::sin(age * 0.7 + i) * 4;
      const double y = kBurstCentre.y() - 24 - local * 48 - i * 4;
      const double blink = 0.6 + 0.4 * std::cos(age * 1.7 + i);
      const int alpha = static_cast<int>(255 * (1.0 - local) * blink);
      DrawTwinkle(p, QPointF(x, y), 3.5 + 3.0 * (1.0 - local),
                  QColor(255, i % 2 == 0 ? 250 : 200, i % 2 == 0 ? 200 : 250, alpha), age * 20.0);
    }
  }
  p.end();
  FadeEdges(image, 6 * DrawingRatio());
  return image;
}

std::vector<Spark> MakeSparks() {
  Rng rng(0xB0A57ULL);
  std::vector<Spark> sparks;
  for (int i = 0; i < 34; ++i) {
    // Spread all round, but more of them upwards: the burst rises off the tile.
    double angle = rng.Range(0, 2 * kPi);
    if (i % 3 != 0) angle = rng.Range(-kPi * 0.95, -kPi * 0.05);
    const double speed = rng.Range(2.4, 5.2);
    sparks.push_back(Spark{QPointF(std::cos(angle) * speed, std::sin(angle) * speed * 1.15 - 0.8),
                           rng.Range(2.6, 4.6), rng.Range(11.0, 16.0), rng.Uniform()});
  }
  return sparks;
}

// ---- Stars ------------------------------------------------------------------

// The centre colour of "RamkaAc", under the star in the account window: the
// star's soft edges are blended onto it before the GIF's 1-bit transparency.
const QColor kStarMatte(250, 240, 214);

QImage StarFrame(const QColor& base, int frame, int frames) {
  const double phase = 2 * kPi * frame / frames;
  QImage image = NewImage(55, 45);
  QPainter p(&image);
  PreparePainter(p);
  const QPointF centre(27.5, 24.0);
  const double scale = 1.0 + 0.07 * std::sin(phase);
  const double outer = 20.5 * scale;
  const double inner = 8.6 * scale;
  const double tilt = 7.0 * std::sin(phase);

  // Bevelled star: ten facets from the centre, lit from the top left.
  const QPainterPath outline = StarPath(centre, outer, inner, 5, tilt);
  for (int i = 0; i < 10; ++i) {
    const QPointF a = outline.elementAt(i);
    const QPointF b = outline.elementAt((i + 1) % 10);
    QPainterPath facet;
    facet.moveTo(centre);
    facet.lineTo(a);
    facet.lineTo(b);
    facet.closeSubpath();
    const QPointF mid = (a + b) / 2 - centre;
    const double light = (-mid.x() * 0.6 - mid.y() * 0.8) / std::hypot(mid.x(), mid.y());
    QColor shade = light > 0 ? Mix(base, QColor(255, 255, 255), light * 0.55)
                             : Mix(base, QColor(0, 0, 0), -light * 0.45);
    p.setPen(QPen(shade, 0.6));
    p.setBrush(shade);
    p.drawPath(facet);
  }
  p.setBrush(Qt::NoBrush);
  p.setPen(QPen(base.darker(250), 1.6, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
  p.drawPath(outline);

  // The twinkle: a glint that flares at the upper-left point once a cycle.
  const double glint = std::max(0.0, std::sin(phase - kPi / 3));
  if (glint > 0.05) {
    const QPointF tip = centre + QPointF(-8, -7);
    DrawGlow(p, tip, 4 + 6 * glint, QColor(255, 255, 255, static_cast<int>(200 * glint)));
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(255, 255, 255));
    p.drawPath(StarPath(tip, 3.0 + 8.0 * glint, 1.3 + 0.6 * glint, 4, 0));
  }
  p.end();

  // Blend the soft edges onto the panel colour; the encoder keeps pixels
  // that are at least half covered.
  QImage mask = image.convertToFormat(QImage::Format_ARGB32);
  for (int y = 0; y < mask.height(); ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(mask.scanLine(y));
    for (int x = 0; x < mask.width(); ++x) {
      const int a = qAlpha(row[x]);
      if (a == 0) continue;
      const double k = a / 255.0;
      row[x] =
          qRgba(static_cast<int>(std::lround(qRed(row[x]) * k + kStarMatte.red() * (1 - k))),
                static_cast<int>(std::lround(qGreen(row[x]) * k + kStarMatte.green() * (1 - k))),
                static_cast<int>(std::lround(qBlue(row[x]) * k + kStarMatte.blue() * (1 - k))),
                a >= 100 ? 255 : 0);
    }
  }
  return mask;
}

}  // namespace

void MakeBursts(AssetWriter& writer) {
  const std::vector<Spark> sparks = MakeSparks();
  for (int frame = 1; frame <= kBurstFrames; ++frame) {
    writer.SavePng(QString("GBax%1").arg(frame), BurstFrame(frame, sparks));
  }
}

void MakeStars(AssetWriter& writer) {
  struct StarColour {
    const char* name = nullptr;
    QColor base;
  };
  const StarColour colours[] = {{"StarR0", QColor(228, 24, 24)},
                                {"StarY0", QColor(250, 204, 0)},
                                {"StarG0", QColor(24, 184, 48)}};
  constexpr int kFrames = 12;
  for (const StarColour& c : colours) {
    std::vector<QImage> frames;
    frames.reserve(kFrames);
    for (int i = 0; i < kFrames; ++i) frames.push_back(StarFrame(c.base, i, kFrames));
    writer.SaveGif(c.name, frames, 8);
  }
}

}  // namespace braxo::art
