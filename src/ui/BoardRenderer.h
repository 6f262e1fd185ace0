// Paints the board image: the background under it, the bevelled frame, the
// level picture, and every tile with its normal or selected picture; over
// them the aids (blocked tiles dimmed, the keyboard's focus, the hint, a
// shaken tile), the pause panel that hides the board, and the messages.
#pragma once

#include <QImage>
#include <QString>
#include <QStringList>
#include <optional>

#include "game/GameState.h"
#include "ui/Pictures.h"

namespace braxo {

inline constexpr int kBoardImageLeft = 193;
inline constexpr int kBoardImageTop = 88;
inline constexpr int kBoardImageWidth = 464;
inline constexpr int kBoardImageHeight = 412;

// The picture of a tile code: "GK…" normal, "GV…" selected ("s1" ->
// "GKSun1"). Empty for a code the game does not know.
QString TilePictureName(const TileCode& code, bool selected);
// The level picture of a mode and level ("Level2_4").
QString LevelPictureName(GameMode mode, int level);

// What the board image shows besides the tiles, its texts in the player's
// language.
struct BoardOverlay {
  BoardCell selection;
  // Blocked tiles (holding a tile, not free) are drawn dimmed.
  bool mark_free_tiles = false;
  // A frame around the tile on top of this stack; none for no frame.
  BoardCell focus;
  // A frame of another colour around both tiles.
  std::optional<TilePair> hint;
  // This tile is drawn `shake_offset` pixels to the side.
  BoardCell shaken;
  int shake_offset = 0;
  // The board hidden behind a panel with these two lines.
  bool paused = false;
  QString pause_title;
  QString pause_hint;
  // Lines over the picture and the tiles, the first one larger; none for no
  // message.
  QStringList message;
};

// How much darker a blocked tile is drawn with the free-tile marks (alpha of
// the black laid over its pixels).
inline constexpr int kBlockedTileShade = 120;
inline const QColor kFocusColour(255, 210, 0);
inline const QColor kHintColour(0, 230, 255);
inline const QColor kPausePanelColour(24, 32, 72);

// Paints the whole board image from scratch: `board` with its overlay, over
// the level picture of the status's mode and level. @pre board_image is
// 464 x 412 design pixels at a device pixel ratio of 1, 2 or 3; the tiles
// are then drawn from the pictures made for that ratio.
void RenderBoard(QImage& board_image, const Board& board, const BoardOverlay& overlay,
                 const GameStatus& status, PictureStore& pictures);
// The same with nothing but the selection.
void RenderBoard(QImage& board_image, const Board& board, const BoardCell& selection,
                 const GameStatus& status, PictureStore& pictures);

// Draws burst frame `frame` (1..26) at (x, y) of the board image.
void DrawBurst(QImage& board_image, int frame, int x, int y, PictureStore& pictures);

}  // namespace braxo
