#include "platform/AccessibleApplication.h"

#include <QAccessibleWidget>
#include <QGuiApplication>
#include <QWidget>
#include <QWindow>

namespace {

QAccessibleInterface* factory(const QString&, QObject* object)
{
    if (!object)
        return nullptr;
    if (object == qApp)
        return new AccessibleApplication;
    // A window made straight from QWidget is a window to a screen reader, not the anonymous
    // filler Qt takes a plain widget for.
    if (object->isWidgetType() &&
        object->metaObject()->superClass() == &QWidget::staticMetaObject) {
        auto* widget = static_cast<QWidget*>(object);
        if (widget->isWindow())
            return new QAccessibleWidget(widget, QAccessible::Window);
    }
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
