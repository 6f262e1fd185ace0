// Compares a picture drawn at a finer ratio with the same picture drawn at 1x
// and enlarged: the finer one holds more detail (sharper edges) and, brought
// back down to 1x, is still the same picture.
#pragma once

#include <QImage>
#include <QRect>
#include <cstdlib>
#include <vector>

namespace braxo::testing {

// Squared differences between neighbouring pixels inside `areas`: a sharp
// edge of height h counts h², the same edge blurred over two pixels h² / 2.
inline double EdgeEnergy(const QImage& image, const std::vector<QRect>& areas) {
  double energy = 0;
  for (const QRect& area : areas) {
    for (int y = area.top(); y < area.bottom(); ++y) {
      for (int x = area.left(); x < area.right(); ++x) {
        const QRgb here = image.pixel(x, y);
        for (const QRgb next : {image.pixel(x + 1, y), image.pixel(x, y + 1)}) {
          for (const int shift : {0, 8, 16}) {
            const int d =
                static_cast<int>((here >> shift) & 0xff) - static_cast<int>((next >> shift) & 0xff);
            energy += d * d;
          }
        }
      }
    }
  }
  return energy;
}

struct SharpnessComparison {
  double sharp = 0;    // edge energy of the finer drawing
  double blurred = 0;  // edge energy of the 1x drawing enlarged to the same size
  // Mean absolute difference per pixel (red + green + blue) between the 1x
  // drawing and the finer one brought down to 1x.
  double mean_difference = 0;
};

// `design` is drawn at 1x, `fine` at an integer ratio of it; `areas` are in
// design pixels.
inline SharpnessComparison CompareWithEnlarged(const QImage& design, const QImage& fine,
                                               const std::vector<QRect>& areas) {
  const int ratio = fine.width() / design.width();
  std::vector<QRect> fine_areas;
  for (const QRect& area : areas) {
    fine_areas.emplace_back(area.topLeft() * ratio, area.size() * ratio);
  }
  const QImage enlarged =
      design.scaled(fine.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  SharpnessComparison result;
  result.sharp = EdgeEnergy(fine, fine_areas);
  result.blurred = EdgeEnergy(enlarged, fine_areas);

  QImage reduced = fine.scaled(design.size(), Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
  reduced.setDevicePixelRatio(1);
  double total_difference = 0;
  int pixels = 0;
  for (const QRect& area : areas) {
    for (int y = area.top(); y <= area.bottom(); ++y) {
      for (int x = area.left(); x <= area.right(); ++x) {
        const QColor a = design.pixelColor(x, y);
        const QColor b = reduced.pixelColor(x, y);
        total_difference += std::abs(a.red() - b.red()) + std::abs(a.green() - b.green()) +
                            std::abs(a.blue() - b.blue());
        ++pixels;
      }
    }
  }
  result.mean_difference = pixels > 0 ? total_difference / pixels : 0;
  return result;
}

}  // namespace braxo::testing
