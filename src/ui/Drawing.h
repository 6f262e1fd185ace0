// The small drawing operations the main window and the dialogs share.
#pragma once

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

namespace braxo {

// Round to the nearest integer, a half going to the even neighbour.
int RoundHalfEven(double value);

// The bevelled frame: a silver plate with a raised outer rim and a sunken
// inner rim 5 pixels inside, drawn pixel-exact into `canvas` (in design
// pixels, each a square of device pixels on a canvas with a pixel ratio).
void DrawFrame(int x1, int y1, int x2, int y2, QImage& canvas);

// The family names of the embedded fonts that stand for Arial and Comic
// Sans MS: the layout's pixel positions assume their metrics.
QString ArialFamily();
QString ComicFamily();
// Registers the embedded fonts with the application (once, at start-up).
void RegisterEmbeddedFonts();

// A font whose cell height (ascent plus descent) is `cell_height` pixels.
QFont CellHeightFont(const QString& family, int cell_height, bool bold);

// The left edge of a text `width` pixels wide centred between x1 and x2:
// x1 + trunc((x2 - x1 - width) / 2).
int CenteredLeft(int x1, int x2, int width);
// Text with its left edge at CenteredLeft(x1, x2, width) and its top at y, in
// the painter's font and pen.
void DrawTextCentered(QPainter& painter, const QString& text, int x1, int x2, int y);
// Text that ends at x (left edge x - width), top at y.
void DrawTextRight(QPainter& painter, const QString& text, int x, int y);
// Text over its shadow (each component halved, halves to even) one pixel
// right and down; alignment 'l' (left at x1), 'c' (centred) or 'r' (right
// edge at x2).
void DrawShadowText(QPainter& painter, const QString& text, int x1, int x2, int y,
                    const QColor& colour, char alignment);
QColor ShadowColour(const QColor& colour);

// The backdrop rule: a control at (left, top) of the main window first shows
// the part of the background that lies under it.
void PaintBackdrop(QPainter& painter, const QImage& background, int left, int top);

}  // namespace braxo
