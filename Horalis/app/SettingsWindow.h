#pragma once

#include <QWidget>

class SettingsView;

// The window around a fresh SettingsView: titled "Settings", 480 × 280, not resizable, with a
// close button only, movable by dragging its background. Closing it destroys it.
class SettingsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsWindow(QWidget* content = nullptr);

    // Centres the window on the screen that holds the pointer.
    void centreOnPointerScreen();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
