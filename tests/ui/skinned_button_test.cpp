#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <optional>
#include <utility>
#include <vector>

#include "ui/Pictures.h"
#include "ui/SkinnedButton.h"

namespace braxo {
namespace {

// Face pieces under the game's names, each with colours that tell which piece
// (set 0, 1, 2 for "B29_", "B44_", "B59_"; plain or light) drew a pixel. The
// body piece changes colour row by row, so a test can see how it was
// stretched. Each left piece has a transparent top-left pixel.
QRgb LeftColour(int set, bool lit) { return qRgb(200 + set, 50, lit ? 110 : 10); }
QRgb RightColour(int set, bool lit) { return qRgb(180 + set, 60, lit ? 120 : 20); }
QRgb TeloColour(int set, bool lit, int row) { return qRgb(100 + row, set, lit ? 9 : 5); }

class ButtonPictures {
 public:
  ButtonPictures() {
    const struct {
      const char* stem;
      int side, rows;
    } sets[] = {{"B29_", 23, 29}, {"B44_", 31, 44}, {"B59_", 37, 59}};
    for (int set = 0; set < 3; ++set) {
      for (const bool lit : {false, true}) {
        const QString suffix = lit ? "L" : "";
        const QString stem = sets[set].stem;
        QImage left(sets[set].side, sets[set].rows, QImage::Format_ARGB32);
        left.fill(LeftColour(set, lit));
        left.setPixel(0, 0, qRgba(0, 0, 0, 0));
        Save(stem + "Left" + suffix, left);
        QImage right(sets[set].side, sets[set].rows, QImage::Format_ARGB32);
        right.fill(RightColour(set, lit));
        Save(stem + "Right" + suffix, right);
        QImage telo(10, sets[set].rows, QImage::Format_ARGB32);
        for (int row = 0; row < sets[set].rows; ++row)
          for (int x = 0; x < 10; ++x) telo.setPixel(x, row, TeloColour(set, lit, row));
        Save(stem + "Telo" + suffix, telo);
      }
    }
  }
  QString Root() const { return dir_.path(); }

 private:
  void Save(const QString& name, const QImage& image) {
    ASSERT_TRUE(image.save(QDir(dir_.path()).filePath(name + ".png")));
  }
  QTemporaryDir dir_;
};

constexpr QRgb kTransparent = 0;
constexpr QRgb kWhite = qRgb(255, 255, 255);

QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y); }

std::string Describe(QRgb colour) {
  return QStringLiteral("(%1, %2, %3, a%4)")
      .arg(qRed(colour))
      .arg(qGreen(colour))
      .arg(qBlue(colour))
      .arg(qAlpha(colour))
      .toStdString();
}

void SendEnter(SkinnedButton& button) {
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QApplication::sendEvent(&button, &enter);
}

void SendLeave(SkinnedButton& button) {
  QEvent leave(QEvent::Leave);
  QApplication::sendEvent(&button, &leave);
}

// The pixels the caption changes: the face with the caption against the
// same face without it.
std::vector<QPoint> CaptionPixels(SkinnedButton& button, bool pressed, bool disabled) {
  const QString caption = button.text();
  const QImage with = button.RenderFace(pressed, false, disabled);
  button.setText(QString());
  const QImage without = button.RenderFace(pressed, false, disabled);
  button.setText(caption);
  std::vector<QPoint> points;
  for (int y = 0; y < with.height(); ++y)
    for (int x = 0; x < with.width(); ++x)
      if (with.pixel(x, y) != without.pixel(x, y)) points.emplace_back(x, y);
  return points;
}

int Leftmost(const std::vector<QPoint>& points) {
  int left = 1 << 20;
  for (const QPoint& p : points) left = std::min(left, p.x());
  return left;
}

int Rightmost(const std::vector<QPoint>& points) {
  int right = -1;
  for (const QPoint& p : points) right = std::max(right, p.x());
  return right;
}

// Single-colour caption pixels need a font drawn without smoothing.
QFont PlainFont(int pixel_size = 14) {
  QFont font(QStringLiteral("Liberation Sans"));
  font.setPixelSize(pixel_size);
  font.setBold(true);
  font.setStyleStrategy(QFont::NoAntialias);
  return font;
}

class SkinnedButtonTest : public ::testing::Test {
 protected:
  ButtonPictures files_;
  PictureStore pictures_{files_.Root()};
};

