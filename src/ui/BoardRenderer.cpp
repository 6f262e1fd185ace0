#include "ui/BoardRenderer.h"

#include <QFontMetrics>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <utility>
#include <vector>

#include "ui/Drawing.h"

namespace braxo {

QString TilePictureName(const TileCode& code, bool selected) {
  if (code.size() != 2) return {};
  const char* family = nullptr;
  switch (code[0]) {
    case 's':
      family = "Sun";
      break;
    case 'r':
      family = "Rom";
      break;
    case 'k':
      family = "Kap";
      break;
    case 'x':
      family = "Rak";
      break;
    case 'o':
      family = "Obl";
      break;
    default:
      return {};
  }
  return QStringLiteral("%1%2%3").arg(selected ? "GV" : "GK", QLatin1String(family),
                                      QChar::fromLatin1(code[1]));
}

QString LevelPictureName(GameMode mode, int level) {
  return QStringLiteral("Level%1_%2").arg(static_cast<int>(mode)).arg(level);
}

namespace {

// The tile's picture with black laid over its own pixels only, so that the
// tiles and the picture around it keep their colours.
QImage ShadedTile(const QImage& tile) {
  QImage shaded = tile.convertToFormat(QImage::Format_ARGB32_Premultiplied);
  QPainter painter(&shaded);
  painter.setCompositionMode(QPainter::CompositionMode_SourceAtop);
  painter.fillRect(shaded.rect(), QColor(0, 0, 0, kBlockedTileShade));
  return shaded;
}

void DrawTileFrame(QPainter& painter, const CellRect& rect, const QColor& colour) {
  QPen pen(colour);
  pen.setWidth(4);
  painter.setPen(pen);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(rect.left + 2, rect.top + 2, kTileSize - 5, kTileSize - 5);
}

void DrawPausePanel(QPainter& painter, const QRect& area, const BoardOverlay& overlay) {
  painter.fillRect(area, kPausePanelColour);
  painter.setPen(Qt::white);
  painter.setFont(CellHeightFont(ArialFamily(), 44, true));
  painter.drawText(QRect(area.left(), area.top(), area.width(), area.height() / 2 + 10),
                   Qt::AlignHCenter | Qt::AlignBottom, overlay.pause_title);
  painter.setFont(CellHeightFont(ArialFamily(), 18, true));
  painter.drawText(QRect(area.left() + 20, area.center().y() + 24, area.width() - 40, 80),
                   Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap, overlay.pause_hint);
}

// A dark plate across the middle of the picture with the lines on it, each
// wrapped to the plate's width.
void DrawMessage(QPainter& painter, const QRect& area, const QStringList& lines) {
  const int width = area.width() - 40;
  const int flags = Qt::AlignHCenter | Qt::AlignTop | Qt::TextWordWrap;
  std::vector<std::pair<QFont, QRect>> parts;
  int height = 0;
  for (int i = 0; i < lines.size(); ++i) {
    const QFont font = CellHeightFont(ArialFamily(), i == 0 ? 24 : 18, true);
    const QRect bounds =
        QFontMetrics(font).boundingRect(QRect(0, 0, width - 24, 1000), flags, lines[i]);
    parts.emplace_back(font, bounds);
    height += bounds.height() + (i == 0 ? 0 : 8);
  }
  const QRect plate(area.left() + 20, area.center().y() - (height + 28) / 2, width, height + 28);
  painter.setRenderHint(QPainter::Antialiasing);
  painter.setPen(QPen(QColor(255, 255, 255, 200), 2));
  painter.setBrush(QColor(0, 0, 0, 190));
  painter.drawRoundedRect(plate, 12, 12);
  int y = plate.top() + 14;
  for (int i = 0; i < lines.size(); ++i) {
    painter.setFont(parts[i].first);
    painter.setPen(i == 0 ? QColor(255, 225, 90) : QColor(Qt::white));
    if (i > 0) y += 8;
    painter.drawText(QRect(plate.left() + 12, y, width - 24, parts[i].second.height()), flags,
                     lines[i]);
    y += parts[i].second.height();
  }
  painter.setRenderHint(QPainter::Antialiasing, false);
}

}  // namespace

void RenderBoard(QImage& board_image, const Board& board, const BoardOverlay& overlay,
                 const GameStatus& status, PictureStore& pictures) {
  const CellRect& first = board.Rect({1, 1, 1});
  const int ratio = std::clamp(static_cast<int>(std::lround(board_image.devicePixelRatio())), 1, 3);
  {
    // The frame is drawn pixel by pixel at the design's resolution; at a
    // finer one it is enlarged as it is, its bevel lines staying crisp.
    QImage design;
    if (ratio != 1) design = QImage(board_image.size() / ratio, QImage::Format_RGB32);
    QImage& canvas = ratio == 1 ? board_image : design;
    {
      QPainter painter(&canvas);
      PaintBackdrop(painter, pictures.LoadJpegResource("BG"), kBoardImageLeft, kBoardImageTop);
    }
    DrawFrame(first.left + 7, first.top + 7, board.Rect({1, 1, 6}).right + 21,
              board.Rect({1, 5, 1}).bottom + 21, canvas);
    if (ratio != 1) QPainter(&board_image).drawImage(QRect(QPoint(0, 0), design.size()), design);
  }
  QPainter painter(&board_image);
  painter.setRenderHint(QPainter::SmoothPixmapTransform, ratio != 1);
  const QImage& level_picture =
      pictures.LoadJpegResource(LevelPictureName(status.mode, status.level));
  // The level picture fills the frame's inside.
  const QRect inside(first.left + 14, first.top + 14, level_picture.width(),
                     level_picture.height());
  if (overlay.paused) {
    DrawPausePanel(painter, inside, overlay);
    return;
  }
  painter.drawImage(inside.topLeft(), level_picture);
  ForEachCellInBoardOrder([&](const BoardCell& cell) {
    if (!board.HasTile(cell)) return;
    const QString name = TilePictureName(board.Code(cell), cell == overlay.selection);
    if (name.isEmpty()) return;
    const CellRect& rect = board.Rect(cell);
    const int left = rect.left + (cell == overlay.shaken ? overlay.shake_offset : 0);
    const QImage& tile = pictures.LoadPicture(name, ratio);
    if (overlay.mark_free_tiles && !board.IsTileFree(cell))
      painter.drawImage(left, rect.top, ShadedTile(tile));
    else
      painter.drawImage(left, rect.top, tile);
  });
  if (overlay.hint) {
    DrawTileFrame(painter, board.Rect(overlay.hint->first), kHintColour);
    DrawTileFrame(painter, board.Rect(overlay.hint->second), kHintColour);
  }
  if (overlay.focus.IsValid() && board.HasTile(overlay.focus))
    DrawTileFrame(painter, board.Rect(overlay.focus), kFocusColour);
  if (!overlay.message.isEmpty()) DrawMessage(painter, inside, overlay.message);
}

void RenderBoard(QImage& board_image, const Board& board, const BoardCell& selection,
                 const GameStatus& status, PictureStore& pictures) {
  BoardOverlay overlay;
  overlay.selection = selection;
  RenderBoard(board_image, board, overlay, status, pictures);
}

void DrawBurst(QImage& board_image, int frame, int x, int y, PictureStore& pictures) {
  QPainter painter(&board_image);
  painter.drawImage(x, y, pictures.PictureFor(painter, QStringLiteral("GBax%1").arg(frame)));
}

}  // namespace braxo
