#include "platform/tray/StatusNotifierItem.h"

#include "platform/desktop/GSettingsKey.h"
#include "platform/tray/DBusMenuExporter.h"
#include "platform/tray/TrayHost.h"

#include <QCoreApplication>
#include <QDBusAbstractAdaptor>
#include <QDBusMessage>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QDBusPendingCallWatcher>
#include <QDBusVariant>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace {

const QString kItemPath = QStringLiteral("/StatusNotifierItem");

// ARGB32, one 32-bit word a pixel in network byte order, as the protocol carries pictures.
DBusImage toDBusImage(const QImage& image)
{
    const QImage argb = image.convertToFormat(QImage::Format_ARGB32);
    DBusImage result{argb.width(), argb.height(), QByteArray()};
    result.pixels.resize(static_cast<qsizetype>(argb.width()) * argb.height() * 4);
    auto* out = reinterpret_cast<uchar*>(result.pixels.data());
    for (int y = 0; y < argb.height(); ++y) {
        const auto* line = reinterpret_cast<const quint32*>(argb.constScanLine(y));
        for (int x = 0; x < argb.width(); ++x, out += 4)
            qToBigEndian(line[x], out);
    }
    return result;
}

// GNOME's extension shows one picture: the smallest at least as large as its icon box on both
// sides (its "icon-size", 16 by default, times the display's scale), else the largest. Only
// that one is sent: the square of a 2x picture alone is four times the bytes of the 1x one.
QList<QImage> picturesForASquareBox(QList<QImage> squares, int boxSize)
{
    std::sort(squares.begin(), squares.end(),
              [](const QImage& a, const QImage& b) { return a.width() < b.width(); });
    for (const QImage& square : std::as_const(squares)) {
        if (square.width() >= boxSize)
            return {square};
    }
    return squares.isEmpty() ? squares : QList<QImage>{squares.last()};
}

int squareBoxSize(const GSettingsKey* iconSize)
{
    constexpr int kGnomePanelIconSize = 16;
    const int size =
        iconSize && iconSize->number().value_or(0) > 0 ? *iconSize->number() : kGnomePanelIconSize;
    qreal scale = 1;
    for (const QScreen* screen : QGuiApplication::screens())
        scale = std::max(scale, screen->devicePixelRatio());
    return static_cast<int>(std::ceil(size * scale));
}

// A click's place as a host reports it, kept to where a screen can be: a hostile or broken
// host may send any int, and the popover's placement adds to and doubles these.
QPoint clickPoint(int x, int y)
{
    constexpr int kFarthest = (1 << 24) - 1; // the widest a Qt window can be
    return {std::clamp(x, -kFarthest, kFarthest), std::clamp(y, -kFarthest, kFarthest)};
}

QImage squared(const QImage& image)
{
    const int side = std::max(image.width(), image.height());
    if (image.width() == image.height())
        return image;
    QImage square(side, side, QImage::Format_ARGB32_Premultiplied);
    square.fill(Qt::transparent);
    QPainter painter(&square);
    painter.drawImage((side - image.width()) / 2, (side - image.height()) / 2, image);
    return square;
}

} // namespace

// The org.kde.StatusNotifierItem interface, as hosts read and call it.
class StatusNotifierItemAdaptor : public QDBusAbstractAdaptor
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.kde.StatusNotifierItem")
    Q_PROPERTY(QString Category READ category)
    Q_PROPERTY(QString Id READ id)
    Q_PROPERTY(QString Title READ title)
    Q_PROPERTY(QString Status READ status)
    Q_PROPERTY(int WindowId READ windowId)
    Q_PROPERTY(QString IconName READ emptyName)
    Q_PROPERTY(DBusImageList IconPixmap READ iconPixmap)
    Q_PROPERTY(QString OverlayIconName READ emptyName)
    Q_PROPERTY(DBusImageList OverlayIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionIconName READ emptyName)
    Q_PROPERTY(DBusImageList AttentionIconPixmap READ noPixmaps)
    Q_PROPERTY(QString AttentionMovieName READ emptyName)
    Q_PROPERTY(QString IconThemePath READ emptyName)
    Q_PROPERTY(DBusToolTip ToolTip READ toolTip)
    Q_PROPERTY(bool ItemIsMenu READ itemIsMenu)
    Q_PROPERTY(QDBusObjectPath Menu READ menu)
    // Newer hosts (GNOME's extension) ask for these with every picture.
    Q_PROPERTY(QString IconAccessibleDesc READ accessibleDescription)
    Q_PROPERTY(QString AttentionAccessibleDesc READ accessibleDescription)

