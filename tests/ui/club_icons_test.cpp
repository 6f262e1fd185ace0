#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <string>

#include "ui/ClubIcons.h"

namespace braxo {
namespace {

const QColor kEmpty(1, 1, 1);

// Flags and faces in colours of their own: a pixel tells which was drawn.
class ClubIconsTest : public ::testing::Test {
 protected:
  ClubIconsTest() {
    Save("Country1034", 14, 12, QColor(0, 0, 200));
    Save("Country6007", 14, 12, QColor(0, 200, 0));
    Save("Country2000", 14, 12, QColor(200, 0, 0));
    Save("FaceMan16", 16, 16, QColor(10, 100, 200));
    Save("FaceWoman16", 16, 16, QColor(200, 100, 10));
    pictures_ = std::make_unique<PictureStore>(dir_.path());
    canvas_.fill(kEmpty);
  }
  void Save(const QString& name, int w, int h, const QColor& colour) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(colour);
    image.save(QDir(dir_.path()).filePath(name + ".png"));
  }
  QColor FlagAt(const std::string& code, int x, int y) {
    canvas_.fill(kEmpty);
    QPainter painter(&canvas_);
    DrawCountryFlag(code, painter, 5, 7, *pictures_);
    painter.end();
    return canvas_.pixelColor(x, y);
  }

  QTemporaryDir dir_;
  std::unique_ptr<PictureStore> pictures_;
  QImage canvas_{40, 40, QImage::Format_ARGB32};
};

TEST_F(ClubIconsTest, CountryFlagFollowsTheCode) {
  struct Case {
    std::string code;
    QColor colour;
  };
  const Case cases[] = {
      {"1-034", QColor(0, 0, 200)},
      {"6-007", QColor(0, 200, 0)},
      {"1x034", QColor(0, 0, 200)},  // the second character is not looked at
      {"1-034 and more", QColor(0, 0, 200)},
      {"2-256", QColor(200, 0, 0)},  // modulo 256
      {"1-035", kEmpty},             // no such flag
      {"7-034", kEmpty},
      {"0-034", kEmpty},
      {"1-03", kEmpty},
      {"1-0a4", kEmpty},
      {"", kEmpty},
      {"#", kEmpty},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FlagAt(c.code, 5, 7), c.colour) << c.code;
    EXPECT_EQ(FlagAt(c.code, 18, 18), c.colour) << c.code;  // bottom-right pixel
    EXPECT_EQ(FlagAt(c.code, 19, 7), kEmpty) << c.code;     // 14 wide
  }
}

TEST_F(ClubIconsTest, SexIconIsTheManOnlyForM) {
  for (const auto& [letter, colour] :
       {std::pair{'M', QColor(10, 100, 200)}, std::pair{'W', QColor(200, 100, 10)},
        std::pair{'#', QColor(200, 100, 10)}}) {
    canvas_.fill(kEmpty);
    QPainter painter(&canvas_);
    DrawSexIcon(letter, painter, 2, 3, *pictures_);
    painter.end();
    EXPECT_EQ(canvas_.pixelColor(2, 3), colour) << letter;
    EXPECT_EQ(canvas_.pixelColor(17, 18), colour) << letter;
    EXPECT_EQ(canvas_.pixelColor(18, 18), kEmpty) << letter;
  }
}

}  // namespace
}  // namespace braxo
