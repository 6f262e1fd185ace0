#include "DesktopIcons.h"

#include <QBuffer>
#include <QDir>
#include <QFileInfo>
#include <QImageWriter>
#include <QPainter>
#include <QSaveFile>
#include <QSvgGenerator>

#include "Canvas.h"
#include "Generators.h"

namespace braxo::art {
namespace {

bool WriteFile(const QString& path, const QByteArray& bytes) {
  if (bytes.isEmpty() || !QDir().mkpath(QFileInfo(path).path())) return false;
  QSaveFile out(path);
  return out.open(QIODevice::WriteOnly) && out.write(bytes) == bytes.size() && out.commit();
}

QByteArray IconPng(int size) {
  QImage image = NewImage(size, size);
  QPainter painter(&image);
  PaintProgramIcon(painter, size);
  painter.end();
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, "png");
  if (!writer.write(image.convertToFormat(QImage::Format_ARGB32))) return {};
  return bytes;
}

// The same drawing through Qt's SVG painter: paths and gradients stay
// vectors, so the icon is sharp at any size.
QByteArray IconSvg(const QString& name) {
  constexpr int kSize = 64;
  QByteArray bytes;
  QBuffer buffer(&bytes);
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(QSize(kSize, kSize));
  generator.setViewBox(QRect(0, 0, kSize, kSize));
  generator.setTitle(name);
  generator.setDescription(QStringLiteral("Two tiles of the game"));
  QPainter painter;
  if (!painter.begin(&generator)) return {};
  PaintProgramIcon(painter, kSize);
  painter.end();
  return bytes;
}

}  // namespace

QStringList WriteDesktopIcons(const QString& theme_dir, const QString& name) {
  QStringList problems;
  const QDir theme(theme_dir);
  for (const int size : kDesktopIconSizes) {
    const QString file = theme.filePath(QStringLiteral("%1x%1/apps/%2.png").arg(size).arg(name));
    if (!WriteFile(file, IconPng(size))) problems << QStringLiteral("could not write %1").arg(file);
  }
  const QString svg = theme.filePath(QStringLiteral("scalable/apps/%1.svg").arg(name));
  if (!WriteFile(svg, IconSvg(name))) problems << QStringLiteral("could not write %1").arg(svg);
  return problems;
}

}  // namespace braxo::art
