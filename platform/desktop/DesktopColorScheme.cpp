#include "platform/desktop/DesktopColorScheme.h"

#include "platform/desktop/DesktopSession.h"
#include "platform/desktop/GSettingsKey.h"
#include "platform/files/XdgConfigHome.h"

#include <QCoreApplication>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QDBusVariant>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QGuiApplication>
#include <QPointer>
#include <QSettings>

namespace {

const QString kPortalService = QStringLiteral("org.freedesktop.portal.Desktop");
const QString kPortalPath = QStringLiteral("/org/freedesktop/portal/desktop");
const QString kPortalInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString kAppearance = QStringLiteral("org.freedesktop.appearance");
const QString kColorScheme = QStringLiteral("color-scheme");
const QString kXfconfService = QStringLiteral("org.xfce.Xfconf");
const QString kXfconfPath = QStringLiteral("/org/xfce/Xfconf");
const QString kPanelChannel = QStringLiteral("xfce4-panel");
const QString kPanelDarkMode = QStringLiteral("/panels/dark-mode");
const QString kXsettingsChannel = QStringLiteral("xsettings");
const QString kThemeName = QStringLiteral("/Net/ThemeName");

QVariant unwrapped(QVariant value)
{
    // The portal sends a variant in a variant.
    while (value.userType() == qMetaTypeId<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}

} // namespace

DesktopColorScheme* DesktopColorScheme::shared()
{
    static QPointer<DesktopColorScheme> instance;
    if (!instance && QCoreApplication::instance())
        instance =
            new DesktopColorScheme(QDBusConnection::sessionBus(), QCoreApplication::instance());
    return instance;
}

DesktopColorScheme::DesktopColorScheme(QDBusConnection bus, QObject* parent)
    : QObject(parent), m_bus(std::move(bus)),
      m_paletteDark(QGuiApplication::palette().color(QPalette::Window).lightnessF() < 0.5),
      m_dark(m_paletteDark)
{
    // The bus finds the slots' parameter types by name: known only once registered.
    qRegisterMetaType<QDBusVariant>();
    if (DesktopSession::is("XFCE"))
        followXfce();
    else if (DesktopSession::is("KDE"))
        followKde();
    else if (DesktopSession::is("X-Cinnamon"))
        followGSettings("org.cinnamon.desktop.interface", nullptr, "gtk-theme");
    else if (DesktopSession::is("MATE"))
        followGSettings("org.mate.interface", nullptr, "gtk-theme");
    else if (DesktopSession::is("GNOME") || DesktopSession::is("Budgie") ||
             DesktopSession::is("Unity") || DesktopSession::is("Pantheon"))
        followGSettings("org.gnome.desktop.interface", "color-scheme", "gtk-theme");
    askPortal();
    decide();
}

DesktopColorScheme::~DesktopColorScheme() = default;

std::optional<bool> DesktopColorScheme::fromPortal(const QVariant& colorScheme)
{
    // 1 asks for dark, 2 for light, 0 states no preference.
    bool isNumber = false;
    const uint value = unwrapped(colorScheme).toUInt(&isNumber);
    if (!isNumber || (value != 1 && value != 2))
        return std::nullopt;
    return value == 1;
}

std::optional<bool> DesktopColorScheme::fromGnomeColorScheme(const QString& colorScheme)
{
    if (colorScheme == QLatin1String("prefer-dark"))
        return true;
    if (colorScheme == QLatin1String("prefer-light"))
        return false;
    return std::nullopt;
}

std::optional<bool> DesktopColorScheme::fromThemeName(const QString& theme)
{
    if (theme.trimmed().isEmpty())
        return std::nullopt;
    // Adwaita-dark, Mint-Y-Dark-Aqua, Yaru-dark, Greybird-dark, Arc-Dark, HighContrastInverse.
    const QString name = theme.toLower();
    return name.contains(QLatin1String("dark")) || name.contains(QLatin1String("inverse"));
}

std::optional<bool> DesktopColorScheme::fromKdeGlobals(const QString& path)
{
    const QFileInfo file(path);
    if (!file.isFile() || !file.isReadable())
        return std::nullopt;
    const QSettings globals(path, QSettings::IniFormat);
    const QStringList rgb =
        globals.value(QStringLiteral("Colors:Window/BackgroundNormal")).toStringList();
    if (rgb.size() != 3)
        return std::nullopt;
    int channels[3];
    for (int i = 0; i < 3; ++i) {
        bool ok = false;
        channels[i] = rgb[i].trimmed().toInt(&ok);
        if (!ok || channels[i] < 0 || channels[i] > 255)
            return std::nullopt;
    }
    return QColor(channels[0], channels[1], channels[2]).lightnessF() < 0.5;
}

void DesktopColorScheme::askPortal()
{
    if (!m_bus.isConnected())
        return;
    m_bus.connect(kPortalService, kPortalPath, kPortalInterface, QStringLiteral("SettingChanged"),
                  this, SLOT(portalSettingChanged(QString, QString, QDBusVariant)));
    QDBusMessage call = QDBusMessage::createMethodCall(kPortalService, kPortalPath,
                                                       kPortalInterface, QStringLiteral("Read"));
    call << kAppearance << kColorScheme;
    auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
    connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
        const QDBusPendingReply<QDBusVariant> reply = *w;
        w->deleteLater();
        if (reply.isError())
            return;
        m_portal = fromPortal(reply.argumentAt(0));
        decide();
    });
}

