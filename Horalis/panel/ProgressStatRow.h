#pragma once

#include <QWidget>

#include <cstdint>
#include <optional>

class QLabel;
class SegmentedProgressBar;

// One period of the panel: its name and percentage on a line, its segmented bar below. To a
// screen reader, one progress bar that tells a new figure only when the shown one changes.
class ProgressStatRow : public QWidget
{
    Q_OBJECT

public:
    ProgressStatRow(const QString& label, double progress, std::int64_t segments,
                    QWidget* parent = nullptr);

    void setProgress(double progress);

    QString labelText() const;
    QString percentageText() const;
    // The whole percentage shown.
    std::int64_t percentage() const { return m_wholePercent.value_or(0); }
    SegmentedProgressBar* bar() const { return m_bar; }

signals:
    // The whole percentage shown changed (not at first): what a screen reader is told.
    void figureChanged(std::int64_t percentage);

private:
    QLabel* m_label;
    QLabel* m_percentage;
    SegmentedProgressBar* m_bar;
    std::optional<std::int64_t> m_wholePercent;
};
