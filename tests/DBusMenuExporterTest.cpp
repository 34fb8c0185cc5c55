#include "platform/DBusMenuExporter.h"

#include <gtest/gtest.h>

#include <QAction>
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
