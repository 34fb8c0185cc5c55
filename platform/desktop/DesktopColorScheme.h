#pragma once

#include <QDBusConnection>
// Complete for the slots' signatures, which the bus looks up at run time.
#include <QDBusVariant>
#include <QObject>
#include <QPalette>
#include <QString>

#include <optional>

class GSettingsKey;
class QFileSystemWatcher;

// Whether the desktop asks for a light or a dark style, and when that changes. In order: the
// freedesktop appearance portal's color-scheme; then the desktop's own setting (GNOME's
// color-scheme or a dark GTK theme, Cinnamon's and MATE's GTK theme, XFCE's dark panel or
// theme, KDE's colour scheme); then whether the palette Qt was given is dark already. Every
// question is asked without waiting: until an answer comes the style stays as it is, and a
// desktop that never answers leaves it light.
class DesktopColorScheme : public QObject
{
    Q_OBJECT

public:
    explicit DesktopColorScheme(QDBusConnection bus = QDBusConnection::sessionBus(),
                                QObject* parent = nullptr);
    ~DesktopColorScheme() override;

    // The application's one follower of the desktop's style, made on first use and gone with
    // the application; none without one.
    static DesktopColorScheme* shared();

    bool isDark() const { return m_dark; }

    // What each kind of setting says: dark, light, or nothing.
    static std::optional<bool> fromPortal(const QVariant& colorScheme);
    static std::optional<bool> fromGnomeColorScheme(const QString& colorScheme);
    static std::optional<bool> fromThemeName(const QString& theme);
    static std::optional<bool> fromKdeGlobals(const QString& path);

signals:
    void darkChanged(bool dark);

private slots:
    void portalSettingChanged(const QString& group, const QString& key, const QDBusVariant& value);
    void xfconfPropertyChanged(const QString& channel, const QString& property,
                               const QDBusVariant& value);

private:
    void askPortal();
    void followGSettings(const char* schema, const char* colorSchemeKey, const char* themeKey);
    void followXfce();
    void followKde();
    void readGSettings();
    void decide();

    QDBusConnection m_bus;
    bool m_paletteDark;
    bool m_dark;
    std::optional<bool> m_portal;
    std::optional<bool> m_desktop;
    // XFCE: the panel's dark mode, and the GTK theme its settings daemon hands out.
    std::optional<bool> m_xfcePanel;
    std::optional<bool> m_xfceTheme;
    GSettingsKey* m_colorSchemeKey = nullptr;
    GSettingsKey* m_themeKey = nullptr;
    QFileSystemWatcher* m_kdeWatcher = nullptr;
};
