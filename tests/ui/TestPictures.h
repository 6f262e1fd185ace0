// A folder of plain, single-colour pictures under the game's names, so that
// a test can tell by a pixel's colour which picture was drawn where.
#pragma once

#include <QColor>
#include <QDir>
#include <QImage>
#include <QTemporaryDir>

namespace braxo::testing {

inline const QColor kNormalTile(200, 0, 0);
inline const QColor kSelectedTile(200, 0, 200);
inline const QColor kLevelPicture(0, 90, 0);
inline const QColor kBackground(10, 20, 30);
inline const QColor kBurst(250, 250, 0);

class TestPictures {
 public:
  TestPictures() {
    Save("BG", 850, 510, kBackground);
    for (const char* family : {"Sun", "Rom", "Kap", "Rak"})
      for (int digit = 1; digit <= 4; ++digit) {
        Save(QStringLiteral("GK%1%2").arg(family).arg(digit), 84, 84, kNormalTile);
        Save(QStringLiteral("GV%1%2").arg(family).arg(digit), 84, 84, kSelectedTile);
      }
    Save("GKObl0", 84, 84, kNormalTile);
    Save("GVObl0", 84, 84, kSelectedTile);
    for (int mode = 1; mode <= 3; ++mode)
      for (int level = 1; level <= 5; ++level)
        Save(QStringLiteral("Level%1_%2").arg(mode).arg(level), 420, 350, kLevelPicture);
    for (int frame = 1; frame <= 26; ++frame)
      Save(QStringLiteral("GBax%1").arg(frame), 100, 123, kBurst);
    for (int i = 1; i <= 5; ++i) Save(QStringLiteral("Sprite%1").arg(i), 50, 50, QColor(i, i, i));
    Save("Ramka180", 180, 100, Qt::transparent);
    Save("Kez064", 64, 64, QColor(1, 2, 3));
  }
  QString Root() const { return dir_.path(); }

 private:
  void Save(const QString& name, int w, int h, const QColor& colour) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    image.save(QDir(dir_.path()).filePath(name + ".png"));
  }
  QTemporaryDir dir_;
};

}  // namespace braxo::testing
