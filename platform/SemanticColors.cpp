#include "platform/SemanticColors.h"

#include <QWidget>

namespace SemanticColors {

QPalette::ColorRole role(Color color)
{
    switch (color) {
    case Color::PrimaryLabel:
        return QPalette::WindowText;
    case Color::SecondaryLabel:
        return QPalette::PlaceholderText;
    case Color::WindowBackground:
        return QPalette::Window;
    case Color::Accent:
        return QPalette::Highlight;
    case Color::Separator:
        return QPalette::Mid;
    }
    return QPalette::WindowText;
}

QColor color(const QWidget& widget, Color semantic, qreal opacity)
{
    QColor result = widget.palette().color(role(semantic));
    result.setAlphaF(result.alphaF() * opacity);
    return result;
}

void setTextColor(QWidget& widget, Color semantic)
{
    widget.setForegroundRole(role(semantic));
}

} // namespace SemanticColors
