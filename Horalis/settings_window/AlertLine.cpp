#include "Horalis/settings_window/AlertLine.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (className == QLatin1String(AlertLine::staticMetaObject.className()))
        return new QAccessibleWidget(static_cast<AlertLine*>(object), QAccessible::AlertMessage);
    return nullptr;
}

} // namespace

AlertLine::AlertLine(QWidget* parent) : QLabel(parent)
{
    // Qt keeps a factory once, however often it is installed.
    QAccessible::installFactory(factory);
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    hide();
}

void AlertLine::tell(const QString& text)
{
    setText(text);
    // An alert's words are its name.
    setAccessibleName(text);
    setVisible(!text.isEmpty());
    if (!text.isEmpty()) {
        QAccessibleEvent event(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&event);
    }
}
