// The club windows' look that is a rule rather than a picture: the vertical
// gradient (rows, rounding, what it leaves of the painter) and the lamps.
#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include "club/NameRules.h"
#include "dialogs/ClubWindowStyle.h"

namespace braxo {
namespace {

const QColor kCanvas(1, 2, 3);

QImage Canvas() {
  QImage image(6, 8, QImage::Format_RGB32);
  image.fill(kCanvas);
  return image;
}

// Rows 1..5, columns 1..3: from red 0 to red 5 over five rows, every row's
// value is 0, 1.25, 2.5, 3.75, 5 before rounding; only 2.5 lies half-way.
TEST(ClubWindowStyle, GradientRoundsTheHalfWayRowAsAsked) {
  struct Case {
    GradientRounding rounding;
    int middle_row_red;
  };
  const Case cases[] = {{GradientRounding::kHalfToEven, 2},
                        {GradientRounding::kHalfAwayFromZero, 3}};
  for (const Case& c : cases) {
    QImage image = Canvas();
    {
      QPainter painter(&image);
      FillVerticalGradient(painter, QRect(1, 1, 3, 5), QColor(0, 10, 20), QColor(5, 10, 60),
                           c.rounding);
    }
    const int expected_red[] = {0, 1, c.middle_row_red, 4, 5};
    const int expected_blue[] = {20, 30, 40, 50, 60};
    for (int row = 0; row < 5; ++row) {
      for (int x = 1; x <= 3; ++x) {
        const QColor pixel = image.pixelColor(x, 1 + row);
        EXPECT_EQ(pixel.red(), expected_red[row]) << "row " << row << " x " << x;
        EXPECT_EQ(pixel.green(), 10);
        EXPECT_EQ(pixel.blue(), expected_blue[row]);
      }
    }
    // Nothing outside the area.
    for (int x = 0; x < 6; ++x) {
      EXPECT_EQ(image.pixelColor(x, 0), kCanvas);
      EXPECT_EQ(image.pixelColor(x, 6), kCanvas);
    }
    for (int y = 0; y < 8; ++y) {
      EXPECT_EQ(image.pixelColor(0, y), kCanvas);
      EXPECT_EQ(image.pixelColor(4, y), kCanvas);
    }
  }
}

TEST(ClubWindowStyle, OneRowGradientTakesTheTopColourAndThePainterKeepsItsPen) {
  QImage image = Canvas();
  QPainter painter(&image);
  painter.setPen(QColor(9, 9, 9));
  painter.setBrush(QColor(8, 8, 8));
  FillVerticalGradient(painter, QRect(0, 2, 6, 1), QColor(200, 0, 0), QColor(0, 0, 200));
  EXPECT_EQ(painter.pen().color(), QColor(9, 9, 9));
  EXPECT_EQ(painter.brush().color(), QColor(8, 8, 8));
  painter.end();
  EXPECT_EQ(image.pixelColor(5, 2), QColor(200, 0, 0));
  EXPECT_EQ(image.pixelColor(5, 3), kCanvas);
}

TEST(ClubWindowStyle, LampsFollowTheRatingAndTheAccountState) {
  EXPECT_EQ(LampPicture(kRateRefused), "LampR24");
  EXPECT_EQ(LampPicture(0), "LampR24");
  EXPECT_EQ(LampPicture(kRateCyrillic), "LampY24");
  EXPECT_EQ(LampPicture(kRateGood), "LampG24");
  EXPECT_EQ(AccountLampPicture(AccountState::kNobody), "LampR24");
  EXPECT_EQ(AccountLampPicture(AccountState::kLoggedIn), "LampY24");
  EXPECT_EQ(AccountLampPicture(AccountState::kRated), "LampG24");
}

}  // namespace
}  // namespace braxo
