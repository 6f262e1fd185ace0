// The five tile symbols (sun, daisy, water drop, sea shell, cloud), drawn to
// fill a square box of any size; shared by the tiles, the title sprites, the
// backgrounds and a few icons.
#pragma once

#include <QPainter>
#include <QRectF>

namespace braxo::art {

enum class Symbol { kSun, kDaisy, kDrop, kShell, kCloud };

void DrawSymbol(QPainter& painter, Symbol symbol, const QRectF& box);

// A flat one-colour silhouette of the symbol (for faint background patterns).
void DrawSymbolSilhouette(QPainter& painter, Symbol symbol, const QRectF& box,
                          const QColor& colour);

}  // namespace braxo::art
