// The skinned push button of every window: rounded end pieces and a body of
// gradient rows, recoloured to one of seven schemes, with a light band, a
// pressed shift and a rounded contour around the focused button.
#pragma once

#include <QColor>
#include <QHash>
#include <QImage>
#include <QPushButton>
#include <QRect>
#include <QString>
#include <functional>

#include "ui/Pictures.h"

class QPainter;

namespace braxo {

enum class ButtonColour { kRed, kGreen, kBlue, kNavy, kYellow, kViolet, kOrange };
enum class ButtonHeight { k30, k45, k60 };
enum class GlyphLayout { kLeft, kRight, kTop, kBottom };

// Recolours one colour of the red face to `scheme`, then lightens each
// component toward white by `light_percent` (clamped to 0..100), rounding
// halves to the even neighbour. The alpha is kept.
QColor Recolour(QColor colour, ButtonColour scheme, int light_percent);

class SkinnedButton : public QPushButton {
  Q_OBJECT

 public:
  // A button of 100 x 30, colour kRed, no lightening, contour on. The
  // pictures must outlive the button.
  explicit SkinnedButton(PictureStore& pictures, QWidget* parent = nullptr);

  void SetColorSB(ButtonColour scheme);
  ButtonColour ColorSB() const { return color_sb_; }
  // The caption colour while the mouse is over the button, with LightFont.
  void SetColorMouse(const QColor& colour);
  void SetLightFont(bool on);
  // The light face while the mouse is over the button or it has the focus.
  void SetLightRect(bool on);
  // A silver caption while the button is disabled.
  void SetGrayDis(bool on);
  // Sets the height to 30, 45 or 60.
  void SetHeightSB(ButtonHeight height);
  ButtonHeight HeightSB() const { return height_sb_; }
  // Lightening of every face colour toward white, in percent (0..100; other
  // values are clamped).
  void SetKLightSB(int percent);
  int KLightSB() const { return light_percent_; }
  // A rounded contour around the focused button when LightRect is off.
  void SetKontur(bool on);

  // The glyph picture; an opaque picture takes its bottom-left pixel's colour
  // as transparent. A null image removes the glyph.
  void SetGlyph(const QImage& glyph);
  // The glyph by its picture's name: drawn from the picture made for the
  // ratio the button paints at (its scale times the screen's), so that it
  // stays sharp on a scaled window. Replaces a glyph given by SetGlyph.
  void SetGlyphPicture(const QString& name);
  void SetGlyphLayout(GlyphLayout layout);
  // -1 centres the caption; any other value left-aligns it beside the glyph.
  void SetMargin(int margin);
  // Window pixels per design pixel: the button is placed at its scaled size
  // and draws its face at the design size through a scaled painter (1 in
  // the dialogs).
  void SetDrawScale(double scale);

  // Called after the face and caption are drawn, before the contour, with
  // the button's rectangle and the state the face was drawn in.
  std::function<void(QPainter&, const QRect&, bool pressed, bool focused, bool disabled)>
      OnDrawButton;

  // The button exactly as it paints itself in the given state, over the
  // parent's own drawing under the button (transparent without a parent).
  // `focused` means the button is the focused one.
  QImage RenderFace(bool pressed, bool focused, bool disabled);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void changeEvent(QEvent* event) override;

 private:
  struct PieceKey {
    QString name;
    int ratio;
    ButtonColour scheme;
    int light;
    friend bool operator==(const PieceKey&, const PieceKey&) = default;
  };
  friend size_t qHash(const PieceKey& key, size_t hash_start) {
    return qHashMulti(hash_start, key.name, key.ratio, static_cast<int>(key.scheme), key.light);
  }

  void DrawButton(QPainter& painter, bool pressed, bool focused, bool disabled);
  // Pieces, body and glyph on a transparent picture of the button's size,
  // `ratio` device pixels per design pixel.
  QImage DrawFace(bool lit, int ratio);
  // The glyph to draw at `ratio`.
  QImage GlyphAt(int ratio) const;
  // The button's size in design pixels.
  QSize FaceSize() const;
  void DrawCaption(QPainter& painter, bool pressed, bool disabled);
  void DrawContour(QPainter& painter, bool pressed);
  // The face piece `name` drawn for `ratio` (an end cap has its own finer
  // drawings; a body piece is drawn at 1x), recoloured to the current scheme
  // and lightening.
  const QImage& Piece(const QString& name, int ratio);

  PictureStore* pictures_;
  QHash<PieceKey, QImage> pieces_;
  ButtonColour color_sb_ = ButtonColour::kRed;
  QColor color_mouse_ = Qt::black;
  bool light_font_ = false;
  bool light_rect_ = false;
  bool gray_dis_ = false;
  ButtonHeight height_sb_ = ButtonHeight::k30;
  int light_percent_ = 0;
  bool kontur_ = true;
  QImage glyph_;
  QString glyph_picture_;
  GlyphLayout glyph_layout_ = GlyphLayout::kLeft;
  int margin_ = -1;
  double draw_scale_ = 1.0;
  bool mouse_in_pos_ = false;
};

}  // namespace braxo
