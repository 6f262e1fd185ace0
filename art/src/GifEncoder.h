// Animated GIF encoding over giflib.
#pragma once

#include <QByteArray>
#include <QImage>
#include <QString>
#include <vector>

namespace braxo::art {

// Encodes `frames` (all of one size) as a looping GIF89a with one shared
// palette of up to 255 colours found by median cut, palette index 0 being
// transparent. Every frame replaces the previous one (disposal to
// background). Returns an empty array and sets `error` on failure.
QByteArray EncodeAnimatedGif(const std::vector<QImage>& frames, int delay_cs, QString* error);

}  // namespace braxo::art
