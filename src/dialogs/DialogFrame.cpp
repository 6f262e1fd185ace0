#include "dialogs/DialogFrame.h"

#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <QScreen>
#include <cmath>

#include "ui/Drawing.h"

namespace braxo {

void SetFixedDialogFrame(QDialog& dialog, int width, int height) {
  dialog.setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                        Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  dialog.setFixedSize(width, height);
}

void SetFixedDialogWidth(QDialog& dialog, int width) {
  dialog.setFixedSize(width, dialog.height());
}

void CentreOnParent(QDialog& dialog) {
  QRect area;
  if (const QWidget* parent = dialog.parentWidget()) {
    area = parent->window()->frameGeometry();
  } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
    area = screen->availableGeometry();
  } else {
    return;
  }
  // The frame is not known before the first showing; the client area is
  // centred then, which differs only by the title bar.
  const QRect frame = dialog.frameGeometry();
  dialog.move(area.center() - QPoint(frame.width() / 2, frame.height() / 2));
}

QFont ButtonCaptionFont(int char_height) {
  QFont font(ArialFamily());
  font.setBold(true);
  font.setPixelSize(char_height);
  font.setStyleStrategy(QFont::PreferAntialias);
  return font;
}

void StyleDialogButton(SkinnedButton& button, ButtonColour scheme, int char_height) {
  button.SetColorSB(scheme);
  button.SetLightRect(true);
  button.SetLightFont(false);
  button.SetGrayDis(true);
  button.SetKLightSB(0);
  button.setFont(ButtonCaptionFont(char_height));
  QPalette palette = button.palette();
  palette.setColor(QPalette::ButtonText, QColor(255, 255, 0));
  button.setPalette(palette);
  // Enter belongs to the window (the entry field confirms with it), not to
  // whichever button has the focus.
  button.setAutoDefault(false);
  button.setDefault(false);
}

namespace {

// The regular polygon of `corners` corners around `centre`, the first corner
// at `start_degrees` (clockwise from the right, as the screen's y grows down).
QPolygonF RegularPolygon(QPointF centre, double radius, int corners, double start_degrees) {
  QPolygonF polygon;
  for (int i = 0; i < corners; ++i) {
    const double angle = (start_degrees + 360.0 * i / corners) * M_PI / 180.0;
    polygon << centre + QPointF(radius * std::cos(angle), radius * std::sin(angle));
  }
  return polygon;
}

// The largest bold Arial whose `text` fits into `width` x `height`.
QFont FittingFont(const QString& text, double width, double height) {
  QFont font(ArialFamily());
  font.setBold(true);
  for (int size = 40; size > 4; --size) {
    font.setPixelSize(size);
    const QFontMetricsF metrics(font);
    if (metrics.horizontalAdvance(text) <= width && metrics.capHeight() <= height) break;
  }
  return font;
}

}  // namespace

QImage DrawStopSign() {
  QImage image(45, 45, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  const QPointF centre(22.5, 22.5);
  // Flat sides at top, bottom, left and right: the corners sit 22.5 degrees
  // off the axes.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(255, 255, 255));
  painter.drawPolygon(RegularPolygon(centre, 22.4, 8, 22.5));
  painter.setBrush(QColor(204, 0, 0));
  painter.drawPolygon(RegularPolygon(centre, 20.4, 8, 22.5));
  painter.setPen(QPen(QColor(255, 255, 255), 1.0));
  painter.setBrush(Qt::NoBrush);
  painter.drawPolygon(RegularPolygon(centre, 18.2, 8, 22.5));

  const QString word = QStringLiteral("STOP");
  const QFont font = FittingFont(word, 32, 12);
  painter.setFont(font);
  const QFontMetricsF metrics(font);
  const double left = centre.x() - metrics.horizontalAdvance(word) / 2;
  const double baseline = centre.y() + metrics.capHeight() / 2;
  painter.setPen(QColor(255, 255, 255));
  painter.drawText(QPointF(left, baseline), word);
  return image;
}

QImage DrawWarningTriangle() {
  QImage image(48, 48, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::transparent);
  QPainter painter(&image);
  painter.setRenderHint(QPainter::Antialiasing);
  QPainterPath outline;
  outline.moveTo(24, 3);
  outline.lineTo(45.5, 42);
  outline.lineTo(2.5, 42);
  outline.closeSubpath();
  QPen border(QColor(220, 0, 0), 4.5);
  border.setJoinStyle(Qt::RoundJoin);
  painter.setPen(border);
  painter.setBrush(QColor(255, 255, 255));
  painter.drawPath(outline);

  // The exclamation mark: a tapering bar and a round dot.
  painter.setPen(Qt::NoPen);
  painter.setBrush(QColor(0, 0, 0));
  QPolygonF bar;
  bar << QPointF(21.6, 15) << QPointF(26.4, 15) << QPointF(25.2, 30) << QPointF(22.8, 30);
  painter.drawPolygon(bar);
  painter.drawEllipse(QPointF(24, 35), 2.3, 2.3);
  return image;
}

}  // namespace braxo
