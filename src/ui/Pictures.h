// The embedded pictures and sounds, looked up by name without regard to case,
// and the resampling routine.
#pragma once

#include <QByteArray>
#include <QHash>
#include <QImage>
#include <QPainter>
#include <QString>

namespace braxo {

// Device pixels per design pixel, as the ratio of the picture that fits a
// scale of `device_pixels`: 1 to 3, the next larger for a fractional scale
// (125 % and 150 % take the 2x pictures and draw them smaller).
int PictureRatioForScale(double device_pixels);
// The ratio of the pictures `painter` needs: its device's pixel ratio times
// the painter's own scale, through PictureRatioForScale.
int PaintPixelRatio(const QPainter& painter);

// An index of the embedded resources (built once by walking the resource
// folder: Qt's resource names are case-sensitive, the game's are not) and a
// cache of decoded pictures. Pictures never change during a run, so a
// picture is decoded once and then drawn from memory.
class PictureStore {
 public:
  // Indexes every file under `root` (":/assets" in the game: an embedded
  // folder is indexed one level deep, by name only, touching no picture).
  explicit PictureStore(const QString& root = QStringLiteral(":/assets"));

  // A picture with transparency. A name that does not exist gives a visible
  // magenta placeholder of 16 x 16 (and a warning in the log): the program
  // only asks for names that exist.
  const QImage& LoadPngResource(const QString& name);
  // The picture drawn for `pixel_ratio` device pixels per design pixel:
  // "<name>@2x" or "<name>@3x" where the art has it at that ratio, else the
  // nearest larger ratio drawn, else the largest one below. A picture of
  // ratio 2 or 3 carries that device pixel ratio, so a painter draws it at
  // its 1x size. Each ratio is decoded only when first asked for.
  const QImage& LoadPicture(const QString& name, int pixel_ratio);
  // The ratio LoadPicture picks for `name` at `pixel_ratio` (1 when the art
  // has no other).
  int PictureRatio(const QString& name, int pixel_ratio) const;
  // The picture drawn for the ratio `painter` draws at (PaintPixelRatio):
  // drawn at a design position, it covers its design size, as sharp as the
  // painter's device allows.
  const QImage& PictureFor(const QPainter& painter, const QString& name) {
    return LoadPicture(name, PaintPixelRatio(painter));
  }
  // A background picture ("BG", the level pictures).
  const QImage& LoadJpegResource(const QString& name) { return LoadPngResource(name); }
  // The raw bytes of a resource (sounds); empty when the name is unknown.
  QByteArray Bytes(const QString& name) const;
  bool Has(const QString& name) const;
  // Forgets decoded pictures (a benchmark compares decoding on every draw).
  void SetCaching(bool caching) { caching_ = caching; }

 private:
  QHash<QString, QString> paths_;  // lower-case name without extension -> resource path
  QHash<QString, QImage> cache_;
  QImage scratch_;
  bool caching_ = true;
};

// Resamples an RGB or RGBA picture in place to new_width x new_height with
// the game's bilinear rule: factors divide by (source size - 1), so the last
// row and column sample just short of the source edge. An opaque source
// gives an opaque result. Returns false and sets
// `error` for any other kind of picture, leaving it unchanged.
bool ResizePng(QImage& picture, int new_width, int new_height, QString* error = nullptr);

}  // namespace braxo
