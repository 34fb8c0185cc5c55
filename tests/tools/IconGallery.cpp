// horalis_icon_gallery <out.png>: the three styles at a few values, plain and flipped, at 2×,
// on a light and on a dark bar.

#include "Horalis/menubar/StatusIcon.h"

#include <QGuiApplication>
#include <QPainter>

int main(int argc, char** argv)
{
    QGuiApplication app(argc, argv);
    const QString out = argc > 1 ? QString::fromLocal8Bit(argv[1]) : QStringLiteral("icons.png");
    const double values[] = {0.0, 0.1, 0.25, 0.5, 0.75, 1.0};
    constexpr int kCell = 56, kRow = 30, kRatio = 2;
    const int rows = 5, columns = static_cast<int>(std::size(values));
    QImage sheet(QSize(columns * kCell + 90, rows * kRow * 2) * kRatio, QImage::Format_ARGB32);
    sheet.setDevicePixelRatio(kRatio);
    QPainter p(&sheet);
    for (int half = 0; half < 2; ++half) {
        const QColor bar = half == 0 ? QColor(236, 236, 236) : QColor(140, 140, 150);
        p.fillRect(QRectF(0, half * rows * kRow, sheet.width(), rows * kRow), bar);
        int row = half * rows;
        for (IconStyle style : IconStyle::allCases()) {
            for (bool flipped : {false, true}) {
                if (flipped && style == IconStyle::percentage)
                    continue;
                p.setPen(Qt::black);
                p.drawText(QPointF(4, row * kRow + 19), style.rawValue() + (flipped ? " ⇄" : ""));
                for (int i = 0; i < columns; ++i) {
                    const QImage icon = makeIcon(style, flipped, values[i], kRatio);
                    const QSizeF size = icon.deviceIndependentSize();
                    p.drawImage(QPointF(90 + i * kCell, row * kRow + (kRow - size.height()) / 2),
                                icon);
                }
                ++row;
            }
        }
    }
    p.end();
    return sheet.save(out) ? 0 : 1;
}
