#include "Horalis/panel/ContentView.h"

#include "Horalis/model/PercentFigure.h"
#include "Horalis/model/ProgressCalculator.h"
#include "Horalis/panel/Divider.h"
#include "Horalis/panel/MenuButton.h"
#include "Horalis/panel/ProgressStatRow.h"
#include "platform/desktop/SemanticColors.h"
#include "platform/desktop/SystemFont.h"

#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>
#include <iterator>

using SemanticColors::Color;

namespace {

QLabel* centredLabel(QWidget* parent, const QFont& font, Color color)
{
    auto* label = new QLabel(parent);
    label->setFont(font);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignHCenter);
    SemanticColors::setTextColor(*label, color);
    return label;
}

} // namespace

ContentView::ContentView(ProgressCalculator* calculator, QWidget* parent)
    : QWidget(parent), m_calculator(calculator),
      m_dayFigure(centredLabel(this, systemFont(64, QFont::Light), Color::PrimaryLabel)),
      m_timeRemaining(centredLabel(this, systemFont(13), Color::SecondaryLabel))
{
    setFixedWidth(300);
    setAccessibleName(tr("Progress"));
    // Named, so that tests find what a user reads.
    m_dayFigure->setObjectName(QStringLiteral("dayFigure"));
    m_timeRemaining->setObjectName(QStringLiteral("timeRemaining"));
    setBackgroundRole(SemanticColors::role(Color::WindowBackground));
    setAutoFillBackground(true);

    auto* root = new QVBoxLayout(this);
    root->setContentsMargins(0, 0, 0, 0);
    root->setSpacing(0);

    root->addSpacing(24);
    root->addWidget(m_dayFigure);
    root->addSpacing(8);
    root->addWidget(m_timeRemaining);
    root->addSpacing(24);
    root->addWidget(new Divider(this));

    auto* rows = new QVBoxLayout;
    rows->setContentsMargins(16, 16, 16, 16);
    rows->setSpacing(12);
    const std::pair<const char*, int> periods[] = {{"Week", 7}, {"Month", 4}, {"Year", 12}};
    for (int i = 0; i < 3; ++i) {
        m_rows[i] =
            new ProgressStatRow(QString::fromLatin1(periods[i].first), 0, periods[i].second, this);
        m_rows[i]->setObjectName(QString::fromLatin1(periods[i].first).toLower());
        rows->addWidget(m_rows[i]);
    }
    root->addLayout(rows);
    root->addWidget(new Divider(this));

    auto* buttons = new QVBoxLayout;
    buttons->setContentsMargins(0, 4, 0, 4);
    buttons->setSpacing(0);
    m_settings = new MenuButton(
        QStringLiteral("Settings..."), QKeySequence(Qt::CTRL | Qt::Key_Comma),
        [this] { emit settingsRequested(); }, this);
    m_quit = new MenuButton(
        QStringLiteral("Quit Horalis"), QKeySequence(Qt::CTRL | Qt::Key_Q),
        [this] { emit quitRequested(); }, this);
    m_settings->setObjectName(QStringLiteral("settings"));
    m_quit->setObjectName(QStringLiteral("quit"));
    buttons->addWidget(m_settings);
    buttons->addWidget(m_quit);
    root->addLayout(buttons);
    // Fixed width, natural height.
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);

    if (m_calculator)
        connect(m_calculator, &ProgressCalculator::objectWillChange, this,
                &ContentView::scheduleRefresh);
    refresh();
}

void ContentView::scheduleRefresh()
{
    // The five signals of one refresh come before its values are all stored: update once,
    // after the refresh has finished, from one consistent set.
    if (m_refreshQueued)
        return;
    m_refreshQueued = true;
    QMetaObject::invokeMethod(this, &ContentView::refresh, Qt::QueuedConnection);
}

void ContentView::refresh()
{
    m_refreshQueued = false;
    if (!isVisible() && m_filled) {
        m_stale = true; // brought up to date when shown
        return;
    }
    m_stale = false;
    m_filled = true;
    if (!m_calculator)
        return;
    m_dayFigure->setText(tr("%1%").arg(wholePercent(m_calculator->dayProgress())));
    m_timeRemaining->setText(m_calculator->timeRemainingText());
    m_rows[0]->setProgress(m_calculator->weekProgress());
    m_rows[1]->setProgress(m_calculator->monthProgress());
    m_rows[2]->setProgress(m_calculator->yearProgress());
}

bool ContentView::focusNextPrevChild(bool next)
{
    // Round the two rows, as in a menu; the panel itself is where the focus starts, not a stop.
    MenuButton* const rows[] = {m_settings, m_quit};
    const auto* at = std::find(std::begin(rows), std::end(rows), focusWidget());
    MenuButton* target = nullptr;
    if (at == std::end(rows))
        target = next ? m_settings : m_quit;
    else
        target = *at == m_settings ? m_quit : m_settings;
    target->setFocus(next ? Qt::TabFocusReason : Qt::BacktabFocusReason);
    return true;
}

void ContentView::keyPressEvent(QKeyEvent* event)
{
    if (event->key() == Qt::Key_Down || event->key() == Qt::Key_Up) {
        focusNextPrevChild(event->key() == Qt::Key_Down);
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void ContentView::showEvent(QShowEvent* event)
{
    if (m_stale)
        refresh();
    QWidget::showEvent(event);
}
