// The club account window with a club behind it, for the README.
#pragma once

#include <QDir>

#include "ui/Pictures.h"

namespace braxo {

// Starts braxo-club on loopback with a fresh database, fills it with a few
// members, their ratings and the chairman's information, logs one member in
// and saves "account.png" (the account page) and "account-top10.png" into
// `out`. False when the club or a picture failed.
bool RenderAccountScene(PictureStore& pictures, const QDir& out);

}  // namespace braxo
