#include "dialog_units.h"

#include <QFontMetricsF>
#include <QWidget>

DialogUnits::DialogUnits(const QWidget* dialog) {
    const QFontMetricsF metrics(dialog->font());
    // Dialog templates take the average width of the 52 letters, not the font's own
    // average-character-width field, which varies a lot between fonts.
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    baseX_ = metrics.horizontalAdvance(letters) / letters.size() / 4.0;
    baseY_ = metrics.height() / 8.0;
}

QSize DialogUnits::toPixels(int w, int h) const {
    return QSize(qRound(w * baseX_), qRound(h * baseY_));
}

QRect DialogUnits::toPixels(int x, int y, int w, int h) const {
    const int left = qRound(x * baseX_);
    const int top = qRound(y * baseY_);
    return QRect(left, top, qRound((x + w) * baseX_) - left, qRound((y + h) * baseY_) - top);
}

void DialogUnits::place(QWidget* widget, int x, int y, int w, int h) const {
    widget->setGeometry(toPixels(x, y, w, h));
}
