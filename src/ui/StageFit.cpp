#include "ui/StageFit.h"

#include <algorithm>
#include <cmath>

namespace braxo {

QRect StageFit::ToWindow(const QRect& design) const {
  const auto edge = [this](double at, double origin) {
    return static_cast<int>(std::lround(origin + at * scale));
  };
  const int left = edge(design.left(), offset.x());
  const int top = edge(design.top(), offset.y());
  const int right = edge(design.left() + design.width(), offset.x());
  const int bottom = edge(design.top() + design.height(), offset.y());
  return {left, top, right - left, bottom - top};
}

QPoint StageFit::ToDesign(const QPointF& window) const {
  return {static_cast<int>(std::floor((window.x() - offset.x()) / scale)),
          static_cast<int>(std::floor((window.y() - offset.y()) / scale))};
}

StageFit FitStage(const QSize& window, const QSize& design) {
  StageFit fit;
  if (design.isEmpty() || window.isEmpty()) return fit;
  fit.scale = std::min(static_cast<double>(window.width()) / design.width(),
                       static_cast<double>(window.height()) / design.height());
  fit.offset = QPointF((window.width() - design.width() * fit.scale) / 2,
                       (window.height() - design.height() * fit.scale) / 2);
  return fit;
}

}  // namespace braxo