TEST(Recolour, EverySchemeAndTheLightening) {
  struct Case {
    QColor in;
    ButtonColour scheme;
    int light;
    QColor out;
    const char* what;
  };
  const Case cases[] = {
      {QColor(200, 50, 10), ButtonColour::kRed, 0, QColor(200, 50, 10), "red keeps the colour"},
      {QColor(200, 50, 10), ButtonColour::kGreen, 0, QColor(50, 200, 10), "green swaps R and G"},
      {QColor(200, 50, 10), ButtonColour::kBlue, 0, QColor(10, 200, 200), "blue: R=B, G=B=R"},
      {QColor(200, 50, 10), ButtonColour::kNavy, 0, QColor(10, 50, 200), "navy swaps R and B"},
      {QColor(200, 50, 10), ButtonColour::kYellow, 0, QColor(200, 200, 10), "yellow: G=R"},
      {QColor(200, 50, 10), ButtonColour::kViolet, 0, QColor(200, 50, 200), "violet: B=R"},
      {QColor(200, 50, 10), ButtonColour::kOrange, 0, QColor(200, 84, 7),
       "orange: B*0.7, G=B+0.4|R-B|"},
      {QColor(200, 0, 45), ButtonColour::kOrange, 0, QColor(200, 99, 32),
       "orange: 31.5 goes to 32"},
      {QColor(200, 0, 35), ButtonColour::kOrange, 0, QColor(200, 94, 24),
       "orange: 24.5 goes to 24"},
      {QColor(100, 150, 20), ButtonColour::kOrange, 0, QColor(100, 150, 20),
       "orange: G above R stays"},
      {QColor(100, 20, 100), ButtonColour::kOrange, 0, QColor(100, 20, 100),
       "orange: R equal to B stays"},
      {QColor(255, 255, 255), ButtonColour::kOrange, 0, QColor(255, 255, 255),
       "orange: white stays"},
      {QColor(192, 0, 0), ButtonColour::kRed, 50, QColor(224, 128, 128),
       "223.5 and 127.5 go to even"},
      {QColor(247, 62, 62), ButtonColour::kGreen, 50, QColor(158, 251, 158),
       "scheme first, then light"},
      {QColor(10, 0, 0), ButtonColour::kRed, 10, QColor(34, 26, 26), "34.5 goes to 34"},
      {QColor(0, 0, 0), ButtonColour::kRed, 25, QColor(64, 64, 64), "63.75 rounds up"},
      {QColor(192, 0, 0), ButtonColour::kRed, 100, QColor(255, 255, 255), "100 percent is white"},
      {QColor(192, 0, 0), ButtonColour::kRed, 250, QColor(255, 255, 255), "above 100 is clamped"},
      {QColor(50, 200, 10, 128), ButtonColour::kGreen, 0, QColor(200, 50, 10, 128),
       "alpha is kept"},
  };
  for (const Case& c : cases)
    EXPECT_EQ(Recolour(c.in, c.scheme, c.light).rgba(), c.out.rgba())
        << c.what << ": got " << Describe(Recolour(c.in, c.scheme, c.light).rgba());
}

TEST_F(SkinnedButtonTest, StandardButtonDrawsTheGradientUnchangedBetween23PixelEnds) {
  SkinnedButton button(pictures_);
  ASSERT_EQ(button.size(), QSize(100, 30));
  const QImage face = button.RenderFace(false, false, false);
  const struct {
    int row;
    QRgb colour;
  } rows[] = {{0, qRgb(192, 0, 0)},   {2, qRgb(192, 0, 0)},  {3, qRgb(247, 62, 62)},
              {4, qRgb(241, 20, 20)}, {6, qRgb(230, 2, 2)},  {7, qRgb(225, 0, 0)},
              {15, qRgb(187, 0, 0)},  {24, qRgb(143, 0, 0)}, {25, qRgb(141, 7, 7)},
              {26, qRgb(192, 0, 0)},  {28, qRgb(192, 0, 0)}};
  for (const auto& r : rows)
    for (const int x : {23, 50, 75})
      EXPECT_EQ(At(face, x, r.row), r.colour) << "row " << r.row << " x " << x;
  for (const int y : {1, 14, 28}) {
    EXPECT_EQ(At(face, 0, y), LeftColour(0, false)) << y;
    EXPECT_EQ(At(face, 22, y), LeftColour(0, false)) << y;
    EXPECT_EQ(At(face, 76, y), RightColour(0, false)) << y;
    EXPECT_EQ(At(face, 98, y), RightColour(0, false)) << y;
    EXPECT_EQ(At(face, 99, y), kTransparent) << "the last column keeps what lies under it";
  }
  EXPECT_EQ(At(face, 0, 0), kTransparent) << "a piece's transparent pixel";
  for (const int x : {0, 50, 99}) EXPECT_EQ(At(face, x, 29), kTransparent) << "last row, x " << x;
}

