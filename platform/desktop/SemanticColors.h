#pragma once

#include <QColor>
#include <QPalette>

class QWidget;

// The desktop's semantic colours, taken from the palette so that light and dark themes (and a
// change between them) are followed everywhere through this one mapping.
namespace SemanticColors {

enum class Color
{
    PrimaryLabel,
    SecondaryLabel,
    WindowBackground,
    Accent,
    Separator
};

QPalette::ColorRole role(Color color);
QColor color(const QWidget& widget, Color color, qreal opacity = 1.0);
// Draws `widget`'s text (a QLabel's, say) in the semantic colour.
void setTextColor(QWidget& widget, Color color);
// The semantic colours in their dark values, and the controls' colours to go with them, for a
// desktop that asks for a dark style while Qt was given a light palette.
QPalette darkPalette();

} // namespace SemanticColors
