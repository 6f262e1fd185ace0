// The groups of pictures and sounds the generator writes. Each group is
// independent of the others, so they may run on separate threads.
#pragma once

#include <QImage>
#include <QPainter>
#include <QString>

#include "AssetWriter.h"
#include "Symbols.h"

namespace braxo::art {

// Game tiles "GK…"/"GV…" and the title sprites "Sprite1".."Sprite5".
void MakeTiles(AssetWriter& writer);
// The removal burst "GBax1".."GBax26".
void MakeBursts(AssetWriter& writer);
// The account stars "StarR0", "StarY0", "StarG0".
void MakeStars(AssetWriter& writer);
// "BG", "BGAccount" and the fifteen level pictures.
void MakeScenes(AssetWriter& writer);
// Frames, photo frame, placeholder photos, button pieces and "GFree".
void MakeFrames(AssetWriter& writer);
// Icons, lamps, glyphs, arrows, medal, profile field icons and sex icons.
void MakeIcons(AssetWriter& writer);
// Caption letterings, the program icon and the makers' mark.
void MakeLettering(AssetWriter& writer);
// Language flags and country flags from the flag SVG folder (4 x 3 set).
void MakeLanguageFlags(AssetWriter& writer, const QString& flag_dir);
void MakeCountryFlags(AssetWriter& writer, const QString& flag_dir);
// Every sound effect.
void MakeSounds(AssetWriter& writer);

// Tile colours: ivory face with a red rim for a normal tile, magenta for a
// selected one.
struct TileColours {
  QColor face_top;
  QColor face_bottom;
  QColor rim;
  QColor side_near;
  QColor side_far;
  QColor digit;
};
TileColours NormalTileColours();
TileColours SelectedTileColours();

// Paints a tile with its face `face` pixels square at `origin` and its side
// showing `depth` pixels to the right and below; the symbol and digit are
// optional (an empty digit draws none).
void PaintTile(QPainter& painter, QPointF origin, double face, double depth,
               const TileColours& colours, const Symbol* symbol, const QString& digit);

// The program icon, two tiles, in a square of `size` pixels at the
// painter's origin: "Icon064" and the desktop's icons are this one drawing.
void PaintProgramIcon(QPainter& painter, double size);

// Shared icon pieces.
void PaintMedal(QPainter& painter, const QRectF& box);
void PaintGlobe(QPainter& painter, QPointF centre, double radius, uint32_t salt);
void PaintEnvelope(QPainter& painter, const QRectF& box, const QColor& paper, const QColor& line);

}  // namespace braxo::art