public:
    explicit StatusNotifierItemAdaptor(StatusNotifierItem* item)
        : QDBusAbstractAdaptor(item), m_item(item)
    {
        setAutoRelaySignals(false);
        connect(item, &StatusNotifierItem::iconChanged, this, &StatusNotifierItemAdaptor::NewIcon);
        connect(item, &StatusNotifierItem::toolTipChanged, this,
                &StatusNotifierItemAdaptor::NewToolTip);
    }

    QString category() const { return QStringLiteral("ApplicationStatus"); }
    QString id() const { return QStringLiteral("horalis"); }
    QString title() const { return QStringLiteral("Horalis"); }
    QString status() const { return QStringLiteral("Active"); }
    int windowId() const { return 0; }
    QString emptyName() const { return {}; }
    DBusImageList iconPixmap() const { return m_item->iconPixmaps(); }
    DBusImageList noPixmaps() const { return {}; }
    DBusToolTip toolTip() const { return m_item->toolTip(); }
    // A click that is not for the menu is for the item: the left click opens the panel.
    bool itemIsMenu() const { return false; }
    QDBusObjectPath menu() const { return QDBusObjectPath(DBusMenuExporter::objectPath()); }
    QString accessibleDescription() const { return m_item->accessibleDescription(); }

public slots:
    void Activate(int x, int y) { emit m_item->activated(clickPoint(x, y)); }
    void SecondaryActivate(int x, int y)
    {
        Q_UNUSED(x)
        Q_UNUSED(y)
    }
    void ContextMenu(int x, int y) { emit m_item->contextMenuRequested(clickPoint(x, y)); }
    // Hosts (GNOME's extension) hand over an activation token before a click, so that a
    // window the click opens may take the focus on Wayland; Qt's Wayland platform reads it
    // from the environment when it next activates a window. X11 needs none.
    void ProvideXdgActivationToken(const QString& token)
    {
        if (QGuiApplication::platformName().startsWith(QLatin1String("wayland")))
            qputenv("XDG_ACTIVATION_TOKEN", token.toUtf8());
    }
    void Scroll(int delta, const QString& orientation)
    {
        Q_UNUSED(delta)
        Q_UNUSED(orientation)
    }

signals:
    void NewTitle();
    void NewIcon();
    void NewAttentionIcon();
    void NewOverlayIcon();
    void NewToolTip();
    void NewStatus(const QString& status);

private:
    StatusNotifierItem* m_item;
};

StatusNotifierItem::StatusNotifierItem(QDBusConnection connection, QMenu* menu, QObject* parent)
    : QObject(parent), m_connection(std::move(connection)), m_menu(new DBusMenuExporter(menu, this))
{
    registerDBusTrayTypes();
    new StatusNotifierItemAdaptor(this);
}

StatusNotifierItem::~StatusNotifierItem()
{
    if (!m_connection.isConnected())
        return;
    m_connection.unregisterObject(kItemPath);
    if (!m_serviceName.isEmpty())
        m_connection.unregisterService(m_serviceName);
}

QString StatusNotifierItem::watcherService()
{
    return QStringLiteral("org.kde.StatusNotifierWatcher");
}

