#pragma once

#include <QApplication>
#include <QPalette>

#include <memory>

class AppDelegate;
class SingleInstance;

// The application: a tray program with no window at start, which closing a window never ends.
// Only one runs per session; a second start leaves `isPrimaryInstance()` false and does nothing.
// Its windows follow the desktop's light or dark style.
class HoralisApp : public QApplication
{
    Q_OBJECT

public:
    HoralisApp(int& argc, char** argv);
    ~HoralisApp() override;

    bool isPrimaryInstance() const;

private:
    void followColorScheme(bool dark);

    std::unique_ptr<SingleInstance> m_instance;
    QPalette m_givenPalette;
    std::unique_ptr<AppDelegate> m_appDelegate;
};
