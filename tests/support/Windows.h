#pragma once

#include <QApplication>
#include <QMenu>
#include <QWidget>

// What a window list shows of the program: its top-level window of a kind, null where it has
// none (yet).
template <typename Window> Window* topLevelWindow()
{
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (auto* window = qobject_cast<Window*>(widget))
            return window;
    }
    return nullptr;
}

// A part of a window, found by its object name as a user's tools find it; null where it has
// none of that kind and name.
template <typename Part> Part* namedPart(const QWidget& window, const char* name)
{
    return window.findChild<Part*>(QString::fromLatin1(name));
}

// The menu open at the moment, null where none is.
inline QMenu* openMenu()
{
    return qobject_cast<QMenu*>(QApplication::activePopupWidget());
}
