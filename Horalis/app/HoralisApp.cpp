#include "Horalis/app/HoralisApp.h"

#include "Horalis/app/AppDelegate.h"
#include "platform/desktop/AccessibleApplication.h"
#include "platform/desktop/DesktopColorScheme.h"
#include "platform/desktop/SemanticColors.h"
#include "platform/session/QuitSignals.h"
#include "platform/session/SingleInstance.h"

#include <QStyle>
#include <QTimer>

HoralisApp::HoralisApp(int& argc, char** argv) : QApplication(argc, argv)
{
    setApplicationName(QStringLiteral("horalis"));
    // No display name: Qt would add it to every window title ("Settings — Horalis").
    setApplicationDisplayName(QString());
    setDesktopFileName(QStringLiteral("horalis"));
    setQuitOnLastWindowClosed(false);
    // Before a screen reader first asks, so the tray panel is in the tree it walks.
    AccessibleApplication::install();

    m_instance = std::make_unique<SingleInstance>();
    if (!m_instance->isPrimary())
        return;
    // A session's end or Ctrl+C leaves the way "Quit Horalis" does.
    connect(new QuitSignals(this), &QuitSignals::quitRequested, this, &QCoreApplication::quit);
    m_givenPalette = palette();
    // One follower of the desktop's style for the palette and the tray icon's ink alike.
    DesktopColorScheme* scheme = DesktopColorScheme::shared();
    connect(scheme, &DesktopColorScheme::darkChanged, this, &HoralisApp::followColorScheme);
    followColorScheme(scheme->isDark());
    m_appDelegate = std::make_unique<AppDelegate>();
    // Launching has finished once the event loop runs.
    QTimer::singleShot(0, m_appDelegate.get(), &AppDelegate::applicationDidFinishLaunching);
}

HoralisApp::~HoralisApp()
{
    // The delegate's windows and tray item must go while the application still exists.
    m_appDelegate.reset();
}

void HoralisApp::followColorScheme(bool dark)
{
    // A palette Qt was given dark (by a platform theme) is the desktop's own: kept as it is.
    const bool givenDark = m_givenPalette.color(QPalette::Window).lightnessF() < 0.5;
    if (dark == givenDark)
        setPalette(m_givenPalette);
    else
        setPalette(dark ? SemanticColors::darkPalette() : style()->standardPalette());
}

bool HoralisApp::isPrimaryInstance() const
{
    return m_instance->isPrimary();
}
