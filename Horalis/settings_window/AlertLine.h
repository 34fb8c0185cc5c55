#pragma once

#include <QLabel>

// A line of text that tells a failure: to a screen reader an alert, announced as it appears.
class AlertLine : public QLabel
{
    Q_OBJECT

public:
    explicit AlertLine(QWidget* parent = nullptr);

    // Shows `text` and announces it; an empty text hides the line.
    void tell(const QString& text);
};
