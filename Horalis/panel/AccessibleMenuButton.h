#pragma once

#include <QAccessibleWidget>

class MenuButton;

// A button row as a screen reader knows it: a push button named by its title, whose Press
// action does what a click does, with its shortcut as the action's key binding.
class AccessibleMenuButton : public QAccessibleWidget
{
public:
    explicit AccessibleMenuButton(MenuButton* button);
    // Makes every button row answer with this interface.
    static void install();

    int childCount() const override { return 0; }
    QAccessibleInterface* child(int) const override { return nullptr; }
    int indexOfChild(const QAccessibleInterface*) const override { return -1; }
    QString text(QAccessible::Text t) const override;

    QStringList actionNames() const override;
    void doAction(const QString& actionName) override;
    QStringList keyBindingsForAction(const QString& actionName) const override;

private:
    MenuButton* button() const;
};
