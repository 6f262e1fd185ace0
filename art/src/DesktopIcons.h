// The icon the desktop shows for the game in its menus, launchers and task
// switchers: the program icon in every size of the hicolor icon theme, and
// as a scalable SVG.
#pragma once

#include <QString>
#include <QStringList>
#include <array>

namespace braxo::art {

// The fixed sizes desktops look up, from a menu's 16 pixels to a software
// centre's 512.
inline constexpr std::array<int, 9> kDesktopIconSizes = {16, 22, 24, 32, 48, 64, 128, 256, 512};

// Writes the theme's folders under `theme_dir`:
// "<n>x<n>/apps/<name>.png" (8-bit RGBA, n x n) for every size above, and
// "scalable/apps/<name>.svg". Returns one line per file that could not be
// written; empty on success.
QStringList WriteDesktopIcons(const QString& theme_dir, const QString& name);

}  // namespace braxo::art
