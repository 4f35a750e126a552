#pragma once

#include <QIcon>
#include <QPixmap>

namespace trelk {

// The program's icon, drawn rather than shipped so the tray never lacks one.
QIcon AppIcon();

// The icon drawn at one size (square), for the desktop's icon theme.
QPixmap AppIconPixmap(int size);

} // namespace trelk
