// An image control: a child widget that keeps its own pixels and reports
// presses, clicks and pointer movement.
#pragma once

#include <QImage>
#include <QWidget>

namespace braxo {

class ImageControl : public QWidget {
  Q_OBJECT

 public:
  explicit ImageControl(QWidget* parent);

  // Places the control and gives it a picture of its size (kept when the
  // size does not change).
  void Place(int left, int top, int width, int height);
  QImage& Image() { return image_; }
  const QImage& Image() const { return image_; }

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
  QImage image_;
  bool pressed_inside_ = false;
};

}  // namespace braxo
