#include "dialogs/ClubWindowStyle.h"

#include <QPalette>
#include <QWidget>
#include <cmath>

#include "club/NameRules.h"
#include "dialogs/DialogFrame.h"
#include "ui/Drawing.h"

namespace braxo {

void FillVerticalGradient(QPainter& painter, const QRect& area, const QColor& top,
                          const QColor& bottom, GradientRounding rounding) {
  const int rows = area.height();
  const auto round = [rounding](double value) {
    return rounding == GradientRounding::kHalfToEven ? RoundHalfEven(value)
                                                     : static_cast<int>(std::lround(value));
  };
  for (int i = 0; i < rows; ++i) {
    const auto mix = [&](int a, int b) {
      return rows == 1 ? a : round(a - (a - b) * static_cast<double>(i) / (rows - 1));
    };
    painter.fillRect(area.left(), area.top() + i, area.width(), 1,
                     QColor(mix(top.red(), bottom.red()), mix(top.green(), bottom.green()),
                            mix(top.blue(), bottom.blue())));
  }
}

void PaintStretchedBackdrop(QPainter& painter, const QImage& background, QSize client, QRect box) {
  painter.drawImage(QRect(-box.left(), -box.top(), client.width(), client.height()), background);
}

void FillBoxBackdrop(ImageControl& box, PictureStore& pictures, QSize client) {
  QPainter painter(&box.Image());
  PaintStretchedBackdrop(painter, pictures.LoadJpegResource("BG"), client, box.geometry());
}

void DrawPictureBox(ImageControl& box, PictureStore& pictures, QSize client,
                    const QString& picture) {
  FillBoxBackdrop(box, pictures, client);
  QPainter painter(&box.Image());
  painter.drawImage(0, 0, pictures.PictureFor(painter, picture));
  box.update();
}

void DrawTitleBox(ImageControl& box, PictureStore& pictures, QSize client, const QString& title,
                  int top, bool bold) {
  FillBoxBackdrop(box, pictures, client);
  QPainter painter(&box.Image());
  painter.setFont(CellHeightFont(ArialFamily(), 40, bold));
  DrawShadowText(painter, title, 0, box.width(), top, kClubRed, 'c');
  box.update();
}

void PaintClubWindowBackground(QPainter& painter, PictureStore& pictures, QSize client) {
  painter.drawImage(QRect(QPoint(0, 0), client), pictures.LoadJpegResource("BG"));
}

void PaintTitleRule(QPainter& painter, int width) { painter.fillRect(5, 55, width, 6, kClubRed); }

void PaintAccountBackdrop(QPainter& painter, PictureStore& pictures, int left, int top) {
  PaintBackdrop(painter, pictures.LoadJpegResource("BGAccount"), left, top);
}

void DrawAccountCaption(ImageControl& box, PictureStore& pictures, const QString& title) {
  QImage& caption = box.Image();
  QPainter painter(&caption);
  PaintAccountBackdrop(painter, pictures, box.x(), box.y());
  painter.setFont(CellHeightFont(ComicFamily(), 40, true));
  DrawShadowText(painter, title, 0, box.DesignRect().width(), 5, kClubYellow, 'c');
  painter.end();
  box.update();
}

QString LampPicture(int rating) {
  if (rating >= kRateGood) return QStringLiteral("LampG24");
  if (rating == kRateCyrillic) return QStringLiteral("LampY24");
  return QStringLiteral("LampR24");
}

QString AccountLampPicture(AccountState account_state) {
  if (account_state == AccountState::kRated) return QStringLiteral("LampG24");
  if (account_state == AccountState::kLoggedIn) return QStringLiteral("LampY24");
  return QStringLiteral("LampR24");
}

void StyleClubButton(SkinnedButton& button, ButtonColour scheme, int char_height) {
  StyleDialogButton(button, scheme, char_height);
  button.SetColorMouse(kClubWhite);
  button.SetLightFont(true);
  button.SetKontur(true);
  button.SetGrayDis(false);
}

void StyleAccountButton(SkinnedButton& button, int cell_height, bool gray_disabled) {
  StyleDialogButton(button, ButtonColour::kRed, cell_height);
  button.setFont(CellHeightFont(ComicFamily(), cell_height, false));
  button.SetHeightSB(ButtonHeight::k45);
  button.SetKontur(true);
  button.SetGrayDis(gray_disabled);
}

void StyleAccountField(QWidget& field) {
  field.setFont(CellHeightFont(ComicFamily(), 20, true));
  QPalette palette = field.palette();
  palette.setColor(QPalette::Base, kAccountFieldBackground);
  palette.setColor(QPalette::Text, kClubRed);
  palette.setColor(QPalette::WindowText, kClubRed);
  palette.setColor(QPalette::ButtonText, kClubRed);
  palette.setColor(QPalette::Button, kAccountFieldBackground);
  field.setPalette(palette);
}

void StyleClubField(QWidget& field) {
  QFont font(ArialFamily());
  font.setBold(true);
  font.setPixelSize(13);
  field.setFont(font);
  QPalette palette = field.palette();
  palette.setColor(QPalette::Base, kClubEditBackground);
  palette.setColor(QPalette::Button, kClubEditBackground);
  palette.setColor(QPalette::Text, kClubMaroon);
  palette.setColor(QPalette::ButtonText, kClubMaroon);
  field.setPalette(palette);
  field.setAutoFillBackground(true);
}

}  // namespace braxo
