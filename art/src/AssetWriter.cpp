#include "AssetWriter.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QImageWriter>
#include <QRegularExpression>
#include <QSaveFile>
#include <QTextStream>
#include <algorithm>
#include <cmath>
#include <map>

#include "Canvas.h"
#include "GifEncoder.h"

namespace braxo::art {
namespace {

QByteArray EncodeImage(const QImage& image, const char* format, int quality) {
  QByteArray bytes;
  QBuffer buffer(&bytes);
  buffer.open(QIODevice::WriteOnly);
  QImageWriter writer(&buffer, format);
  if (quality >= 0) writer.setQuality(quality);
  if (qstrcmp(format, "jpg") == 0) writer.setOptimizedWrite(true);
  if (!writer.write(image)) return {};
  return bytes;
}

void PutLe(QByteArray& out, uint32_t value, int bytes) {
  for (int i = 0; i < bytes; ++i) out.append(static_cast<char>((value >> (8 * i)) & 0xFF));
}

}  // namespace

AssetWriter::AssetWriter(QString out_dir) : out_dir_(std::move(out_dir)) {
  QDir().mkpath(out_dir_);
}

void AssetWriter::WriteBytes(const QString& file, const QByteArray& bytes, QSize size) {
  std::lock_guard<std::mutex> lock(mutex_);
  if (bytes.isEmpty()) {
    errors_ << QString("could not encode %1").arg(file);
    return;
  }
  QSaveFile out(QDir(out_dir_).filePath(file));
  if (!out.open(QIODevice::WriteOnly) || out.write(bytes) != bytes.size() || !out.commit()) {
    errors_ << QString("could not write %1").arg(file);
    return;
  }
  written_.push_back(Written{file, size});
}

void AssetWriter::SavePng(const QString& name, const QImage& image) {
  WriteBytes(name + RatioSuffix(DrawingRatio()) + ".png",
             EncodeImage(image.convertToFormat(QImage::Format_ARGB32), "png", -1), image.size());
}

void AssetWriter::SavePng16(const QString& name, const QImage& image) {
  WriteBytes(name + RatioSuffix(DrawingRatio()) + ".png",
             EncodeImage(image.convertToFormat(QImage::Format_RGBA64), "png", -1), image.size());
}

void AssetWriter::SaveJpeg(const QString& name, const QImage& image) {
  WriteBytes(name + ".jpg", EncodeImage(image.convertToFormat(QImage::Format_RGB32), "jpg", 90),
             image.size());
}

void AssetWriter::SaveGif(const QString& name, const std::vector<QImage>& frames, int delay_cs) {
  QString error;
  const QByteArray bytes = EncodeAnimatedGif(frames, delay_cs, &error);
  if (bytes.isEmpty()) {
    std::lock_guard<std::mutex> lock(mutex_);
    errors_ << QString("%1.gif: %2").arg(name, error);
    return;
  }
  WriteBytes(name + RatioSuffix(DrawingRatio()) + ".gif", bytes, frames.front().size());
}

void AssetWriter::SaveWav(const QString& name, const std::vector<float>& samples, int sample_rate) {
  const uint32_t data_bytes = static_cast<uint32_t>(samples.size() * 2);
  QByteArray out;
  out.append("RIFF");
  PutLe(out, 36 + data_bytes, 4);
  out.append("WAVE");
  out.append("fmt ");
  PutLe(out, 16, 4);
  PutLe(out, 1, 2);  // PCM
  PutLe(out, 1, 2);  // mono
  PutLe(out, static_cast<uint32_t>(sample_rate), 4);
  PutLe(out, static_cast<uint32_t>(sample_rate) * 2, 4);
  PutLe(out, 2, 2);
  PutLe(out, 16, 2);
  out.append("data");
  PutLe(out, data_bytes, 4);
  for (float s : samples) {
    const std::int64_t v = std::lround(std::clamp(s, -1.0f, 1.0f) * 32767.0f);
    PutLe(out, static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(v))), 2);
  }
  WriteBytes(name + ".wav", out, QSize(0, 0));
}

QStringList AssetWriter::CompareWithManifest(const QString& manifest_path) const {
  QStringList problems;
  QFile file(manifest_path);
  if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) {
    return {QString("cannot read manifest %1").arg(manifest_path)};
  }
  std::map<QString, QSize> expected;
  QTextStream in(&file);
  while (!in.atEnd()) {
    const QString line = in.readLine().trimmed();
    if (line.isEmpty() || line.startsWith('#')) continue;
    const QStringList parts = line.split(QRegularExpression("\\s+"));
    if (parts.size() != 4) {
      problems << QString("bad manifest line: %1").arg(line);
      continue;
    }
    expected[parts[0] + "." + parts[1]] = QSize(parts[2].toInt(), parts[3].toInt());
  }
  std::lock_guard<std::mutex> lock(mutex_);
  std::map<QString, QSize> actual;
  for (const Written& w : written_) {
    if (!actual.emplace(w.file, w.size).second)
      problems << QString("written twice: %1").arg(w.file);
  }
  for (const auto& [name, size] : expected) {
    const auto it = actual.find(name);
    if (it == actual.end()) {
      problems << QString("not generated: %1").arg(name);
    } else if (it->second != size) {
      problems << QString("%1 is %2x%3, manifest says %4x%5")
                      .arg(name)
                      .arg(it->second.width())
                      .arg(it->second.height())
                      .arg(size.width())
                      .arg(size.height());
    }
  }
  for (const auto& [name, size] : actual) {
    if (expected.find(name) == expected.end()) problems << QString("not in manifest: %1").arg(name);
  }
  return problems;
}

void AssetWriter::AddError(const QString& error) {
  std::lock_guard<std::mutex> lock(mutex_);
  errors_ << error;
}

QStringList AssetWriter::Errors() const {
  std::lock_guard<std::mutex> lock(mutex_);
  return errors_;
}

}  // namespace braxo::art
