// Writes the generated pictures and sounds into the output folder and keeps
// the list of what was written, so that it can be held against the manifest
// the build embeds.
#pragma once

#include <QImage>
#include <QSize>
#include <QString>
#include <QStringList>
#include <mutex>
#include <vector>

namespace braxo::art {

class AssetWriter {
 public:
  explicit AssetWriter(QString out_dir);
  AssetWriter(const AssetWriter&) = delete;
  AssetWriter& operator=(const AssetWriter&) = delete;
  ~AssetWriter() = default;

  // 8 bits per channel RGBA PNG, named for the thread's DrawingRatio()
  // ("<name>@2x" at 2).
  void SavePng(const QString& name, const QImage& image);
  // 16 bits per channel RGBA PNG, named like SavePng.
  void SavePng16(const QString& name, const QImage& image);
  // Baseline JPEG of an opaque picture.
  void SaveJpeg(const QString& name, const QImage& image);
  // Looping animated GIF; `delay_cs` is the delay of each frame in 1/100 s.
  // Pixels with alpha below one half become transparent. Named like SavePng.
  void SaveGif(const QString& name, const std::vector<QImage>& frames, int delay_cs);
  // Mono 16-bit PCM WAV; samples in [-1, 1].
  void SaveWav(const QString& name, const std::vector<float>& samples, int sample_rate);

  // Compares the files written with the manifest (lines "Name ext width
  // height", '#' comments). Returns one line per difference; empty when equal.
  QStringList CompareWithManifest(const QString& manifest_path) const;
  // Records a failure found while drawing.
  void AddError(const QString& error);
  // Failures so far.
  QStringList Errors() const;

 private:
  struct Written {
    QString file;  // name with extension
    QSize size;    // (0, 0) for sounds
  };
  void WriteBytes(const QString& file, const QByteArray& bytes, QSize size);

  QString out_dir_;
  mutable std::mutex mutex_;
  std::vector<Written> written_;
  QStringList errors_;
};

}  // namespace braxo::art
