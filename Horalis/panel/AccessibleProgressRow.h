#pragma once

#include "platform/desktop/AccessibleLeaf.h"

class ProgressStatRow;

// A period row as a screen reader knows it: one progress bar named after the period ("Week")
// whose value is the whole percentage the row shows, 0 to 100. Its name, figure and bar are
// that one object, not three loose children.
class AccessibleProgressRow : public AccessibleLeaf, public QAccessibleValueInterface
{
public:
    explicit AccessibleProgressRow(ProgressStatRow* row);

    QString text(QAccessible::Text t) const override;
    void* interface_cast(QAccessible::InterfaceType type) override;

    QVariant currentValue() const override;
    // The figure follows the clock, never the user.
    void setCurrentValue(const QVariant&) override {}
    QVariant maximumValue() const override { return 100; }
    QVariant minimumValue() const override { return 0; }
    QVariant minimumStepSize() const override { return 1; }

private:
    ProgressStatRow* row() const;
};