TEST_F(SkinnedButtonTest, TallerStandardButtonsDrawTheirOwnGradient) {
  struct Case {
    int height;
    int side;
    int row;
    QRgb colour;
  };
  const Case cases[] = {
      {45, 31, 0, qRgb(191, 0, 0)},    {45, 31, 1, qRgb(192, 0, 0)},
      {45, 31, 4, qRgb(215, 66, 66)},  {45, 31, 10, qRgb(231, 2, 2)},
      {45, 31, 11, qRgb(227, 0, 0)},   {45, 31, 36, qRgb(142, 0, 0)},
      {45, 31, 37, qRgb(139, 2, 2)},   {45, 31, 39, qRgb(195, 51, 51)},
      {45, 31, 40, qRgb(192, 0, 0)},   {45, 31, 43, qRgb(191, 0, 0)},
      {60, 37, 4, qRgb(192, 0, 0)},    {60, 37, 5, qRgb(252, 83, 83)},
      {60, 37, 13, qRgb(230, 1, 1)},   {60, 37, 14, qRgb(228, 0, 0)},
      {60, 37, 50, qRgb(140, 0, 0)},   {60, 37, 51, qRgb(138, 1, 1)},
      {60, 37, 53, qRgb(154, 44, 44)}, {60, 37, 54, qRgb(192, 0, 0)},
      {60, 37, 58, qRgb(192, 0, 0)},
  };
  SkinnedButton button(pictures_);
  for (const Case& c : cases) {
    button.resize(180, c.height);
    const QImage face = button.RenderFace(false, false, false);
    const int last_body_column = 180 - c.side - 2;
    EXPECT_EQ(At(face, c.side, c.row), c.colour) << c.height << " row " << c.row;
    EXPECT_EQ(At(face, last_body_column, c.row), c.colour) << c.height << " row " << c.row;
    const int set = c.height == 45 ? 1 : 2;
    EXPECT_EQ(At(face, c.side - 1, c.row), LeftColour(set, false)) << c.height << " row " << c.row;
    EXPECT_EQ(At(face, last_body_column + 1, c.row), RightColour(set, false))
        << c.height << " row " << c.row;
  }
}

TEST_F(SkinnedButtonTest, SchemesRecolourTheGradientAndThePieces) {
  struct Case {
    ButtonColour scheme;
    QRgb row3;
    QRgb left_piece;
  };
  const Case cases[] = {
      {ButtonColour::kGreen, qRgb(62, 247, 62), qRgb(50, 200, 10)},
      {ButtonColour::kYellow, qRgb(247, 247, 62), qRgb(200, 200, 10)},
      {ButtonColour::kBlue, qRgb(62, 247, 247), qRgb(10, 200, 200)},
      {ButtonColour::kNavy, qRgb(62, 62, 247), qRgb(10, 50, 200)},
      {ButtonColour::kViolet, qRgb(247, 62, 247), qRgb(200, 50, 200)},
      {ButtonColour::kOrange, qRgb(247, 125, 43), qRgb(200, 84, 7)},
      {ButtonColour::kRed, qRgb(247, 62, 62), qRgb(200, 50, 10)},
  };
  // One button through every scheme: a piece recoloured for one scheme must
  // not be reused for the next.
  SkinnedButton button(pictures_);
  for (const Case& c : cases) {
    button.SetColorSB(c.scheme);
    EXPECT_EQ(button.ColorSB(), c.scheme);
    const QImage face = button.RenderFace(false, false, false);
    EXPECT_EQ(At(face, 50, 3), c.row3)
        << static_cast<int>(c.scheme) << " got " << Describe(At(face, 50, 3));
    EXPECT_EQ(At(face, 10, 10), c.left_piece) << static_cast<int>(c.scheme);
    EXPECT_EQ(At(face, 0, 0), kTransparent) << "recolouring keeps a piece's transparency";
  }
}

TEST_F(SkinnedButtonTest, LighteningLightensTheBodyAndThePieces) {
  SkinnedButton button(pictures_);
  button.RenderFace(false, false, false);  // the plain pieces are cached now
  button.SetKLightSB(50);
  const QImage face = button.RenderFace(false, false, false);
  EXPECT_EQ(At(face, 50, 0), qRgb(224, 128, 128));
  EXPECT_EQ(At(face, 10, 10), qRgb(228, 152, 132));  // 227.5, 152.5, 132.5 to even
  button.SetKLightSB(300);
  EXPECT_EQ(button.KLightSB(), 100);
  EXPECT_EQ(At(button.RenderFace(false, false, false), 50, 14), kWhite);
}

