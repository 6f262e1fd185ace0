#include "ui/Drawing.h"

#include <gtest/gtest.h>

#include "ui/Pictures.h"

namespace braxo {
namespace {

TEST(DrawFrame, RaisedOuterRimAndSunkenInnerRim) {
  QImage canvas(60, 50, QImage::Format_RGB32);
  canvas.fill(Qt::blue);
  DrawFrame(5, 5, 50, 40, canvas);
  struct Case {
    int x, y;
    QRgb colour;
    const char* what;
  };
  const QRgb white = qRgb(255, 255, 255), black = qRgb(0, 0, 0), silver = qRgb(192, 192, 192);
  const Case cases[] = {
      {5, 5, white, "outer top-left"},
      {6, 6, white, "second outer ring"},
      {5, 40, white, "outer bottom-left corner stays light"},
      {6, 40, black, "outer bottom edge"},
      {50, 40, black, "outer bottom-right corner"},
      {50, 5, black, "outer right edge"},
      {49, 39, black, "second dark ring"},
      {7, 7, silver, "plate between the rims"},
      {10, 10, black, "inner rim top-left"},
      {11, 11, black, "second inner ring"},
      {45, 35, white, "inner rim bottom-right is light"},
      {12, 35, white, "inner bottom edge"},
      {30, 20, silver, "plate inside"},
      {4, 4, qRgb(0, 0, 255), "outside untouched"},
      {51, 41, qRgb(0, 0, 255), "outside untouched, bottom right"},
  };
  for (const Case& c : cases) EXPECT_EQ(canvas.pixel(c.x, c.y), c.colour) << c.what;
}

TEST(DrawText, CentringTruncatesTowardZero) {
  EXPECT_EQ(CenteredLeft(100, 200, 105), 98);  // 5 pixels too wide: 2 to the left
  EXPECT_EQ(CenteredLeft(100, 200, 50), 125);
  EXPECT_EQ(CenteredLeft(100, 200, 51), 124);
}

TEST(DrawShadowText, ShadowHalvesEachComponentHalvesToEven) {
  struct Case {
    QColor colour, shadow;
  };
  const Case cases[] = {
      {QColor(255, 255, 255), QColor(128, 128, 128)},
      {QColor(255, 0, 0), QColor(128, 0, 0)},
      {QColor(3, 1, 5), QColor(2, 0, 2)},
  };
  for (const Case& c : cases)
    EXPECT_EQ(ShadowColour(c.colour), c.shadow) << c.colour.name().toStdString();
}

TEST(DrawShadowText, DrawsTheShadowOnePixelRightAndDown) {
  QImage canvas(200, 60, QImage::Format_RGB32);
  canvas.fill(Qt::black);
  {
    QPainter painter(&canvas);
    painter.setFont(CellHeightFont(ArialFamily(), 30, true));
    DrawShadowText(painter, "I", 10, 190, 10, QColor(255, 255, 255), 'l');
  }
  // Find the leftmost column that holds any white; the column after the
  // glyph's right side holds its shadow.
  int white_left = -1, grey_right = -1, white_right = -1;
  for (int x = 0; x < canvas.width(); ++x)
    for (int y = 0; y < canvas.height(); ++y) {
      const QRgb p = canvas.pixel(x, y);
      if (p == qRgb(255, 255, 255)) {
        if (white_left < 0) white_left = x;
        white_right = x;
      }
      if (p == qRgb(128, 128, 128)) grey_right = x;
    }
  ASSERT_GE(white_left, 10);
  EXPECT_EQ(grey_right, white_right + 1);
}

TEST(CellHeightFont, MeetsTheCellHeight) {
  for (int height : {20, 24, 36, 40, 50}) {
    const QFontMetrics metrics(CellHeightFont(ArialFamily(), height, true));
    EXPECT_NEAR(metrics.ascent() + metrics.descent(), height, 1) << height;
  }
}

TEST(ResizePng, ResamplesBilinearlyFromTheCorner) {
  QImage source(2, 2, QImage::Format_ARGB32);
  source.setPixel(0, 0, qRgba(0, 0, 0, 255));
  source.setPixel(1, 0, qRgba(100, 0, 0, 255));
  source.setPixel(0, 1, qRgba(0, 200, 0, 255));
  source.setPixel(1, 1, qRgba(100, 200, 50, 255));
  QImage picture = source;
  ASSERT_TRUE(ResizePng(picture, 4, 4));
  ASSERT_EQ(picture.size(), QSize(4, 4));
  EXPECT_EQ(picture.pixel(0, 0), source.pixel(0, 0));
  // sx = 4: column 2 samples x = 0.5, column 1 x = 0.25 (25 exactly),
  // column 3 x = 0.75; row 2 samples y = 0.5.
  EXPECT_EQ(qRed(picture.pixel(2, 0)), 50);
  EXPECT_EQ(qRed(picture.pixel(1, 0)), 25);
  EXPECT_EQ(qRed(picture.pixel(3, 0)), 75);
  EXPECT_EQ(qGreen(picture.pixel(0, 2)), 100);
  // (0.5, 0.5): blue = 0.25 * 50 = 12.5 -> 12 (halves to even).
  EXPECT_EQ(qBlue(picture.pixel(2, 2)), 12);
  EXPECT_EQ(qAlpha(picture.pixel(3, 3)), 255);
}

TEST(ResizePng, RefusesOtherKindsOfPicture) {
  QImage grey(4, 4, QImage::Format_Grayscale8);
  grey.fill(7);
  QString error;
  EXPECT_FALSE(ResizePng(grey, 8, 8, &error));
  EXPECT_EQ(error, "Only COLOR_RGBALPHA and COLOR_RGB formats are supported");
  EXPECT_EQ(grey.size(), QSize(4, 4));
}

}  // namespace
}  // namespace braxo
