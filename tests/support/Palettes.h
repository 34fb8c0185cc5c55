#pragma once

#include <QPalette>

// The light and the dark palette the panel's pictures are drawn in, so that they do not depend
// on the desktop the tests run on.
QPalette lightPalette();
QPalette darkPalette();
