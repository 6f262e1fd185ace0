#include "ui/BoardRenderer.h"

#include <QPainter>

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

void RenderBoard(QImage& board_image, const Board& board, const BoardCell& selection,
                 const GameStatus& status, PictureStore& pictures) {
  const CellRect& first = board.Rect({1, 1, 1});
  {
    QPainter painter(&board_image);
    PaintBackdrop(painter, pictures.LoadJpegResource("BG"), kBoardImageLeft, kBoardImageTop);
  }
  DrawFrame(first.left + 7, first.top + 7, board.Rect({1, 1, 6}).right + 21,
            board.Rect({1, 5, 1}).bottom + 21, board_image);
  QPainter painter(&board_image);
  painter.drawImage(first.left + 14, first.top + 14,
                    pictures.LoadJpegResource(LevelPictureName(status.mode, status.level)));
  ForEachCellInBoardOrder([&](const BoardCell& cell) {
    if (!board.HasTile(cell)) return;
    const QString name = TilePictureName(board.Code(cell), cell == selection);
    if (name.isEmpty()) return;
    const CellRect& rect = board.Rect(cell);
    painter.drawImage(rect.left, rect.top, pictures.LoadPngResource(name));
  });
}

void DrawBurst(QImage& board_image, int frame, int x, int y, PictureStore& pictures) {
  QPainter painter(&board_image);
  painter.drawImage(x, y, pictures.LoadPngResource(QStringLiteral("GBax%1").arg(frame)));
}

}  // namespace braxo
