// Runs every test in a process of its own configuration and runtime folders, so that no test
// sees the user's preferences or autostart entries, nor another test's.

#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <cstdlib>

#if defined(HORALIS_TEST_APP_Widgets)
#include <QApplication>
using TestApplication = QApplication;
#elif defined(HORALIS_TEST_APP_Gui)
#include <QGuiApplication>
using TestApplication = QGuiApplication;
#else
#include <QCoreApplication>
using TestApplication = QCoreApplication;
#endif

int main(int argc, char** argv)
{
    QTemporaryDir home;
    if (!home.isValid())
        return 2;
    ::setenv("XDG_CONFIG_HOME", qPrintable(home.filePath(QStringLiteral("config"))), 1);
    ::setenv("XDG_RUNTIME_DIR", qPrintable(home.path()), 1);
    ::setenv("HOME", qPrintable(home.path()), 1);
    if (!std::getenv("QT_QPA_PLATFORM"))
        ::setenv("QT_QPA_PLATFORM", "offscreen", 1);
    TestApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
