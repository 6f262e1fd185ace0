#include "ui/Pictures.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QImage>
#include <QPainter>
#include <QTemporaryDir>
#include <algorithm>
#include <optional>
#include <string>
#include <vector>

#include "ui/SharpnessCheck.h"

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

namespace braxo {
namespace {

// A painter on a picture of `device_ratio`, scaled by `painter_scale` (a
// scaled window's menu buttons draw so).
int RatioChosen(PictureStore& pictures, const QString& name, double device_ratio,
                double painter_scale, QSizeF* drawn_size) {
  QImage target(8, 8, QImage::Format_ARGB32_Premultiplied);
  target.setDevicePixelRatio(device_ratio);
  QPainter painter(&target);
  painter.scale(painter_scale, painter_scale);
  const QImage& picture = pictures.PictureFor(painter, name);
  *drawn_size = picture.deviceIndependentSize();
  return static_cast<int>(picture.devicePixelRatio());
}

TEST(GamePicturesTest, EveryKindOfPictureIsChosenForTheScaleItIsDrawnAt) {
  // The game's own art.
  PictureStore pictures(QStringLiteral(":/assets"));
  struct Kind {
    const char* name;
    QSizeF design_size;
    int finest;  // the finest ratio the art has it at
  };
  // clang-format off
  const Kind kinds[] = {
      {"GKSun1",      {84, 84},   3},  // a tile
      {"Sprite3",     {50, 50},   3},  // a title sprite
      {"Ramka180",    {180, 100}, 3},  // a panel
      {"GAcFrame",    {240, 290}, 3},  // the photo frame
      {"CapEng",      {450, 70},  3},  // a lettering
      {"Kez064",      {64, 64},   3},  // the makers' mark on the title
      {"Account48",   {48, 48},   3},  // an icon
      {"LampG24",     {24, 24},   3},  // a lamp
      {"GlyphN",      {48, 48},   3},  // a button's glyph
      {"GAcSkype",    {32, 32},   3},  // a field icon
      {"Country6054", {14, 12},   3},  // a country flag
      {"FlagEng",     {150, 182}, 3},  // a language flag
      {"GBax1",       {100, 123}, 3},  // the burst's first frame
      {"GBax26",      {100, 123}, 3},  // and its last
      {"B59_Left",    {37, 59},   3},  // a button's end cap
      {"B29_RightL",  {23, 29},   3},  // a lit one
      {"B44_Telo",    {10, 44},   1},  // a button's body: plain rows, enlarged
      {"BG",          {850, 510}, 1},  // the backdrop: enlarged
  };
  struct Scale {
    const char* label;
    double device_ratio;
    double painter_scale;
    int ratio;  // of the picture the art has for it
  };
  const Scale scales[] = {
      {"100 %",                      1.0,  1.0, 1},
      {"125 %",                      1.25, 1.0, 2},
      {"150 %",                      1.5,  1.0, 2},
      {"200 %",                      2.0,  1.0, 2},
      {"250 %",                      2.5,  1.0, 3},
      {"300 %",                      3.0,  1.0, 3},
      {"400 %: the finest drawn",    4.0,  1.0, 3},
      {"a window at 1.5x, 100 %",    1.0,  1.5, 2},
      {"a window at 2x on 150 %",    1.5,  2.0, 3},
      {"a window at 1.2x, 0.8 dpr",  0.8,  1.25, 1},
  };
  // clang-format on
  for (const Kind& kind : kinds) {
    ASSERT_TRUE(pictures.Has(kind.name)) << kind.name;
    for (const Scale& scale : scales) {
      SCOPED_TRACE(std::string(kind.name) + " at " + scale.label);
      QSizeF drawn_size;
      const int chosen =
          RatioChosen(pictures, kind.name, scale.device_ratio, scale.painter_scale, &drawn_size);
      EXPECT_EQ(chosen, std::min(scale.ratio, kind.finest));
      // Whatever its ratio, a picture covers its design size.
      EXPECT_EQ(drawn_size, kind.design_size);
    }
  }
}

TEST(GamePicturesTest, TheFinerDrawingsHoldMoreDetailThanThe1xPictureEnlarged) {
  PictureStore pictures(QStringLiteral(":/assets"));
  struct Kind {
    const char* name;
  };
  // Measured 2.7, 2.9 and 3.0; 1.0 for a picture the art has at 1x only.
  // clang-format off
  const Kind kinds[] = {
      {"FlagEng"},   // a language flag: cloth, pole and rings
      {"GBax14"},    // a burst frame: sparks and glows
      {"B59_Left"},  // a button's end cap: its curve
  };
  // clang-format on
  for (const Kind& kind : kinds) {
    SCOPED_TRACE(kind.name);
    const auto draw = [&](int ratio) {
      const QImage& picture = pictures.LoadPicture(kind.name, ratio);
      const QSize design = picture.deviceIndependentSize().toSize();
      QImage canvas(design * ratio, QImage::Format_RGB32);
      canvas.setDevicePixelRatio(ratio);
      canvas.fill(QColor(40, 60, 90));
      QPainter painter(&canvas);
      painter.drawImage(0, 0, picture);
      return canvas;
    };
    const QImage design = draw(1);
    const QImage fine = draw(2);
    const testing::SharpnessComparison comparison =
        testing::CompareWithEnlarged(design, fine, {QRect(QPoint(0, 0), design.size())});
    ASSERT_GT(comparison.blurred, 0);
    EXPECT_GT(comparison.sharp / comparison.blurred, 1.5)
        << comparison.sharp << " / " << comparison.blurred;
    // The same picture, not another one.
    EXPECT_LT(comparison.mean_difference, 12.0);
  }
}

}  // namespace
}  // namespace braxo
