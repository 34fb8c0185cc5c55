#include "Horalis/settings_window/TabIcons.h"

#include <QGuiApplication>
#include <QPainter>
#include <QPainterPath>
#include <QPalette>
#include <QtMath>

namespace {

QIcon drawn(void (*draw)(QPainter&))
{
    QIcon icon;
    for (int size : {16, 32, 64}) {
        QPixmap pixmap(size, size);
        pixmap.fill(Qt::transparent);
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.scale(size / 16.0, size / 16.0);
        painter.setPen(Qt::NoPen);
        painter.setBrush(QGuiApplication::palette().color(QPalette::WindowText));
        draw(painter);
        painter.end();
        icon.addPixmap(pixmap);
    }
    return icon;
}

void drawGear(QPainter& painter)
{
    QPainterPath gear;
    gear.setFillRule(Qt::OddEvenFill);
    for (int tooth = 0; tooth < 8; ++tooth) {
        QPainterPath bar;
        bar.addRoundedRect(QRectF(-1.4, -7.5, 2.8, 15), 0.8, 0.8);
        gear.addPath(QTransform().translate(8, 8).rotate(tooth * 22.5).map(bar));
    }
    gear = gear.simplified();
    QPainterPath ring;
    ring.addEllipse(QPointF(8, 8), 5.6, 5.6);
    gear = gear.united(ring);
    QPainterPath hole;
    hole.addEllipse(QPointF(8, 8), 2.3, 2.3);
    painter.drawPath(gear.subtracted(hole));
}

void drawMenuBar(QPainter& painter)
{
    QPainterPath frame;
    frame.setFillRule(Qt::OddEvenFill);
    frame.addRoundedRect(QRectF(1, 2, 14, 12), 2, 2);
    frame.addRoundedRect(QRectF(2.4, 6, 11.2, 6.6), 1, 1);
    painter.drawPath(frame);
}

QIcon themed(std::initializer_list<const char*> names, void (*draw)(QPainter&))
{
    for (const char* name : names) {
        QIcon icon = QIcon::fromTheme(QString::fromLatin1(name));
        if (!icon.isNull())
            return icon;
    }
    return drawn(draw);
}

} // namespace

namespace TabIcons {

QIcon gear()
{
    return themed({"preferences-system", "emblem-system", "configure"}, drawGear);
}

QIcon menuBar()
{
    return themed({"preferences-desktop", "preferences-desktop-display"}, drawMenuBar);
}

} // namespace TabIcons
