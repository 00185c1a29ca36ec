#include "report_list_view.h"

#include <QHeaderView>
#include <QMouseEvent>
#include <QPainter>

#include <utility>

ReportListView::ReportListView(QWidget* parent) : QTreeView(parent) {
    setRootIsDecorated(false);
    setUniformRowHeights(true);
    setItemsExpandable(false);
    setAllColumnsShowFocus(true);
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    header()->setStretchLastSection(false);
}

// As on Windows, the second click of a double click is the double click alone.
void ReportListView::mouseReleaseEvent(QMouseEvent* event) {
    QTreeView::mouseReleaseEvent(event);
    const bool endsDoubleClick = std::exchange(releaseEndsDoubleClick_, false);
    if (event->button() == Qt::LeftButton && !endsDoubleClick) {
        emit listClicked();
    }
}

void ReportListView::mouseDoubleClickEvent(QMouseEvent* event) {
    QTreeView::mouseDoubleClickEvent(event);
    if (event->button() == Qt::LeftButton) {
        releaseEndsDoubleClick_ = true;
        emit listDoubleClicked();
    }
}

void ReportListView::drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                             const QModelIndex& index) const {
    QTreeView::drawRow(painter, option, index);
    const QRect row = option.rect;
    painter->save();
    painter->setPen(QColor::fromRgba(
        static_cast<QRgb>(style()->styleHint(QStyle::SH_Table_GridLineColor, &option, this))));
    painter->drawLine(row.bottomLeft(), row.bottomRight());
    for (int column = 0; column < header()->count(); ++column) {
        const int right = header()->sectionViewportPosition(column) + header()->sectionSize(column) - 1;
        painter->drawLine(right, row.top(), right, row.bottom());
    }
    painter->restore();
}
