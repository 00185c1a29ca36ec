#pragma once

#include <QRect>

class QWidget;

// Places widgets from dialog-template coordinates. A dialog unit is a quarter of the
// dialog font's average character width horizontally and an eighth of its height
// vertically, so a layout drawn for one font keeps its proportions in another and no text
// is clipped.
class DialogUnits {
public:
    explicit DialogUnits(const QWidget* dialog);

    QRect toPixels(int x, int y, int w, int h) const;
    QSize toPixels(int w, int h) const;
    void place(QWidget* widget, int x, int y, int w, int h) const;

private:
    double baseX_;
    double baseY_;
};
