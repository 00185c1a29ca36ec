#pragma once

#include <QTreeView>

// A report list on a tree view without a tree, in a Windows list view's manners: a click or
// double click anywhere in it, also on the empty part below the rows, is the list's, and
// grid lines part the cells.
class ReportListView : public QTreeView {
    Q_OBJECT
public:
    explicit ReportListView(QWidget* parent = nullptr);

signals:
    // After the view has moved its selection, so that the selection read is the new one.
    void listClicked();
    void listDoubleClicked();

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void drawRow(QPainter* painter, const QStyleOptionViewItem& option,
                 const QModelIndex& index) const override;

private:
    bool releaseEndsDoubleClick_ = false;
};
