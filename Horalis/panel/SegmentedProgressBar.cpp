#include "Horalis/panel/SegmentedProgressBar.h"

#include "platform/desktop/SemanticColors.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

SegmentedProgressBar::SegmentedProgressBar(double progress, std::int64_t segments,
                                           double segmentSpacing, double barHeight, QWidget* parent)
    : QWidget(parent), m_progress(progress), m_segments(segments), m_spacing(segmentSpacing),
      m_barHeight(barHeight)
{
    setFixedHeight(static_cast<int>(std::ceil(barHeight)));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void SegmentedProgressBar::setProgress(double progress)
{
    if (progress == m_progress)
        return;
    m_progress = progress;
    update();
}

std::vector<SegmentedProgressBar::Segment>
SegmentedProgressBar::layout(double width, std::int64_t segments, double progress, double spacing)
{
    if (segments < 1)
        return {};
    const double p = std::isfinite(progress) ? progress : 0.0;
    // Outside -1 ... n + 1 the outcome is the same (all faint or all full), and the
    // conversion to an integer stays defined.
    const double exact =
        std::clamp(static_cast<double>(segments) * p, -1.0, static_cast<double>(segments) + 1.0);
    const auto whole = static_cast<std::int64_t>(std::floor(exact));
    const double part = exact - static_cast<double>(whole);
    const double segmentWidth =
        (width - static_cast<double>(segments - 1) * spacing) / static_cast<double>(segments);

    std::vector<Segment> result;
    result.reserve(static_cast<size_t>(segments));
    for (std::int64_t i = 0; i < segments; ++i) {
        double opacity = 0.12;
        if (i < whole)
            opacity = 0.95;
        else if (i == whole && part > 0)
            opacity = part * 0.95;
        result.push_back(
            {static_cast<double>(i) * (segmentWidth + spacing), segmentWidth, opacity});
    }
    return result;
}

void SegmentedProgressBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double radius = m_barHeight * 0.5;
    const double top = (height() - m_barHeight) / 2;
    const auto segments = layout(width(), m_segments, m_progress, m_spacing);
    // Neighbours of one opacity are filled as one path: each fill has a fixed cost in Qt's
    // raster engine (it hands large fills to its thread pool), and a bar has at most three
    // runs of equal opacity.
    for (size_t first = 0; first < segments.size();) {
        size_t end = first;
        QPainterPath run;
        for (; end < segments.size() && segments[end].opacity == segments[first].opacity; ++end) {
            const QRectF rect(segments[end].x, top, segments[end].width, m_barHeight);
            const double r = std::min({radius, rect.width() / 2, rect.height() / 2});
            run.addRoundedRect(rect, r, r);
        }
        painter.fillPath(run, SemanticColors::color(*this, SemanticColors::Color::PrimaryLabel,
                                                    segments[first].opacity));
        first = end;
    }
}
