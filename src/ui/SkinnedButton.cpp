#include "ui/SkinnedButton.h"

#include <QEnterEvent>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QStyle>
#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <utility>

#include "ui/Drawing.h"

namespace braxo {
namespace {

constexpr QRgb kBodyRed = qRgb(192, 0, 0);
constexpr QRgb kEdgeRed = qRgb(191, 0, 0);
constexpr QRgb kWhite = qRgb(255, 255, 255);

constexpr QRgb Red(int red) { return qRgb(red, 0, 0); }

// The body rows that differ from kBodyRed, by size class.
constexpr int kClass1FirstRow = 3;
constexpr std::array<QRgb, 23> kClass1Rows = {
    qRgb(247, 62, 62), qRgb(241, 20, 20), qRgb(236, 7, 7), qRgb(230, 2, 2), Red(225),
    Red(221),          Red(216),          Red(211),        Red(206),        Red(201),
    Red(196),          Red(192),          Red(187),        Red(182),        Red(177),
    Red(172),          Red(167),          Red(162),        Red(158),        Red(153),
    Red(148),          Red(143),          qRgb(141, 7, 7)};

constexpr int kClass2FirstRow = 4;
constexpr int kClass2LastEdgeRow = 43;
constexpr std::array<QRgb, 36> kClass2Rows = {
    qRgb(215, 66, 66), qRgb(250, 73, 73), qRgb(247, 46, 46), qRgb(242, 18, 18), qRgb(239, 8, 8),
    qRgb(234, 5, 5),   qRgb(231, 2, 2),   Red(227),          Red(224),          Red(220),
    Red(217),          Red(214),          Red(210),          Red(207),          Red(203),
    Red(200),          Red(197),          Red(194),          Red(190),          Red(187),
    Red(183),          Red(180),          Red(176),          Red(173),          Red(170),
    Red(166),          Red(163),          Red(159),          Red(156),          Red(152),
    Red(149),          Red(145),          Red(142),          qRgb(139, 2, 2),   qRgb(143, 18, 18),
    qRgb(195, 51, 51)};

constexpr int kClass3FirstRow = 5;
constexpr std::array<QRgb, 49> kClass3Rows = {
    qRgb(252, 83, 83), qRgb(250, 63, 63), qRgb(247, 44, 44), qRgb(244, 24, 24), qRgb(241, 10, 10),
    qRgb(238, 7, 7),   qRgb(235, 5, 5),   qRgb(233, 3, 3),   qRgb(230, 1, 1),   Red(228),
    Red(225),          Red(223),          Red(221),          Red(218),          Red(216),
    Red(213),          Red(211),          Red(208),          Red(206),          Red(203),
    Red(201),          Red(198),          Red(196),          Red(194),          Red(192),
    Red(190),          Red(187),          Red(185),          Red(182),          Red(180),
    Red(177),          Red(175),          Red(172),          Red(170),          Red(167),
    Red(165),          Red(162),          Red(160),          Red(158),          Red(155),
    Red(153),          Red(150),          Red(148),          Red(145),          Red(143),
    Red(140),          qRgb(138, 1, 1),   qRgb(138, 7, 7),   qRgb(154, 44, 44)};

template <size_t N>
QRgb RowOf(const std::array<QRgb, N>& rows, int first_row, int row) {
  const int index = row - first_row;
  return index >= 0 && index < static_cast<int>(N) ? rows[index] : kBodyRed;
}

QRgb GradientRow(int size_class, int row) {
  switch (size_class) {
    case 1:
      return RowOf(kClass1Rows, kClass1FirstRow, row);
    case 2:
      if (row == 0 || row == kClass2LastEdgeRow) return kEdgeRed;
      return RowOf(kClass2Rows, kClass2FirstRow, row);
    case 3:
      return RowOf(kClass3Rows, kClass3FirstRow, row);
    default:
      return kBodyRed;
  }
}

// Everything about the face that follows from the height alone.
struct FaceGeometry {
  int size_class;       // 1, 2, 3 for the standard heights 30, 45, 60; else 0
  QString stem;         // piece names: stem + "Left", "Right", "Telo"
  int side;             // the pieces' own side width
  int q;                // the side width scaled to the height
  int glyph_inset;      // glyph distance from the near edge
  int caption_spacing;  // added to the glyph width beside a left-aligned caption
  int light_band;       // rows of the light band at the top and the bottom
};

FaceGeometry GeometryFor(int height) {
  FaceGeometry g{};
  g.size_class = height == 30 ? 1 : height == 45 ? 2 : height == 60 ? 3 : 0;
  int base_height = 0;
  if (height <= 30) {
    g.stem = QStringLiteral("B29_");
    g.side = 23;
    base_height = 30;
  } else if (height <= 45) {
    g.stem = QStringLiteral("B44_");
    g.side = 31;
    base_height = 45;
  } else {
    g.stem = QStringLiteral("B59_");
    g.side = 37;
    base_height = 60;
  }
  // Integer ratios in double are exact at the halves, so halves go to even.
  g.q = RoundHalfEven(static_cast<double>(g.side) * height / base_height);
  constexpr int kInsets[] = {15, 18, 20};
  constexpr int kSpacings[] = {25, 28, 30};
  if (g.size_class == 0) {
    g.glyph_inset = RoundHalfEven(3.0 * g.q / 5);
    g.caption_spacing = g.q + 10;
    g.light_band = 0;
  } else {
    g.glyph_inset = kInsets[g.size_class - 1];
    g.caption_spacing = kSpacings[g.size_class - 1];
    g.light_band = g.size_class == 1 ? 3 : 5;
  }
  return g;
}

QRgb RecolourRgb(QRgb rgb, ButtonColour scheme, int light_percent) {
  int r = qRed(rgb);
  int g = qGreen(rgb);
  int b = qBlue(rgb);
  switch (scheme) {
    case ButtonColour::kRed:
      break;
    case ButtonColour::kGreen:
      std::swap(r, g);
      break;
    case ButtonColour::kBlue: {
      const int old_red = r;
      r = b;
      g = old_red;
      b = old_red;
      break;
    }
    case ButtonColour::kNavy:
      std::swap(r, b);
      break;
    case ButtonColour::kYellow:
      g = r;
      break;
    case ButtonColour::kViolet:
      b = r;
      break;
    case ButtonColour::kOrange:
      // Only reddish colours turn orange; greys and the white band stay.
      if (r > g && r > b) {
        b = RoundHalfEven(7.0 * b / 10);
        g = b + RoundHalfEven(2.0 * std::abs(r - b) / 5);
      }
      break;
  }
  const int light = std::clamp(light_percent, 0, 100);
  if (light != 0) {
    const auto lighten = [light](int v) {
      return RoundHalfEven((100.0 * v + (255.0 - v) * light) / 100);
    };
    r = lighten(r);
    g = lighten(g);
    b = lighten(b);
  }
  return qRgba(r, g, b, qAlpha(rgb));
}

// Nearest-neighbour stretch to `width` x `height` design pixels at the
// source's own pixel ratio: destination pixel (x, y) takes source pixel
// (x * source width / width, y * source height / height).
QImage StretchNearest(const QImage& source, int design_width, int design_height) {
  const int ratio = static_cast<int>(source.devicePixelRatio());
  const int width = design_width * ratio;
  const int height = design_height * ratio;
  if (source.width() == width && source.height() == height) return source;
  const QImage from = source.convertToFormat(QImage::Format_ARGB32);
  QImage to(width, height, QImage::Format_ARGB32);
  to.setDevicePixelRatio(ratio);
  for (int y = 0; y < height; ++y) {
    const auto* in = reinterpret_cast<const QRgb*>(from.constScanLine(y * from.height() / height));
    auto* out = reinterpret_cast<QRgb*>(to.scanLine(y));
    for (int x = 0; x < width; ++x) out[x] = in[x * from.width() / width];
  }
  return to;
}

}  // namespace

QColor Recolour(QColor colour, ButtonColour scheme, int light_percent) {
  return QColor::fromRgba(RecolourRgb(colour.rgba(), scheme, light_percent));
}

SkinnedButton::SkinnedButton(PictureStore& pictures, QWidget* parent)
    : QPushButton(parent), pictures_(&pictures) {
  resize(100, 30);
  // Enter and Return activate the focused button in every window, not only
  // in dialogs.
  setAutoDefault(true);
}

void SkinnedButton::SetColorSB(ButtonColour scheme) {
  if (scheme == color_sb_) return;
  color_sb_ = scheme;
  update();
}

void SkinnedButton::SetColorMouse(const QColor& colour) {
  color_mouse_ = colour;
  update();
}

void SkinnedButton::SetLightFont(bool on) {
  light_font_ = on;
  update();
}

void SkinnedButton::SetLightRect(bool on) {
  light_rect_ = on;
  update();
}

void SkinnedButton::SetGrayDis(bool on) {
  gray_dis_ = on;
  update();
}

void SkinnedButton::SetHeightSB(ButtonHeight height) {
  height_sb_ = height;
  const int pixels = height == ButtonHeight::k30 ? 30 : height == ButtonHeight::k45 ? 45 : 60;
  // Resized even when the value is unchanged: the height may have been set
  // directly in between, and the standard height is what the caller asks for.
  if (this->height() != pixels) resize(width(), pixels);
  update();
}

void SkinnedButton::SetKLightSB(int percent) {
  // Above 100 the lightening would pass white and leave the colour range.
  percent = std::clamp(percent, 0, 100);
  if (percent == light_percent_) return;
  light_percent_ = percent;
  update();
}

void SkinnedButton::SetKontur(bool on) {
  kontur_ = on;
  update();
}

void SkinnedButton::SetGlyphPicture(const QString& name) {
  glyph_ = QImage();
  glyph_picture_ = name;
  update();
}

QImage SkinnedButton::GlyphAt(int ratio) const {
  if (glyph_picture_.isEmpty() || pictures_ == nullptr) return glyph_;
  return pictures_->LoadPicture(glyph_picture_, ratio);
}

void SkinnedButton::SetGlyph(const QImage& glyph) {
  glyph_picture_.clear();
  if (glyph.isNull() || glyph.hasAlphaChannel()) {
    glyph_ = glyph;
  } else {
    glyph_ = glyph.convertToFormat(QImage::Format_ARGB32);
    const QRgb transparent = glyph_.pixel(0, glyph_.height() - 1);
    for (int y = 0; y < glyph_.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(glyph_.scanLine(y));
      for (int x = 0; x < glyph_.width(); ++x)
        if (line[x] == transparent) line[x] = qRgba(0, 0, 0, 0);
    }
  }
  update();
}

void SkinnedButton::SetGlyphLayout(GlyphLayout layout) {
  glyph_layout_ = layout;
  update();
}

void SkinnedButton::SetDrawScale(double scale) {
  if (scale <= 0 || scale == draw_scale_) return;
  draw_scale_ = scale;
  update();
}

QSize SkinnedButton::FaceSize() const {
  if (draw_scale_ == 1.0) return size();
  return {std::max(1, static_cast<int>(std::lround(width() / draw_scale_))),
          std::max(1, static_cast<int>(std::lround(height() / draw_scale_)))};
}

void SkinnedButton::SetMargin(int margin) {
  margin_ = margin;
  update();
}

const QImage& SkinnedButton::Piece(const QString& name, int ratio) {
  const PieceKey key{name.toLower(), ratio, color_sb_, light_percent_};
  const auto cached = pieces_.constFind(key);
  if (cached != pieces_.constEnd()) return *cached;
  QImage piece = pictures_->LoadPicture(name, ratio);
  if (color_sb_ != ButtonColour::kRed || light_percent_ != 0) {
    piece = piece.convertToFormat(QImage::Format_ARGB32);
    for (int y = 0; y < piece.height(); ++y) {
      auto* line = reinterpret_cast<QRgb*>(piece.scanLine(y));
      for (int x = 0; x < piece.width(); ++x)
        line[x] = RecolourRgb(line[x], color_sb_, light_percent_);
    }
  }
  return *pieces_.insert(key, piece);
}

QImage SkinnedButton::DrawFace(bool lit, int ratio) {
  const int w = FaceSize().width();
  const int h = FaceSize().height();
  const FaceGeometry g = GeometryFor(h);
  // The end caps and the glyph are drawn from their pictures at the ratio;
  // the body's plain rows are enlarged without smoothing.
  QImage face(w * ratio, h * ratio, QImage::Format_ARGB32_Premultiplied);
  face.setDevicePixelRatio(ratio);
  face.fill(Qt::transparent);
  QPainter painter(&face);
  const QString suffix = lit ? QStringLiteral("L") : QString();
  // The pieces cover every row but the last, which keeps what lies under the
  // button; so does the last column.
  const int rows = h - 1;
  if (g.q > 0 && rows > 0) {
    painter.drawImage(0, 0, StretchNearest(Piece(g.stem + "Left" + suffix, ratio), g.q, rows));
    painter.drawImage(w - g.q - 1, 0,
                      StretchNearest(Piece(g.stem + "Right" + suffix, ratio), g.q, rows));
  }
  if (g.size_class == 0) {
    const int body_width = w - 2 * g.q;
    if (body_width > 0 && rows > 0)
      painter.drawImage(g.q, 0,
                        StretchNearest(Piece(g.stem + "Telo" + suffix, 1), body_width, rows));
  } else {
    const int line_width = w - 2 * g.side - 1;
    for (int r = 0; line_width > 0 && r < rows; ++r) {
      const bool in_band = lit && (r < g.light_band || r >= rows - g.light_band);
      const QRgb colour =
          in_band ? kWhite : RecolourRgb(GradientRow(g.size_class, r), color_sb_, light_percent_);
      painter.fillRect(QRect(g.side, r, line_width, 1), QColor(colour));
    }
  }
  const QImage glyph = GlyphAt(ratio);
  if (!glyph.isNull() && glyph_layout_ != GlyphLayout::kTop) {
    const QSize glyph_size = glyph.deviceIndependentSize().toSize();
    const int gx = RoundHalfEven((w - glyph_size.width()) / 2.0);
    const int gy = RoundHalfEven((h - glyph_size.height() - 1) / 2.0);
    int x = gx;
    if (glyph_layout_ == GlyphLayout::kLeft) x = g.glyph_inset;
    if (glyph_layout_ == GlyphLayout::kRight) x = w - glyph_size.width() - g.glyph_inset;
    painter.drawImage(x, gy, glyph);
  }
  return face;
}

void SkinnedButton::DrawCaption(QPainter& painter, bool pressed, bool disabled) {
  const QString caption = text();
  if (caption.isEmpty()) return;
  const FaceGeometry g = GeometryFor(FaceSize().height());
  const QColor font_colour = palette().color(QPalette::Active, QPalette::ButtonText);
  QColor colour = font_colour;
  if (light_font_ && mouse_in_pos_) colour = color_mouse_;
  if (disabled) colour = gray_dis_ ? QColor(192, 192, 192) : font_colour;

  // The text box runs from (left, top) to (right, bottom), right and bottom
  // excluded: the button moved with the press, its top raised by 3 pixels.
  const int shift = pressed ? 1 : 0;
  int left = shift;
  int right = FaceSize().width() + shift;
  const int top = shift - 3;
  const int bottom = FaceSize().height() + shift;
  const int mnemonic = style()->styleHint(QStyle::SH_UnderlineShortcut, nullptr, this)
                           ? Qt::TextShowMnemonic
                           : Qt::TextHideMnemonic;
  const QFontMetrics metrics(font());
  const int text_width = metrics.size(Qt::TextSingleLine | mnemonic, caption).width();
  const int text_height = metrics.ascent() + metrics.descent();
  int x = 0;
  if (margin_ == -1) {
    x = left + (right - left - text_width) / 2;
  } else {
    const int beside_glyph =
        static_cast<int>(GlyphAt(1).deviceIndependentSize().width()) + g.caption_spacing;
    if (glyph_layout_ == GlyphLayout::kLeft) left += beside_glyph;
    if (glyph_layout_ == GlyphLayout::kRight) right -= beside_glyph;
    x = left;
  }
  // Integer division truncates toward zero, so a caption taller than its box
  // is centred the same way as a shorter one.
  const int y = top + (bottom - top - text_height) / 2;
  if (right <= left) return;
  painter.save();
  painter.setClipRect(QRect(left, top, right - left, bottom - top), Qt::IntersectClip);
  painter.setFont(font());
  painter.setPen(colour);
  painter.drawText(QRect(x, y, text_width, text_height),
                   static_cast<int>(Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine |
                                    Qt::TextDontClip | mnemonic),
                   caption);
  painter.restore();
}

void SkinnedButton::DrawContour(QPainter& painter, bool pressed) {
  const int w = FaceSize().width();
  const int h = FaceSize().height();
  const FaceGeometry g = GeometryFor(h);
  const int j = RoundHalfEven(g.q / 2.0) + 1;
  const int k = RoundHalfEven(h / 10.0) + 2;
  const int p = pressed ? 1 : 0;
  // Corners (left, top) and (right, bottom), right and bottom excluded.
  const int left = j + p;
  const int top = k + p;
  const int right = w - j + p;
  const int bottom = h - k + p;
  if (right - left < 2 || bottom - top < 2) return;
  QColor colour;
  switch (color_sb_) {
    case ButtonColour::kRed:
    case ButtonColour::kYellow:
      colour = QColor(255, 200, 200);
      break;
    case ButtonColour::kGreen:
      colour = QColor(200, 200, 255);
      break;
    case ButtonColour::kBlue:
    case ButtonColour::kNavy:
      colour = QColor(200, 255, 200);
      break;
    case ButtonColour::kViolet:
      colour = QColor(255, 255, 200);
      break;
    case ButtonColour::kOrange:
      colour = QColor(255, 128, 64);
      break;
  }
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, false);
  painter.setPen(QPen(colour, 1));
  painter.setBrush(Qt::NoBrush);
  // A one-pixel outline of a w x h rectangle covers w + 1 columns, hence the
  // minus one; the 7 x 7 corner ellipse has a radius of 3.5.
  painter.drawRoundedRect(QRectF(left, top, right - left - 1, bottom - top - 1), 3.5, 3.5);
  painter.restore();
}

