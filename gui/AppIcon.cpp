#include "AppIcon.h"

#include <QPainter>
#include <QPixmap>

namespace trelk {

QPixmap AppIconPixmap(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing);
    const qreal s = size;
    // A radar scope: dark disc, green rings, a sweep and a contact.
    painter.setBrush(QColor(10, 24, 40));
    painter.setPen(QPen(QColor(60, 200, 120), s / 16));
    painter.drawEllipse(QRectF(s * 0.05, s * 0.05, s * 0.9, s * 0.9));
    painter.setPen(QPen(QColor(60, 200, 120, 150), s / 32));
    painter.setBrush(Qt::NoBrush);
    painter.drawEllipse(QRectF(s * 0.27, s * 0.27, s * 0.46, s * 0.46));
    painter.drawLine(QPointF(s / 2, s / 2), QPointF(s * 0.82, s * 0.22));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 210, 60));
    painter.drawEllipse(QPointF(s * 0.34, s * 0.66), s * 0.07, s * 0.07);
    return pixmap;
}

QIcon AppIcon() {
    QIcon icon;
    for (int size : {16, 22, 24, 32, 48, 64}) {
        icon.addPixmap(AppIconPixmap(size));
    }
    return icon;
}

} // namespace trelk
