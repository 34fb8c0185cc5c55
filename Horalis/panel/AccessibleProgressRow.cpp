#include "Horalis/panel/AccessibleProgressRow.h"

#include "Horalis/panel/ProgressStatRow.h"

namespace {

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (className == QLatin1String(ProgressStatRow::staticMetaObject.className()))
        return new AccessibleProgressRow(static_cast<ProgressStatRow*>(object));
    return nullptr;
}

} // namespace

AccessibleProgressRow::AccessibleProgressRow(ProgressStatRow* row)
    : QAccessibleWidget(row, QAccessible::ProgressBar)
{}

void AccessibleProgressRow::install()
{
    // Qt keeps a factory once, however often it is installed.
    QAccessible::installFactory(factory);
}

ProgressStatRow* AccessibleProgressRow::row() const
{
    return static_cast<ProgressStatRow*>(widget());
}

QString AccessibleProgressRow::text(QAccessible::Text t) const
{
    switch (t) {
    case QAccessible::Name:
        return row()->labelText();
    case QAccessible::Value:
        return row()->percentageText();
    default:
        return QAccessibleWidget::text(t);
    }
}

void* AccessibleProgressRow::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
}

QVariant AccessibleProgressRow::currentValue() const
{
    return QVariant::fromValue(row()->percentage());
}
