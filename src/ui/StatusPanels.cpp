#include "ui/StatusPanels.h"

#include <QPainter>

#include "ui/Drawing.h"

namespace braxo {

QPoint StatusPanelPosition(int n) {
  switch (n) {
    case 1:
      return {12, 295};
    case 2:
      return {12, 400};
    case 3:
      return {658, 295};
    default:
      return {658, 400};
  }
}

void DrawStatusPanel(QImage& panel, int n, const GameState& game, PictureStore& pictures) {
  QPainter painter(&panel);
  const QPoint at = StatusPanelPosition(n);
  PaintBackdrop(painter, pictures.LoadJpegResource("BG"), at.x(), at.y());
  painter.drawImage(0, 0, pictures.LoadPngResource("Ramka180"));
  MsgId label = MsgId::MsgModeLabel;
  QString value;
  switch (n) {
    case 1: {
      label = MsgId::MsgModeLabel;
      const MsgId mode = game.GameMode == 2   ? MsgId::MsgModeExtra
                         : game.GameMode == 3 ? MsgId::MsgModeSuper
                                              : MsgId::MsgModeNormal;
      value = QString::fromStdString(game.Text(mode));
      break;
    }
    case 2:
      label = MsgId::MsgLevelLabel;
      value = QString::number(game.Level);
      break;
    case 3:
      label = MsgId::MsgScoreLabel;
      value = QString::number(game.Score);
      break;
    default:
      label = MsgId::MsgMovesLabel;
      value = QString::number(game.PossiblePairs);
      break;
  }
  painter.setFont(CellHeightFont(ArialFamily(), 20, true));
  painter.setPen(QColor(0, 0, 255));
  DrawTextCentered(painter, QString::fromStdString(game.Text(label)), 0, kPanelWidth, 35);
  painter.setPen(QColor(255, 0, 0));
  DrawTextCentered(painter, value, 0, kPanelWidth, 60);
}

MsgId DrawAccountLamp(QImage& icon, int state, PictureStore& pictures) {
  QPainter painter(&icon);
  PaintBackdrop(painter, pictures.LoadJpegResource("BG"), 111, 5);
  painter.drawImage(0, 0, pictures.LoadPngResource("Account48"));
  const char* lamp = state == 2 ? "LampY24" : state == 3 ? "LampG24" : "LampR24";
  painter.drawImage(24, 0, pictures.LoadPngResource(lamp));
  return state == 2   ? MsgId::MsgGameNotOnRating
         : state == 3 ? MsgId::MsgGameOnRating
                      : MsgId::MsgNotLoggedIn;
}

}  // namespace braxo
