#include "platform/desktop/AccessibleApplication.h"

#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace {

// A widget made straight from QWidget, as Qt's own would be, but a window to a screen reader
// while it is one, not the anonymous filler Qt takes every plain widget for.
class PlainWidget : public QAccessibleWidget
{
public:
    using QAccessibleWidget::QAccessibleWidget;

    QAccessible::Role role() const override
    {
        return widget()->isWindow() ? QAccessible::Window : QAccessibleWidget::role();
    }
};

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (!object)
        return nullptr;
    if (object == qApp)
        return new AccessibleApplication;
    // Asked at the QWidget level only where nothing answered for a class below it.
    if (object->isWidgetType() && className == QLatin1String("QWidget"))
        return new PlainWidget(static_cast<QWidget*>(object));
    return nullptr;
}

} // namespace

void AccessibleApplication::install()
{
    // Qt keeps a factory once, however often it is installed.
    QAccessible::installFactory(factory);
}

QObjectList AccessibleApplication::windows()
{
    QObjectList found;
    for (QWindow* window : QGuiApplication::topLevelWindows()) {
        if (!window->isVisible() || window->type() == Qt::Desktop)
            continue;
        if (QAccessibleInterface* root = window->accessibleRoot(); root && root->object())
            found.append(root->object());
    }
    return found;
}

int AccessibleApplication::childCount() const
{
    return static_cast<int>(windows().size());
}

int AccessibleApplication::indexOfChild(const QAccessibleInterface* child) const
{
    return child ? static_cast<int>(windows().indexOf(child->object())) : -1;
}

QAccessibleInterface* AccessibleApplication::child(int index) const
{
    const QObjectList all = windows();
    if (index < 0 || index >= all.size())
        return nullptr;
    return QAccessible::queryAccessibleInterface(all.at(index));
}
