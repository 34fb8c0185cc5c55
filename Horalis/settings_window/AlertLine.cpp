#include "Horalis/settings_window/AlertLine.h"

#include "platform/desktop/AccessibleFactory.h"

#include <QAccessible>
#include <QAccessibleWidget>

namespace {

class AccessibleAlert : public QAccessibleWidget
{
public:
    explicit AccessibleAlert(AlertLine* line) : QAccessibleWidget(line, QAccessible::AlertMessage)
    {}
};

} // namespace

AlertLine::AlertLine(QWidget* parent) : QLabel(parent)
{
    installAccessibleInterface<AlertLine, AccessibleAlert>();
    setTextFormat(Qt::PlainText);
    setWordWrap(true);
    hide();
}

void AlertLine::tell(const QString& text)
{
    setText(text);
    // An alert's words are its name.
    setAccessibleName(text);
    setVisible(!text.isEmpty());
    if (!text.isEmpty()) {
        QAccessibleEvent event(this, QAccessible::Alert);
        QAccessible::updateAccessibility(&event);
    }
}
