#include "window/elided_label.h"

#include <QPainter>

namespace bl {

int ElidedLabel::natural_width() const {
    if (text().isEmpty())
        return 0;
    return fontMetrics().horizontalAdvance(text()) + 2 * margin() + 2;
}

void ElidedLabel::paintEvent(QPaintEvent *) {
    QPainter painter(this);
    const QRect room = contentsRect().adjusted(margin(), 0, -margin(), 0);
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, room.width());
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(room, static_cast<int>(Qt::AlignVCenter | Qt::AlignLeft), shown);
    setToolTip(shown == text() ? QString() : text());
}

} // namespace bl