void SkinnedButton::DrawButton(QPainter& painter, bool pressed, bool focused, bool disabled) {
  const bool lit = light_rect_ && (focused || mouse_in_pos_);
  const int shift = pressed ? 1 : 0;
  painter.drawImage(shift, shift, DrawFace(lit, PaintPixelRatio(painter)));
  DrawCaption(painter, pressed, disabled);
  if (OnDrawButton) {
    painter.save();
    OnDrawButton(painter, QRect(QPoint(0, 0), FaceSize()), pressed, focused, disabled);
    painter.restore();
  }
  if (focused && !light_rect_ && kontur_) DrawContour(painter, pressed);
}

QImage SkinnedButton::RenderFace(bool pressed, bool focused, bool disabled) {
  if (width() <= 0 || height() <= 0) return {};
  QImage image(size(), QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  if (QWidget* parent = parentWidget())
    parent->render(&image, QPoint(), QRegion(geometry()), QWidget::DrawWindowBackground);
  QPainter painter(&image);
  DrawButton(painter, pressed, focused, disabled);
  return image;
}

void SkinnedButton::paintEvent(QPaintEvent*) {
  if (width() <= 0 || height() <= 0) return;
  // The face is drawn over what Qt has already painted under the button (it
  // is not opaque), never over its own previous face: half-transparent
  // edges would otherwise darken with every repaint. A button that is the
  // focused or default one draws as focused only while it holds the keyboard
  // focus, as the platform's focus flag says.
  QPainter painter(this);
  if (draw_scale_ != 1.0) {
    // The face keeps its design pixels; captions drawn through the scaled
    // painter stay sharp.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.scale(static_cast<double>(width()) / FaceSize().width(),
                  static_cast<double>(height()) / FaceSize().height());
  }
  DrawButton(painter, isDown(), hasFocus(), !isEnabled());
}

void SkinnedButton::enterEvent(QEnterEvent* event) {
  QPushButton::enterEvent(event);
  mouse_in_pos_ = true;
  update();
}

void SkinnedButton::leaveEvent(QEvent* event) {
  QPushButton::leaveEvent(event);
  mouse_in_pos_ = false;
  update();
}

void SkinnedButton::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    QPushButton::mouseDoubleClickEvent(event);
    return;
  }
  // A double click is a second press. Some platforms deliver the second
  // press only as the double click; others send a press first, and then the
  // button is already down.
  if (!isDown()) mousePressEvent(event);
  update();
}

void SkinnedButton::changeEvent(QEvent* event) {
  QPushButton::changeEvent(event);
  switch (event->type()) {
    case QEvent::EnabledChange:
    case QEvent::FontChange:
    case QEvent::PaletteChange:
      update();
      break;
    default:
      break;
  }
}

}  // namespace braxo
