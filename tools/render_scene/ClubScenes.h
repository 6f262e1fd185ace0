// The club windows for the README: the world top ten table and the chat,
// filled from a small club on loopback that answers with made-up players.
#pragma once

#include <QDir>

#include "ui/Pictures.h"

namespace braxo {

// Writes "top-ten.png" and "chat.png" into `out`; false when a picture could
// not be written.
bool RenderClubWindows(const QDir& out, PictureStore& pictures);

}  // namespace braxo
