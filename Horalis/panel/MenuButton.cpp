#include "Horalis/panel/MenuButton.h"

#include "Horalis/panel/AccessibleMenuButton.h"
#include "platform/desktop/AccessibleFactory.h"
#include "platform/desktop/SemanticColors.h"
#include "platform/desktop/SystemFont.h"

#include <QFocusEvent>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcut>

using SemanticColors::Color;

MenuButton::MenuButton(const QString& title, const QKeySequence& shortcut,
                       std::function<void()> action, QWidget* parent)
    : QWidget(parent), m_title(new QLabel(title, this)), m_action(std::move(action))
{
    installAccessibleInterface<MenuButton, AccessibleMenuButton>();
    // Tab reaches it; a click runs it without moving the focus.
    setFocusPolicy(Qt::TabFocus);
    m_title->setFont(systemFont(13));
    m_title->setTextFormat(Qt::PlainText);
    SemanticColors::setTextColor(*m_title, Color::PrimaryLabel);
    m_title->setAttribute(Qt::WA_TransparentForMouseEvents);

    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(16, 6, 16, 6);
    row->addWidget(m_title);
    row->addStretch(1);
    if (!shortcut.isEmpty()) {
        auto* key = new QShortcut(shortcut, this);
        key->setContext(Qt::WindowShortcut);
        connect(key, &QShortcut::activated, this, &MenuButton::activate);
        m_hint = new QLabel(shortcut.toString(QKeySequence::NativeText), this);
        m_hint->setFont(systemFont(11));
        m_hint->setTextFormat(Qt::PlainText);
        SemanticColors::setTextColor(*m_hint, Color::SecondaryLabel);
        m_hint->setAttribute(Qt::WA_TransparentForMouseEvents);
        row->addWidget(m_hint);
    }
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QString MenuButton::title() const
{
    return m_title->text();
}

QString MenuButton::hintText() const
{
    return m_hint ? m_hint->text() : QString();
}

void MenuButton::activate()
{
    if (m_action)
        m_action();
}

void MenuButton::setHovered(bool hovered)
{
    if (hovered == m_hovered)
        return;
    m_hovered = hovered;
    update(); // at once, no fade
}

void MenuButton::enterEvent(QEnterEvent*)
{
    setHovered(true);
}

void MenuButton::leaveEvent(QEvent*)
{
    setHovered(false);
}

void MenuButton::setFocusShown(bool shown)
{
    if (shown == m_focusShown)
        return;
    m_focusShown = shown;
    update();
}

void MenuButton::focusInEvent(QFocusEvent* event)
{
    // The panel opening takes the focus for itself; only a move by key lands here.
    setFocusShown(event->reason() != Qt::MouseFocusReason);
    QWidget::focusInEvent(event);
}

void MenuButton::focusOutEvent(QFocusEvent* event)
{
    setFocusShown(false);
    QWidget::focusOutEvent(event);
}

void MenuButton::keyPressEvent(QKeyEvent* event)
{
    const bool plain = !(event->modifiers() & ~Qt::KeypadModifier);
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter ||
                  event->key() == Qt::Key_Space)) {
        event->accept();
        activate();
        return;
    }
    QWidget::keyPressEvent(event);
}

void MenuButton::mousePressEvent(QMouseEvent* event)
{
    m_pressed = event->button() == Qt::LeftButton;
    event->accept();
}

void MenuButton::mouseReleaseEvent(QMouseEvent* event)
{
    // Like a push button: the release must land on the row the press began on.
    const bool clicked = m_pressed && event->button() == Qt::LeftButton &&
                         rect().contains(event->position().toPoint());
    m_pressed = false;
    event->accept();
    if (clicked)
        activate();
}

void MenuButton::paintEvent(QPaintEvent*)
{
    if (!isHighlighted())
        return;
    QPainter painter(this);
    painter.fillRect(rect(), SemanticColors::color(*this, Color::Accent, 0.15));
}
