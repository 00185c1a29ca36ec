#include "app_icon.h"

#include <QPainter>
#include <QPixmap>

namespace {

// A lift car with a key hole: a dark blue cabin, light doors, a yellow key mark. Drawn from
// the 16-colour palette, on a grid that scales from 16 to 32 pixels.
QPixmap drawIcon(int size) {
    QPixmap pixmap(size, size);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    const double u = size / 16.0;
    auto rect = [u](double x, double y, double w, double h) { return QRectF(x * u, y * u, w * u, h * u); };
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(0, 0, 128));
    p.drawRect(rect(1, 1, 14, 14));
    p.setBrush(QColor(192, 192, 192));
    p.drawRect(rect(3, 4, 4.5, 10));
    p.drawRect(rect(8.5, 4, 4.5, 10));
    p.setBrush(QColor(255, 255, 0));
    p.drawEllipse(rect(6.5, 1.5, 3, 2));
    p.setBrush(QColor(128, 0, 0));
    p.drawEllipse(rect(10, 7, 2, 2));
    p.drawRect(rect(10.6, 8.5, 0.8, 2.5));
    return pixmap;
}

}  // namespace

QIcon appIcon() {
    QIcon icon;
    icon.addPixmap(drawIcon(32));
    icon.addPixmap(drawIcon(16));
    return icon;
}
