#pragma once

#include <QIcon>

// The Settings tabs' icons: the desktop theme's nearest to a gear and to a menu bar, or a small
// drawn one where the theme has none.
namespace TabIcons {
QIcon gear();
QIcon menuBar();
} // namespace TabIcons