TEST_F(SkinnedButtonTest, OtherHeightsStretchThePiecesOfTheirSizeRange) {
  struct Case {
    int height;
    int set;  // 0 "B29_", 1 "B44_", 2 "B59_"
    int q;
  };
  const Case cases[] = {
      {40, 1, 28},  // nearest(31 * 40 / 45)
      {20, 0, 15},  // nearest(23 * 20 / 30)
      {31, 1, 21},  // nearest(31 * 31 / 45)
      {50, 2, 31},  // nearest(37 * 50 / 60)
      {90, 2, 56},  // 55.5 goes to the even neighbour
  };
  SkinnedButton button(pictures_);
  for (const Case& c : cases) {
    const int width = 150;
    button.resize(width, c.height);
    const QImage face = button.RenderFace(false, false, false);
    const int mid = c.height / 2;
    EXPECT_EQ(At(face, c.q - 1, mid), LeftColour(c.set, false)) << c.height;
    EXPECT_EQ(At(face, width - c.q, mid), RightColour(c.set, false)) << c.height;
    EXPECT_EQ(At(face, width - 2, mid), RightColour(c.set, false)) << c.height;
    EXPECT_EQ(At(face, width - 1, mid), kTransparent) << c.height;
    EXPECT_EQ(At(face, c.q, c.height - 1), kTransparent) << c.height;
    // The body is the body piece of the same set, stretched over every row
    // but the last, top row first, its rows in order.
    EXPECT_EQ(At(face, c.q, 0), TeloColour(c.set, false, 0)) << c.height;
    int previous_red = -1;
    for (int y = 0; y < c.height - 1; ++y) {
      for (const int x : {c.q, width / 2, width - c.q - 1}) {
        const QRgb pixel = At(face, x, y);
        ASSERT_EQ(qGreen(pixel), c.set) << c.height << " at " << x << "," << y;
        ASSERT_EQ(qBlue(pixel), 5) << c.height << " at " << x << "," << y;
        ASSERT_EQ(qRed(pixel), qRed(At(face, c.q, y))) << c.height << " row " << y;
      }
      EXPECT_GE(qRed(At(face, c.q, y)), previous_red) << c.height << " row " << y;
      previous_red = qRed(At(face, c.q, y));
    }
    EXPECT_GE(previous_red, 100 + (c.set == 0 ? 29 : c.set == 1 ? 44 : 59) - 2) << c.height;
  }
}

TEST_F(SkinnedButtonTest, LightFaceHasWhiteBandsAndLightPieces) {
  struct Case {
    int height;
    int set;
    int side;
    int band;
  };
  const Case cases[] = {{30, 0, 23, 3}, {45, 1, 31, 5}, {60, 2, 37, 5}};
  for (const Case& c : cases) {
    SkinnedButton button(pictures_);
    button.resize(160, c.height);
    button.SetLightRect(true);
    SendEnter(button);
    const QImage face = button.RenderFace(false, false, false);
    const QImage plain = [&] {
      SendLeave(button);
      return button.RenderFace(false, false, false);
    }();
    for (int row = 0; row < c.height - 1; ++row) {
      const bool in_band = row < c.band || row >= c.height - 1 - c.band;
      if (in_band) {
        EXPECT_EQ(At(face, c.side, row), kWhite) << c.height << " row " << row;
        EXPECT_EQ(At(face, 160 - c.side - 2, row), kWhite) << c.height << " row " << row;
      } else {
        EXPECT_EQ(At(face, c.side, row), At(plain, c.side, row)) << c.height << " row " << row;
      }
    }
    EXPECT_EQ(At(face, 5, 10), LeftColour(c.set, true)) << c.height;
    EXPECT_EQ(At(face, 155, 10), RightColour(c.set, true)) << c.height;
    EXPECT_EQ(At(plain, 5, 10), LeftColour(c.set, false)) << c.height;
  }
}

TEST_F(SkinnedButtonTest, FaceIsLitByMouseOrFocusOnlyWithLightRect) {
  struct Case {
    bool light_rect, mouse, focused, lit;
  };
  const Case cases[] = {
      {true, true, false, true},   {true, false, true, true},   {true, false, false, false},
      {false, true, false, false}, {false, false, true, false},
  };
  for (const Case& c : cases) {
    SkinnedButton button(pictures_);
    button.SetLightRect(c.light_rect);
    if (c.mouse) SendEnter(button);
    const QImage face = button.RenderFace(false, c.focused, false);
    EXPECT_EQ(At(face, 50, 0) == kWhite, c.lit)
        << "LightRect " << c.light_rect << " mouse " << c.mouse << " focused " << c.focused;
    EXPECT_EQ(At(face, 5, 10), LeftColour(0, c.lit));
  }
}

