#pragma once

#include <QPointer>
#include <QWidget>

class QLabel;
class MenuButton;
class ProgressCalculator;
class ProgressStatRow;

// The panel under the tray icon: the day as a large percentage, the time left today, a row
// with a segmented bar for each of the week, month and year, then "Settings..." and
// "Quit Horalis". It shows the calculator's values and follows each refresh with one update.
// From the keyboard, Tab, Shift+Tab and the arrow keys move between the two button rows.
class ContentView : public QWidget
{
    Q_OBJECT

public:
    explicit ContentView(ProgressCalculator* calculator, QWidget* parent = nullptr);

signals:
    // "Settings..." or "Quit Horalis" was clicked, or its shortcut pressed.
    void settingsRequested();
    void quitRequested();

protected:
    void showEvent(QShowEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    bool focusNextPrevChild(bool next) override;

private:
    void scheduleRefresh();
    void refresh();

    QPointer<ProgressCalculator> m_calculator;
    QLabel* m_dayFigure;
    QLabel* m_timeRemaining;
    ProgressStatRow* m_rows[3];
    MenuButton* m_settings;
    MenuButton* m_quit;
    bool m_refreshQueued = false;
    bool m_stale = false;
    // Filled in once; after that a hidden panel waits to be shown.
    bool m_filled = false;
};
