#include "Canvas.h"

#include <QFontMetricsF>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace braxo::art {

uint64_t Rng::Next() {
  state_ += 0x9E3779B97F4A7C15ULL;
  uint64_t z = state_;
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
  return z ^ (z >> 31);
}

double Rng::Uniform() { return static_cast<double>(Next() >> 11) * (1.0 / 9007199254740992.0); }

namespace {

thread_local int drawing_ratio = 1;

}  // namespace

int DrawingRatio() { return drawing_ratio; }

DrawingRatioScope::DrawingRatioScope(int ratio) : previous_(drawing_ratio) {
  drawing_ratio = ratio;
}

DrawingRatioScope::~DrawingRatioScope() { drawing_ratio = previous_; }

QString RatioSuffix(int ratio) {
  return ratio == 1 ? QString() : QStringLiteral("@%1x").arg(ratio);
}

QImage NewImage(int width, int height) {
  const int ratio = DrawingRatio();
  QImage image(width * ratio, height * ratio, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::transparent);
  return image;
}

void PreparePainter(QPainter& painter) {
  painter.setRenderHint(QPainter::Antialiasing, true);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
  painter.setRenderHint(QPainter::TextAntialiasing, true);
}

double Clamp01(double v) { return std::clamp(v, 0.0, 1.0); }

double SmoothStep(double edge0, double edge1, double x) {
  const double t = Clamp01((x - edge0) / (edge1 - edge0));
  return t * t * (3.0 - 2.0 * t);
}

QColor Mix(const QColor& a, const QColor& b, double t) {
  t = Clamp01(t);
  return QColor::fromRgbF(static_cast<float>(a.redF() + (b.redF() - a.redF()) * t),
                          static_cast<float>(a.greenF() + (b.greenF() - a.greenF()) * t),
                          static_cast<float>(a.blueF() + (b.blueF() - a.blueF()) * t),
                          static_cast<float>(a.alphaF() + (b.alphaF() - a.alphaF()) * t));
}

QColor WithAlpha(const QColor& c, int alpha) {
  QColor out = c;
  out.setAlpha(std::clamp(alpha, 0, 255));
  return out;
}

namespace {

uint32_t Hash(int x, int y, uint32_t salt) {
  uint32_t h = static_cast<uint32_t>(x) * 0x8DA6B343U ^ static_cast<uint32_t>(y) * 0xD8163841U ^
               salt * 0xCB1AB31FU;
  h ^= h >> 13;
  h *= 0x5BD1E995U;
  h ^= h >> 15;
  return h;
}

double Lattice(int x, int y, uint32_t salt) { return (Hash(x, y, salt) & 0xFFFFFF) / 16777215.0; }

}  // namespace

double ValueNoise(double x, double y, uint32_t salt) {
  const double fx = std::floor(x);
  const double fy = std::floor(y);
  const int ix = static_cast<int>(fx);
  const int iy = static_cast<int>(fy);
  double tx = x - fx;
  double ty = y - fy;
  tx = tx * tx * (3.0 - 2.0 * tx);
  ty = ty * ty * (3.0 - 2.0 * ty);
  const double a = Lattice(ix, iy, salt);
  const double b = Lattice(ix + 1, iy, salt);
  const double c = Lattice(ix, iy + 1, salt);
  const double d = Lattice(ix + 1, iy + 1, salt);
  return (a + (b - a) * tx) + ((c + (d - c) * tx) - (a + (b - a) * tx)) * ty;
}

double Fbm(double x, double y, int octaves, uint32_t salt) {
  double sum = 0.0;
  double amplitude = 1.0;
  double total = 0.0;
  for (int i = 0; i < octaves; ++i) {
    sum += amplitude * ValueNoise(x, y, salt + static_cast<uint32_t>(i) * 101U);
    total += amplitude;
    amplitude *= 0.5;
    x *= 2.03;
    y *= 2.03;
  }
  return sum / total;
}

QPainterPath StarPath(QPointF centre, double outer, double inner, int points, double rotation_deg) {
  QPainterPath path;
  for (int i = 0; i < points * 2; ++i) {
    const double r = (i % 2 == 0) ? outer : inner;
    const double a =
        (rotation_deg - 90.0) * std::numbers::pi / 180.0 + i * std::numbers::pi / points;
    const QPointF p(centre.x() + r * std::cos(a), centre.y() + r * std::sin(a));
    if (i == 0) {
      path.moveTo(p);
    } else {
      path.lineTo(p);
    }
  }
  path.closeSubpath();
  return path;
}

QPainterPath RegularPolygon(QPointF centre, double radius, int sides, double rotation_deg) {
  QPainterPath path;
  for (int i = 0; i < sides; ++i) {
    const double a =
        (rotation_deg - 90.0) * std::numbers::pi / 180.0 + i * 2.0 * std::numbers::pi / sides;
    const QPointF p(centre.x() + radius * std::cos(a), centre.y() + radius * std::sin(a));
    if (i == 0) {
      path.moveTo(p);
    } else {
      path.lineTo(p);
    }
  }
  path.closeSubpath();
  return path;
}

QFont ArtFont(const QString& family, double pixel_size, int weight) {
  QFont font(family);
  font.setPixelSize(static_cast<int>(std::lround(pixel_size)));
  font.setWeight(static_cast<QFont::Weight>(weight));
  font.setStyleStrategy(QFont::PreferAntialias);
  font.setHintingPreference(QFont::PreferNoHinting);
  font.setKerning(true);
  return font;
}

