#pragma once

#include "platform/desktop/AccessibleLeaf.h"

class MenuButton;

// A button row as a screen reader knows it: a push button named by its title, whose Press
// action does what a click does, with its shortcut as the action's key binding.
class AccessibleMenuButton : public AccessibleLeaf
{
public:
    explicit AccessibleMenuButton(MenuButton* button);

    QString text(QAccessible::Text t) const override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    MenuButton* button() const;
};
