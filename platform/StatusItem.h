#pragma once

#include <QImage>
#include <QObject>
#include <QRect>

#include <memory>

class QSystemTrayIcon;

// The program's item in the system tray: the desktop's StatusNotifierItem host where there is
// one, the XEmbed tray otherwise. If no tray exists yet the item waits for one, and it comes
// back when the tray restarts.
class StatusItem : public QObject
{
    Q_OBJECT

public:
    enum class Click
    {
        Left,
        Right
    };

    explicit StatusItem(QObject* parent = nullptr);
    ~StatusItem() override;

    // Shows the image as drawn (a null image leaves the item without one). An image equal,
    // pixel for pixel, to the one shown is not handed to the tray again.
    void setImage(const QImage& image);
    const QImage& image() const { return m_image; }
    // How often the tray was handed a new image.
    int imageUpdates() const { return m_imageUpdates; }

    // The item's place on screen; empty where the tray does not tell (StatusNotifierItem).
    QRect geometry() const;

signals:
    void clicked(StatusItem::Click click);

private:
    std::unique_ptr<QSystemTrayIcon> m_tray;
    QImage m_image;
    int m_imageUpdates = 0;
};
