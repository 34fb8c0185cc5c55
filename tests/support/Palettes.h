#pragma once

#include <QPalette>

// The light palette the pictures are drawn in, so that they do not depend on the desktop the
// tests run on. The dark ones are drawn in the palette Horalis itself puts on for a dark
// desktop (SemanticColors::darkPalette).
QPalette lightPalette();