bool StatusNotifierItem::publish()
{
    static int instance = 0;
    if (!m_connection.isConnected())
        return false;
    m_serviceName = QStringLiteral("org.kde.StatusNotifierItem-%1-%2")
                        .arg(QCoreApplication::applicationPid())
                        .arg(++instance);
    return m_connection.registerService(m_serviceName) &&
           m_connection.registerObject(kItemPath, this, QDBusConnection::ExportAdaptors) &&
           m_menu->publish(m_connection);
}

void StatusNotifierItem::registerWithWatcher()
{
    QDBusMessage call = QDBusMessage::createMethodCall(
        watcherService(), QStringLiteral("/StatusNotifierWatcher"), watcherService(),
        QStringLiteral("RegisterStatusNotifierItem"));
    call << m_serviceName;
    // Whatever the watcher answers, or if it never does, nothing waits for it.
    m_connection.asyncCall(call);
}

void StatusNotifierItem::registerUnlessKnown()
{
    // A watcher that starts after its items looks for them on the bus itself (GNOME's
    // extension does), and one of those treats a second registration as a reset that loses
    // the item. So ask first, and register only where it does not list the item yet.
    QDBusMessage read = QDBusMessage::createMethodCall(
        watcherService(), QStringLiteral("/StatusNotifierWatcher"),
        QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    read << watcherService() << QStringLiteral("RegisteredStatusNotifierItems");
    auto* watch = new QDBusPendingCallWatcher(m_connection.asyncCall(read, 2000), this);
    connect(watch, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* call) {
        call->deleteLater();
        const QDBusMessage reply = call->reply();
        QStringList listed;
        if (reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty())
            listed = reply.arguments().constFirst().value<QDBusVariant>().variant().toStringList();
        const QString uniqueName = m_connection.baseService();
        for (const QString& entry : listed) {
            if (entry.startsWith(m_serviceName) || entry.startsWith(uniqueName)) {
                emit registrationChecked(true);
                return;
            }
        }
        registerWithWatcher();
        emit registrationChecked(false);
    });
}

void StatusNotifierItem::setImages(const QList<QImage>& images)
{
    m_images = images;
    const bool stretches = TrayHost::stretchesToSquare();
    QList<QImage> pictures;
    for (const QImage& image : images) {
        if (!image.isNull()) {
            QImage plain = image;
            plain.setDevicePixelRatio(1); // the protocol counts pixels
            // A host that stretches every picture to a square gets the wide icon centred on a
            // square of its width, so that it keeps its shape.
            pictures.append(stretches ? squared(plain) : plain);
        }
    }
    if (stretches) {
        if (!m_gnomeIconSize) {
            m_gnomeIconSize = std::make_unique<GSettingsKey>(
                "org.gnome.shell.extensions.appindicator", "icon-size");
            // A larger box may need the larger picture.
            connect(m_gnomeIconSize.get(), &GSettingsKey::changed, this,
                    [this] { setImages(m_images); });
        }
        pictures = picturesForASquareBox(pictures, squareBoxSize(m_gnomeIconSize.get()));
    }
    DBusImageList pixmaps;
    for (const QImage& picture : std::as_const(pictures))
        pixmaps.append(toDBusImage(picture));
    m_pixmaps = pixmaps;
    emit iconChanged();
}

void StatusNotifierItem::setToolTip(const QString& title, const QString& text)
{
    if (title == m_toolTipTitle && text == m_toolTipText)
        return;
    m_toolTipTitle = title;
    m_toolTipText = text;
    emit toolTipChanged();
}

void StatusNotifierItem::setAccessibleDescription(const QString& description)
{
    // No signal of its own: hosts read it when the picture changes.
    m_accessibleDescription = description;
}

DBusToolTip StatusNotifierItem::toolTip() const
{
    return {QString(), {}, m_toolTipTitle, m_toolTipText};
}

#include "StatusNotifierItem.moc"
