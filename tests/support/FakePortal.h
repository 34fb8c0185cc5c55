#pragma once

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QObject>
#include <QProcess>
#include <QThread>

#include <atomic>

// A session bus of the test's own: a dbus-daemon that lives as long as the object.
class PrivateBus
{
public:
    PrivateBus();
    ~PrivateBus();
    PrivateBus(const PrivateBus&) = delete;
    PrivateBus& operator=(const PrivateBus&) = delete;

    bool isUp() const { return !m_address.isEmpty(); }
    // A connection of its own under `name`, closed with the bus.
    QDBusConnection connect(const QString& name);

private:
    QProcess m_daemon;
    QString m_address;
    QStringList m_names;
};

// The freedesktop appearance portal (org.freedesktop.portal.Settings), as xdg-desktop-portal
// answers Read, on a thread of its own as a portal answers from another process. It can also
// say that the setting changed, or take calls and never answer them.
class FakePortal : public QObject
{
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.portal.Settings")

public:
    explicit FakePortal(QDBusConnection bus);
    ~FakePortal() override;

    std::atomic<uint> colorScheme = 0;
    std::atomic<bool> silent = false;

    void announce(uint scheme);

public slots:
    QDBusVariant Read(const QString& group, const QString& key, const QDBusMessage& message);

private:
    QDBusConnection m_bus;
    QThread m_thread;
};
