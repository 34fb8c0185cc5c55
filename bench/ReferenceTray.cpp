// The smallest tray program to measure Horalis against: a tray icon whose image is drawn
// afresh once a second, and nothing else.

#include <QApplication>
#include <QDateTime>
#include <QIcon>
#include <QPainter>
#include <QSystemTrayIcon>
#include <QTimer>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    app.setQuitOnLastWindowClosed(false);
    QSystemTrayIcon tray;
    const auto draw = [&tray] {
        QImage image(72, 36, QImage::Format_ARGB32_Premultiplied);
        image.setDevicePixelRatio(2);
        image.fill(Qt::transparent);
        QPainter painter(&image);
        painter.setRenderHint(QPainter::Antialiasing);
        const double share = (QDateTime::currentMSecsSinceEpoch() % 86'400'000) / 86'400'000.0;
        painter.setBrush(Qt::black);
        painter.drawRoundedRect(QRectF(3, 3, 12 + 18 * share, 12), 6, 6);
        painter.end();
        tray.setIcon(QIcon(QPixmap::fromImage(image)));
    };
    draw();
    tray.show();
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, draw);
    timer.start(1000);
    return app.exec();
}
