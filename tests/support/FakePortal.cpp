#include "FakePortal.h"

PrivateBus::PrivateBus()
{
    m_daemon.start(QStringLiteral("dbus-daemon"),
                   {QStringLiteral("--session"), QStringLiteral("--nofork"),
                    QStringLiteral("--print-address=1")});
    if (m_daemon.waitForReadyRead(5000))
        m_address = QString::fromLatin1(m_daemon.readLine()).trimmed();
}

PrivateBus::~PrivateBus()
{
    for (const QString& name : m_names)
        QDBusConnection::disconnectFromBus(name);
    m_daemon.terminate();
    m_daemon.waitForFinished();
}

QDBusConnection PrivateBus::connect(const QString& name)
{
    m_names.append(name);
    return QDBusConnection::connectToBus(m_address, name);
}

FakePortal::FakePortal(QDBusConnection bus) : m_bus(std::move(bus))
{
    moveToThread(&m_thread);
    m_thread.start();
    m_bus.registerObject(QStringLiteral("/org/freedesktop/portal/desktop"), this,
                         QDBusConnection::ExportAllSlots);
    m_bus.registerService(QStringLiteral("org.freedesktop.portal.Desktop"));
}

FakePortal::~FakePortal()
{
    m_bus.unregisterObject(QStringLiteral("/org/freedesktop/portal/desktop"));
    m_thread.quit();
    m_thread.wait();
}

QDBusVariant FakePortal::Read(const QString& group, const QString& key, const QDBusMessage& message)
{
    if (silent) {
        // Taken, never answered.
        message.setDelayedReply(true);
        return {};
    }
    if (group != QLatin1String("org.freedesktop.appearance") ||
        key != QLatin1String("color-scheme"))
        return {};
    // A variant in a variant, as the portal sends it.
    return QDBusVariant(QVariant::fromValue(QDBusVariant(uint(colorScheme))));
}

void FakePortal::announce(uint scheme)
{
    colorScheme = scheme;
    QDBusMessage signal = QDBusMessage::createSignal(
        QStringLiteral("/org/freedesktop/portal/desktop"),
        QStringLiteral("org.freedesktop.portal.Settings"), QStringLiteral("SettingChanged"));
    signal << QStringLiteral("org.freedesktop.appearance") << QStringLiteral("color-scheme")
           << QVariant::fromValue(QDBusVariant(scheme));
    m_bus.send(signal);
}
