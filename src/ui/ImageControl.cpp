#include "ui/ImageControl.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <cmath>

#include "ui/Pictures.h"

namespace braxo {

ImageControl::ImageControl(QWidget* parent)
    : QWidget(parent), pixel_ratio_(PictureRatioForScale(devicePixelRatioF())) {
  setMouseTracking(true);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageControl::Place(int left, int top, int width, int height) {
  design_rect_ = QRect(left, top, width, height);
  setGeometry(stage_.ToWindow(design_rect_));
  if (image_.width() != width * pixel_ratio_ || image_.height() != height * pixel_ratio_)
    MakePicture();
}

void ImageControl::MakePicture() {
  image_ = QImage(design_rect_.size() * pixel_ratio_, QImage::Format_RGB32);
  image_.setDevicePixelRatio(pixel_ratio_);
  image_.fill(Qt::black);
}

void ImageControl::SetPixelRatio(int ratio) {
  if (ratio < 1 || ratio == pixel_ratio_) return;
  pixel_ratio_ = ratio;
  MakePicture();
}

void ImageControl::SetStage(const StageFit& stage) {
  stage_ = stage;
  if (!design_rect_.isNull()) setGeometry(stage_.ToWindow(design_rect_));
}

void ImageControl::UpdatePicture(const QRegion& changed) {
  if (design_rect_.isEmpty() || size() == design_rect_.size()) {
    update(changed);
    return;
  }
  const double x_scale = static_cast<double>(width()) / design_rect_.width();
  const double y_scale = static_cast<double>(height()) / design_rect_.height();
  QRegion scaled;
  for (const QRect& part : changed) {
    // A pixel more on each side for the smoothing of the enlarged picture.
    scaled += QRectF(part.x() * x_scale, part.y() * y_scale, part.width() * x_scale,
                     part.height() * y_scale)
                  .toAlignedRect()
                  .adjusted(-1, -1, 1, 1);
  }
  update(scaled);
}

QPoint ImageControl::ToPicture(const QPointF& position) const {
  if (design_rect_.isEmpty() || size() == design_rect_.size()) return position.toPoint();
  return {static_cast<int>(std::floor(position.x() * design_rect_.width() / width())),
          static_cast<int>(std::floor(position.y() * design_rect_.height() / height()))};
}

void ImageControl::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  if (pixel_ratio_ == 1 && size() == image_.size()) {
    for (const QRect& part : event->region()) painter.drawImage(part.topLeft(), image_, part);
    return;
  }
  // The painter is clipped to the region asked for.
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(rect(), image_);
}

void ImageControl::mousePressEvent(QMouseEvent* event) {
  pressed_inside_ = true;
  emit Pressed(ToPicture(event->position()));
}

void ImageControl::mouseReleaseEvent(QMouseEvent* event) {
  const bool click = pressed_inside_ && rect().contains(event->position().toPoint());
  pressed_inside_ = false;
  if (click) emit Clicked();
}

void ImageControl::mouseMoveEvent(QMouseEvent* event) { emit Moved(ToPicture(event->position())); }

}  // namespace braxo
