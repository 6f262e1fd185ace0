// Paints the board image: the background under it, the bevelled frame, the
// level picture, and every tile with its normal or selected picture.
#pragma once

#include <QImage>
#include <QString>

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

// Paints the whole board image from scratch: `board` with the tile at
// `selection` selected, over the level picture of the status's mode and
// level. @pre board_image is 464 x 412
void RenderBoard(QImage& board_image, const Board& board, const BoardCell& selection,
                 const GameStatus& status, PictureStore& pictures);

// Draws burst frame `frame` (1..26) at (x, y) of the board image.
void DrawBurst(QImage& board_image, int frame, int x, int y, PictureStore& pictures);

}  // namespace braxo
