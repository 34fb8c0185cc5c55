#include "Horalis/panel/AccessibleMenuButton.h"

#include "Horalis/panel/MenuButton.h"

namespace {

QAccessibleInterface* factory(const QString& className, QObject* object)
{
    if (className == QLatin1String(MenuButton::staticMetaObject.className()))
        return new AccessibleMenuButton(static_cast<MenuButton*>(object));
    return nullptr;
}

} // namespace

AccessibleMenuButton::AccessibleMenuButton(MenuButton* button)
    : QAccessibleWidget(button, QAccessible::Button)
{}

void AccessibleMenuButton::install()
{
    // Qt keeps a factory once, however often it is installed.
    QAccessible::installFactory(factory);
}

MenuButton* AccessibleMenuButton::button() const
{
    return static_cast<MenuButton*>(widget());
}

QString AccessibleMenuButton::text(QAccessible::Text t) const
{
    if (t == QAccessible::Name)
        return button()->title();
    return QAccessibleWidget::text(t);
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
        QAccessibleWidget::doAction(actionName);
}

QStringList AccessibleMenuButton::keyBindingsForAction(const QString& actionName) const
{
    if (actionName == pressAction() && !button()->hintText().isEmpty())
        return {button()->hintText()};
    return {};
}
