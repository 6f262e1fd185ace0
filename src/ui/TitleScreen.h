// The animated title screen: two frames, the date, the author and the
// version, the title in rotating colours and five tiles running round.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRegion>
#include <QString>
#include <array>

#include "ui/Pictures.h"

namespace braxo {

class TitleScreen {
 public:
  static constexpr int kPaletteSize = 14;
  static constexpr int kSprites = 5;
  // The flow's title tick lasts two steps: the sprites keep their speed of a
  // pixel per 10 ms while the window wakes half as often.
  static constexpr int kStepsPerTick = 2;

  TitleScreen();

  // Still parts on a black 850 x 510 canvas, and the animation reset.
  void DrawStill(QImage& canvas, const QString& author, PictureStore& pictures);
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
  // Sprite `index` (0-based), without an alpha channel when it has no
  // transparent pixel.
  const QImage& SpritePicture(int index, PictureStore& pictures);
  // The letters of `title` in the current palette; returns their box.
  QRect DrawLetters(QImage& canvas, const QString& title) const;

  std::array<QPoint, kSprites> sprites_;
  std::array<QColor, kPaletteSize> palette_;
  int ticks_ = 0;
  int steps_ = 0;
  std::array<QImage, kSprites> sprite_pictures_;
  // The title as last drawn, and whether the palette turned since.
  QString drawn_title_;
  bool letters_stale_ = true;
};

}  // namespace braxo
