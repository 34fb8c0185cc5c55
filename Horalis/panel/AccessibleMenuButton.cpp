#include "Horalis/panel/AccessibleMenuButton.h"

#include "Horalis/panel/MenuButton.h"

AccessibleMenuButton::AccessibleMenuButton(MenuButton* button)
    : AccessibleLeaf(button, QAccessible::Button)
{}

MenuButton* AccessibleMenuButton::button() const
{
    return static_cast<MenuButton*>(widget());
}

QString AccessibleMenuButton::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name)
        return button()->title();
    return AccessibleLeaf::text(t);
}

QStringList AccessibleMenuButton::actionNames() const
{
    return {pressAction(), setFocusAction()};
}

void AccessibleMenuButton::doAction(const QString& actionName)
{
    if (actionName == pressAction())
        button()->activate();
    else
        AccessibleLeaf::doAction(actionName);
}

QStringList AccessibleMenuButton::keyBindingsForAction(const QString& actionName) const
{
    if (actionName == pressAction() && !button()->hintText().isEmpty())
        return {button()->hintText()};
    return {};
}
