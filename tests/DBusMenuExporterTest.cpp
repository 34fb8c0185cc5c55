#include "platform/tray/DBusMenuExporter.h"
#include "support/FakePortal.h"

#include <gtest/gtest.h>

#include <QAction>
#include <QDBusPendingReply>
#include <QMenu>
#include <QTest>

TEST(DBusMenuExporter, PublishesTheMenuAsHostsReadItAndRunsWhatTheyClick)
{
    QMenu menu;
    int settings = 0, quit = 0;
    menu.addAction(QStringLiteral("Settings..."), [&] { ++settings; })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Comma));
    menu.addSeparator();
    menu.addAction(QStringLiteral("Quit Horalis"), [&] { ++quit; })
        ->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    DBusMenuExporter exporter(&menu);

    const DBusMenuLayoutItem root = exporter.layout();
    EXPECT_EQ(root.id, 0);
    EXPECT_EQ(root.properties.value("children-display"), "submenu");
    ASSERT_EQ(root.children.size(), 3);
    EXPECT_EQ(root.children[0].properties.value("label"), "Settings...");
    EXPECT_EQ(root.children[0].properties.value("shortcut").value<QList<QStringList>>(),
              (QList<QStringList>{{"Control", "comma"}}));
    EXPECT_EQ(root.children[1].properties.value("type"), "separator");
    EXPECT_EQ(root.children[2].properties.value("label"), "Quit Horalis");
    EXPECT_EQ(root.children[2].properties.value("shortcut").value<QList<QStringList>>(),
              (QList<QStringList>{{"Control", "q"}}));
    EXPECT_EQ(exporter.properties({}).size(), 4) << "no ids asks for every item";
    EXPECT_EQ(exporter.properties({3, 7}).size(), 1) << "unknown ids are left out";

    exporter.activate(3);
    exporter.activate(99); // no such item: nothing happens
    EXPECT_TRUE(QTest::qWaitFor([&] { return quit == 1; }, 2000));
    EXPECT_EQ(settings, 0);
}

TEST(DBusMenuExporter, AHostsGroupOfClicksRunsEachItemOnceAndNamesTheUnknownOnes)
{
    PrivateBus bus;
    ASSERT_TRUE(bus.isUp()) << "no dbus-daemon";
    QMenu menu;
    int quit = 0;
    menu.addAction(QStringLiteral("Quit Horalis"), [&] { ++quit; });
    DBusMenuExporter exporter(&menu);
    QDBusConnection item = bus.connect(QStringLiteral("item"));
    ASSERT_TRUE(exporter.publish(item));

    // The same click sent twice, a hover, and a click on an item the menu lacks.
    const auto event = [](int id, const char* what) {
        return DBusMenuEvent{id, QString::fromLatin1(what), QDBusVariant(0), 0};
    };
    QDBusMessage call = QDBusMessage::createMethodCall(
        item.baseService(), DBusMenuExporter::objectPath(),
        QStringLiteral("com.canonical.dbusmenu"), QStringLiteral("EventGroup"));
    call << QVariant::fromValue(DBusMenuEventList{event(1, "clicked"), event(1, "clicked"),
                                                  event(1, "hovered"), event(42, "clicked")});
    QDBusPendingReply<QList<int>> reply = bus.connect(QStringLiteral("host")).asyncCall(call);
    ASSERT_TRUE(QTest::qWaitFor([&] { return reply.isFinished(); }, 5000));
    ASSERT_TRUE(reply.isValid()) << reply.error().message().toStdString();
    EXPECT_EQ(reply.value(), QList<int>{42});
    EXPECT_TRUE(QTest::qWaitFor([&] { return quit > 0; }, 2000));
    QTest::qWait(50);
    EXPECT_EQ(quit, 1);
}

// Qt's readers (Plasma, LXQt) turn a shortcut back into a key sequence from Qt's own names,
// GTK's (XFCE, Cinnamon, MATE, waybar) parse X's key names: each desktop's host gets the names
// it can read, or shows no hint at all.
TEST(DBusMenuExporter, NamesShortcutKeysAsTheDesktopsHostReadsThem)
{
    const auto shortcutFor = [](QKeySequence sequence, TrayHost::KeyNames names) {
        QMenu menu;
        menu.addAction(QStringLiteral("Entry"))->setShortcut(sequence);
        return DBusMenuExporter(&menu, nullptr, names)
            .layout()
            .children[0]
            .properties.value("shortcut")
            .value<QList<QStringList>>();
    };
    const QKeySequence settings(Qt::CTRL | Qt::Key_Comma), quit(Qt::CTRL | Qt::Key_Q),
        zoom(Qt::CTRL | Qt::SHIFT | Qt::Key_Plus), windows(Qt::META | Qt::Key_Minus);
    EXPECT_EQ(shortcutFor(settings, TrayHost::KeyNames::Qt),
              (QList<QStringList>{{"Control", ","}}));
    EXPECT_EQ(shortcutFor(quit, TrayHost::KeyNames::Qt), (QList<QStringList>{{"Control", "Q"}}));
    EXPECT_EQ(shortcutFor(zoom, TrayHost::KeyNames::Qt),
              (QList<QStringList>{{"Control", "Shift", "plus"}}));
    // As a Qt reader reads them back: joined by "+", with its few names of its own.
    for (const QKeySequence& sequence : {settings, quit, zoom, windows}) {
        QStringList keys = shortcutFor(sequence, TrayHost::KeyNames::Qt).value(0);
        keys.replaceInStrings("Control", "Ctrl");
        keys.replaceInStrings("Super", "Meta");
        keys.replaceInStrings("plus", "+");
        keys.replaceInStrings("minus", "-");
        EXPECT_EQ(QKeySequence::fromString(keys.join('+')), sequence)
            << keys.join('+').toStdString();
    }
    EXPECT_EQ(shortcutFor(zoom, TrayHost::KeyNames::X11),
              (QList<QStringList>{{"Control", "Shift", "plus"}}));
    EXPECT_EQ(shortcutFor(windows, TrayHost::KeyNames::X11),
              (QList<QStringList>{{"Super", "minus"}}));
}
