// The desktop's icons of the game, as the build draws them for installing:
// every size of the hicolor theme and the scalable SVG are the one program
// icon the game shows in its information window.
#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <QSvgRenderer>
#include <algorithm>
#include <cstdlib>
#include <string>

#include "DesktopIcons.h"

namespace {

const QString kThemeDir = QStringLiteral(BRAXO_ICON_THEME_DIR);

QImage PngIcon(int size) {
  return QImage(kThemeDir + QStringLiteral("/%1x%1/apps/braxo.png").arg(size))
      .convertToFormat(QImage::Format_ARGB32);
}

// How far two pictures of the same size differ, channel by channel.
struct Difference {
  int largest = 0;    // of any channel of any pixel
  double mean = 0.0;  // over all channels of all pixels
};

Difference Compare(const QImage& a, const QImage& b) {
  Difference d;
  double sum = 0;
  for (int y = 0; y < a.height(); ++y) {
    for (int x = 0; x < a.width(); ++x) {
      const QRgb p = a.pixel(x, y);
      const QRgb q = b.pixel(x, y);
      for (const int shift : {0, 8, 16, 24}) {
        const int channel =
            std::abs(static_cast<int>((p >> shift) & 0xFF) - static_cast<int>((q >> shift) & 0xFF));
        d.largest = std::max(d.largest, channel);
        sum += channel;
      }
    }
  }
  d.mean = sum / (a.width() * a.height() * 4.0);
  return d;
}

TEST(DesktopIcons, EverySizeIsASquareIconWithTransparentCorners) {
  for (const int size : braxo::art::kDesktopIconSizes) {
    SCOPED_TRACE(size);
    const QImage icon = PngIcon(size);
    ASSERT_FALSE(icon.isNull());
    EXPECT_EQ(icon.size(), QSize(size, size));
    EXPECT_TRUE(icon.hasAlphaChannel());
    // The two tiles leave the top left and bottom right corners open, and
    // the nearer tile is solid in its middle.
    EXPECT_EQ(qAlpha(icon.pixel(0, 0)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(size - 1, size - 1)), 0);
    EXPECT_EQ(qAlpha(icon.pixel(size * 21 / 64, size * 38 / 64)), 255);
  }
}

TEST(DesktopIcons, SixtyFourPixelsAreTheProgramIconOfTheGame) {
  const QImage embedded =
      QImage(QStringLiteral(":/assets/Icon064.png")).convertToFormat(QImage::Format_ARGB32);
  ASSERT_FALSE(embedded.isNull());
  EXPECT_EQ(Compare(PngIcon(64), embedded).largest, 0);
}

TEST(DesktopIcons, LargeSizesAreDrawnLargeNotEnlarged) {
  // Reduced to 64 pixels, the 512-pixel icon is the 64-pixel drawing; an
  // enlarged small icon would pass that too, so the large one must also hold
  // edges a 64-pixel picture cannot: a run of a few pixels from the open
  // corner to the solid tile along the middle row of the nearer tile.
  const QImage large = PngIcon(512);
  const QImage reduced = large.scaled(64, 64, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  // Resampling alone leaves a mean difference near 3; another drawing, tens.
  EXPECT_LT(Compare(reduced, PngIcon(64)).mean, 8.0);
  const int y = 512 * 38 / 64;
  int first_opaque = -1;
  int last_clear = -1;
  for (int x = 0; x < 512 && first_opaque < 0; ++x) {
    const int alpha = qAlpha(large.pixel(x, y));
    if (alpha == 0) last_clear = x;
    if (alpha == 255) first_opaque = x;
  }
  ASSERT_GE(last_clear, 0);
  ASSERT_GT(first_opaque, last_clear);
  EXPECT_LE(first_opaque - last_clear, 3);
}

TEST(DesktopIcons, ScalableIconDrawsTheSameTiles) {
  QSvgRenderer svg(kThemeDir + QStringLiteral("/scalable/apps/braxo.svg"));
  ASSERT_TRUE(svg.isValid());
  EXPECT_EQ(svg.viewBox(), QRect(0, 0, 64, 64));
  for (const int size : {64, 256}) {
    SCOPED_TRACE(size);
    QImage drawn(size, size, QImage::Format_ARGB32_Premultiplied);
    drawn.fill(Qt::transparent);
    QPainter painter(&drawn);
    svg.render(&painter);
    painter.end();
    // The same paths through two renderers differ only along their edges.
    EXPECT_LT(Compare(drawn.convertToFormat(QImage::Format_ARGB32), PngIcon(size)).mean, 1.0);
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QGuiApplication app(argc, argv);
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
