#pragma once

#include <QWidget>

#include <cstdint>

class QLabel;
class SegmentedProgressBar;

// One period of the panel: its name and percentage on a line, its segmented bar below.
class ProgressStatRow : public QWidget
{
    Q_OBJECT

public:
    ProgressStatRow(const QString& label, double progress, std::int64_t segments,
                    QWidget* parent = nullptr);

    void setProgress(double progress);

    QString labelText() const;
    QString percentageText() const;
    SegmentedProgressBar* bar() const { return m_bar; }

private:
    QLabel* m_label;
    QLabel* m_percentage;
    SegmentedProgressBar* m_bar;
};
