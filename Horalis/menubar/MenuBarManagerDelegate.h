#pragma once

#include <QObject>

// What the tray item asks of the application: to open the Settings window, or bring the open
// one to the front. A QObject, so that the manager's reference to it is weak (a QPointer).
class MenuBarManagerDelegate : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;
    virtual void openSettingsWindow() = 0;
};
