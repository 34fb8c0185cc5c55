#pragma once

#include <QKeySequence>
#include <QWidget>

#include <functional>
#include <optional>

class QLabel;

// A full-width row drawn like a menu item: title on the left, an optional shortcut hint on the
// right ("Ctrl+Q", as this desktop writes it), an accent highlight while the pointer is over
// it. A click anywhere on the row, or the shortcut while its window has the keyboard, runs its
// action once. Reached by Tab or the arrow keys, it shows the same highlight while it has the
// focus, and Return or Space runs it; a mouse never gives it the focus.
class MenuButton : public QWidget
{
    Q_OBJECT

public:
    MenuButton(const QString& title, const QKeySequence& shortcut, std::function<void()> action,
               QWidget* parent = nullptr);

    // Whether the highlight is drawn: under the pointer, or focused from the keyboard.
    bool isHighlighted() const { return m_hovered || m_focusShown; }
    // Runs the row's action, as a click does.
    void activate();
    QString title() const;
    // Empty when the row has no shortcut.
    QString hintText() const;

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    void setHovered(bool hovered);
    void setFocusShown(bool shown);

    QLabel* m_title;
    QLabel* m_hint = nullptr;
    std::function<void()> m_action;
    bool m_hovered = false;
    bool m_focusShown = false;
    bool m_pressed = false;
};
