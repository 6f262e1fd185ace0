// What the modal windows share: the fixed frame, the placement over the main
// window, the two warning pictures and the button caption font.
#pragma once

#include <QDialog>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QRect>

#include "ui/SkinnedButton.h"

namespace braxo {

// A fixed client area of width x height with a single border and only a
// close box.
void SetFixedDialogFrame(QDialog& dialog, int width, int height);
// Changes the fixed client width (the height stays).
void SetFixedDialogWidth(QDialog& dialog, int width);

// Centres `dialog` over its parent window (or the screen when it has none).
void CentreOnParent(QDialog& dialog);

// Arial bold with a character (em) height of `char_height` pixels: the
// caption font of the dialogs' skinned buttons.
QFont ButtonCaptionFont(int char_height);

// The dialogs' button look: `scheme` with the light face under the mouse and
// on focus, and a yellow caption in ButtonCaptionFont(char_height).
void StyleDialogButton(SkinnedButton& button, ButtonColour scheme, int char_height);

// True when `point` lies strictly inside the rectangle from (left, top) to
// (right, bottom): a point on the border is outside.
constexpr bool StrictlyInside(QPoint point, int left, int top, int right, int bottom) {
  return point.x() > left && point.x() < right && point.y() > top && point.y() < bottom;
}

// A red octagonal stop sign with the word STOP, 45 x 45, transparent around
// the octagon.
QImage DrawStopSign();
// A red-bordered warning triangle with an exclamation mark, 48 x 48,
// transparent around the triangle.
QImage DrawWarningTriangle();

}  // namespace braxo
