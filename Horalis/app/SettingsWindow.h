#pragma once

#include <QWidget>

class SettingsView;

// The window around a fresh SettingsView: titled "Settings", 480 × 280 (larger only where a
// large font needs the room), not resizable, with a close button only, movable by dragging its
// background. Escape and Ctrl+W close it; closing it destroys it.
class SettingsWindow : public QWidget
{
    Q_OBJECT

public:
    explicit SettingsWindow(QWidget* content = nullptr);

    // Centres the window on the screen that holds the pointer.
    void centreOnPointerScreen();
    // Shows the window in front of the others, the keyboard's, even where it was minimised.
    void bringToFront();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
