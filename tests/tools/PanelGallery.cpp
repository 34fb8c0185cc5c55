// horalis_panel_gallery <light.png> <dark.png>: the panel at 2×, as it looks at 15:12 on
// Thursday 2026-12-10, in a light and in a dark palette.

#include "Horalis/model/ProgressCalculator.h"
#include "Horalis/panel/ContentView.h"
#include "platform/desktop/SemanticColors.h"
#include "support/Palettes.h"

#include <QApplication>
#include <QPixmap>

int main(int argc, char** argv)
{
    qputenv("QT_SCALE_FACTOR", "2");
    qputenv("TZ", "Europe/Berlin");
    QApplication app(argc, argv);
    ProgressCalculator calculator([] { return 1796915520.0; }); // 2026-12-10 15:12 in Berlin
    const QPalette palettes[] = {lightPalette(), SemanticColors::darkPalette()};
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