TEST_F(SkinnedButtonTest, ClassZeroLightFaceUsesTheLightBodyPiece) {
  SkinnedButton button(pictures_);
  button.resize(100, 40);
  button.SetLightRect(true);
  const QImage face = button.RenderFace(false, true, false);
  EXPECT_EQ(At(face, 50, 0), TeloColour(1, true, 0));
}

TEST_F(SkinnedButtonTest, PressShiftsFaceGlyphAndCaptionOnePixelRightAndDown) {
  // Font sizes of odd and even cell heights: centring a caption in a box of
  // odd or even height must move it with the press all the same.
  for (const auto& [height, pixel_size] :
       {std::pair{30, 14}, std::pair{30, 15}, std::pair{40, 14}, std::pair{40, 15},
        std::pair{60, 14}, std::pair{60, 15}}) {
    QWidget parent;
    parent.setAutoFillBackground(true);
    QPalette palette = parent.palette();
    palette.setColor(QPalette::Window, QColor(10, 20, 30));
    parent.setPalette(palette);
    parent.resize(300, 100);
    SkinnedButton button(pictures_, &parent);
    button.setGeometry(5, 7, 120, height);
    button.setFont(PlainFont(pixel_size));
    button.setText("Press");
    QImage glyph(12, 12, QImage::Format_RGB32);
    glyph.fill(qRgb(0, 0, 255));
    button.SetGlyph(glyph);
    const QImage up = button.RenderFace(false, false, false);
    const QImage down = button.RenderFace(true, false, false);
    int differences = 0;
    for (int y = 0; y + 1 < height; ++y)
      for (int x = 0; x + 1 < 120; ++x)
        if (At(down, x + 1, y + 1) != At(up, x, y)) ++differences;
    EXPECT_EQ(differences, 0) << height << " font " << pixel_size;
    // The uncovered top row and left column show what lies under the button.
    EXPECT_EQ(At(down, 60, 0), qRgb(10, 20, 30)) << height;
    EXPECT_EQ(At(down, 0, height / 2), qRgb(10, 20, 30)) << height;
    EXPECT_EQ(At(up, 119, height / 2), qRgb(10, 20, 30)) << height;
  }
}

TEST_F(SkinnedButtonTest, CaptionColourFollowsMouseAndDisabledRules) {
  const QRgb font_colour = qRgb(0, 0, 255);
  const QRgb mouse_colour = qRgb(0, 255, 0);
  const QRgb silver = qRgb(192, 192, 192);
  struct Case {
    bool light_font, mouse, disabled, gray_dis;
    QRgb colour;
  };
  const Case cases[] = {
      {false, false, false, false, font_colour}, {true, false, false, false, font_colour},
      {false, true, false, false, font_colour},  {true, true, false, false, mouse_colour},
      {false, false, true, true, silver},        {false, false, true, false, font_colour},
      {true, true, true, true, silver},          {true, true, true, false, font_colour},
  };
  for (const Case& c : cases) {
    SkinnedButton button(pictures_);
    button.setFont(PlainFont());
    QPalette palette = button.palette();
    palette.setColor(QPalette::ButtonText, QColor(font_colour));
    button.setPalette(palette);
    button.setText("MW");
    button.SetColorMouse(QColor(mouse_colour));
    button.SetLightFont(c.light_font);
    button.SetGrayDis(c.gray_dis);
    if (c.mouse) SendEnter(button);
    const QImage face = button.RenderFace(false, false, c.disabled);
    const std::vector<QPoint> caption = CaptionPixels(button, false, c.disabled);
    ASSERT_FALSE(caption.empty());
    for (const QPoint& p : caption)
      ASSERT_EQ(At(face, p.x(), p.y()), c.colour)
          << "LightFont " << c.light_font << " mouse " << c.mouse << " disabled " << c.disabled
          << " GrayDis " << c.gray_dis << " got " << Describe(At(face, p.x(), p.y()));
  }
}

