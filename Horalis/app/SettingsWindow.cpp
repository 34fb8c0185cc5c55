#include "Horalis/app/SettingsWindow.h"

#include "Horalis/settings_window/SettingsView.h"

#include <QCursor>
#include <QGuiApplication>
#include <QMouseEvent>
#include <QScreen>
#include <QShortcut>
#include <QVBoxLayout>
#include <QWindow>

SettingsWindow::SettingsWindow(QWidget* content) : QWidget(nullptr)
{
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowCloseButtonHint);
    setWindowTitle(QStringLiteral("Settings"));
    setAttribute(Qt::WA_DeleteOnClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content ? content : new SettingsView(this));
    // Exactly the content's size, which is never below 480 × 280 and larger only where a large
    // font needs the room; it follows a change of font while open.
    layout->setSizeConstraint(QLayout::SetFixedSize);
    // Sized now, so that it can be centred before it is shown.
    layout->activate();
    for (const QKeySequence& key :
         {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
        connect(new QShortcut(key, this), &QShortcut::activated, this, &QWidget::close);
}

void SettingsWindow::bringToFront()
{
    // show() alone leaves a minimised window minimised.
    setWindowState((windowState() & ~Qt::WindowMinimized) | Qt::WindowActive);
    show();
    raise();
    activateWindow();
}

void SettingsWindow::centreOnPointerScreen()
{
    const QScreen* screen = QGuiApplication::screenAt(QCursor::pos());
    if (!screen)
        screen = QGuiApplication::primaryScreen();
    if (!screen)
        return;
    QRect frame(QPoint(), size());
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void SettingsWindow::mousePressEvent(QMouseEvent* event)
{
    // A press that no control took lands here, on the background: let the window manager move
    // the window from it.
    if (event->button() == Qt::LeftButton && windowHandle() && windowHandle()->startSystemMove()) {
        event->accept();
        return;
    }
    QWidget::mousePressEvent(event);
}