QPainterPath TextPath(const QString& text, const QFont& font, QPointF origin) {
  QPainterPath path;
  path.addText(origin, font, text);
  return path;
}

QPainterPath CentredTextPath(const QString& text, const QFont& font, QPointF centre) {
  QPainterPath path = TextPath(text, font, QPointF(0, 0));
  const QRectF box = path.boundingRect();
  path.translate(centre - box.center());
  return path;
}

void DrawGlossyBall(QPainter& painter, QPointF centre, double radius, const QColor& base) {
  painter.save();
  painter.setPen(Qt::NoPen);
  QRadialGradient body(centre + QPointF(-radius * 0.25, -radius * 0.3), radius * 1.25);
  body.setColorAt(0.0, base.lighter(150));
  body.setColorAt(0.55, base);
  body.setColorAt(1.0, base.darker(220));
  painter.setBrush(body);
  painter.drawEllipse(centre, radius, radius);
  painter.setBrush(Qt::NoBrush);
  painter.setPen(QPen(WithAlpha(base.darker(300), 200), std::max(1.0, radius * 0.08)));
  painter.drawEllipse(centre, radius - radius * 0.04, radius - radius * 0.04);
  painter.setPen(Qt::NoPen);
  QRadialGradient shine(centre + QPointF(-radius * 0.2, -radius * 0.45), radius * 0.6);
  shine.setColorAt(0.0, QColor(255, 255, 255, 230));
  shine.setColorAt(1.0, QColor(255, 255, 255, 0));
  painter.setBrush(shine);
  painter.drawEllipse(
      QRectF(centre.x() - radius * 0.7, centre.y() - radius * 0.9, radius * 1.2, radius * 0.8));
  painter.restore();
}

void DrawGlow(QPainter& painter, QPointF centre, double radius, const QColor& colour) {
  painter.save();
  painter.setPen(Qt::NoPen);
  QRadialGradient glow(centre, radius);
  glow.setColorAt(0.0, colour);
  glow.setColorAt(0.4, WithAlpha(colour, colour.alpha() / 3));
  glow.setColorAt(1.0, WithAlpha(colour, 0));
  painter.setBrush(glow);
  painter.drawEllipse(centre, radius, radius);
  painter.restore();
}

namespace {

// One horizontal and one vertical box pass over premultiplied ARGB.
void BoxPass(std::vector<float>& data, int width, int height, int radius, bool horizontal) {
  std::vector<float> line;
  const int length = horizontal ? width : height;
  const int lines = horizontal ? height : width;
  line.resize(static_cast<size_t>(length) * 4);
  for (int l = 0; l < lines; ++l) {
    auto at = [&](int i) -> float* {
      const int x = horizontal ? i : l;
      const int y = horizontal ? l : i;
      return &data[(static_cast<size_t>(y) * width + x) * 4];
    };
    for (int i = 0; i < length; ++i) {
      float sum[4] = {0, 0, 0, 0};
      for (int k = -radius; k <= radius; ++k) {
        const int j = std::clamp(i + k, 0, length - 1);
        const float* p = at(j);
        for (int c = 0; c < 4; ++c) sum[c] += p[c];
      }
      for (int c = 0; c < 4; ++c) line[static_cast<size_t>(i) * 4 + c] = sum[c] / (2 * radius + 1);
    }
    for (int i = 0; i < length; ++i) {
      float* p = at(i);
      for (int c = 0; c < 4; ++c) p[c] = line[static_cast<size_t>(i) * 4 + c];
    }
  }
}

}  // namespace

QImage Blurred(const QImage& image, int radius) {
  const QImage src = image.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  const int w = src.width();
  const int h = src.height();
  std::vector<float> data(static_cast<size_t>(w) * h * 4);
  for (int y = 0; y < h; ++y) {
    const QRgb* row = reinterpret_cast<const QRgb*>(src.constScanLine(y));
    for (int x = 0; x < w; ++x) {
      float* p = &data[(static_cast<size_t>(y) * w + x) * 4];
      p[0] = static_cast<float>(qAlpha(row[x]));
      p[1] = static_cast<float>(qRed(row[x]));
      p[2] = static_cast<float>(qGreen(row[x]));
      p[3] = static_cast<float>(qBlue(row[x]));
    }
  }
  const int device_radius = static_cast<int>(std::lround(radius * src.devicePixelRatio()));
  for (int pass = 0; pass < 3; ++pass) {
    BoxPass(data, w, h, device_radius, true);
    BoxPass(data, w, h, device_radius, false);
  }
  QImage out(w, h, QImage::Format_ARGB32_Premultiplied);
  out.setDevicePixelRatio(src.devicePixelRatio());
  for (int y = 0; y < h; ++y) {
    QRgb* row = reinterpret_cast<QRgb*>(out.scanLine(y));
    for (int x = 0; x < w; ++x) {
      const float* p = &data[(static_cast<size_t>(y) * w + x) * 4];
      const int a = std::clamp(static_cast<int>(std::lround(p[0])), 0, 255);
      row[x] = qRgba(std::min(a, static_cast<int>(std::lround(p[1]))),
                     std::min(a, static_cast<int>(std::lround(p[2]))),
                     std::min(a, static_cast<int>(std::lround(p[3]))), a);
    }
  }
  return out;
}

}  // namespace braxo::art
