// The four status panels beside the board and the account icon's lamp.
#pragma once

#include <QColor>
#include <QImage>
#include <QPoint>

#include "game/GameState.h"
#include "ui/Pictures.h"

namespace braxo {

inline constexpr int kPanelWidth = 180;
inline constexpr int kPanelHeight = 100;
inline const QColor kCasualColour(0, 110, 0);

// The top-left corner of status panel n (1..4) in the main window.
QPoint StatusPanelPosition(int n);

// Repaints panel n (1 mode, 2 level, 3 score, 4 possible pairs) from
// `status`: backdrop, frame, label in blue and value in red, in `language`;
// a casual game's mode panel adds "Casual" in green under the mode.
// @pre panel is 180 x 100
void DrawStatusPanel(QImage& panel, int n, const GameStatus& status,
                     const InterfaceLanguage& language, PictureStore& pictures);

// The account icon (48 x 48 at (111, 5)) with the lamp of `state`. Returns
// the icon's hint.
MsgId DrawAccountLamp(QImage& icon, AccountState state, PictureStore& pictures);

}  // namespace braxo
