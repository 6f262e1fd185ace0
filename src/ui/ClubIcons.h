// The two small pictures the tournament windows draw beside an entry: the
// country's flag and the sex icon.
#pragma once

#include <QPainter>
#include <string_view>

#include "ui/Pictures.h"

namespace braxo {

// The 14 x 12 flag of a country code, top-left at (x, y): the first character
// is the continent digit 1-6, the third to fifth a decimal number taken as
// the index into that continent's flags (modulo 256). A code not of that form
// (another first character, fewer than five characters, no digits at 3-5),
// or an index with no flag, draws nothing.
void DrawCountryFlag(std::string_view code, QPainter& canvas, int x, int y, PictureStore& pictures);

// "FaceMan16" for the letter "M", "FaceWoman16" for any other, top-left at (x, y).
void DrawSexIcon(char letter, QPainter& canvas, int x, int y, PictureStore& pictures);

}  // namespace braxo
