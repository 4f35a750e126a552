#pragma once

#include <QIcon>

namespace trelk {

// The program's icon, drawn rather than shipped so the tray never lacks one.
QIcon AppIcon();

} // namespace trelk
