// horalis_panel_gallery <light.png> <dark.png>: the panel at 2×, as it looks at 15:12 on
// Thursday 2026-12-10, in a light and in a dark palette.

#include "Horalis/model/ProgressCalculator.h"
#include "Horalis/panel/ContentView.h"

#include <QApplication>
#include <QPalette>
#include <QPixmap>

namespace {

QPalette darkPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0x2b, 0x2b, 0x2e));
    p.setColor(QPalette::WindowText, QColor(0xf2, 0xf2, 0xf2));
    p.setColor(QPalette::PlaceholderText, QColor(0xa0, 0xa0, 0xa6));
    p.setColor(QPalette::Highlight, QColor(0x3d, 0x8b, 0xf2));
    p.setColor(QPalette::Mid, QColor(0x48, 0x48, 0x4c));
    return p;
}

QPalette lightPalette()
{
    QPalette p;
    p.setColor(QPalette::Window, QColor(0xf6, 0xf6, 0xf6));
    p.setColor(QPalette::WindowText, QColor(0x1d, 0x1d, 0x1f));
    p.setColor(QPalette::PlaceholderText, QColor(0x6e, 0x6e, 0x73));
    p.setColor(QPalette::Highlight, QColor(0x30, 0x7c, 0xe8));
    p.setColor(QPalette::Mid, QColor(0xd6, 0xd6, 0xd6));
    return p;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    qputenv("TZ", "Europe/Berlin");
    QApplication app(argc, argv);
    ProgressCalculator calculator([] { return 1796915520.0; }); // 2026-12-10 15:12 in Berlin
    const QPalette palettes[] = {lightPalette(), darkPalette()};
    for (int i = 0; i < 2 && i + 1 < argc; ++i) {
        ContentView panel(&calculator);
        panel.setPalette(palettes[i]);
        panel.show();
        panel.adjustSize();
        if (!panel.grab().save(QString::fromLocal8Bit(argv[i + 1])))
            return 1;
    }
    return 0;
}
