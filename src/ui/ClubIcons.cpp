#include "ui/ClubIcons.h"

#include <QString>

namespace braxo {

void DrawCountryFlag(std::string_view code, QPainter& canvas, int x, int y,
                     PictureStore& pictures) {
  if (code.size() < 5 || code[0] < '1' || code[0] > '6') return;
  int index = 0;
  for (char c : code.substr(2, 3)) {
    if (c < '0' || c > '9') return;
    index = index * 10 + (c - '0');
  }
  index %= 256;
  const QString name =
      QStringLiteral("Country%1%2").arg(QChar(code[0])).arg(index, 3, 10, QChar('0'));
  if (!pictures.Has(name)) return;
  canvas.drawImage(x, y, pictures.PictureFor(canvas, name));
}

void DrawSexIcon(char letter, QPainter& canvas, int x, int y, PictureStore& pictures) {
  canvas.drawImage(x, y,
                   pictures.PictureFor(canvas, letter == 'M' ? QStringLiteral("FaceMan16")
                                                             : QStringLiteral("FaceWoman16")));
}

}  // namespace braxo
