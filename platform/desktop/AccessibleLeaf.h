#pragma once

#include <QAccessibleWidget>

// A widget that a screen reader takes as one object: the labels and parts drawn inside it are
// not children of their own.
class AccessibleLeaf : public QAccessibleWidget
{
public:
    using QAccessibleWidget::QAccessibleWidget;

    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QAccessibleInterface* childAt(int, int) const override { return nullptr; }
};
