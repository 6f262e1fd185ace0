// The animated title screen: two frames, the date, the author and the
// version, the title in rotating colours and five tiles running round.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QString>
#include <array>

#include "ui/Pictures.h"

namespace braxo {

class TitleScreen {
 public:
  static constexpr int kPaletteSize = 14;
  static constexpr int kSprites = 5;

  TitleScreen();

  // Still parts on a black 850 x 510 canvas, and the animation reset.
  void DrawStill(QImage& canvas, const QString& author, PictureStore& pictures);
  // One animation step: the title letters, the palette turn every tenth
  // step, the sprites drawn and moved one pixel round the rectangle.
  void DrawStep(QImage& canvas, const QString& title, PictureStore& pictures);

  // The title's font cell height and the extra drop of its letters for a
  // title of `length` characters.
  static int TitleHeight(int length);
  static int TitleDrop(int length);

  const std::array<QPoint, kSprites>& Sprites() const { return sprites_; }
  // Palette entry 1..14.
  QColor Palette(int entry) const { return palette_[entry - 1]; }
  int Ticks() const { return ticks_; }

  // Moves sprite `index` (0-based) one step along the rectangle
  // (163, 93)-(638, 358), clockwise, applying its four edge rules in its own
  // order.
  static QPoint MoveSprite(int index, QPoint position);

 private:
  void Reset();

  std::array<QPoint, kSprites> sprites_;
  std::array<QColor, kPaletteSize> palette_;
  int ticks_ = 0;
};

}  // namespace braxo
