#include "ui/Pictures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QTemporaryDir>
#include <optional>
#include <vector>

namespace braxo {
namespace {

// A folder of art holding "Tile" drawn at some ratios only; each ratio's
// picture is its own colour, so the test sees which one was decoded.
class PictureRatioTest : public ::testing::Test {
 protected:
  void Draw(const std::vector<int>& ratios) {
    for (const int ratio : ratios) {
      QImage picture(84 * ratio, 84 * ratio, QImage::Format_ARGB32);
      picture.fill(Colour(ratio));
      const QString name =
          ratio == 1 ? QStringLiteral("Tile") : QStringLiteral("Tile@%1x").arg(ratio);
      ASSERT_TRUE(picture.save(QDir(dir_->path()).filePath(name + ".png")));
    }
  }
  static QColor Colour(int ratio) { return QColor(40 * ratio, 0, 0); }

  std::optional<QTemporaryDir> dir_;
};

TEST_F(PictureRatioTest, ThePictureDrawnForTheScaleInUseIsChosen) {
  struct Case {
    const char* label;
    std::vector<int> drawn;
    int asked;
    int chosen;
  };
  // clang-format off
  const Case cases[] = {
      {"100 %",                            {1, 2, 3}, 1, 1},
      {"200 %",                            {1, 2, 3}, 2, 2},
      {"300 %",                            {1, 2, 3}, 3, 3},
      {"beyond 300 % takes the finest",    {1, 2, 3}, 4, 3},
      {"no 2x: the finer 3x",              {1, 3},    2, 3},
      {"no 3x: the finest there is",       {1, 2},    3, 2},
      {"only 1x",                          {1},       3, 1},
      {"a ratio below 1 is 1",             {1, 2},    0, 1},
  };
  // clang-format on
  for (const Case& c : cases) {
    SCOPED_TRACE(c.label);
    dir_.emplace();
    Draw(c.drawn);
    PictureStore pictures(dir_->path());
    EXPECT_EQ(pictures.PictureRatio("tile", c.asked), c.chosen);
    const QImage& picture = pictures.LoadPicture("tile", c.asked);
    EXPECT_EQ(picture.pixelColor(0, 0), Colour(c.chosen));
    EXPECT_EQ(picture.size(), QSize(84, 84) * c.chosen);
    // Drawn by a painter at its 1x size whatever its ratio.
    EXPECT_EQ(picture.deviceIndependentSize(), QSizeF(84, 84));
  }
}

}  // namespace
}  // namespace braxo
