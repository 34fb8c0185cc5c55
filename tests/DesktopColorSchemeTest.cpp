// Whether the desktop asks for a dark style, from what it says, without waiting on it.

#include "platform/desktop/DesktopColorScheme.h"
#include "support/FakePortal.h"
#include "support/Files.h"
#include "support/TestTime.h"

#include <gtest/gtest.h>

#include <QDBusVariant>
#include <QDir>
#include <QElapsedTimer>
#include <QSignalSpy>
#include <QTemporaryDir>

TEST(DesktopColorScheme, ReadsEachKindOfSetting)
{
    using S = DesktopColorScheme;
    EXPECT_EQ(S::fromPortal(1u), true);
    EXPECT_EQ(S::fromPortal(2u), false);
    EXPECT_EQ(S::fromPortal(QVariant::fromValue(QDBusVariant(1u))), true) << "wrapped";
    for (const QVariant& nothing :
         {QVariant(0u), QVariant(3u), QVariant(QStringLiteral("dark")), QVariant()})
        EXPECT_EQ(S::fromPortal(nothing), std::nullopt) << nothing.toString().toStdString();

    EXPECT_EQ(S::fromGnomeColorScheme(QStringLiteral("prefer-dark")), true);
    EXPECT_EQ(S::fromGnomeColorScheme(QStringLiteral("prefer-light")), false);
    EXPECT_EQ(S::fromGnomeColorScheme(QStringLiteral("default")), std::nullopt);

    for (const char* dark : {"Adwaita-dark", "Mint-Y-Dark-Aqua", "HighContrastInverse"})
        EXPECT_EQ(S::fromThemeName(QString::fromLatin1(dark)), true) << dark;
    for (const char* light : {"Adwaita", "Greybird", "Mint-Y-Aqua"})
        EXPECT_EQ(S::fromThemeName(QString::fromLatin1(light)), false) << light;
    EXPECT_EQ(S::fromThemeName(QString()), std::nullopt);

    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("kdeglobals"));
    const auto kde = [&](const QByteArray& text) {
        writeFileText(path, text);
        return S::fromKdeGlobals(path);
    };
    EXPECT_EQ(kde("[Colors:Window]\nBackgroundNormal=32,35,38\n"), true) << "Breeze Dark";
    EXPECT_EQ(kde("[General]\nColorScheme=BreezeLight\n[Colors:Window]\nBackgroundNormal=239,240,"
                  "241\n"),
              false);
    for (const QByteArray& garbled : {QByteArray("[Colors:Window]\nBackgroundNormal=32,35\n"),
                                      QByteArray("[Colors:Window]\nBackgroundNormal=a,b,c\n"),
                                      QByteArray("[Colors:Window]\nBackgroundNormal=900,0,0\n"),
                                      QByteArray("\xff\xfe\0garbage", 11), QByteArray()})
        EXPECT_EQ(kde(garbled), std::nullopt) << garbled.constData();
    QDir().mkpath(dir.filePath(QStringLiteral("folder")));
    EXPECT_EQ(S::fromKdeGlobals(dir.filePath(QStringLiteral("folder"))), std::nullopt);
}

TEST(DesktopColorScheme, FollowsThePortalAnsweringLaterAndEachChange)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.isUp()) << "no dbus-daemon";
    FakePortal portal(bus.connect(QStringLiteral("portal")));
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", "Unknown");
    portal.colorScheme = 1;

    DesktopColorScheme scheme(bus.connect(QStringLiteral("desktop")));
    QSignalSpy changes(&scheme, &DesktopColorScheme::darkChanged);
    EXPECT_FALSE(scheme.isDark()) << "light until the answer comes";
    ASSERT_TRUE(changes.wait(5000));
    EXPECT_TRUE(scheme.isDark());

    portal.announce(2);
    ASSERT_TRUE(changes.wait(5000));
    EXPECT_FALSE(scheme.isDark());
    portal.announce(1);
    ASSERT_TRUE(changes.wait(5000));
    EXPECT_TRUE(scheme.isDark());
    portal.announce(7);
    ASSERT_TRUE(changes.wait(5000));
    EXPECT_FALSE(scheme.isDark()) << "a value it does not know: light";
    EXPECT_EQ(changes.count(), 4);
}

TEST(DesktopColorScheme, APortalThatNeverAnswersHoldsNothingUp)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.isUp()) << "no dbus-daemon";
    FakePortal portal(bus.connect(QStringLiteral("portal")));
    portal.silent = true;
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", "Unknown");
    QElapsedTimer clock;
    clock.start();
    DesktopColorScheme scheme(bus.connect(QStringLiteral("desktop")));
    // A blocking call would wait for the bus's 25-second timeout.
    EXPECT_LT(clock.elapsed(), 5000);
    EXPECT_FALSE(scheme.isDark());
}

TEST(DesktopColorScheme, FollowsKdesColourSchemeFile)
{
    QTemporaryDir config;
    ScopedEnv home("XDG_CONFIG_HOME", config.path().toStdString());
    ScopedEnv desktop("XDG_CURRENT_DESKTOP", "KDE");
    const QString path = config.filePath(QStringLiteral("kdeglobals"));
    DesktopColorScheme scheme{QDBusConnection(QString())};
    EXPECT_FALSE(scheme.isDark()) << "no colour scheme written yet";

    QSignalSpy changes(&scheme, &DesktopColorScheme::darkChanged);
    writeFileText(path, "[Colors:Window]\nBackgroundNormal=32,35,38\n");
    ASSERT_TRUE(changes.wait(5000));
    EXPECT_TRUE(scheme.isDark());
    // As KDE saves it: a new file put in the old one's place.
    writeFileText(path + QStringLiteral(".new"), "[Colors:Window]\nBackgroundNormal=239,240,241\n");
    ASSERT_TRUE(QFile::remove(path));
    ASSERT_TRUE(QFile::rename(path + QStringLiteral(".new"), path));
    ASSERT_TRUE(changes.wait(5000));
    EXPECT_FALSE(scheme.isDark());
}
