#include "Horalis/panel/AccessibleProgressRow.h"

#include "Horalis/panel/ProgressStatRow.h"

AccessibleProgressRow::AccessibleProgressRow(ProgressStatRow* row)
    : AccessibleLeaf(row, QAccessible::ProgressBar)
{}

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
        return AccessibleLeaf::text(t);
    }
}

void* AccessibleProgressRow::interface_cast(QAccessible::InterfaceType type)
{
    if (type == QAccessible::ValueInterface)
        return static_cast<QAccessibleValueInterface*>(this);
    return AccessibleLeaf::interface_cast(type);
}

QVariant AccessibleProgressRow::currentValue() const
{
    return QVariant::fromValue(row()->percentage());
}
