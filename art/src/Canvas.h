// Small drawing toolkit shared by every picture of the art generator: a
// repeatable random source, value noise, colour mixing and a few shapes.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <cstdint>

namespace braxo::art {

// Font families the generator registers from the font files it is given.
inline constexpr const char* kSansFamily = "Liberation Sans";
inline constexpr const char* kCjkFamily = "WenQuanYi Zen Hei";

// SplitMix64: the same sequence on every machine and every build, which the
// standard library distributions do not promise.
class Rng {
 public:
  explicit Rng(uint64_t start) : state_(start) {}
  uint64_t Next();
  // Uniform in [0, 1).
  double Uniform();
  double Range(double low, double high) { return low + (high - low) * Uniform(); }
  // Uniform integer in [0, count).
  int Below(int count) { return static_cast<int>(Uniform() * count); }

 private:
  uint64_t state_;
};

// Device pixels per design pixel of the pictures the calling thread draws
// now: 1, or what the innermost DrawingRatioScope on this thread says.
int DrawingRatio();
// Draws the pictures of a group at `ratio` (2 or 3) while it lives: NewImage
// makes its pictures that many times finer, with that device pixel ratio, so
// that painters keep drawing in design pixels, and AssetWriter saves them as
// "<name>@<ratio>x". Each thread has its own ratio.
class DrawingRatioScope {
 public:
  explicit DrawingRatioScope(int ratio);
  DrawingRatioScope(const DrawingRatioScope&) = delete;
  DrawingRatioScope& operator=(const DrawingRatioScope&) = delete;
  ~DrawingRatioScope();

 private:
  int previous_;
};
// The file name's suffix of a picture drawn at `ratio`: "" or "@2x", "@3x".
QString RatioSuffix(int ratio);

// A transparent ARGB32 premultiplied picture of the given size in design
// pixels, DrawingRatio() times finer.
QImage NewImage(int width, int height);
// A painter with antialiasing and smooth picture transforms switched on.
void PreparePainter(QPainter& painter);

QColor Mix(const QColor& a, const QColor& b, double t);
QColor WithAlpha(const QColor& c, int alpha);
double Clamp01(double v);
double SmoothStep(double edge0, double edge1, double x);

// Value noise in [0, 1] on an integer lattice; `salt` picks an independent field.
double ValueNoise(double x, double y, uint32_t salt);
// Fractal sum of `octaves` layers of value noise, normalised to [0, 1].
double Fbm(double x, double y, int octaves, uint32_t salt);

QPainterPath StarPath(QPointF centre, double outer, double inner, int points, double rotation_deg);
QPainterPath RegularPolygon(QPointF centre, double radius, int sides, double rotation_deg);

QFont ArtFont(const QString& family, double pixel_size, int weight = QFont::Bold);

// Text as a path whose baseline starts at `origin`.
QPainterPath TextPath(const QString& text, const QFont& font, QPointF origin);
// A text path centred (by its bounding box) on `centre`.
QPainterPath CentredTextPath(const QString& text, const QFont& font, QPointF centre);

// A glossy ball: radial body, darker rim and a soft highlight at the top left.
void DrawGlossyBall(QPainter& painter, QPointF centre, double radius, const QColor& base);
// A soft round glow fading from `colour` at the centre to nothing at `radius`.
void DrawGlow(QPainter& painter, QPointF centre, double radius, const QColor& colour);

// Blurs the alpha and colour channels with a small box blur (`radius` pixels,
// three passes approximate a Gaussian); used for shadows and glows. The
// radius is in design pixels: a finer picture is blurred as far.
QImage Blurred(const QImage& image, int radius);

}  // namespace braxo::art
