// The animated title screen: two frames, the date, the author and the
// version, the title in rotating colours and five tiles running round.
#pragma once

#include <QColor>
#include <QFont>
#include <QGlyphRun>
#include <QImage>
#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QRegion>
#include <QString>
#include <array>
#include <vector>

#include "ui/Pictures.h"

class QPainter;

namespace braxo {

class TitleScreen {
 public:
  static constexpr int kPaletteSize = 14;
  static constexpr int kSprites = 5;
  // The flow's title tick lasts two steps: the sprites keep their speed of a
  // pixel per 10 ms while the window wakes half as often.
  static constexpr int kStepsPerTick = 2;

  TitleScreen();

  // Still parts on a black 850 x 510 canvas, and the animation reset. The
  // canvas may have a device pixel ratio: everything is placed in design
  // pixels and drawn at the canvas's resolution, with the pictures drawn
  // for that ratio.
  void DrawStill(QImage& canvas, const QString& author, PictureStore& pictures);
  // Draws the whole screen again on a new canvas (another pixel ratio)
  // where the animation stands: the still parts, the title and the sprites,
  // without resetting or moving anything.
  void Redraw(QImage& canvas, const QString& author, const QString& title, PictureStore& pictures);
  // One animation step: the title letters, the palette turn every tenth
  // step, the sprites drawn and moved one pixel round the rectangle. Returns
  // the part of the canvas the step changed: the five sprites' squares, and
  // the title's box only when its letters were drawn again (the first step
  // after DrawStill, after a palette turn, or with another title).
  QRegion DrawStep(QImage& canvas, const QString& title, PictureStore& pictures);
  // The kStepsPerTick steps of one tick of the flow's title timer; returns
  // what they changed.
  QRegion DrawTick(QImage& canvas, const QString& title, PictureStore& pictures);

  // The title's font cell height and the extra drop of its letters for a
  // title of `length` characters.
  static int TitleHeight(int length);
  static int TitleDrop(int length);

  const std::array<QPoint, kSprites>& Sprites() const { return sprites_; }
  // Palette entry 1..14.
  QColor Palette(int entry) const { return palette_[entry - 1]; }
  int Ticks() const { return ticks_; }
  // Steps since DrawStill.
  int Steps() const { return steps_; }

  // Moves sprite `index` (0-based) one step along the rectangle
  // (163, 93)-(638, 358), clockwise, applying its four edge rules in its own
  // order.
  static QPoint MoveSprite(int index, QPoint position);

 private:
  void Reset();
  void PaintStill(QImage& canvas, const QString& author, PictureStore& pictures);
  // Sprite `index` (0-based) drawn for `ratio`, without an alpha channel
  // when it has no transparent pixel.
  const QImage& SpritePicture(int index, int ratio, PictureStore& pictures);
  // One animation step drawn with `painter`, open on the canvas.
  QRegion Step(QPainter& painter, int ratio, const QRect& design_rect, const QString& title,
               PictureStore& pictures);
  // Shapes `title`'s letters for the canvas's ratio and places its box.
  void LayOutLetters(const QString& title, int ratio, const QRect& design_rect);
  // The letters of `title` in the current palette; returns their box.
  QRect DrawLetters(QPainter& painter, int ratio, const QRect& design_rect, const QString& title);
  // Draws the sprites where they stand; returns their squares.
  QRegion DrawSprites(QPainter& painter, int ratio, PictureStore& pictures);

  // The title's letters as shaped for one title and ratio.
  struct LettersLayout {
    struct Letter {
      QPointF origin;  // of the letter's line, in the box, design pixels
      QGlyphRun glyphs;
      int number;  // 1-based place in the title
    };
    QString title;
    int ratio = 0;
    QFont font;
    QRect box;
    std::vector<Letter> letters;
  };

  std::array<QPoint, kSprites> sprites_;
  std::array<QColor, kPaletteSize> palette_;
  int ticks_ = 0;
  int steps_ = 0;
  std::array<QImage, kSprites> sprite_pictures_;
  int sprite_ratio_ = 0;  // the ratio sprite_pictures_ were drawn for
  // The letters' layer, kept between palette turns (its size changes only
  // with the title or the canvas's ratio).
  QImage letters_layer_;
  LettersLayout letters_layout_;
  // The title as last drawn, and whether the palette turned since.
  QString drawn_title_;
  bool letters_stale_ = true;
};

}  // namespace braxo
