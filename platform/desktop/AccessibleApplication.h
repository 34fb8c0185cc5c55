#pragma once

#include <QAccessibleApplication>

// The application as assistive technologies see it. Qt's own leaves popup windows out of the
// application's children, so a screen reader walking the tree never finds the tray panel;
// this one lists every visible top-level window, popups included. Windows made straight from
// QWidget take the window role.
class AccessibleApplication : public QAccessibleApplication
{
public:
    // Makes the application answer with this interface; before any window is shown.
    static void install();

    int childCount() const override;
    int indexOfChild(const QAccessibleInterface* child) const override;
    QAccessibleInterface* child(int index) const override;

private:
    static QObjectList windows();
};
