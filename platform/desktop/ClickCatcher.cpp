#include "platform/desktop/ClickCatcher.h"

#include <QMouseEvent>
#include <QScreen>

ClickCatcher::ClickCatcher()
    // A window the window manager keeps, so that the panel, kept above the others, stays above
    // it: one that bypassed the manager would be stacked over every window it keeps.
    : QWidget(nullptr, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
{
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(QStringLiteral("Horalis"));
}

void ClickCatcher::cover(const QScreen* screen)
{
    setGeometry(screen->availableGeometry());
    show();
}

void ClickCatcher::mousePressEvent(QMouseEvent* event)
{
    event->accept();
    emit clicked();
}
