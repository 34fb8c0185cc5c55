#include "platform/StatusItem.h"

#include <QIcon>
#include <QPixmap>
#include <QSystemTrayIcon>

namespace {
QIcon blankIcon(const QSize& size)
{
    QPixmap blank(size.isEmpty() ? QSize(1, 1) : size);
    blank.fill(Qt::transparent);
    return QIcon(blank);
}
} // namespace

StatusItem::StatusItem(QObject* parent)
    : QObject(parent), m_tray(std::make_unique<QSystemTrayIcon>())
{
    m_tray->setToolTip(QStringLiteral("Horalis"));
    connect(m_tray.get(), &QSystemTrayIcon::activated, this,
            [this](QSystemTrayIcon::ActivationReason reason) {
                switch (reason) {
                case QSystemTrayIcon::Trigger:
                case QSystemTrayIcon::DoubleClick: // the second click of a double click
                    emit clicked(Click::Left);
                    break;
                case QSystemTrayIcon::Context:
                    emit clicked(Click::Right);
                    break;
                default:
                    break;
                }
            });
    // Shown even without a tray: Qt docks the item as soon as one appears. It starts with a
    // blank image, as an item with no icon at all is not shown.
    m_tray->setIcon(blankIcon(QSize(1, 1)));
    m_tray->show();
}

StatusItem::~StatusItem() = default;

void StatusItem::setImage(const QImage& image)
{
    // Two null images compare equal, so clearing twice is skipped too.
    if (image == m_image)
        return;
    // Without an image the item keeps its place in the tray, blank.
    const QSize blankSize = m_image.isNull() ? QSize(1, 1) : m_image.size();
    m_image = image;
    ++m_imageUpdates;
    // A plain pixmap icon: shown in exactly the colours drawn, never as a themed mask.
    m_tray->setIcon(!image.isNull() ? QIcon(QPixmap::fromImage(image)) : blankIcon(blankSize));
}

QRect StatusItem::geometry() const
{
    return m_tray->geometry();
}