TEST_F(SkinnedButtonTest, MarginPlacesTheCaptionBesideTheGlyph) {
  struct Case {
    int height;
    GlyphLayout layout;
    int margin;
    int offset;  // from a caption left-aligned at the button's left edge
  };
  const Case cases[] = {
      {30, GlyphLayout::kLeft, 0, 16 + 25}, {45, GlyphLayout::kLeft, 4, 16 + 28},
      {60, GlyphLayout::kLeft, 0, 16 + 30}, {40, GlyphLayout::kLeft, 0, 16 + 28 + 10},
      {30, GlyphLayout::kRight, 0, 0},      {30, GlyphLayout::kBottom, 0, 0},
  };
  QImage glyph(16, 16, QImage::Format_RGB32);
  glyph.fill(qRgb(0, 0, 255));
  for (const Case& c : cases) {
    SkinnedButton button(pictures_);
    button.resize(200, c.height);
    button.setFont(PlainFont());
    button.setText("Hello");
    button.SetGlyph(glyph);
    button.SetMargin(c.margin);
    button.SetGlyphLayout(GlyphLayout::kTop);
    const int flush_left = Leftmost(CaptionPixels(button, false, false));
    button.SetGlyphLayout(c.layout);
    EXPECT_EQ(Leftmost(CaptionPixels(button, false, false)), flush_left + c.offset)
        << c.height << " layout " << static_cast<int>(c.layout);
    button.SetMargin(-1);
    const std::vector<QPoint> centred = CaptionPixels(button, false, false);
    EXPECT_NEAR(Leftmost(centred) + Rightmost(centred), 199, 3) << "centred caption";
  }
}

TEST_F(SkinnedButtonTest, GlyphPositionsByLayout) {
  struct Case {
    int width, height;
    GlyphLayout layout;
    std::optional<QPoint> at;
  };
  const Case cases[] = {
      {100, 30, GlyphLayout::kLeft, QPoint(15, 6)},  // y: 6.5 goes to 6
      {100, 30, GlyphLayout::kRight, QPoint(69, 6)},
      {100, 30, GlyphLayout::kBottom, QPoint(42, 6)},
      {101, 30, GlyphLayout::kBottom, QPoint(42, 6)},  // x: 42.5 goes to 42
      {100, 30, GlyphLayout::kTop, std::nullopt},
      {100, 40, GlyphLayout::kLeft, QPoint(17, 12)},  // 0.6 * 28 = 16.8; y: 11.5 goes to 12
      {100, 40, GlyphLayout::kRight, QPoint(67, 12)},
      {120, 45, GlyphLayout::kLeft, QPoint(18, 14)},
      {120, 45, GlyphLayout::kRight, QPoint(86, 14)},
      {180, 60, GlyphLayout::kLeft, QPoint(20, 22)},
      {180, 60, GlyphLayout::kRight, QPoint(144, 22)},
      {180, 60, GlyphLayout::kBottom, QPoint(82, 22)},
  };
  const QRgb blue = qRgb(0, 0, 255);
  const QRgb magenta = qRgb(255, 0, 255);
  // An opaque glyph: its bottom-left colour is its transparent colour.
  QImage glyph(16, 16, QImage::Format_RGB32);
  glyph.fill(blue);
  glyph.setPixel(0, 15, magenta);
  glyph.setPixel(15, 0, magenta);
  for (const Case& c : cases) {
    SkinnedButton button(pictures_);
    button.resize(c.width, c.height);
    button.SetGlyph(glyph);
    button.SetGlyphLayout(c.layout);
    const QImage face = button.RenderFace(false, false, false);
    QRect found;
    bool any_magenta = false;
    for (int y = 0; y < face.height(); ++y)
      for (int x = 0; x < face.width(); ++x) {
        if (At(face, x, y) == blue) found |= QRect(x, y, 1, 1);
        if (At(face, x, y) == magenta) any_magenta = true;
      }
    const std::string what = std::to_string(c.width) + "x" + std::to_string(c.height) + " layout " +
                             std::to_string(static_cast<int>(c.layout));
    EXPECT_FALSE(any_magenta) << what;
    if (!c.at) {
      EXPECT_TRUE(found.isNull()) << what;
      continue;
    }
    EXPECT_EQ(found, QRect(*c.at, QSize(16, 16))) << what;
    EXPECT_NE(At(face, c.at->x(), c.at->y() + 15), kTransparent) << "face under the glyph";
  }
}

