#include "ElidedLabel.h"

#include <QPainter>

namespace trelk {

void ElidedLabel::paintEvent(QPaintEvent* /*event*/) {
    QPainter painter(this);
    drawFrame(&painter);
    const QRect room = contentsRect().adjusted(margin() + 2, 0, -margin() - 2, 0);
    const QString shown = fontMetrics().elidedText(text(), Qt::ElideRight, room.width());
    setToolTip(shown == text() ? QString() : text());
    painter.drawText(room, static_cast<int>(alignment() | Qt::AlignVCenter), shown);
}

void ElidedLabel::resizeEvent(QResizeEvent* event) {
    QLabel::resizeEvent(event);
    update();
}

} // namespace trelk
