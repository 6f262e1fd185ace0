#include "ui/Drawing.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <algorithm>
#include <cmath>

namespace braxo {
namespace {

// A line as the game's canvas draws it: every pixel from the start up to,
// but not including, the end. Lines here are horizontal, vertical or
// diagonal. On a finer canvas each design pixel is a square of device pixels.
void LineTo(QImage& canvas, int x0, int y0, int x1, int y1, QRgb colour) {
  const int ratio = std::max(1, static_cast<int>(std::lround(canvas.devicePixelRatio())));
  const int dx = (x1 > x0) - (x1 < x0);
  const int dy = (y1 > y0) - (y1 < y0);
  int x = x0;
  int y = y0;
  while (x != x1 || y != y1) {
    if (x >= 0 && y >= 0 && x < canvas.width() / ratio && y < canvas.height() / ratio) {
      for (int sy = 0; sy < ratio; ++sy)
        for (int sx = 0; sx < ratio; ++sx) canvas.setPixel(x * ratio + sx, y * ratio + sy, colour);
    }
    if (x != x1) x += dx;
    if (y != y1) y += dy;
  }
}

// The closed path (a, b) -> (c, b) -> (c, d) -> (a, d) -> (a, b).
void Outline(QImage& canvas, int a, int b, int c, int d, QRgb colour) {
  LineTo(canvas, a, b, c, b, colour);
  LineTo(canvas, c, b, c, d, colour);
  LineTo(canvas, c, d, a, d, colour);
  LineTo(canvas, a, d, a, b, colour);
}

// From (a, b) to (c, d) and on to (c + 1, d - 1).
void Line(QImage& canvas, int a, int b, int c, int d, QRgb colour) {
  LineTo(canvas, a, b, c, d, colour);
  LineTo(canvas, c, d, c + 1, d - 1, colour);
}

}  // namespace

int RoundHalfEven(double value) { return static_cast<int>(std::nearbyint(value)); }

void DrawFrame(int x1, int y1, int x2, int y2, QImage& canvas) {
  const QRgb silver = qRgb(192, 192, 192);
  const QRgb white = qRgb(255, 255, 255);
  const QRgb black = qRgb(0, 0, 0);
  {
    QPainter painter(&canvas);
    // The filled rectangle excludes its right and bottom edges, which the
    // rims draw over.
    painter.fillRect(QRect(QPoint(x1, y1), QPoint(x2 - 1, y2 - 1)), QColor(silver));
  }
  Outline(canvas, x1, y1, x2, y2, white);
  Outline(canvas, x1 + 1, y1 + 1, x2 - 1, y2 - 1, white);
  Line(canvas, x1 + 1, y2, x2, y2, black);
  Line(canvas, x1 + 2, y2 - 1, x2, y2 - 1, black);
  Line(canvas, x2, y1, x2, y2, black);
  Line(canvas, x2 - 1, y1 + 1, x2 - 1, y2, black);
  Outline(canvas, x1 + 5, y1 + 5, x2 - 5, y2 - 5, black);
  Outline(canvas, x1 + 6, y1 + 6, x2 - 6, y2 - 6, black);
  Line(canvas, x1 + 6, y2 - 5, x2 - 5, y2 - 5, white);
  Line(canvas, x1 + 7, y2 - 6, x2 - 5, y2 - 6, white);
  Line(canvas, x2 - 5, y1 + 6, x2 - 5, y2 - 6, white);
  Line(canvas, x2 - 6, y1 + 7, x2 - 6, y2 - 6, white);
}

QString ArialFamily() { return QStringLiteral("Liberation Sans"); }
QString ComicFamily() { return QStringLiteral("Comic Neue"); }

void RegisterEmbeddedFonts() {
  for (const char* file : {":/fonts/LiberationSans-Regular.ttf", ":/fonts/LiberationSans-Bold.ttf",
                           ":/fonts/ComicNeue-Regular.ttf", ":/fonts/ComicNeue-Bold.ttf"}) {
    QFontDatabase::addApplicationFont(QString::fromLatin1(file));
  }
}

QFont CellHeightFont(const QString& family, int cell_height, bool bold) {
  QFont font(family);
  font.setBold(bold);
  font.setStyleStrategy(QFont::PreferAntialias);
  // Start from the usual em-to-cell ratio of the family and correct by the
  // measured metrics, so the cell height is met whatever the font reports.
  int pixel_size = std::max(1, RoundHalfEven(cell_height / 1.15));
  for (int tries = 0; tries < 4; ++tries) {
    font.setPixelSize(pixel_size);
    const QFontMetrics metrics(font);
    const int height = metrics.ascent() + metrics.descent();
    if (height == cell_height) break;
    pixel_size += cell_height > height ? 1 : -1;
    if (pixel_size < 1) {
      pixel_size = 1;
      break;
    }
  }
  font.setPixelSize(pixel_size);
  return font;
}

// Integer division truncates toward zero, as the rule wants: a text 5 pixels
// too wide starts 2 pixels left of x1, not 3.
int CenteredLeft(int x1, int x2, int width) { return x1 + (x2 - x1 - width) / 2; }

void DrawTextCentered(QPainter& painter, const QString& text, int x1, int x2, int y) {
  const QFontMetrics metrics(painter.font());
  painter.drawText(CenteredLeft(x1, x2, metrics.horizontalAdvance(text)), y + metrics.ascent(),
                   text);
}

void DrawTextRight(QPainter& painter, const QString& text, int x, int y) {
  const QFontMetrics metrics(painter.font());
  painter.drawText(x - metrics.horizontalAdvance(text), y + metrics.ascent(), text);
}

QColor ShadowColour(const QColor& colour) {
  return QColor(RoundHalfEven(colour.red() / 2.0), RoundHalfEven(colour.green() / 2.0),
                RoundHalfEven(colour.blue() / 2.0));
}

void DrawShadowText(QPainter& painter, const QString& text, int x1, int x2, int y,
                    const QColor& colour, char alignment) {
  const QFontMetrics metrics(painter.font());
  const int width = metrics.horizontalAdvance(text);
  int left = x1;
  if (alignment == 'c') left = CenteredLeft(x1, x2, width);
  if (alignment == 'r') left = x2 - width;
  const int baseline = y + metrics.ascent();
  painter.save();
  painter.setPen(ShadowColour(colour));
  painter.drawText(left + 1, baseline + 1, text);
  painter.setPen(colour);
  painter.drawText(left, baseline, text);
  painter.restore();
}

void PaintBackdrop(QPainter& painter, const QImage& background, int left, int top) {
  painter.drawImage(-left, -top, background);
}

}  // namespace braxo
