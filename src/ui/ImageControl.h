// An image control: a child widget that keeps its own pixels and reports
// presses, clicks and pointer movement. Its place and its picture are in
// design coordinates; on a scaled stage (the main window's) the picture is
// drawn scaled to the control's window rectangle and the pointer's positions
// are reported in the picture's pixels.
#pragma once

#include <QImage>
#include <QRegion>
#include <QWidget>

#include "ui/StageFit.h"

namespace braxo {

class ImageControl : public QWidget {
  Q_OBJECT

 public:
  explicit ImageControl(QWidget* parent);

  // Places the control and gives it a picture of its size at its pixel
  // ratio (kept when neither changes).
  void Place(int left, int top, int width, int height);
  // Where Place put the control, in design coordinates.
  const QRect& DesignRect() const { return design_rect_; }
  // Moves the control to its design place on `stage`.
  void SetStage(const StageFit& stage);
  // Device pixels per design pixel of the picture: it is made anew, black,
  // with this device pixel ratio when the ratio changes, so that painters
  // keep drawing in design coordinates at the finer resolution. A new
  // control starts at the ratio of its window's screen (a dialog's pictures
  // are sharp on a 200 % screen); a scaled stage sets its own.
  void SetPixelRatio(int ratio);
  int PixelRatio() const { return pixel_ratio_; }
  QImage& Image() { return image_; }
  const QImage& Image() const { return image_; }
  // Repaints the part of the control that shows `changed`, a region of the
  // picture in design pixels.
  void UpdatePicture(const QRegion& changed);

 signals:
  void Pressed(QPoint position);
  void Clicked();
  void Moved(QPoint position);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  void MakePicture();
  // The pointer's position in the picture's design pixels.
  QPoint ToPicture(const QPointF& position) const;

  QImage image_;
  QRect design_rect_;
  StageFit stage_;
  int pixel_ratio_;
  bool pressed_inside_ = false;
};

}  // namespace braxo
