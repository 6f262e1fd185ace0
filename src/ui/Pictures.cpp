#include "ui/Pictures.h"

#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <algorithm>
#include <cmath>

Q_LOGGING_CATEGORY(lcPictures, "braxo.ui.pictures")

namespace braxo {

PictureStore::PictureStore(const QString& root) {
  if (root.startsWith(QLatin1Char(':'))) {
    // The embedded folder is listed by name alone: filtering by the kind of
    // entry or walking into folders would open every entry, reading a page
    // of each picture's data and keeping it resident for the whole run.
    QDirIterator it(root, QDir::AllEntries | QDir::System | QDir::Hidden);
    while (it.hasNext()) {
      const QString path = it.next();
      paths_.insert(QFileInfo(path).completeBaseName().toLower(), path);
    }
    return;
  }
  QDirIterator it(root, QDir::Files, QDirIterator::Subdirectories);
  while (it.hasNext()) {
    const QString path = it.next();
    paths_.insert(QFileInfo(path).completeBaseName().toLower(), path);
  }
}

namespace {

constexpr int kLargestPictureRatio = 3;

QString RatioSuffix(int ratio) {
  return ratio == 1 ? QString() : QStringLiteral("@%1x").arg(ratio);
}

}  // namespace

int PictureStore::PictureRatio(const QString& name, int pixel_ratio) const {
  const int wanted = std::clamp(pixel_ratio, 1, kLargestPictureRatio);
  for (int ratio = wanted; ratio <= kLargestPictureRatio; ++ratio) {
    if (Has(name + RatioSuffix(ratio))) return ratio;
  }
  for (int ratio = wanted - 1; ratio > 1; --ratio) {
    if (Has(name + RatioSuffix(ratio))) return ratio;
  }
  return 1;
}

const QImage& PictureStore::LoadPicture(const QString& name, int pixel_ratio) {
  return LoadPngResource(name + RatioSuffix(PictureRatio(name, pixel_ratio)));
}

bool PictureStore::Has(const QString& name) const { return paths_.contains(name.toLower()); }

QByteArray PictureStore::Bytes(const QString& name) const {
  const auto it = paths_.constFind(name.toLower());
  if (it == paths_.constEnd()) return {};
  QFile file(*it);
  if (!file.open(QIODevice::ReadOnly)) return {};
  return file.readAll();
}

const QImage& PictureStore::LoadPngResource(const QString& name) {
  const QString key = name.toLower();
  if (caching_) {
    const auto cached = cache_.constFind(key);
    if (cached != cache_.constEnd()) return *cached;
  }
  QImage picture;
  const auto it = paths_.constFind(key);
  if (it != paths_.constEnd()) picture.load(*it);
  if (picture.isNull()) {
    qCWarning(lcPictures) << "no picture named" << name;
    picture = QImage(16, 16, QImage::Format_ARGB32_Premultiplied);
    picture.fill(QColor(255, 0, 255));
  } else {
    for (const int ratio : {2, 3}) {
      if (key.endsWith(RatioSuffix(ratio))) picture.setDevicePixelRatio(ratio);
    }
  }
  if (!caching_) {
    scratch_ = std::move(picture);
    return scratch_;
  }
  return *cache_.insert(key, picture);
}

int PictureRatioForScale(double device_pixels) {
  // A hair below a whole ratio is that ratio: 2.0000001 from a product of
  // floating scales still takes the 2x pictures.
  return std::clamp(static_cast<int>(std::ceil(device_pixels - 1e-6)), 1, kLargestPictureRatio);
}

int PaintPixelRatio(const QPainter& painter) {
  const QPaintDevice* device = painter.device();
  const double device_ratio = device != nullptr ? device->devicePixelRatioF() : 1.0;
  const QTransform transform = painter.worldTransform();
  const double painter_scale = std::max(std::hypot(transform.m11(), transform.m12()),
                                        std::hypot(transform.m21(), transform.m22()));
  return PictureRatioForScale(device_ratio * painter_scale);
}

namespace {

int NearestEven(double value) { return static_cast<int>(std::nearbyint(value)); }

}  // namespace

bool ResizePng(QImage& picture, int new_width, int new_height, QString* error) {
  const bool has_alpha = picture.hasAlphaChannel();
  const bool supported =
      !picture.isNull() && !picture.isGrayscale() && picture.format() != QImage::Format_Indexed8 &&
      picture.format() != QImage::Format_Mono && picture.format() != QImage::Format_MonoLSB;
  if (!supported || picture.width() < 2 || picture.height() < 2 || new_width < 1 ||
      new_height < 1) {
    if (error) *error = QStringLiteral("Only COLOR_RGBALPHA and COLOR_RGB formats are supported");
    return false;
  }
  const QImage source = picture.convertToFormat(QImage::Format_ARGB32);
  // The destination starts as a blank, fully transparent picture.
  QImage destination(new_width, new_height, QImage::Format_ARGB32);
  destination.fill(Qt::transparent);
  const double sx = static_cast<double>(new_width) / (source.width() - 1);
  const double sy = static_cast<double>(new_height) / (source.height() - 1);
  for (int r = 0; r < new_height; ++r) {
    const double fy = r / sy;
    const int y0 = static_cast<int>(fy);
    const double wy[2] = {1 - (fy - y0), fy - y0};
    auto* out = reinterpret_cast<QRgb*>(destination.scanLine(r));
    for (int c = 0; c < new_width; ++c) {
      const double fx = c / sx;
      const int x0 = static_cast<int>(fx);
      const double wx[2] = {1 - (fx - x0), fx - x0};
      double sum[4] = {0, 0, 0, 0};
      for (int j = 0; j < 2; ++j) {
        const auto* in = reinterpret_cast<const QRgb*>(source.constScanLine(y0 + j));
        for (int i = 0; i < 2; ++i) {
          const QRgb p = in[x0 + i];
          const double w = wx[i] * wy[j];
          sum[0] += w * qRed(p);
          sum[1] += w * qGreen(p);
          sum[2] += w * qBlue(p);
          sum[3] += w * qAlpha(p);
        }
      }
      // An opaque source stays opaque (a blank template's alpha would make
      // the resized picture invisible).
      const int alpha = has_alpha ? NearestEven(sum[3]) : 255;
      out[c] = qRgba(NearestEven(sum[0]), NearestEven(sum[1]), NearestEven(sum[2]), alpha);
    }
  }
  picture = destination;
  return true;
}

}  // namespace braxo
