#include "Horalis/panel/Divider.h"

#include "platform/desktop/SemanticColors.h"

#include <QPainter>

Divider::Divider(QWidget* parent) : QWidget(parent)
{
    setFixedHeight(1);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void Divider::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), SemanticColors::color(*this, SemanticColors::Color::Separator));
}
