// How often a day the tray is handed a new picture (a NewIcon signal on the StatusNotifierItem
// path): the icon is drawn each second at 1x and 2x, and handed on only when a pixel changed.

#include "Horalis/menubar/StatusIcon.h"

#include <QGuiApplication>

#include <cstdio>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    for (IconStyle style : IconStyle::allCases()) {
        QImage last1, last2;
        int changes = 0;
        for (int second = 0; second < 86'400; ++second) {
            const double progress = second / 86'400.0;
            const QImage at1 = makeIcon(style, false, progress, 1);
            const QImage at2 = makeIcon(style, false, progress, 2);
            if (at1 != last1 || at2 != last2)
                ++changes;
            last1 = at1;
            last2 = at2;
        }
        std::printf("%-10s %5d a day, %5.1f an hour\n", style.displayName(), changes,
                    changes / 24.0);
    }
    return 0;
}