TEST_F(SkinnedButtonTest, ContourAroundTheFocusedButtonInTheSchemeColour) {
  struct Case {
    ButtonColour scheme;
    QRgb colour;
  };
  const Case cases[] = {
      {ButtonColour::kRed, qRgb(255, 200, 200)},   {ButtonColour::kYellow, qRgb(255, 200, 200)},
      {ButtonColour::kGreen, qRgb(200, 200, 255)}, {ButtonColour::kBlue, qRgb(200, 255, 200)},
      {ButtonColour::kNavy, qRgb(200, 255, 200)},  {ButtonColour::kViolet, qRgb(255, 255, 200)},
      {ButtonColour::kOrange, qRgb(255, 128, 64)},
  };
  for (const Case& c : cases) {
    SkinnedButton button(pictures_);
    button.SetColorSB(c.scheme);
    // 100 x 30: j = nearest(11.5) + 1 = 13, k = 3 + 2 = 5; right and bottom
    // are excluded, so the outline runs over columns 13..86 and rows 5..24.
    for (const bool pressed : {false, true}) {
      const int p = pressed ? 1 : 0;
      const QImage face = button.RenderFace(pressed, true, false);
      const std::string what =
          std::to_string(static_cast<int>(c.scheme)) + (pressed ? " pressed" : "");
      EXPECT_EQ(At(face, 50 + p, 5 + p), c.colour) << what;
      EXPECT_EQ(At(face, 50 + p, 24 + p), c.colour) << what;
      EXPECT_EQ(At(face, 13 + p, 15 + p), c.colour) << what;
      EXPECT_EQ(At(face, 86 + p, 15 + p), c.colour) << what;
      EXPECT_NE(At(face, 50 + p, 4 + p), c.colour) << what;
      EXPECT_NE(At(face, 50 + p, 25 + p), c.colour) << what;
      EXPECT_NE(At(face, 12 + p, 15 + p), c.colour) << what;
      EXPECT_NE(At(face, 87 + p, 15 + p), c.colour) << what;
      EXPECT_NE(At(face, 50 + p, 15 + p), c.colour) << "no fill: " << what;
    }
  }
}

TEST_F(SkinnedButtonTest, ContourHalvesGoToEvenOnAStandardHeightOf45) {
  SkinnedButton button(pictures_);
  button.resize(100, 45);
  // j = nearest(15.5) + 1 = 17, k = nearest(4.5) + 2 = 6.
  const QImage face = button.RenderFace(false, true, false);
  const QRgb contour = qRgb(255, 200, 200);
  EXPECT_EQ(At(face, 50, 6), contour);
  EXPECT_EQ(At(face, 50, 38), contour);
  EXPECT_EQ(At(face, 17, 22), contour);
  EXPECT_EQ(At(face, 82, 22), contour);
  EXPECT_NE(At(face, 16, 22), contour);
  EXPECT_NE(At(face, 50, 5), contour);
}

TEST_F(SkinnedButtonTest, ContourOnlyWhenFocusedWithKonturAndWithoutLightRect) {
  struct Case {
    bool focused, kontur, light_rect, contour;
  };
  const Case cases[] = {
      {true, true, false, true},
      {false, true, false, false},
      {true, false, false, false},
      {true, true, true, false},
  };
  for (const Case& c : cases) {
    SkinnedButton button(pictures_);
    button.SetKontur(c.kontur);
    button.SetLightRect(c.light_rect);
    const QImage face = button.RenderFace(false, c.focused, false);
    EXPECT_EQ(At(face, 50, 5) == qRgb(255, 200, 200), c.contour)
        << "focused " << c.focused << " Kontur " << c.kontur << " LightRect " << c.light_rect;
  }
}

TEST_F(SkinnedButtonTest, OnDrawButtonRunsAfterTheCaptionAndBeforeTheContour) {
  SkinnedButton button(pictures_);
  button.setFont(PlainFont());
  button.setText("MW");
  QRect seen_rect;
  int calls = 0;
  bool seen_pressed = false, seen_focused = false, seen_disabled = false;
  button.OnDrawButton = [&](QPainter& painter, const QRect& rect, bool pressed, bool focused,
                            bool disabled) {
    ++calls;
    seen_rect = rect;
    seen_pressed = pressed;
    seen_focused = focused;
    seen_disabled = disabled;
    painter.fillRect(rect, QColor(1, 2, 3));
  };
  const QImage face = button.RenderFace(true, true, false);
  EXPECT_EQ(calls, 1);
  EXPECT_EQ(seen_rect, QRect(0, 0, 100, 30));
  EXPECT_TRUE(seen_pressed);
  EXPECT_TRUE(seen_focused);
  EXPECT_FALSE(seen_disabled);
  EXPECT_EQ(At(face, 50, 16), qRgb(1, 2, 3)) << "drawn over face and caption";
  EXPECT_EQ(At(face, 51, 6), qRgb(255, 200, 200)) << "the contour comes last";
}

