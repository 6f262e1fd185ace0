// The main window's content is one picture of the design size, scaled to fit
// the window with its proportions kept and centred in it; the room left over
// shows the backdrop. Every control keeps its place in design coordinates,
// and the game sees clicks in design coordinates at any window size.
#pragma once

#include <QPoint>
#include <QPointF>
#include <QRect>
#include <QSize>

namespace braxo {

struct StageFit {
  // Window pixels per design pixel (logical pixels: the device pixel ratio
  // comes on top of it).
  double scale = 1.0;
  // Where the design's top-left corner lies in the window.
  QPointF offset;

  // The window rectangle of a design rectangle. Edges are rounded one by one,
  // so controls that touch in the design touch in the window.
  QRect ToWindow(const QRect& design) const;
  // The design point under a window point (it may lie outside the design).
  QPoint ToDesign(const QPointF& window) const;
};

// The largest scale at which `design` fits inside `window`, centred. A window
// smaller than the design (which the window's minimum size prevents) still
// gets a positive scale.
StageFit FitStage(const QSize& window, const QSize& design);

}  // namespace braxo
