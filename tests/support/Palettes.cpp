#include "Palettes.h"

namespace {

QPalette palette(QRgb window, QRgb text, QRgb secondary, QRgb accent, QRgb divider)
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(window));
    p.setColor(QPalette::WindowText, QColor(text));
    p.setColor(QPalette::PlaceholderText, QColor(secondary));
    p.setColor(QPalette::Highlight, QColor(accent));
    p.setColor(QPalette::Mid, QColor(divider));
    return p;
}

} // namespace

QPalette lightPalette()
{
    return palette(0xf6f6f6, 0x1d1d1f, 0x6e6e73, 0x307ce8, 0xd6d6d6);
}