TEST_F(SkinnedButtonTest, PaintedButtonMatchesRenderFace) {
  QWidget parent;
  parent.setAutoFillBackground(true);
  QPalette palette = parent.palette();
  palette.setColor(QPalette::Window, QColor(10, 20, 30));
  parent.setPalette(palette);
  parent.resize(200, 100);
  SkinnedButton button(pictures_, &parent);
  button.setGeometry(20, 30, 120, 45);
  button.SetColorSB(ButtonColour::kOrange);
  button.setFont(PlainFont());
  button.setText("Ok");
  const QImage painted = parent.grab(button.geometry()).toImage();
  const QImage rendered = button.RenderFace(false, false, false);
  ASSERT_EQ(painted.size(), rendered.size());
  int differences = 0;
  for (int y = 0; y < painted.height(); ++y)
    for (int x = 0; x < painted.width(); ++x)
      if (painted.pixel(x, y) != rendered.pixel(x, y)) ++differences;
  EXPECT_EQ(differences, 0);
}

TEST_F(SkinnedButtonTest, HeightSBSetsTheStandardHeight) {
  SkinnedButton button(pictures_);
  const struct {
    ButtonHeight value;
    int height;
  } cases[] = {{ButtonHeight::k45, 45}, {ButtonHeight::k60, 60}, {ButtonHeight::k30, 30}};
  for (const auto& c : cases) {
    button.SetHeightSB(c.value);
    EXPECT_EQ(button.height(), c.height);
    EXPECT_EQ(button.width(), 100);
  }
  button.resize(100, 52);
  button.SetHeightSB(ButtonHeight::k30);
  EXPECT_EQ(button.height(), 30) << "the same value again restores the standard height";
}

TEST_F(SkinnedButtonTest, DoubleClickIsASecondPress) {
  // Qt's widgets get the second press of a double click as the double-click
  // event alone; a platform may also send the press first and the
  // double-click event after it, which must not count as a third press.
  enum class Delivery { kWindowSystem, kPressThenDoubleClick };
  for (const Delivery delivery : {Delivery::kWindowSystem, Delivery::kPressThenDoubleClick}) {
    SkinnedButton button(pictures_);
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    QSignalSpy presses(&button, &QAbstractButton::pressed);
    const QPoint centre = button.rect().center();
    if (delivery == Delivery::kWindowSystem) {
      button.show();
      ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
      QTest::mouseDClick(button.windowHandle(), Qt::LeftButton, {}, centre);
    } else {
      const QPointF local(centre);
      const QPointF global(button.mapToGlobal(centre));
      for (const QEvent::Type type :
           {QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress,
            QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease}) {
        const bool down = type != QEvent::MouseButtonRelease;
        QMouseEvent event(type, local, global, Qt::LeftButton, down ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&button, &event);
      }
    }
    EXPECT_EQ(clicks.count(), 2) << static_cast<int>(delivery);
    EXPECT_EQ(presses.count(), 2) << static_cast<int>(delivery);
    EXPECT_FALSE(button.isDown());
  }
}

TEST_F(SkinnedButtonTest, SpaceAndEnterActivateTheButtonOutsideDialogs) {
  for (const Qt::Key key : {Qt::Key_Space, Qt::Key_Return, Qt::Key_Enter}) {
    QWidget window;
    SkinnedButton button(pictures_, &window);
    QSignalSpy clicks(&button, &QAbstractButton::clicked);
    QTest::keyClick(&button, key);
    EXPECT_EQ(clicks.count(), 1) << key;
  }
}

TEST_F(SkinnedButtonTest, MouseOverIsTrackedByEnterAndLeave) {
  SkinnedButton button(pictures_);
  button.SetLightRect(true);
  SendEnter(button);
  EXPECT_EQ(At(button.RenderFace(false, false, false), 50, 0), kWhite);
  SendLeave(button);
  EXPECT_EQ(At(button.RenderFace(false, false, false), 50, 0), qRgb(192, 0, 0));
}

TEST_F(SkinnedButtonTest, TinyButtonsRenderWithoutFault) {
  SkinnedButton button(pictures_);
  button.setText("Caption");
  for (const QSize size : {QSize(1, 1), QSize(2, 30), QSize(100, 2), QSize(30, 5)}) {
    button.resize(size);
    EXPECT_EQ(button.RenderFace(true, true, false).size(), size);
  }
  button.resize(0, 0);
  EXPECT_TRUE(button.RenderFace(false, false, false).isNull());
}

}  // namespace
}  // namespace braxo
