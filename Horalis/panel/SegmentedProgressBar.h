#pragma once

#include <QWidget>

#include <cstdint>
#include <vector>

// A bar cut into equal segments that fill from the left: passed segments almost opaque, the
// one in progress as faint as it is unfilled, those to come faint.
class SegmentedProgressBar : public QWidget
{
    Q_OBJECT

public:
    struct Segment
    {
        double x = 0;
        double width = 0;
        double opacity = 0;
    };

    SegmentedProgressBar(double progress, std::int64_t segments, double segmentSpacing = 3,
                         double barHeight = 12, QWidget* parent = nullptr);

    void setProgress(double progress);
    std::int64_t segmentCount() const { return m_segments; }

    // The segments for a bar `width` wide. No tolerance: where n × progress falls just below
    // an integer k, segment k - 1 is not quite full. Fewer than one segment gives none; a
    // progress that is no number counts as 0.
    static std::vector<Segment> layout(double width, std::int64_t segments, double progress,
                                       double spacing);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    double m_progress;
    std::int64_t m_segments;
    double m_spacing;
    double m_barHeight;
};
