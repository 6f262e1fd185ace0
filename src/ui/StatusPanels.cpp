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

void DrawStatusPanel(QImage& panel, int n, const GameStatus& status,
                     const InterfaceLanguage& language, PictureStore& pictures) {
  QPainter painter(&panel);
  const QPoint at = StatusPanelPosition(n);
  PaintBackdrop(painter, pictures.LoadJpegResource("BG"), at.x(), at.y());
  painter.drawImage(0, 0, pictures.PictureFor(painter, QStringLiteral("Ramka180")));
  MsgId label = MsgId::MsgModeLabel;
  QString value;
  switch (n) {
    case 1: {
      label = MsgId::MsgModeLabel;
      const MsgId mode = status.mode == GameMode::kExtra   ? MsgId::MsgModeExtra
                         : status.mode == GameMode::kSuper ? MsgId::MsgModeSuper
                                                           : MsgId::MsgModeNormal;
      value = QString::fromStdString(language.Text(mode));
      break;
    }
    case 2:
      label = MsgId::MsgLevelLabel;
      value = QString::number(status.level);
      break;
    case 3:
      label = MsgId::MsgScoreLabel;
      value = QString::number(status.score);
      break;
    default:
      label = MsgId::MsgMovesLabel;
      value = QString::number(status.possible_pairs);
      break;
  }
  painter.setFont(CellHeightFont(ArialFamily(), 20, true));
  painter.setPen(QColor(0, 0, 255));
  DrawTextCentered(painter, QString::fromStdString(language.Text(label)), 0, kPanelWidth, 35);
  painter.setPen(QColor(255, 0, 0));
  DrawTextCentered(painter, value, 0, kPanelWidth, 60);
  if (n == 1 && status.casual) {
    // A casual game counts nowhere: the mode's panel says so under the mode.
    painter.setFont(CellHeightFont(ArialFamily(), 14, true));
    painter.setPen(kCasualColour);
    DrawTextCentered(painter, QString::fromStdString(language.Text(MsgId::MsgCasual)), 0,
                     kPanelWidth, 80);
  }
}

MsgId DrawAccountLamp(QImage& icon, AccountState state, PictureStore& pictures) {
  QPainter painter(&icon);
  PaintBackdrop(painter, pictures.LoadJpegResource("BG"), 111, 5);
  painter.drawImage(0, 0, pictures.PictureFor(painter, QStringLiteral("Account48")));
  const char* lamp = state == AccountState::kLoggedIn ? "LampY24"
                     : state == AccountState::kRated  ? "LampG24"
                                                      : "LampR24";
  painter.drawImage(24, 0, pictures.PictureFor(painter, QString::fromLatin1(lamp)));
  return state == AccountState::kLoggedIn ? MsgId::MsgGameNotOnRating
         : state == AccountState::kRated  ? MsgId::MsgGameOnRating
                                          : MsgId::MsgNotLoggedIn;
}

}  // namespace braxo
