#pragma once

#include <QWidget>

class QScreen;

// A transparent X window over the free area of a screen, under the panel, for an X client in a
// Wayland session whose compositor has no layer shell (GNOME's): Xwayland tells a client of no
// click outside its own windows, so the panel's window alone never learns of a click on the
// desktop or on another program's window. This window takes that click instead. It leaves the
// desktop's bars uncovered: a window the size of the whole screen would be taken for one shown
// full screen, and the bars would hide.
class ClickCatcher : public QWidget
{
    Q_OBJECT

public:
    ClickCatcher();

    void cover(const QScreen* screen);

signals:
    void clicked();

protected:
    void mousePressEvent(QMouseEvent* event) override;
};
