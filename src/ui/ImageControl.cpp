#include "ui/ImageControl.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>

namespace braxo {

ImageControl::ImageControl(QWidget* parent) : QWidget(parent) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageControl::Place(int left, int top, int width, int height) {
  setGeometry(left, top, width, height);
  if (image_.width() != width || image_.height() != height) {
    image_ = QImage(width, height, QImage::Format_RGB32);
    image_.fill(Qt::black);
  }
}

void ImageControl::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  for (const QRect& part : event->region()) painter.drawImage(part.topLeft(), image_, part);
}

void ImageControl::mousePressEvent(QMouseEvent* event) {
  pressed_inside_ = true;
  emit Pressed(event->position().toPoint());
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_inside_ && rect().contains(event->position().toPoint());
  pressed_inside_ = false;
  if (click) emit Clicked();
}

void ImageControl::mouseMoveEvent(QMouseEvent* event) { emit Moved(event->position().toPoint()); }

}  // namespace braxo
