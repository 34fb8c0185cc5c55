#include "Horalis/panel/ProgressStatRow.h"

#include "Horalis/model/PercentFigure.h"
#include "Horalis/panel/AccessibleProgressRow.h"
#include "Horalis/panel/SegmentedProgressBar.h"
#include "platform/desktop/AccessibleFactory.h"
#include "platform/desktop/SemanticColors.h"
#include "platform/desktop/SystemFont.h"

#include <QAccessible>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

using SemanticColors::Color;

ProgressStatRow::ProgressStatRow(const QString& label, double progress, std::int64_t segments,
                                 QWidget* parent)
    : QWidget(parent), m_label(new QLabel(label, this)), m_percentage(new QLabel(this)),
      m_bar(new SegmentedProgressBar(progress, segments, 3, 12, this))
{
    installAccessibleInterface<ProgressStatRow, AccessibleProgressRow>();
    m_label->setFont(systemFont(13, QFont::Medium));
    SemanticColors::setTextColor(*m_label, Color::PrimaryLabel);
    // The interface fonts of Linux desktops draw digits of equal width already.
    m_percentage->setFont(systemFont(13, QFont::Medium));
    SemanticColors::setTextColor(*m_percentage, Color::SecondaryLabel);
    m_percentage->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    auto* line = new QHBoxLayout;
    line->setContentsMargins(0, 0, 0, 0);
    line->addWidget(m_label);
    line->addStretch(1);
    line->addWidget(m_percentage);

    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(6);
    column->addLayout(line);
    column->addWidget(m_bar);

    setProgress(progress);
}

void ProgressStatRow::setProgress(double progress)
{
    m_bar->setProgress(progress);
    const std::int64_t figure = wholePercent(progress);
    if (figure == m_wholePercent)
        return;
    const bool first = !m_wholePercent;
    m_wholePercent = figure;
    m_percentage->setText(tr("%1%").arg(figure));
    // Told only when the figure changes, not at every refresh.
    if (first)
        return;
    QAccessibleValueChangeEvent event(this, QVariant::fromValue(figure));
    QAccessible::updateAccessibility(&event);
    emit figureChanged(figure);
}

QString ProgressStatRow::labelText() const
{
    return m_label->text();
}

QString ProgressStatRow::percentageText() const
{
    return m_percentage->text();
}
