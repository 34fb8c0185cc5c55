#include "platform/desktop/SemanticColors.h"

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

QPalette darkPalette()
{
    const QColor window(0x2b2b2e), primary(0xf2f2f2), secondary(0xa0a0a6), accent(0x3d8bf2),
        separator(0x48484c), field(0x1f1f21), control(0x333336), raised(0x38383b),
        disabled(0x6e6e73);
    // Tab pages are filled with the raised colour: a shade above the window, below the lines.
    QPalette palette(primary, control, raised, field, separator, primary, primary, field, window);
    palette.setColor(QPalette::WindowText, primary);
    palette.setColor(QPalette::ButtonText, primary);
    palette.setColor(QPalette::Shadow, Qt::black);
    palette.setColor(QPalette::PlaceholderText, secondary);
    palette.setColor(QPalette::Highlight, accent);
    palette.setColor(QPalette::HighlightedText, Qt::white);
    palette.setColor(QPalette::Mid, separator);
    palette.setColor(QPalette::AlternateBase, control);
    palette.setColor(QPalette::ToolTipBase, control);
    palette.setColor(QPalette::ToolTipText, primary);
    palette.setColor(QPalette::Link, accent.lighter(120));
    for (QPalette::ColorRole text :
         {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::PlaceholderText})
        palette.setColor(QPalette::Disabled, text, disabled);
    return palette;
}

} // namespace SemanticColors