void DesktopColorScheme::portalSettingChanged(const QString& group, const QString& key,
                                              const QDBusVariant& value)
{
    if (group != kAppearance || key != kColorScheme)
        return;
    m_portal = fromPortal(value.variant());
    decide();
}

void DesktopColorScheme::followGSettings(const char* schema, const char* colorSchemeKey,
                                         const char* themeKey)
{
    if (colorSchemeKey) {
        m_colorSchemeKey = new GSettingsKey(schema, colorSchemeKey, this);
        connect(m_colorSchemeKey, &GSettingsKey::changed, this, &DesktopColorScheme::readGSettings);
    }
    m_themeKey = new GSettingsKey(schema, themeKey, this);
    connect(m_themeKey, &GSettingsKey::changed, this, &DesktopColorScheme::readGSettings);
    readGSettings();
}

void DesktopColorScheme::readGSettings()
{
    // GNOME 42 and later: color-scheme, where "default" is the light style unless the GTK
    // theme itself is dark.
    std::optional<bool> answer;
    if (m_colorSchemeKey)
        if (const auto scheme = m_colorSchemeKey->value())
            answer = fromGnomeColorScheme(*scheme);
    if (!answer)
        if (const auto theme = m_themeKey->value())
            answer = fromThemeName(*theme);
    m_desktop = answer;
    decide();
}

void DesktopColorScheme::followXfce()
{
    if (!m_bus.isConnected())
        return;
    m_bus.connect(kXfconfService, kXfconfPath, kXfconfService, QStringLiteral("PropertyChanged"),
                  this, SLOT(xfconfPropertyChanged(QString, QString, QDBusVariant)));
    for (const auto& key :
         {std::pair(kPanelChannel, kPanelDarkMode), std::pair(kXsettingsChannel, kThemeName)}) {
        const QString channel = key.first;
        const QString property = key.second;
        QDBusMessage call = QDBusMessage::createMethodCall(
            kXfconfService, kXfconfPath, kXfconfService, QStringLiteral("GetProperty"));
        call << channel << property;
        // Asked of a running XFCE, never started for the question.
        call.setAutoStartService(false);
        auto* watcher = new QDBusPendingCallWatcher(m_bus.asyncCall(call), this);
        connect(watcher, &QDBusPendingCallWatcher::finished, this,
                [this, channel, property](QDBusPendingCallWatcher* w) {
                    const QDBusPendingReply<QDBusVariant> reply = *w;
                    w->deleteLater();
                    if (!reply.isError())
                        xfconfPropertyChanged(channel, property, reply.value());
                });
    }
}

void DesktopColorScheme::xfconfPropertyChanged(const QString& channel, const QString& property,
                                               const QDBusVariant& value)
{
    const QVariant plain = unwrapped(value.variant());
    if (channel == kPanelChannel && property == kPanelDarkMode)
        m_xfcePanel =
            plain.typeId() == QMetaType::Bool ? std::optional(plain.toBool()) : std::nullopt;
    else if (channel == kXsettingsChannel && property == kThemeName)
        m_xfceTheme = fromThemeName(plain.toString());
    else
        return;
    // The panel opens under XFCE's bar, dark by default since 4.18, whatever the GTK theme.
    if (m_xfcePanel.value_or(false) || m_xfceTheme.value_or(false))
        m_desktop = true;
    else if (m_xfcePanel || m_xfceTheme)
        m_desktop = false;
    else
        m_desktop.reset();
    decide();
}

void DesktopColorScheme::followKde()
{
    const QString folder = XdgConfigHome::path();
    if (folder.isEmpty())
        return;
    const QString path = folder + QStringLiteral("/kdeglobals");
    m_kdeWatcher = new QFileSystemWatcher(this);
    // KDE writes the file anew: watch the folder too, to find it again.
    m_kdeWatcher->addPath(folder);
    if (QFileInfo::exists(path))
        m_kdeWatcher->addPath(path);
    const auto reread = [this, path] {
        if (QFileInfo::exists(path) && !m_kdeWatcher->files().contains(path))
            m_kdeWatcher->addPath(path);
        m_desktop = fromKdeGlobals(path);
        decide();
    };
    connect(m_kdeWatcher, &QFileSystemWatcher::fileChanged, this, reread);
    connect(m_kdeWatcher, &QFileSystemWatcher::directoryChanged, this, reread);
    m_desktop = fromKdeGlobals(path);
}

void DesktopColorScheme::decide()
{
    const bool dark = m_portal.value_or(m_desktop.value_or(m_paletteDark));
    if (dark == m_dark)
        return;
    m_dark = dark;
    emit darkChanged(dark);
}
