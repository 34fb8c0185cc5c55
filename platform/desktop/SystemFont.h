#pragma once

#include <QFont>

// The desktop's interface font at a size in device-independent pixels.
QFont systemFont(int pixelSize, QFont::Weight weight = QFont::Normal);
