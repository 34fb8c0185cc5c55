#pragma once

#include <QWidget>

// A thin horizontal rule in the separator colour, across the width it is given.
class Divider : public QWidget
{
    Q_OBJECT

public:
    explicit Divider(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
