#pragma once

#include <QAbstractTableModel>

#include <span>

#include "dialog_template.h"

class Dialog;

// A report list's rows as a view model: the dialog renders each cell on demand, so a full
// image of 4360 records is shown without an item per row.
class ReportListModel : public QAbstractTableModel {
    Q_OBJECT
public:
    ReportListModel(const Dialog& dialog, int listId, std::span<const ListColumn> columns, QObject* parent);

    // The dialog rebuilt its rows.
    void reset();

    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    QVariant headerData(int section, Qt::Orientation orientation, int role) const override;

private:
    const Dialog& dialog_;
    int listId_;
    std::span<const ListColumn> columns_;
};
