#pragma once

#include <QAccessible>
#include <QString>

// Makes every `Widget` answer a screen reader with an `Interface` built from it. Qt asks the
// factories with the class name of each level of an object's class, most derived first.
template <typename Widget, typename Interface> void installAccessibleInterface()
{
    // Qt keeps a factory once, however often it is installed.
    QAccessible::installFactory([](const QString& className, QObject* object) {
        return className == QLatin1String(Widget::staticMetaObject.className())
                   ? static_cast<QAccessibleInterface*>(new Interface(static_cast<Widget*>(object)))
                   : nullptr;
    });
}
